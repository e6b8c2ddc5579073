// The language window (form TLocalisation): chooses the interface language, applies it to every
// registered window, and doubles as the translation editor of the current language.
#pragma once

#include "language_file.h"
#include "languages.h"
#include "message_texts.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class language_window : public QDialog {
    Q_OBJECT
  public:
    // Finds the language files beside `executable_path` and reads the English (US) one as the
    // reference of the editor's messages. Edited files are saved in `user_directory` when given,
    // and read back from there first.
    explicit language_window(const QString& executable_path, QWidget* parent = nullptr,
                             const QString& user_directory = {});

    // A window whose texts follow the language (its object name is its form's class name).
    void add_window(QWidget* window);
    // Start-up: the language stored under "languaje"; unknown identifiers change nothing.
    void select_language(std::uint16_t identifier);
    std::uint16_t language_identifier() const { return catalogue_.language_id; }
    int current_index() const { return current_; }

    // A message of the editor in the current language.
    QString message(const user_message& m) const;
    std::string shown(const user_message& m) const { return shown_message(&catalogue_, m); }
    // Message `key` of [TMessages] with its values; empty when no language read has it.
    QString text(const char* key, const QStringList& values = {}) const;

    // What went wrong while the window was made (a damaged English (US) file), each naming its
    // file, for the application to show once it is up.
    const QStringList& start_up_problems() const { return start_up_problems_; }

    const lng_catalogue& catalogue() const { return catalogue_; }
    QString help_file() const { return help_file_; }
    bool has_unsaved_edits() const { return dirty_; }
    // Copy the loaded file to <base>_def.lng on every language change.
    bool default_copy = false;

    // Called after every language change, for texts the windows compose while running.
    std::function<void()> language_changed;
    // How a damaged language file is reported (a message box unless replaced, e.g. by tests).
    std::function<void(const QString&)> report;
    // How the unsaved-edits question is asked: QMessageBox::Yes, No or Cancel.
    std::function<int(const QString&)> ask;

    // Translation editor commands.
    void edit_text(QTreeWidgetItem* element_item, const QString& typed);
    bool save();
    void next_match(); // the ">>" button

    QComboBox* language_combo;  // current language
    QComboBox* reference_combo; // reference language
    QTreeWidget* text_tree;
    QLineEdit* search_edit;
    QPushButton *next_button, *save_button, *close_button;
    QLabel *language_label, *reference_label;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void on_language_chosen(int index);
    void on_reference_chosen(int index);
    bool load(int index);
    bool settle_unsaved_edits(); // false: the user cancelled
    void apply();
    void fill_tree();
    void remember_window_texts(QWidget* window);

    language_paths paths_;
    std::array<bool, language_count> existing_{};
    lng_catalogue catalogue_;
    lng_catalogue english_;
    lng_catalogue reference_;
    QList<QWidget*> windows_;
    int current_ = -1;
    bool dirty_ = false;
    QString help_file_;
    QStringList start_up_problems_;
};
