// The loading window with its caption and lines in the interface language. The editor core
// composes them in English (US); they are translated here, on their way into the window.
#pragma once

#include "windows/loading_window.h"

#include <functional>
#include <string>

class translated_loading_window final : public loading_window {
  public:
    using loading_window::loading_window;
    // An English (US) text as it is to be shown; the text itself while unset.
    std::function<std::string(const std::string&)> translate;

    void show_progress(const std::string& caption) override { loading_window::show_progress(shown(caption)); }
    void add_progress_line(const std::string& text) override {
        loading_window::add_progress_line(shown(text));
    }

  private:
    std::string shown(const std::string& english) const { return translate ? translate(english) : english; }
};
