// The main window's interface language wiring.
#include "interface_language.h"

#include "editor_document.h"
#include "language_window.h"
#include "languages.h"
#include "texture_panel_widget.h"
#include "translated_prompts.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QListWidget>
#include <QMainWindow>
#include <QSignalBlocker>
#include <QTreeWidget>

interface_language::interface_language(const QString& program_dir, QMainWindow& main,
                                       editor_prompts& shown_by, const QString& user_directory) {
    // Language files sit beside the program as <program>_<code>.lng; a program of another name
    // (a test, a renamed copy) uses the editor's own files.
    QString base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (!QFileInfo::exists(program_dir + "/" + base + "_us.lng")) base = "vellum";
    window_ = new language_window(program_dir + "/" + base, &main, user_directory);
    window_->add_window(&main);
    // Messages and questions of every command reach the user in the chosen language.
    prompts_ = std::make_unique<translated_prompts>(shown_by, *window_);
    window_->language_changed = [this] {
        if (changed) changed();
    };
}

interface_language::~interface_language() = default;

void interface_language::add_window(QWidget* window) {
    window_->add_window(window);
}

editor_prompts& interface_language::prompts() {
    return *prompts_;
}

void interface_language::select(int identifier) {
    window_->select_language(std::uint16_t(identifier));
}

int interface_language::identifier() const {
    return window_->language_identifier();
}

QString interface_language::code() const {
    const int i = window_->current_index();
    if (i < 0 || std::size_t(i) >= language_count) return {};
    const auto c = languages[std::size_t(i)].code;
    return QString::fromLatin1(c.data(), qsizetype(c.size()));
}

QString interface_language::caption(const char* component, const char* english) const {
    const auto t = window_->catalogue().shown("TForm1", component, element_caption);
    return t ? QString::fromStdString(*t) : QString(english);
}

QString interface_language::text(const char* key, const QStringList& values) const {
    return window_->text(key, values);
}

std::string interface_language::word(const user_message& m) const {
    return window_->shown(m);
}

namespace {

// Items of the tree and the nodes they were made from, in the same order.
void word_tree(const interface_language& language, QTreeWidgetItem& item, const tree_node& node) {
    item.setText(0, QString::fromStdString(language.word(node.label)));
    item.setToolTip(0, item.text(0));
    for (int i = 0; i < item.childCount() && std::size_t(i) < node.children.size(); ++i)
        word_tree(language, *item.child(i), node.children[std::size_t(i)]);
}

} // namespace

void interface_language::translate_level_texts(const editor_document& doc, QTreeWidget& tree,
                                               texture_panel_widget& panel) const {
    if (!doc.has_level()) return;
    panel.setTitle(QString::fromStdString(word(doc.texture_group_caption())));
    {
        const QSignalBlocker block(&tree);
        // The root is the file's name in every language (and a Save As renames it).
        if (QTreeWidgetItem* root = tree.topLevelItem(0))
            for (int i = 0; i < root->childCount() && std::size_t(i) < doc.tree().children.size(); ++i)
                word_tree(*this, *root->child(i), doc.tree().children[std::size_t(i)]);
    }
    // Page p + 1 and texture i, as the panel lists them.
    if (auto* pages = panel.findChild<QComboBox*>("ComboBox1")) {
        const QSignalBlocker block(pages);
        for (int i = 0; i < pages->count(); ++i)
            pages->setItemText(i, QString::fromStdString(word(say(msg::page_item, {std::to_string(i + 1)}))));
    }
    if (auto* list = panel.findChild<QListWidget*>("ListBox1")) {
        const QSignalBlocker block(list);
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setText(QString::fromStdString(word(say(msg::texture_item, {std::to_string(i)}))));
    }
}
