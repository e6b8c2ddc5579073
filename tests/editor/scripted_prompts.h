// Prompts answered from a script, recording every message and question.
#pragma once

#include "prompts.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

class scripted_prompts final : public editor_prompts {
  public:
    std::vector<std::string> messages, questions;
    std::deque<answer> answers; // popped per question; "no" when empty
    std::string open_choice, save_choice;
    std::vector<std::string> save_suggestions; // the name each save chooser suggested
    std::vector<std::string> filters;          // the filter of each chooser shown
    std::string open_title, save_title;        // the chooser titles last set
    std::function<void()> on_message;          // run as each message is shown

    // Texts are recorded as shown: in English, or as the translated prompts worded them.
    void message(const user_message& text) override {
        messages.push_back(text.english);
        if (on_message) on_message();
    }
    answer ask(const user_message& text, bool) override {
        questions.push_back(text.english);
        if (answers.empty()) return answer::no;
        const auto a = answers.front();
        answers.pop_front();
        return a;
    }
    std::string choose_open_file(const user_message& filter) override {
        filters.push_back(filter.english);
        return open_choice;
    }
    std::string choose_save_file(const user_message& filter) override {
        filters.push_back(filter.english);
        return save_choice;
    }
    std::string choose_save_file_named(const user_message& filter, const std::string& suggested) override {
        filters.push_back(filter.english);
        save_suggestions.push_back(suggested);
        return save_choice;
    }
    void set_chooser_titles(const std::string& open, const std::string& save) override {
        open_title = open;
        save_title = save;
    }
};

class recording_progress final : public progress_view {
  public:
    std::vector<std::string> captions, lines;
    std::vector<int> gauge;
    int shown = 0;
    void show_progress(const user_message& caption) override {
        captions.push_back(caption.english);
        ++shown;
    }
    void add_progress_line(const user_message& text) override { lines.push_back(text.english); }
    void set_gauge(int percent) override { gauge.push_back(percent); }
    void hide_progress() override { --shown; }
};
