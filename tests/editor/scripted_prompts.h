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

    void message(const std::string& text) override {
        messages.push_back(text);
        if (on_message) on_message();
    }
    answer ask(const std::string& text, bool) override {
        questions.push_back(text);
        if (answers.empty()) return answer::no;
        const auto a = answers.front();
        answers.pop_front();
        return a;
    }
    std::string choose_open_file(const std::string& filter) override {
        filters.push_back(filter);
        return open_choice;
    }
    std::string choose_save_file(const std::string& filter) override {
        filters.push_back(filter);
        return save_choice;
    }
    std::string choose_save_file_named(const std::string& filter, const std::string& suggested) override {
        filters.push_back(filter);
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
    void show_progress(const std::string& caption) override {
        captions.push_back(caption);
        ++shown;
    }
    void add_progress_line(const std::string& text) override { lines.push_back(text); }
    void set_gauge(int percent) override { gauge.push_back(percent); }
    void hide_progress() override { --shown; }
};
