// File names suggested by the save choosers and the extension rule for typed names.
#include "save_choices.h"

#include <cctype>
#include <filesystem>

std::string big_bmp_suggestion(const std::string& root_text) {
    const std::size_t blank = root_text.find(' ');
    if (blank == std::string::npos || blank == 0) return "Textures";
    return root_text.substr(0, blank) + " Textures";
}

std::string export_all_suggestion(const std::string& item_text) {
    std::size_t cut = item_text.find('/');
    if (cut == std::string::npos) cut = item_text.find('?');
    std::string name = item_text.substr(0, cut);
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

std::string with_extension_if_none(const std::string& path, const std::string& extension) {
    if (path.empty()) return path;
    // A dot followed by words ("level1.phd Textures", the BigBMP suggestion) starts no extension.
    const std::string typed = std::filesystem::path(path).extension().string();
    if (!typed.empty() && typed.find(' ') == std::string::npos) return path;
    return path + extension;
}

std::string extension_of(const std::string& path) {
    return std::filesystem::path(path).extension().string();
}

namespace {

// The game family a level extension stands for: 1 TR1 and Gold, 2 TR2 to TR3, 4 TR4, 5 TRC; 0 none.
int level_family(std::string extension) {
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".phd" || extension == ".tub") return 1;
    if (extension == ".tr2") return 2;
    if (extension == ".tr4") return 4;
    if (extension == ".trc") return 5;
    return 0;
}

} // namespace

std::string own_extension_instead(const std::string& path, const std::string& level_path,
                                  std::int32_t game_version) {
    const int typed = level_family(extension_of(path));
    const int own = game_version <= 2 ? 1 : game_version <= 5 ? 2 : game_version == 6 ? 4 : 5;
    if (typed == 0 || typed == own) return {};
    // The level's own file name usually has its game's extension; otherwise the usual one.
    std::string extension = extension_of(level_path);
    if (level_family(extension) != own)
        extension = own == 1 ? ".phd" : own == 2 ? ".tr2" : own == 4 ? ".tr4" : ".trc";
    return std::filesystem::path(path).replace_extension(extension).string();
}
