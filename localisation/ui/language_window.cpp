// The language window: language choice, applying it live, and the translation editor.
#include "language_window.h"

#include "language_applier.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Item data of an element row: where its text lives in the catalogue.
constexpr int form_role = Qt::UserRole;
constexpr int component_role = Qt::UserRole + 1;
constexpr int element_role = Qt::UserRole + 2;

const char* const locale_names[language_count] = {"fr_FR", "en_GB", "en_US", "de_DE", "it_IT",
                                                  "es_MX", "sv_SE", "pt_PT", "ko_KR"};

QIcon red_bullet() {
    QPixmap p(12, 12);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(220, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(2, 2, 8, 8);
    return QIcon(p);
}

QString element_label(int element) {
    switch (element) {
    case element_caption:
        return QStringLiteral("Caption");
    case element_short_hint:
        return QStringLiteral("Hint");
    case element_long_hint:
        return QStringLiteral("LongHint");
    default:
        return QStringLiteral("Items[%1]").arg(element);
    }
}

QString shown_text(const lng_element& e, int element) {
    return QString::fromStdString(
        element == element_short_hint || element == element_long_hint ? e.text : typed_from_element(e));
}

} // namespace

language_window::language_window(const QString& executable_path, QWidget* parent,
                                 const QString& user_directory)
    : QDialog(parent),
      paths_(language_paths::of_executable(executable_path.toStdString(), user_directory.toStdString())) {
    setObjectName("TLocalisation");
    setWindowTitle("Select a language or Press Shift+F2");
    resize(640, 480);

    language_label = new QLabel("Language", this);
    language_label->setObjectName("Label1");
    language_combo = new QComboBox(this);
    language_combo->setObjectName("ComboBox1");
    reference_label = new QLabel("Reference language", this);
    reference_label->setObjectName("Label2");
    reference_combo = new QComboBox(this);
    reference_combo->setObjectName("ComboBox2");
    reference_combo->addItem(QString());
    for (const auto& l : languages) {
        language_combo->addItem(QString::fromUtf8(l.combo_text.data(), qsizetype(l.combo_text.size())));
        reference_combo->addItem(QString::fromUtf8(l.combo_text.data(), qsizetype(l.combo_text.size())));
    }
    text_tree = new QTreeWidget(this);
    text_tree->setObjectName("TreeView1");
    text_tree->setColumnCount(3);
    text_tree->setHeaderLabels({QString(), QString(), QString()});
    text_tree->header()->setStretchLastSection(true);
    text_tree->setColumnWidth(0, 200);
    text_tree->setColumnWidth(1, 220);
    search_edit = new QLineEdit(this);
    search_edit->setObjectName("Edit1");
    next_button = new QPushButton(">>", this);
    next_button->setObjectName("Button1");
    save_button = new QPushButton("&Save", this);
    save_button->setObjectName("Button2");
    close_button = new QPushButton("&Close", this);
    close_button->setObjectName("Button3");
    // The window's constant texts (questions) travel with its language file like any control's.
    auto* constants = new QObject(this);
    constants->setObjectName("Constants");

    auto* top = new QHBoxLayout;
    top->addWidget(language_label);
    top->addWidget(language_combo, 1);
    top->addWidget(reference_label);
    top->addWidget(reference_combo, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(search_edit, 1);
    bottom->addWidget(next_button);
    bottom->addStretch();
    bottom->addWidget(save_button);
    bottom->addWidget(close_button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(text_tree, 1);
    layout->addLayout(bottom);

    report = [this](const QString& text) { QMessageBox::warning(this, "Vellum", text); };
    ask = [this](const QString& question) {
        return int(QMessageBox::question(this, "Vellum", question,
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel));
    };

    connect(language_combo, &QComboBox::currentIndexChanged, this, [this](int i) { on_language_chosen(i); });
    connect(reference_combo, &QComboBox::currentIndexChanged, this,
            [this](int i) { on_reference_chosen(i); });
    connect(next_button, &QPushButton::clicked, this, [this] { next_match(); });
    connect(search_edit, &QLineEdit::returnPressed, this, [this] { next_match(); });
    connect(save_button, &QPushButton::clicked, this, [this] { save(); });
    connect(close_button, &QPushButton::clicked, this, [this] { close(); });
    connect(text_tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column == 1 && item->data(0, element_role).isValid()) edit_text(item, item->text(1));
    });

    // Which languages have a file.
    existing_ = paths_.existing();
    if (existing_[english_us_index]) {
        const language_load_result r =
            load_language_file(paths_.language_file(languages[english_us_index].code), english_);
        if (!r.ok) start_up_problems_.append(QString::fromStdString(r.message));
    }
    add_window(this);
    // The windows are built with the English (US) texts: that is the language until one is chosen.
    catalogue_ = english_;
    current_ = int(english_us_index);
    {
        const QSignalBlocker block(language_combo);
        language_combo->setCurrentIndex(current_);
    }
    fill_tree();
}

