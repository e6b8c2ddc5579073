// The editor's messages, questions and file choosers in the interface language: the core names
// each message by key with its values, and these prompts word it from the language chosen in the
// language window before the wrapped prompts show it.
#pragma once

#include "language_window.h"
#include "prompts.h"

class translated_prompts final : public editor_prompts {
  public:
    translated_prompts(editor_prompts& shown_by, const language_window& languages)
        : inner_(shown_by), languages_(languages) {}
    void message(const user_message& text) override { inner_.message(shown(text)); }
    answer ask(const user_message& text, bool with_cancel) override {
        return inner_.ask(shown(text), with_cancel);
    }
    std::string choose_open_file(const user_message& filter) override {
        set_titles();
        return inner_.choose_open_file(shown(filter));
    }
    std::string choose_save_file(const user_message& filter) override {
        set_titles();
        return inner_.choose_save_file(shown(filter));
    }
    std::string choose_save_file_named(const user_message& filter,
                                       const std::string& suggested_name) override {
        set_titles();
        return inner_.choose_save_file_named(shown(filter), suggested_name);
    }

  private:
    // Worded in the chosen language: a text with no key, shown as it is.
    user_message shown(const user_message& m) const { return languages_.shown(m); }
    void set_titles() {
        inner_.set_chooser_titles(languages_.shown(say(msg::open_title)),
                                  languages_.shown(say(msg::save_as_title)));
    }

    editor_prompts& inner_;
    const language_window& languages_;
};
