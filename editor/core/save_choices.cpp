// File names suggested by the save choosers and the extension rule for typed names.
#include "save_choices.h"

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
