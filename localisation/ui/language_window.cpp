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

TLocalisation::TLocalisation(const QString& executable_path, QWidget* parent)
    : QDialog(parent), paths_(language_paths::of_executable(executable_path.toStdString())) {
    setObjectName("TLocalisation");
    setWindowTitle("Select a language or Press Shift+F2");
    resize(640, 480);

    Label1 = new QLabel("Language", this);
    Label1->setObjectName("Label1");
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    Label2 = new QLabel("Reference language", this);
    Label2->setObjectName("Label2");
    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName("ComboBox2");
    ComboBox2->addItem(QString());
    for (const auto& l : languages) {
        ComboBox1->addItem(QString::fromUtf8(l.combo_text.data(), qsizetype(l.combo_text.size())));
        ComboBox2->addItem(QString::fromUtf8(l.combo_text.data(), qsizetype(l.combo_text.size())));
    }
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName("TreeView1");
    TreeView1->setColumnCount(3);
    TreeView1->setHeaderLabels({QString(), QString(), QString()});
    TreeView1->header()->setStretchLastSection(true);
    TreeView1->setColumnWidth(0, 200);
    TreeView1->setColumnWidth(1, 220);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Button1 = new QPushButton(">>", this);
    Button1->setObjectName("Button1");
    Button2 = new QPushButton("&Save", this);
    Button2->setObjectName("Button2");
    Button3 = new QPushButton("&Close", this);
    Button3->setObjectName("Button3");
    // The window's constant texts (questions) travel with its language file like any control's.
    auto* constants = new QObject(this);
    constants->setObjectName("Constants");

    auto* top = new QHBoxLayout;
    top->addWidget(Label1);
    top->addWidget(ComboBox1, 1);
    top->addWidget(Label2);
    top->addWidget(ComboBox2, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Edit1, 1);
    bottom->addWidget(Button1);
    bottom->addStretch();
    bottom->addWidget(Button2);
    bottom->addWidget(Button3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(TreeView1, 1);
    layout->addLayout(bottom);

    report = [this](const QString& text) { QMessageBox::warning(this, "Vellum", text); };
    ask = [this](const QString& question) {
        return int(QMessageBox::question(this, "Vellum", question,
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel));
    };

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this](int i) { ComboBox1Change(i); });
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, [this](int i) { ComboBox2Change(i); });
    connect(Button1, &QPushButton::clicked, this, [this] { next_match(); });
    connect(Edit1, &QLineEdit::returnPressed, this, [this] { next_match(); });
    connect(Button2, &QPushButton::clicked, this, [this] { save(); });
    connect(Button3, &QPushButton::clicked, this, [this] { close(); });
    connect(TreeView1, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column == 1 && item->data(0, element_role).isValid()) edit_text(item, item->text(1));
    });

    // Which languages have a file; the English (US) one is also the reference of the messages.
    existing_ = paths_.existing();
    if (existing_[english_us_index])
        load_language_file(paths_.language_file(languages[english_us_index].code), english_);
    add_window(this);
    // The windows are built with the English (US) texts: that is the language until one is chosen.
    catalogue_ = english_;
    current_ = int(english_us_index);
    {
        const QSignalBlocker block(ComboBox1);
        ComboBox1->setCurrentIndex(current_);
    }
    fill_tree();
}

void TLocalisation::add_window(QWidget* window) {
    if (!windows_.contains(window)) windows_.append(window);
    if (const lng_form* form = catalogue_.find(window->objectName().toStdString())) apply_form(window, *form);
}

void TLocalisation::select_language(std::uint16_t identifier) {
    const auto index = language_by_identifier(identifier);
    if (!index || int(*index) == current_) return;
    const QSignalBlocker block(ComboBox1);
    ComboBox1->setCurrentIndex(int(*index));
    load(int(*index));
}

QString TLocalisation::message(const QString& english) const {
    return QString::fromStdString(messages_.translate(english.toStdString()));
}

QString TLocalisation::text(const char* key, const QStringList& values) const {
    std::vector<std::string> v;
    for (const QString& s : values)
        v.push_back(s.toStdString());
    return QString::fromStdString(messages_.text(key, v));
}

void TLocalisation::ComboBox1Change(int index) {
    if (index == current_ || index < 0) return;
    if (!settle_unsaved_edits()) {
        const QSignalBlocker block(ComboBox1);
        ComboBox1->setCurrentIndex(current_);
        return;
    }
    load(index);
}

