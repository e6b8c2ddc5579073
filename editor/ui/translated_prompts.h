// The editor's messages, questions and file choosers in the interface language: composed in
// English by the core, shown by the wrapped prompts in the language chosen in the language window.
#pragma once

#include "language_window.h"
#include "prompts.h"

class translated_prompts final : public editor_prompts {
  public:
    translated_prompts(editor_prompts& shown_by, const language_window& languages)
        : inner_(shown_by), languages_(languages) {}
    void message(const std::string& text) override { inner_.message(shown(text)); }
    answer ask(const std::string& text, bool with_cancel) override {
        return inner_.ask(shown(text), with_cancel);
    }
    std::string choose_open_file(const std::string& filter) override {
        set_titles();
        return inner_.choose_open_file(shown_filter(filter));
    }
    std::string choose_save_file(const std::string& filter) override {
        set_titles();
        return inner_.choose_save_file(shown_filter(filter));
    }
    std::string choose_save_file_named(const std::string& filter,
                                       const std::string& suggested_name) override {
        set_titles();
        return inner_.choose_save_file_named(shown_filter(filter), suggested_name);
    }

  private:
    std::string shown(const std::string& english) const { return languages_.messages().translate(english); }
    void set_titles() { inner_.set_chooser_titles(shown("Open"), shown("Save As")); }
    // "BMP files (*.bmp)": the name before the patterns translated, the patterns kept; filters
    // joined by ";;" each on their own.
    std::string shown_filter(const std::string& filter) const {
        std::string out;
        for (std::size_t at = 0; at <= filter.size();) {
            std::size_t end = filter.find(";;", at);
            if (end == std::string::npos) end = filter.size();
            const std::string one = filter.substr(at, end - at);
            const std::size_t patterns = one.rfind(" (");
            out +=
                patterns == std::string::npos ? one : shown(one.substr(0, patterns)) + one.substr(patterns);
            if (end == filter.size()) break;
            out += ";;";
            at = end + 2;
        }
        return out;
    }

    editor_prompts& inner_;
    const language_window& languages_;
};
