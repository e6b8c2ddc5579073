// The language window as a user drives it: choosing each language rewrites the windows' texts
// and messages, a damaged file is named, and edits are kept or dropped as the user answers.
#include "language_applier.h"
#include "language_window.h"
#include "window_test_environment.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

struct language_fixture : ::testing::Test {
    QTemporaryDir dir;
    QMainWindow main;
    QDialog remap;
    QAction* open = nullptr;
    QPushButton* center = nullptr;
    QComboBox* attributes = nullptr;
    QPushButton* remap_button = nullptr;
    std::unique_ptr<language_window> languages_window;
    QStringList reports;
    std::vector<int> answers; // to the unsaved-edits question, in order
    int questions = 0;

    void SetUp() override {
        // The generated language files, copied so that saving touches only the copies.
        for (const QString& name : QDir(VELLUM_LANGUAGE_DIR).entryList({"vellum_*.lng"}))
            QFile::copy(QString(VELLUM_LANGUAGE_DIR) + "/" + name, dir.filePath(name));
        main.setObjectName("TForm1");
        auto* file = main.menuBar()->addMenu("&File");
        file->setObjectName("File1");
        open = file->addAction("&Open");
        open->setObjectName("OpenFile1");
        center = new QPushButton("&Center Camera", &main);
        center->setObjectName("Button1");
        center->setProperty(long_hint_property, "Press to Center Camera...");
        attributes = new QComboBox(&main);
        attributes->setObjectName("ComboBox2");
        attributes->addItems({"Opaque", "Transparent", "Semi-Transparent"});
        remap.setObjectName("TRemap");
        remap_button = new QPushButton("Remap", &remap);
        remap_button->setObjectName("Button1");

        languages_window = std::make_unique<language_window>(dir.filePath("vellum"));
        languages_window->report = [this](const QString& text) { reports.append(text); };
        languages_window->ask = [this](const QString&) {
            ++questions;
            const int a = answers.empty() ? int(QMessageBox::Cancel) : answers.front();
            if (!answers.empty()) answers.erase(answers.begin());
            return a;
        };
        languages_window->add_window(&main);
        languages_window->add_window(&remap);
    }
    void choose(std::size_t language) { languages_window->language_combo->setCurrentIndex(int(language)); }
    lng_catalogue file_of(std::size_t language) {
        lng_catalogue c;
        load_language_file(
            dir.filePath("vellum_" + QString::fromLatin1(languages[language].code.data(), 2) + ".lng")
                .toStdString(),
            c);
        return c;
    }
    QTreeWidgetItem* element_row(const QString& form, const QString& component, const QString& element) {
        for (QTreeWidgetItemIterator it(languages_window->text_tree); *it; ++it)
            if ((*it)->text(0) == element && (*it)->parent() && (*it)->parent()->text(0) == component &&
                (*it)->parent()->parent() && (*it)->parent()->parent()->text(0) == form)
                return *it;
        return nullptr;
    }
};

