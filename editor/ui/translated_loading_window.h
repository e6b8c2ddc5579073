// The loading window with its caption and lines in the interface language: the editor core names
// them by key (user_message.h); they are worded here, on their way into the window.
#pragma once

#include "windows/loading_window.h"

#include <functional>
#include <string>

class translated_loading_window final : public loading_window {
  public:
    using loading_window::loading_window;
    // A message as it is to be shown; its English text while unset.
    std::function<std::string(const user_message&)> word;

    void show_progress(const user_message& caption) override {
        loading_window::show_progress(shown(caption));
    }
    void add_progress_line(const user_message& text) override {
        loading_window::add_progress_line(shown(text));
    }

  private:
    user_message shown(const user_message& m) const { return word ? word(m) : m.english; }
};
