// config.opt, the per-user settings store and the recent-files list.
#include "app_settings.h"

#include "tr_level.h"
#include "level_stream.h"

#include <QSettings>
#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> read_lines(const std::string& path, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    ok = bool(in);
    std::vector<std::string> lines;
    std::string line;
    while (ok && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

int parse_bits(const std::string& line) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    bool neg = false;
    if (i < line.size() && (line[i] == '-' || line[i] == '+')) neg = line[i++] == '-';
    long v = 0;
    bool any = false;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])) && v < 100000) {
        v = v * 10 + (line[i++] - '0');
        any = true;
    }
    return any ? int(neg ? -v : v) : 0;
}

void write_two_lines(const std::string& path, const std::string& line1, const std::string& line2) {
    const std::string text = line1 + "\r\n" + line2 + "\r\n";
    write_file_atomic(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::string lower(std::string s) {
    for (auto& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

config_options read_config_opt(const std::string& path, user_message* problem) {
    config_options o;
    bool ok = false;
    const auto lines = read_lines(path, ok);
    if (!ok || lines.empty()) {
        if (problem) *problem = say(msg::settings_file_missing, {path});
        return o;
    }
    o.first_line = lines[0];
    o.colour_bits = parse_bits(lines[0]);
    o.white_background = lines.size() > 1 && lines[1] == "WHITE";
    return o;
}

void write_config_colour_bits(const std::string& path, int bits) {
    const auto o = read_config_opt(path);
    write_two_lines(path, std::to_string(bits), o.white_background ? "WHITE" : "BLACK");
}

void write_config_background(const std::string& path, bool white) {
    const auto o = read_config_opt(path);
    write_two_lines(path, o.first_line, white ? "WHITE" : "BLACK");
}

void recent_files::add(const std::string& path) {
    const auto key = lower(path);
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [&](const std::string& e) { return lower(e) == key; }),
                   entries_.end());
    entries_.insert(entries_.begin(), path);
    if (entries_.size() > capacity) entries_.resize(capacity);
}

void load_settings(QSettings& store, recent_files& recent, int& language) {
    if (store.value("Version/version", "").toString().toStdString() != vellum_version_string) return;
    language = store.value("form1/languaje", language).toString().toInt();
    const int count = std::clamp(store.value("Recent files/count", "0").toString().toInt(), 0, 5);
    for (int i = count - 1; i >= 0; --i) {
        const auto path =
            store.value(QString("Recent files/File name%1").arg(i), "").toString().toStdString();
        if (!path.empty()) recent.add(path);
    }
}

void save_settings(QSettings& store, const recent_files& recent, int language) {
    store.setValue("Version/version", vellum_version_string);
    store.setValue("form1/languaje", QString::number(language));
    const auto& e = recent.entries();
    store.setValue("Recent files/count", QString::number(e.size()));
    for (std::size_t i = 0; i < e.size(); ++i)
        store.setValue(QString("Recent files/File name%1").arg(i), QString::fromStdString(e[i]));
    store.sync();
}

user_message screen_check_message(int ppi, int width) {
    if (ppi == 96 && (width == 800 || width == 1024)) return {};
    if (ppi == 120 && width == 1024) return {};
    if (ppi == 120 && width == 800) return say(msg::screen_big_fonts);
    if (width == 640) return say(msg::screen_too_small);
    return {};
}
