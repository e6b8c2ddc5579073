// vellum-make-samples OUTDIR: writes the sample levels of all seven game versions into OUTDIR.
#include "sample_levels.h"

#include <exception>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vellum-make-samples OUTDIR\n";
        return 2;
    }
    try {
        std::filesystem::create_directories(argv[1]);
        for (const auto& path : write_sample_levels(argv[1]))
            std::cout << path << '\n';
    } catch (const std::exception& e) {
        std::cerr << "vellum-make-samples: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