void language_window::add_window(QWidget* window) {
    if (!windows_.contains(window)) windows_.append(window);
    if (const lng_form* form = catalogue_.find(window->objectName().toStdString())) apply_form(window, *form);
}

void language_window::select_language(std::uint16_t identifier) {
    const auto index = language_by_identifier(identifier);
    if (!index || int(*index) == current_) return;
    const QSignalBlocker block(language_combo);
    language_combo->setCurrentIndex(int(*index));
    load(int(*index));
}

QString language_window::message(const user_message& m) const {
    return QString::fromStdString(shown(m));
}

QString language_window::text(const char* key, const QStringList& values) const {
    std::vector<std::string> v;
    for (const QString& s : values)
        v.push_back(s.toStdString());
    for (const lng_catalogue* c : {&catalogue_, &english_})
        if (const auto t = c->shown(message_form, key, element_caption))
            return QString::fromStdString(fill_template(*t, v));
    return {};
}

void language_window::on_language_chosen(int index) {
    if (index == current_ || index < 0) return;
    if (!settle_unsaved_edits()) {
        const QSignalBlocker block(language_combo);
        language_combo->setCurrentIndex(current_);
        return;
    }
    load(index);
}

void language_window::on_reference_chosen(int index) {
    reference_ = {};
    if (index > 0 && existing_[std::size_t(index - 1)]) {
        const language_load_result r =
            load_language_file(paths_.language_file(languages[std::size_t(index - 1)].code), reference_);
        if (!r.ok && report) report(QString::fromStdString(r.message));
    }
    fill_tree();
}

bool language_window::load(int index) {
    const language_info& language = languages[std::size_t(index)];
    current_ = index;
    help_file_ = QString::fromStdString(paths_.help_file(language.code));
    bool ok = true;
    const std::string path = paths_.language_file(language.code);
    if (existing_[std::size_t(index)]) {
        const language_load_result r = load_language_file(path, catalogue_);
        if (!r.ok) {
            ok = false;
            // In English when the damaged file is the one that would word it.
            if (report) report(message(say(msg::language_damaged, {path})));
        }
        if (default_copy) copy_to_default(paths_, language.code);
    }
    catalogue_.language_id = language.identifier;
    dirty_ = false;

    const QLocale locale(QString::fromLatin1(locale_names[index]));
    const QString native = locale.nativeLanguageName() + " (" + locale.nativeTerritoryName() + ")";
    const QString combo = language_combo->itemText(index);
    language_combo->setToolTip(native == combo ? QString() : native);
    apply();
    fill_tree();
    if (language_changed) language_changed();
    return ok;
}

bool language_window::settle_unsaved_edits() {
    if (!dirty_) return true;
    const QString question = QString::fromStdString(
        catalogue_.shown("TLocalisation", "Constants", 1).value_or("Do you want to save the changes?"));
    switch (ask ? ask(question) : int(QMessageBox::No)) {
    case QMessageBox::Yes:
        return save();
    case QMessageBox::No: {
        // The edits are discarded: the file as it was comes back.
        dirty_ = false;
        if (existing_[std::size_t(current_)])
            load_language_file(paths_.language_file(languages[std::size_t(current_)].code), catalogue_);
        apply();
        fill_tree();
        return true;
    }
    default:
        return false;
    }
}

