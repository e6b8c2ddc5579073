// `vellum-cli info FILE [--json]`: what the reader found in a level, section by section.
#include "cli.h"

#include "level_info.h"
#include "level_reader.h"
#include "mesh_list.h"

#include <cstdio>
#include <string>

namespace {

// Length of the well-formed UTF-8 character at s[i] (no overlong forms, surrogates or code points
// past U+10FFFF), or 0 when the bytes there are not one.
std::size_t utf8_length(const std::string& s, std::size_t i) {
    const auto at = [&](std::size_t k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u; };
    const unsigned c = at(i);
    const auto tail = [&](std::size_t k) { return (at(k) & 0xC0u) == 0x80u; };
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return tail(i + 1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned low = c == 0xE0 ? 0xA0 : 0x80, high = c == 0xED ? 0x9F : 0xBF;
        return at(i + 1) >= low && at(i + 1) <= high && tail(i + 2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned low = c == 0xF0 ? 0x90 : 0x80, high = c == 0xF4 ? 0x8F : 0xBF;
        return at(i + 1) >= low && at(i + 1) <= high && tail(i + 2) && tail(i + 3) ? 4 : 0;
    }
    return 0;
}

bool is_utf8(const std::string& s) {
    for (std::size_t i = 0, n; i < s.size(); i += n)
        if ((n = utf8_length(s, i)) == 0) return false;
    return true;
}

// A JSON string body. File names are bytes: a byte that starts no UTF-8 character becomes U+FFFD,
// so strict parsers accept the output (the exact name is given separately, see run_info).
std::string json_escape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = utf8_length(s, i);
        if (n == 0) {
            out += "\\ufffd";
            ++i;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out.append(s, i, n);
        }
        i += n;
    }
    return out;
}

std::string trimmed_game(const tr_level& lv) {
    std::string g = game_name(lv.game_version); // " (TR 4)"
    if (g.size() > 3) g = g.substr(2, g.size() - 3);
    return g;
}

int run_info(const std::vector<std::string>& args) {
    std::string file;
    bool json = false;
    for (const auto& a : args) {
        if (a == "--json")
            json = true;
        else
            file = a;
    }
    if (file.empty()) {
        std::fprintf(stderr, "usage: vellum-cli info FILE [--json]\n");
        return exit_usage;
    }
    tr_level lv;
    mesh_list meshes;
    if (const int rc = load_level(lv, file, &meshes); rc != exit_ok) return rc;
    const auto sections = describe_sections(lv);
    struct block {
        const char* name;
        std::uint64_t plain, packed;
    };
    std::vector<block> blocks;
    if (lv.game_version >= game_tr4) {
        blocks = {{"32-bit pages", lv.pages32_size, lv.pages32_packed},
                  {"16-bit pages", lv.pages16_size, lv.pages16_packed},
                  {"extra 32-bit pages", lv.pages32_misc_size, lv.pages32_misc_packed}};
        if (lv.game_version == game_tr4)
            blocks.push_back({"level data", lv.level_data_size, lv.level_data_packed});
    }
    struct raw {
        const char* name;
        std::uint64_t bytes;
        const char* where;
    };
    std::vector<raw> kept;
    if (!lv.tail_bytes.empty())
        kept.push_back({"tail", lv.tail_bytes.size(),
                        lv.game_version >= game_tr4 ? "after the sample indices, inside the level data"
                                                    : "after the sample indices, at the end of the file"});
    if (lv.sound_block_raw)
        kept.push_back({"sound block", lv.sound_block.size(),
                        "demo data to sample indices, kept as one block (did not parse)"});

    if (json) {
        std::printf("{\"file\":\"%s\",", json_escape(file).c_str());
        if (!is_utf8(file)) {
            // The name as it is on disk, byte by byte, where the text above had to replace some.
            std::printf("\"file_bytes\":[");
            for (std::size_t i = 0; i < file.size(); ++i)
                std::printf("%s%u", i ? "," : "", unsigned(static_cast<unsigned char>(file[i])));
            std::printf("],");
        }
        std::printf("\"game\":\"%s\",\"game_version\":%d,\"version_word\":\"0x%08X\",",
                    trimmed_game(lv).c_str(), lv.game_version, lv.version_word);
        std::printf("\"pages\":{\"count\":%u,\"room\":%u,\"object\":%u,\"bump\":%u},", lv.num_pages,
                    lv.num_room_pages, lv.num_object_pages, lv.num_bump_pages);
        std::printf("\"tr1_layout_swapped\":%s,", lv.tr1_layout_swapped ? "true" : "false");
        std::printf("\"sections\":[");
        for (std::size_t i = 0; i < sections.size(); ++i) {
            const auto& s = sections[i];
            std::printf("%s{\"name\":\"%s\",\"count\":%llu,\"record_size\":%llu,\"bytes\":%llu}",
                        i ? "," : "", s.name.c_str(), (unsigned long long)s.count,
                        (unsigned long long)s.record_size, (unsigned long long)s.bytes());
        }
        std::printf("],\"compressed_blocks\":[");
        for (std::size_t i = 0; i < blocks.size(); ++i)
            std::printf("%s{\"name\":\"%s\",\"plain\":%llu,\"packed\":%llu}", i ? "," : "", blocks[i].name,
                        (unsigned long long)blocks[i].plain, (unsigned long long)blocks[i].packed);
        std::printf("],\"kept_raw\":[");
        for (std::size_t i = 0; i < kept.size(); ++i)
            std::printf("%s{\"name\":\"%s\",\"bytes\":%llu,\"where\":\"%s\"}", i ? "," : "", kept[i].name,
                        (unsigned long long)kept[i].bytes, kept[i].where);
        std::printf("]}\n");
        return exit_ok;
    }
    std::printf("File:         %s\n", file.c_str());
    std::printf("Game:         %s (code %d)\n", trimmed_game(lv).c_str(), lv.game_version);
    std::printf("Version word: 0x%08X\n", lv.version_word);
    std::printf("Pages:        %u", lv.num_pages);
    if (lv.game_version >= game_tr4)
        std::printf(" (room %u, object %u, bump %u)", lv.num_room_pages, lv.num_object_pages,
                    lv.num_bump_pages);
    std::printf("\n");
    if (lv.tr1_layout_swapped)
        std::printf(
            "Note:         the palette sits where the other TR1 layout puts it; read with that layout\n");
    std::printf("\n%-22s %10s %8s %12s\n", "Section", "Count", "Record", "Bytes");
    for (const auto& s : sections)
        std::printf("%-22s %10llu %8llu %12llu\n", s.name.c_str(), (unsigned long long)s.count,
                    (unsigned long long)s.record_size, (unsigned long long)s.bytes());
    if (!blocks.empty()) {
        std::printf("\n%-22s %12s %12s\n", "Compressed block", "Plain", "Packed");
        for (const auto& b : blocks)
            std::printf("%-22s %12llu %12llu\n", b.name, (unsigned long long)b.plain,
                        (unsigned long long)b.packed);
    }
    std::printf("\nKept raw:     ");
    if (kept.empty()) std::printf("nothing\n");
    for (std::size_t i = 0; i < kept.size(); ++i)
        std::printf("%s%llu bytes (%s): %s\n", i ? "              " : "", (unsigned long long)kept[i].bytes,
                    kept[i].name, kept[i].where);
    return 0;
}

cli_register reg{{"info", "FILE [--json]   list what a level holds", &run_info}};

} // namespace
