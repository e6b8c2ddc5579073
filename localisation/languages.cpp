// The language table, file naming beside the executable, and language files on disk.
#include "languages.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

const std::array<language_info, language_count> languages{{
    {"Français", "fr", 0x040C, "fr_FR.txt"},
    {"English (UK)", "uk", 0x0809, "en_GB.txt"},
    {"English (US)", "us", 0x0409, "en_US.txt"},
    {"Deutsch", "de", 0x0407, "de_DE.txt"},
    {"Italiano", "it", 0x0410, "it_IT.txt"},
    {"Español", "es", 0x080A, "es_ES.txt"},
    {"Svenska", "se", 0x041D, "sv_SE.txt"},
    {"Português", "po", 0x0816, "pt_PT.txt"},
    {"Korean", "kr", 0x0412, "ko_KR.txt"},
}};

std::optional<std::size_t> language_by_identifier(std::uint16_t identifier) {
    for (std::size_t i = 0; i < languages.size(); ++i)
        if (languages[i].identifier == identifier) return i;
    return std::nullopt;
}

std::optional<std::size_t> language_by_code(std::string_view code) {
    for (std::size_t i = 0; i < languages.size(); ++i)
        if (languages[i].code == code) return i;
    return std::nullopt;
}

namespace {

std::string with_separator(std::string directory) {
    if (directory.empty()) directory = ".";
    if (directory.back() != '/' && directory.back() != fs::path::preferred_separator) directory += '/';
    return directory;
}

} // namespace

language_paths language_paths::of_executable(const std::string& executable_path,
                                             const std::string& user_directory) {
    const fs::path p(executable_path);
    language_paths out;
    out.directory = with_separator(p.parent_path().string());
    out.base = p.stem().string();
    if (!user_directory.empty()) {
        out.user_directory = with_separator(user_directory);
        if (out.user_directory == out.directory) out.user_directory.clear();
    }
    return out;
}

std::string language_paths::with(std::string_view code, std::string_view extension) const {
    return directory + base + "_" + std::string(code) + std::string(extension);
}

std::string language_paths::writable(std::string_view code, std::string_view extension) const {
    if (user_directory.empty()) return with(code, extension);
    return user_directory + base + "_" + std::string(code) + std::string(extension);
}

std::string language_paths::language_file(std::string_view code) const {
    const std::string own = writable(code, ".lng");
    std::error_code ec;
    return !user_directory.empty() && fs::is_regular_file(own, ec) ? own : with(code, ".lng");
}

std::array<bool, language_count> language_paths::existing() const {
    std::array<bool, language_count> out{};
    for (std::size_t i = 0; i < languages.size(); ++i) {
        std::error_code ec;
        out[i] = fs::is_regular_file(language_file(languages[i].code), ec);
    }
    return out;
}

// Larger than any file the writer can make for a real interface; refused before reading.
constexpr std::uintmax_t largest_language_file = 64u << 20;

language_load_result load_language_file(const std::string& path, lng_catalogue& catalogue) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return {false, "The language file " + path + " was not found."};
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec || size > largest_language_file)
        return {false, "The language file " + path + " is damaged: it is too large to be a language file."};
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size())))
        return {false, "The language file " + path + " could not be read."};
    const lng_read_result r = read_language(bytes.data(), bytes.size(), catalogue);
    if (!r.ok) return {false, "The language file " + path + " is damaged: " + r.problem + "."};
    return {true, {}};
}

namespace {

bool write_bytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    return bool(out);
}

} // namespace

bool save_language_file(const std::string& path, const lng_catalogue& catalogue, std::string* problem) {
    const fs::path target(path);
    lng_write_result w = write_language(catalogue, target.filename().string());
    if (!w.problem.empty()) {
        if (problem) *problem = w.problem;
        return false;
    }
    fs::path backup = target;
    backup.replace_extension(".~ln");
    std::error_code ec;
    const bool had_file = fs::exists(target, ec);
    if (had_file) {
        fs::remove(backup, ec);
        fs::rename(target, backup, ec);
        if (ec) {
            if (problem) *problem = "the old file could not be moved to " + backup.string();
            return false;
        }
    }
    if (!write_bytes(target, w.bytes)) {
        fs::remove(target, ec);
        if (had_file) fs::rename(backup, target, ec); // the user's file comes back as it was
        if (problem) *problem = path + " could not be written";
        return false;
    }
    return true;
}

bool copy_to_default(const language_paths& paths, std::string_view code) {
    std::error_code ec;
    fs::copy_file(paths.language_file(code), paths.default_copy(), fs::copy_options::overwrite_existing, ec);
    return !ec;
}
