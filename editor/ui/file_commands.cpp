// Opening and saving levels from the main window.
#include "file_commands.h"

#include "save_choices.h"
#include "windows/loading_window.h"

#include <QAction>
#include <filesystem>

namespace {

// The prompts of an open, which keeps the loading window up from the read to the OpenGL textures: a
// message or question closes it first, so that a failure is not shown behind a busy cursor.
class prompts_ending_loading final : public editor_prompts {
  public:
    prompts_ending_loading(editor_prompts& inner, loading_window& loading)
        : inner_(inner), loading_(loading) {}
    void message(const user_message& text) override {
        loading_.keep_open(false);
        inner_.message(text);
    }
    answer ask(const user_message& text, bool with_cancel) override {
        loading_.keep_open(false);
        return inner_.ask(text, with_cancel);
    }
    std::string choose_open_file(const user_message& filter) override {
        return inner_.choose_open_file(filter);
    }
    std::string choose_save_file(const user_message& filter) override {
        return inner_.choose_save_file(filter);
    }
    std::string choose_save_file_named(const user_message& filter, const std::string& suggested) override {
        return inner_.choose_save_file_named(filter, suggested);
    }

  private:
    editor_prompts& inner_;
    loading_window& loading_;
};

std::string folder_of(const std::string& path) {
    return std::filesystem::path(path).parent_path().string();
}

} // namespace

file_commands::file_commands(editor_document& doc, editor_prompts& prompts, links with)
    : doc_(doc), prompts_(prompts), with_(std::move(with)) {}

void file_commands::add_menu_items(QMenu& file, level_actions& needs_level) {
    const auto on = [this](QAction* action, void (file_commands::*handler)()) {
        QObject::connect(action, &QAction::triggered, action, [this, handler] { (this->*handler)(); });
    };
    on(add_item(file, "OpenFile1", "&Open", QKeySequence("Ctrl+O")), &file_commands::open_file);
    on(add_level_item(file, needs_level, "Save1", "S&ave", QKeySequence("Ctrl+S")), &file_commands::save);
    on(add_level_item(file, needs_level, "SaveAs1", "&Save As..."), &file_commands::save_as);
}

void file_commands::add_recent_items(QMenu& file) {
    for (std::size_t i = 0; i < recent_items_.size(); ++i) {
        const QByteArray name = "None" + QByteArray::number(int(i) + 1);
        QAction* item = add_item(file, name.constData(), "None");
        QObject::connect(item, &QAction::triggered, item, [this, i] { open_recent(int(i)); });
        recent_items_[i] = item;
    }
}

void file_commands::show_recent_files(const QString& none) {
    const auto& e = doc_.recent().entries();
    for (std::size_t i = 0; i < recent_items_.size(); ++i)
        recent_items_[i]->setText(i < e.size() ? QString::fromStdString(e[i]) : none);
}

void file_commands::open_file() {
    const auto path = prompts_.choose_open_file(level_file_filter());
    if (!path.empty()) open_path(QString::fromStdString(path));
}

bool file_commands::open_path(const QString& path) {
    return open_with([this, &path](progress_view& progress, editor_prompts& prompts) {
        return doc_.open(path.toStdString(), with_.catalogue_path.toStdString(), progress, prompts);
    });
}

void file_commands::open_recent(int index) {
    const auto& entries = doc_.recent().entries();
    if (std::size_t(index) >= entries.size()) return;
    const auto path = entries[std::size_t(index)];
    open_with([this, &path](progress_view& progress, editor_prompts& prompts) {
        return doc_.open_recent(path, with_.catalogue_path.toStdString(), progress, prompts);
    });
}

bool file_commands::open_with(const std::function<command_result(progress_view&, editor_prompts&)>& open) {
    if (!doc_.confirm_close(with_.loading, prompts_)) return false;
    // One loading window for the whole open, its lines kept up to the OpenGL textures.
    with_.loading.keep_open(true);
    prompts_ending_loading prompts(prompts_, with_.loading);
    const bool opened = bool(open(with_.loading, prompts));
    if (opened) {
        with_.start_choosers_in(folder_of(doc_.current_path()));
        with_.after_open();
    }
    with_.loading.keep_open(false);
    return opened;
}

void file_commands::save() {
    if (!doc_.save(with_.loading, prompts_)) return;
    after_saving();
}

void file_commands::save_as() {
    if (doc_.current_path().empty()) return;
    // The chooser proposes the level's own name; a name typed without an extension gets the
    // level's own.
    std::string path = with_extension_if_none(
        prompts_.choose_save_file_named(level_file_filter(), file_name_of(doc_.current_path())),
        extension_of(doc_.current_path()));
    if (path.empty()) return;
    const std::string instead = own_extension_instead(path, doc_.current_path(), doc_.level().game_version);
    if (!instead.empty()) {
        switch (
            prompts_.ask(say(msg::save_as_other_game, {file_name_of(path), file_name_of(instead)}), true)) {
        case answer::yes:
            path = instead;
            break;
        case answer::no:
            break;
        case answer::cancel:
            return;
        }
    }
    if (!doc_.save_as(path, with_.loading, prompts_)) return;
    with_.start_choosers_in(folder_of(doc_.current_path()));
    after_saving();
}

void file_commands::after_saving() {
    with_.after_save();
    with_.show_status(say(msg::saved, {doc_.current_path()}));
}

bool file_commands::confirm_close() {
    return doc_.confirm_close(with_.loading, prompts_);
}
