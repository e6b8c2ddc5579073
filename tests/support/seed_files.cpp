// Made-up files written into a folder.
#include "seed_files.h"

#include <cstdio>
#include <fstream>

namespace test_levels {

std::optional<std::filesystem::path> output_folder(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argc > 0 ? argv[0] : "make");
        return std::nullopt;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "cannot create %s: %s\n", argv[1], ec.message().c_str());
        return std::nullopt;
    }
    return dir;
}

bool write_file(const std::filesystem::path& dir, const std::string& name, const bytes& data,
                const std::string& prefix) {
    std::ofstream out(dir / name, std::ios::binary);
    out.write(prefix.data(), std::streamsize(prefix.size()));
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return bool(out);
}

bytes with_lying_plain_sizes(const built_level& tr4) {
    bytes lying = tr4.data;
    for (const char* block : {"32-bit pages", "16-bit pages", "extra 32-bit pages", "level data"}) {
        const std::size_t at = section_offset(tr4, block);
        for (int k = 0; k < 4; ++k)
            lying[at + std::size_t(k)] = 0xFF;
    }
    return lying;
}

} // namespace test_levels
