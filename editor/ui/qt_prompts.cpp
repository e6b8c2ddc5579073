// Message boxes and file dialogs behind the editor's prompts.
#include "qt_prompts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

void qt_prompts::message(const user_message& text) {
    // Every message tells of a refusal or a failure.
    QMessageBox::warning(parent_, "Vellum", QString::fromStdString(text.english));
}

answer qt_prompts::ask(const user_message& text, bool with_cancel) {
    auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (with_cancel) buttons |= QMessageBox::Cancel;
    const auto r = QMessageBox::question(parent_, "Vellum", QString::fromStdString(text.english), buttons);
    return r == QMessageBox::Yes ? answer::yes : r == QMessageBox::No ? answer::no : answer::cancel;
}

std::string qt_prompts::choose_open_file(const user_message& filter) {
    return chosen(QFileDialog::getOpenFileName(parent_, QString::fromStdString(open_title_), folder_,
                                               QString::fromStdString(filter.english)));
}

std::string qt_prompts::choose_save_file(const user_message& filter) {
    return choose_save_file_named(filter, {});
}

std::string qt_prompts::choose_save_file_named(const user_message& filter,
                                               const std::string& suggested_name) {
    // The overwrite question is the editor's own.
    const QString name = QString::fromStdString(suggested_name);
    const QString start = folder_.isEmpty() ? name : name.isEmpty() ? folder_ : QDir(folder_).filePath(name);
    return chosen(QFileDialog::getSaveFileName(parent_, QString::fromStdString(save_title_), start,
                                               QString::fromStdString(filter.english), nullptr,
                                               QFileDialog::DontConfirmOverwrite));
}

std::string qt_prompts::chosen(const QString& path) {
    if (!path.isEmpty()) folder_ = QFileInfo(path).absolutePath();
    return path.toStdString();
}

void qt_prompts::set_chooser_titles(const std::string& open_title, const std::string& save_title) {
    open_title_ = open_title;
    save_title_ = save_title;
}
