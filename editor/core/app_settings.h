// The editor's settings: config.opt beside the executable (colour bits, background), the
// per-user store (version, language, recent files) and the recent-files list.
#pragma once

#include "user_message.h"
#include <string>
#include <vector>

class QSettings;

inline constexpr const char* vellum_version_string = "Vellum v.2.2 Rev 0";

struct config_options {
    int colour_bits = 24;
    bool white_background = false;
    std::string first_line = "24"; // line 1 as read, kept when only line 2 is rewritten
};

// Reads config.opt. A missing or unreadable file gives the defaults (24 bits, black) and a
// message in `problem`; the caller shows it.
config_options read_config_opt(const std::string& path, user_message* problem = nullptr);
// Rewrite one line, keeping the other as read (the file is created when missing). Throws
// level_error when the file cannot be written.
void write_config_colour_bits(const std::string& path, int bits);
void write_config_background(const std::string& path, bool white);

// Most recent first, at most five, no duplicates ignoring letter case.
class recent_files {
  public:
    static constexpr std::size_t capacity = 5;
    void add(const std::string& path);
    const std::vector<std::string>& entries() const { return entries_; }

  private:
    std::vector<std::string> entries_;
};

// Per-user store. load_settings ignores a store written by another version; `language` is left
// unchanged then.
void load_settings(QSettings& store, recent_files& recent, int& language);
void save_settings(QSettings& store, const recent_files& recent, int language);

// The start-up screen check: the warning to show for a screen of `ppi` pixels per inch and
// `width` pixels, or an empty text. The window's layouts scale with any pixel density, so a
// density other than 96 or 120 is no longer warned about.
user_message screen_check_message(int ppi, int width);
