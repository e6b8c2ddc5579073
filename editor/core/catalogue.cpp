// Reads trcatalog.xml by exact line comparison, as the catalogue's line forms define it.
#include "catalogue.h"

#include <fstream>

namespace {

const char* game_line(std::int32_t g) {
    switch (g) {
    case 1:
    case 2:
        return "<game id=\"TR1\">";
    case 3:
    case 4:
        return "<game id=\"TR2\">";
    case 5:
        return "<game id=\"TR3\">";
    case 6:
        return "<game id=\"TR4\">";
    case 7:
        return "<game id=\"TRC\">";
    default:
        return nullptr;
    }
}

bool next_line(std::ifstream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// id between the first and second double quote; name from two characters after the first "="
// that follows the id's closing quote, up to the next double quote.
bool parse_entry(const std::string& line, long& id, std::string& name) {
    const auto q1 = line.find('"');
    if (q1 == std::string::npos) return false;
    const auto q2 = line.find('"', q1 + 1);
    if (q2 == std::string::npos) return false;
    const std::string id_text = line.substr(q1 + 1, q2 - q1 - 1);
    if (id_text.empty() || id_text.size() > 9) return false;
    id = 0;
    for (char c : id_text) {
        if (c < '0' || c > '9') return false;
        id = id * 10 + (c - '0');
    }
    const auto eq = line.find('=', q2 + 1);
    if (eq == std::string::npos || eq + 2 > line.size()) return false;
    const auto start = eq + 2;
    const auto end = line.find('"', start);
    name = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    return true;
}

} // namespace

catalogue_names read_catalogue(const std::string& path, std::int32_t game_version, bool* found) {
    catalogue_names names;
    names.fill("Unknown");
    std::ifstream in(path, std::ios::binary);
    if (found) *found = bool(in);
    const char* section = game_line(game_version);
    if (!in || !section) return names;
    const std::string moveables_start = game_version <= 5
                                            ? "\t<moveables \t\tname=\"Moveables\" \t\ticon=\"Moveables\">"
                                            : "\t<moveables name=\"Moveables\" icon=\"Moveables\">";
    const std::string moveables_end = "\t</moveables>";
    std::string line;
    while (next_line(in, line) && line != section) {
    }
    while (in && next_line(in, line) && line != moveables_start) {
    }
    while (in && next_line(in, line) && line != moveables_end) {
        long id = 0;
        std::string name;
        if (!line.empty() && parse_entry(line, id, name) && id >= 0 && std::size_t(id) < catalogue_size)
            names[std::size_t(id)] = name;
    }
    return names;
}

const std::string& moveable_name(const catalogue_names& names, std::uint32_t object_id) {
    static const std::string unknown = "Unknown";
    return object_id < catalogue_size ? names[object_id] : unknown;
}

std::int32_t catalogue_game(std::int32_t game_version, const std::vector<std::uint32_t>& object_ids) {
    if (game_version != 7) return game_version;
    for (const std::uint32_t id : object_ids)
        if (id > last_trc_moveable_id) return 6;
    return game_version;
}

user_message catalogue_list_note(std::int32_t game_version, std::int32_t list_game) {
    if (list_game == game_version) return {};
    return say(msg::catalogue_tr4_list);
}
