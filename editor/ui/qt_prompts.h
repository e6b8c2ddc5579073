// The editor's questions, messages and file choosers as message boxes and file dialogs. The
// choosers start in the folder last used.
#pragma once

#include "prompts.h"

#include <QString>

class QWidget;

class qt_prompts final : public editor_prompts {
  public:
    explicit qt_prompts(QWidget* parent) : parent_(parent) {}
    // Texts are shown as they are (their English wording, or the wording translated_prompts gave).
    void message(const user_message& text) override;
    answer ask(const user_message& text, bool with_cancel) override;
    std::string choose_open_file(const user_message& filter) override;
    std::string choose_save_file(const user_message& filter) override;
    std::string choose_save_file_named(const user_message& filter,
                                       const std::string& suggested_name) override;
    void set_chooser_titles(const std::string& open_title, const std::string& save_title) override;
    // The folder the choosers start in until a file is chosen in another (the open level's folder).
    void start_in(const QString& folder) { folder_ = folder; }

  private:
    QWidget* parent_;
    std::string open_title_ = "Open";
    std::string save_title_ = "Save As";
    // Where the choosers start: the open level's folder or the last folder used.
    QString folder_;
    std::string chosen(const QString& path);
};