void language_window::apply() {
    apply_catalogue(windows_, catalogue_);
}

bool language_window::save() {
    drop_missing(catalogue_, windows_, {QString::fromLatin1(message_form)});
    std::string problem;
    const std::string path = paths_.writable_language_file(languages[std::size_t(current_)].code);
    if (!save_language_file(path, catalogue_, &problem)) {
        if (report) report(QString::fromStdString(path + ": " + problem));
        return false;
    }
    existing_[std::size_t(current_)] = true;
    dirty_ = false;
    fill_tree();
    return true;
}

void language_window::edit_text(QTreeWidgetItem* item, const QString& typed) {
    const std::string form = item->data(0, form_role).toString().toStdString();
    const std::string component = item->data(0, component_role).toString().toStdString();
    const int element = item->data(0, element_role).toInt();
    catalogue_.set(form, component, element, typed.toStdString());
    dirty_ = true;
    {
        const QSignalBlocker block(text_tree);
        item->setIcon(0, QIcon());
    }
    for (QWidget* window : windows_)
        if (window->objectName().toStdString() == form) {
            QObject* control =
                component.empty() ? window : window->findChild<QObject*>(QString::fromStdString(component));
            set_element(control, element, typed);
        }
}

void language_window::next_match() {
    QList<QTreeWidgetItem*> rows;
    for (QTreeWidgetItemIterator it(text_tree); *it; ++it)
        if ((*it)->data(0, element_role).isValid()) rows.append(*it);
    if (rows.isEmpty()) return;
    const qsizetype start = rows.indexOf(text_tree->currentItem());
    const QString wanted = search_edit->text();
    for (qsizetype step = 1; step <= rows.size(); ++step) {
        QTreeWidgetItem* row = rows[(start + step + rows.size()) % rows.size()];
        const bool hit =
            wanted.isEmpty() ? !row->icon(0).isNull() : row->text(1).contains(wanted, Qt::CaseInsensitive);
        if (hit) {
            text_tree->setCurrentItem(row);
            text_tree->scrollToItem(row);
            return;
        }
    }
}

void language_window::fill_tree() {
    const QSignalBlocker block(text_tree);
    text_tree->clear();
    const QIcon bullet = red_bullet();
    const auto add_element = [&](QTreeWidgetItem* parent, const lng_form& form, const std::string& component,
                                 int element, const lng_element& e) {
        auto* row = new QTreeWidgetItem(parent);
        row->setText(0, element_label(element));
        row->setText(1, shown_text(e, element));
        if (e.untranslated) row->setIcon(0, bullet);
        if (const auto ref = reference_.shown(form.class_name, component, element)) {
            lng_element r = element_from_typed(*ref);
            if (element == element_short_hint || element == element_long_hint) r = {*ref, 0, false};
            row->setText(2, shown_text(r, element));
        }
        row->setData(0, form_role, QString::fromStdString(form.class_name));
        row->setData(0, component_role, QString::fromStdString(component));
        row->setData(0, element_role, element);
        row->setFlags(row->flags() | Qt::ItemIsEditable);
    };
    for (const auto& form : catalogue_.forms) {
        auto* form_item = new QTreeWidgetItem(text_tree, {QString::fromStdString(form.class_name)});
        if (form.caption) add_element(form_item, form, "", element_caption, *form.caption);
        for (const auto& c : form.components) {
            auto* component_item = new QTreeWidgetItem(form_item, {QString::fromStdString(c.name)});
            for (const auto& [element, e] : c.elements)
                add_element(component_item, form, c.name, element, e);
        }
    }
}

void language_window::closeEvent(QCloseEvent* event) {
    if (settle_unsaved_edits())
        event->accept();
    else
        event->ignore();
}
