// The nine interface languages, where their files live beside the executable, and loading and
// saving a language file on disk (with its ".~ln" backup and the optional default copy).
#pragma once

#include "language_file.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct language_info {
    std::string_view combo_text; // as shown in the language combo box
    std::string_view code;       // file code: <base>_<code>.lng
    std::uint16_t identifier;    // stored in files and in the "languaje" setting
    std::string_view text_file;  // the readable source under localisation/texts
};

inline constexpr std::size_t language_count = 9;
extern const std::array<language_info, language_count> languages;
inline constexpr std::size_t english_us_index = 2;

std::optional<std::size_t> language_by_identifier(std::uint16_t identifier);
std::optional<std::size_t> language_by_code(std::string_view code);

// Names derived from the executable's path: directory + base + "_" + code + extension. With a
// user directory (an installed editor), files are written there and read from there first.
struct language_paths {
    std::string directory;      // with its trailing separator
    std::string base;           // the executable's file name without extension
    std::string user_directory; // empty, or with its trailing separator

    // `user_directory`: where edited files go when it is not the executable's own directory.
    static language_paths of_executable(const std::string& executable_path,
                                        const std::string& user_directory = {});
    // The file to read: the user's edited copy when there is one.
    std::string language_file(std::string_view code) const;
    // Where the current language's file is saved.
    std::string writable_language_file(std::string_view code) const { return writable(code, ".lng"); }
    std::string default_copy() const { return writable("def", ".lng"); }
    std::string help_file(std::string_view code) const { return with(code, ".hlp"); }
    // For each language, in combo order, whether its file exists now.
    std::array<bool, language_count> existing() const;

  private:
    std::string with(std::string_view code, std::string_view extension) const;
    std::string writable(std::string_view code, std::string_view extension) const;
};

struct language_load_result {
    bool ok = false;
    std::string message; // fit to show: names the file and says what is wrong
};

// Reads `path` into the catalogue (see read_language). A missing file leaves the catalogue as it
// was; a damaged one stops where the damage is and says which file it is.
language_load_result load_language_file(const std::string& path, lng_catalogue& catalogue);

// Writes the catalogue to `path`; an existing file of that name first becomes its ".~ln" backup
// (an older backup is removed). Returns false, leaving the existing file in place, when the file
// cannot be written or a text cannot be stored; `problem` then says why.
bool save_language_file(const std::string& path, const lng_catalogue& catalogue,
                        std::string* problem = nullptr);

// Copies the current language's file to the default-copy name; false when that fails.
bool copy_to_default(const language_paths& paths, std::string_view code);
