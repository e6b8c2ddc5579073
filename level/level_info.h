// A summary of what a level holds, section by section, for listings (vellum-cli info).
#pragma once

#include "tr_level.h"

#include <string>
#include <vector>

struct section_info {
    std::string name;
    std::uint64_t count = 0;       // records (or words, or bytes)
    std::uint64_t record_size = 0; // bytes per record as stored in the file
    std::uint64_t bytes() const { return count * record_size; }
};

std::vector<section_info> describe_sections(const tr_level& level);