void TLocalisation::ComboBox2Change(int index) {
    reference_ = {};
    if (index > 0 && existing_[std::size_t(index - 1)])
        load_language_file(paths_.language_file(languages[std::size_t(index - 1)].code), reference_);
    fill_tree();
}

bool TLocalisation::load(int index) {
    const language_info& language = languages[std::size_t(index)];
    current_ = index;
    help_file_ = QString::fromStdString(paths_.help_file(language.code));
    bool ok = true;
    const std::string path = paths_.language_file(language.code);
    if (existing_[std::size_t(index)]) {
        const language_load_result r = load_language_file(path, catalogue_);
        if (!r.ok) {
            ok = false;
            if (report) report(text("LanguageDamaged", {QString::fromStdString(path)}));
        }
        if (default_copy) copy_to_default(paths_, language.code);
    }
    catalogue_.language_id = language.identifier;
    dirty_ = false;

    const QLocale locale(QString::fromLatin1(locale_names[index]));
    const QString native = locale.nativeLanguageName() + " (" + locale.nativeTerritoryName() + ")";
    const QString combo = ComboBox1->itemText(index);
    ComboBox1->setToolTip(native == combo ? QString() : native);
    apply();
    fill_tree();
    if (language_changed) language_changed();
    return ok;
}

bool TLocalisation::settle_unsaved_edits() {
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

void TLocalisation::apply() {
    apply_catalogue(windows_, catalogue_);
}

bool TLocalisation::save() {
    drop_missing(catalogue_, windows_, {QString::fromLatin1(message_form)});
    std::string problem;
    const std::string path = paths_.language_file(languages[std::size_t(current_)].code);
    if (!save_language_file(path, catalogue_, &problem)) {
        if (report) report(QString::fromStdString(path + ": " + problem));
        return false;
    }
    existing_[std::size_t(current_)] = true;
    dirty_ = false;
    fill_tree();
    return true;
}

void TLocalisation::edit_text(QTreeWidgetItem* item, const QString& typed) {
    const std::string form = item->data(0, form_role).toString().toStdString();
    const std::string component = item->data(0, component_role).toString().toStdString();
    const int element = item->data(0, element_role).toInt();
    catalogue_.set(form, component, element, typed.toStdString());
    dirty_ = true;
    {
        const QSignalBlocker block(TreeView1);
        item->setIcon(0, QIcon());
    }
    for (QWidget* window : windows_)
        if (window->objectName().toStdString() == form) {
            QObject* control =
                component.empty() ? window : window->findChild<QObject*>(QString::fromStdString(component));
            set_element(control, element, typed);
        }
}

void TLocalisation::next_match() {
    QList<QTreeWidgetItem*> rows;
    for (QTreeWidgetItemIterator it(TreeView1); *it; ++it)
        if ((*it)->data(0, element_role).isValid()) rows.append(*it);
    if (rows.isEmpty()) return;
    const qsizetype start = rows.indexOf(TreeView1->currentItem());
    const QString wanted = Edit1->text();
    for (qsizetype step = 1; step <= rows.size(); ++step) {
        QTreeWidgetItem* row = rows[(start + step + rows.size()) % rows.size()];
        const bool hit =
            wanted.isEmpty() ? !row->icon(0).isNull() : row->text(1).contains(wanted, Qt::CaseInsensitive);
        if (hit) {
            TreeView1->setCurrentItem(row);
            TreeView1->scrollToItem(row);
            return;
        }
    }
}

void TLocalisation::fill_tree() {
    const QSignalBlocker block(TreeView1);
    TreeView1->clear();
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
        auto* form_item = new QTreeWidgetItem(TreeView1, {QString::fromStdString(form.class_name)});
        if (form.caption) add_element(form_item, form, "", element_caption, *form.caption);
        for (const auto& c : form.components) {
            auto* component_item = new QTreeWidgetItem(form_item, {QString::fromStdString(c.name)});
            for (const auto& [element, e] : c.elements)
                add_element(component_item, form, c.name, element, e);
        }
    }
}

void TLocalisation::closeEvent(QCloseEvent* event) {
    if (settle_unsaved_edits())
        event->accept();
    else
        event->ignore();
}
