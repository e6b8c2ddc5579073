// Where the tests find real level files, and the skip for tests whose level is not there. The
// folder is VELLUM_TEST_LEVELS from the environment, else the one chosen when building.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#ifndef VELLUM_SHARED_LEVELS
#error "VELLUM_SHARED_LEVELS (the default folder of real levels) must be defined by the build"
#endif

namespace real_levels {

inline std::string folder() {
    if (const char* env = std::getenv("VELLUM_TEST_LEVELS"); env && *env) return env;
    return VELLUM_SHARED_LEVELS;
}

inline std::string path(const std::string& file) {
    return folder() + "/" + file;
}

// Why a test needing these files cannot run: "" when all are there.
inline std::string missing(std::initializer_list<std::string> files) {
    std::string absent;
    for (const auto& f : files) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path(f), ec)) absent += (absent.empty() ? "" : ", ") + f;
    }
    if (absent.empty()) return {};
    return "needs the real level file(s) " + absent + ", not found in " + folder() +
           " (set VELLUM_TEST_LEVELS to a folder that holds them)";
}

// Every level file of the folder (.phd, .tub, .tr2, .tr4, .trc in any case), sorted by path.
inline std::vector<std::string> all_files() {
    std::vector<std::string> out;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder(), ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        std::string ext = it->path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        if (ext == ".phd" || ext == ".tub" || ext == ".tr2" || ext == ".tr4" || ext == ".trc")
            out.push_back(it->path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace real_levels

// Skips the running test, naming the files and the folder, when a real level it needs is missing.
#define SKIP_WITHOUT_REAL_LEVELS(...)                                                                        \
    do {                                                                                                     \
        if (const std::string why_skipped = real_levels::missing({__VA_ARGS__}); !why_skipped.empty())       \
            GTEST_SKIP() << why_skipped;                                                                     \
    } while (0)
