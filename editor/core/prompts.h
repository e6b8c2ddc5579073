// What the editor core asks of the user interface: messages, questions, file choosers and the
// loading window. Windows implement it with dialogs; tests answer it from a script. Messages,
// questions, filter names and progress texts are named messages (user_message.h): the windows
// word them in the chosen language, everything else uses their English text.
#pragma once

#include "tr_level.h"
#include "user_message.h"

#include <string>

enum class answer { yes, no, cancel };

class editor_prompts {
  public:
    virtual ~editor_prompts() = default;
    virtual void message(const user_message& text) = 0;
    // A Yes/No question, or Yes/No/Cancel when `with_cancel`.
    virtual answer ask(const user_message& text, bool with_cancel) = 0;
    // File choosers; an empty result means the user cancelled.
    virtual std::string choose_open_file(const user_message& filter) = 0;
    virtual std::string choose_save_file(const user_message& filter) = 0;
    // A save chooser with `suggested_name` filled in; the plain one by default.
    virtual std::string choose_save_file_named(const user_message& filter,
                                               const std::string& suggested_name) {
        static_cast<void>(suggested_name);
        return choose_save_file(filter);
    }
    // The titles of the open and save choosers from now on ("Open", "Save As" until set).
    virtual void set_chooser_titles(const std::string& open_title, const std::string& save_title) {
        static_cast<void>(open_title);
        static_cast<void>(save_title);
    }
};

// The loading window: a caption, text lines and a 0..100 gauge.
class progress_view {
  public:
    virtual ~progress_view() = default;
    virtual void show_progress(const user_message& caption) = 0;
    virtual void add_progress_line(const user_message& text) = 0;
    virtual void set_gauge(int percent) = 0;
    virtual void hide_progress() = 0;
};

// A progress view that shows nothing (command line, tests).
class null_progress final : public progress_view {
  public:
    void show_progress(const user_message&) override {}
    void add_progress_line(const user_message&) override {}
    void set_gauge(int) override {}
    void hide_progress() override {}
};

// Hands a progress view's gauge to the level as its progress reference for one command.
class gauge_link {
  public:
    gauge_link(tr_level& level, progress_view& view) : level_(level) {
        level_.progress = [&view](int v) { view.set_gauge(v); };
    }
    ~gauge_link() { level_.progress = nullptr; }
    gauge_link(const gauge_link&) = delete;
    gauge_link& operator=(const gauge_link&) = delete;

  private:
    tr_level& level_;
};
