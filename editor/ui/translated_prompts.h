// The editor's messages and questions in the interface language: composed in English by the
// core, shown by the wrapped prompts in the language chosen in the language window.
#pragma once

#include "language_window.h"
#include "prompts.h"

class translated_prompts final : public editor_prompts {
  public:
    translated_prompts(editor_prompts& shown_by, const language_window& languages)
        : inner_(shown_by), languages_(languages) {}
    void message(const std::string& text) override { inner_.message(languages_.messages().translate(text)); }
    answer ask(const std::string& text, bool with_cancel) override {
        return inner_.ask(languages_.messages().translate(text), with_cancel);
    }
    std::string choose_open_file(const std::string& filter) override {
        return inner_.choose_open_file(filter);
    }
    std::string choose_save_file(const std::string& filter) override {
        return inner_.choose_save_file(filter);
    }
    std::string choose_save_file_named(const std::string& filter, const std::string& suggested_name) override {
        return inner_.choose_save_file_named(filter, suggested_name);
    }

  private:
    editor_prompts& inner_;
    const language_window& languages_;
};