TEST_F(language_fixture, EachLanguageRewritesCaptionsHintsListsAndMessagesAndEnglishComesBack) {
    for (std::size_t i = 0; i < language_count; ++i) {
        if (i == english_us_index) continue;
        choose(i);
        const lng_catalogue expected = file_of(i);
        const auto shown = [&](const char* form, const char* component, int element) {
            return QString::fromStdString(expected.shown(form, component, element).value());
        };
        const auto label = languages[i].combo_text;
        EXPECT_EQ(open->text(), shown("TForm1", "OpenFile1", element_caption)) << label;
        EXPECT_EQ(center->text(), shown("TForm1", "Button1", element_caption)) << label;
        EXPECT_NE(center->text(), "&Center Camera") << label;
        EXPECT_EQ(center->property(long_hint_property).toString(),
                  shown("TForm1", "Button1", element_long_hint))
            << label;
        EXPECT_EQ(attributes->itemText(2), shown("TForm1", "ComboBox2", 2)) << label;
        EXPECT_EQ(remap_button->text(), shown("TRemap", "Button1", element_caption)) << label;
        EXPECT_EQ(languages_window->windowTitle(), shown("TLocalisation", "", element_caption)) << label;
        EXPECT_EQ(
            languages_window->message(say(msg::file_not_found)),
            QString::fromStdString(expected.shown("TMessages", "FileNotFound", element_caption).value()))
            << label;
        EXPECT_EQ(languages_window->language_identifier(), languages[i].identifier);
    }
    choose(english_us_index);
    EXPECT_EQ(open->text(), "&Open");
    EXPECT_EQ(center->text(), "&Center Camera");
    EXPECT_EQ(center->property(long_hint_property).toString(), "Press to Center Camera...");
    EXPECT_EQ(attributes->itemText(2), "Semi-Transparent");
    EXPECT_EQ(remap_button->text(), "Remap");
    EXPECT_EQ(languages_window->message(say(msg::file_not_found)), "File not found!!!");
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(language_fixture, ADamagedFileIsNamedAndTheTextsAlreadyShownStay) {
    QFile damaged(dir.filePath("vellum_it.lng"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("LFv01.3 and then nothing a reader can use");
    damaged.close();
    choose(3); // Deutsch
    const QString german_open = open->text();
    choose(4); // Italiano, damaged
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains("vellum_it.lng")) << reports[0].toStdString();
    EXPECT_EQ(open->text(), german_open);

    // With English (US) damaged as well, no language holds the message: it is named in English.
    QFile::remove(dir.filePath("vellum_us.lng"));
    QFile::copy(dir.filePath("vellum_it.lng"), dir.filePath("vellum_us.lng"));
    language_window fresh(dir.filePath("vellum"));
    fresh.report = [this](const QString& text) { reports.append(text); };
    fresh.language_combo->setCurrentIndex(4);
    ASSERT_EQ(reports.size(), 2);
    EXPECT_TRUE(reports[1].startsWith("The language file ") && reports[1].contains("vellum_it.lng"))
        << reports[1].toStdString();
}

TEST_F(language_fixture, EditedTextsAreAskedAboutOnChangeAndSavedWithABackup) {
    choose(3);
    QTreeWidgetItem* row = element_row("TForm1", "OpenFile1", "Caption");
    ASSERT_NE(row, nullptr);
    row->setText(1, "&Laden"); // typed in place
    EXPECT_EQ(open->text(), "&Laden");
    EXPECT_TRUE(languages_window->has_unsaved_edits());

    answers = {QMessageBox::Cancel};
    choose(0);
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(languages_window->language_combo->currentIndex(), 3); // the previous selection comes back
    EXPECT_EQ(open->text(), "&Laden");

    languages_window->search_edit->setText("Laden");
    languages_window->next_match();
    EXPECT_EQ(languages_window->text_tree->currentItem(), element_row("TForm1", "OpenFile1", "Caption"));

    answers = {QMessageBox::Yes};
    choose(0);
    EXPECT_EQ(questions, 2);
    EXPECT_TRUE(QFile::exists(dir.filePath("vellum_de.~ln")));
    EXPECT_EQ(file_of(3).shown("TForm1", "OpenFile1", element_caption), "&Laden");
    EXPECT_EQ(open->text(),
              QString::fromStdString(file_of(0).shown("TForm1", "OpenFile1", element_caption).value()));
}

TEST_F(language_fixture, ClosingWithEditsAsksAndCancelKeepsTheWindowOpen) {
    choose(0);
    languages_window->show();
    languages_window->edit_text(element_row("TForm1", "Button1", "Caption"), "&Centrer");
    answers = {QMessageBox::Cancel};
    languages_window->close();
    EXPECT_TRUE(languages_window->isVisible());
    answers = {QMessageBox::No};
    languages_window->close();
    EXPECT_FALSE(languages_window->isVisible());
    EXPECT_EQ(center->text(),
              QString::fromStdString(file_of(0).shown("TForm1", "Button1", element_caption).value()));
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    const window_test_environment environment; // before the application connects to a display
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
