// The whole editor in each interface language: menus, controls, hints, the Keys Guide and the
// editor's messages follow the language window, and English (US) comes back unchanged.
#include "editor_window_fixture.h"
#include "language_applier.h"
#include "language_window.h"
#include "languages.h"
#include "main_window.h"
#include "message_texts.h"
#include "page_view.h"
#include "real_levels.h"
#include "scripted_prompts.h"
#include "text_source.h"
#include "texture_panel_widget.h"
#include "windows/animated_textures_window.h"

#include "app_settings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

struct language_fixture : editor_window_fixture {
    // One recent file that no longer exists: choosing it shows a message.
    void prepare_store(QSettings& s) override {
        s.setValue("Version/version", vellum_version_string);
        s.setValue("Recent files/count", "1");
        s.setValue("Recent files/File name0", dir.filePath("gone.tr4"));
    }
    template <class T> T* find(const char* name) { return w->findChild<T*>(name); }
    static lng_catalogue file_of(std::size_t language) {
        lng_catalogue c;
        load_language_file(
            std::string(VELLUM_APP_DIR) + "/vellum_" + std::string(languages[language].code) + ".lng", c);
        return c;
    }
    std::string message_after_missing_recent_file() {
        find<QAction>("None1")->trigger();
        return prompts.messages.empty() ? std::string() : prompts.messages.back();
    }
};

TEST_F(language_fixture, EachLanguageRewritesCaptionsHintsAndMessagesAndEnglishComesBack) {
    QWidget* keys = w->findChild<QWidget*>("TKeys");
    ASSERT_NE(keys, nullptr);
    auto* readme = w->findChild<QWidget*>("TReadme")->findChild<QPlainTextEdit*>("text_");
    const auto text_beside_program = [](const QString& name) {
        QFile file(QStringLiteral(VELLUM_APP_DIR "/") + name);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    const QString english_readme = text_beside_program("Readme.txt");
    ASSERT_FALSE(english_readme.isEmpty());
    for (std::size_t i = 0; i < language_count; ++i) {
        if (i == english_us_index) continue;
        w->languages().language_combo->setCurrentIndex(int(i));
        const lng_catalogue expected = file_of(i);
        const auto shown = [&](const char* form, const char* component, int element) {
            return QString::fromStdString(expected.shown(form, component, element).value_or("?"));
        };
        const auto label = languages[i].combo_text;
        EXPECT_EQ(find<QAction>("OpenFile1")->text(), shown("TForm1", "OpenFile1", element_caption)) << label;
        EXPECT_EQ(find<QAction>("File1")->text(), shown("TForm1", "File1", element_caption)) << label;
        EXPECT_EQ(find<QPushButton>("Button1")->text(), shown("TForm1", "Button1", element_caption)) << label;
        EXPECT_EQ(find<QCheckBox>("CheckBox12")->text(), shown("TForm1", "CheckBox12", element_caption))
            << label;
        EXPECT_EQ(find<QComboBox>("ComboBox2")->itemText(2), shown("TForm1", "ComboBox2", 2)) << label;
        EXPECT_EQ(find<QPushButton>("Button1")->property(long_hint_property).toString(),
                  shown("TForm1", "Button1", element_long_hint))
            << label;
        EXPECT_EQ(find<QComboBox>("ComboBox1")->toolTip(), shown("TForm1", "ComboBox1", element_short_hint))
            << label;
        EXPECT_EQ(keys->findChild<QPlainTextEdit*>("Memo1")->toPlainText().section('\n', 0, 0),
                  shown("TKeys", "Memo1", 0))
            << label;
        EXPECT_EQ(QString::fromStdString(message_after_missing_recent_file()),
                  shown("TMessages", "FileNotFound", element_caption))
            << label;
        EXPECT_NE(find<QAction>("OpenFile1")->text(), "") << label;
        // The Readme: English UK shares the English text, every other language has its own.
        const QString code = QString::fromUtf8(languages[i].code.data(), qsizetype(languages[i].code.size()));
        if (code == "uk") {
            EXPECT_EQ(readme->toPlainText(), english_readme);
        } else {
            const QString translation = text_beside_program("Readme_" + code + ".txt");
            EXPECT_FALSE(translation.isEmpty()) << label << ": no Readme_" << code.toStdString() << ".txt";
            EXPECT_EQ(readme->toPlainText(), translation) << label;
            EXPECT_NE(readme->toPlainText(), english_readme) << label;
        }
    }
    w->languages().language_combo->setCurrentIndex(int(english_us_index));
    EXPECT_EQ(find<QAction>("OpenFile1")->text(), "&Open");
    EXPECT_EQ(find<QPushButton>("Button1")->text(), "&Center Camera");
    EXPECT_EQ(find<QPushButton>("Button1")->property(long_hint_property).toString(),
              "Press to Center Camera...");
    EXPECT_EQ(keys->findChild<QPlainTextEdit*>("Memo1")->toPlainText().section('\n', 0, 0),
              "VELLUM KEYS GUIDE");
    EXPECT_EQ(message_after_missing_recent_file(), "File not found!!!");
    EXPECT_EQ(find<QAction>("None1")->text(), dir.filePath("gone.tr4")); // recent files keep their paths
    EXPECT_EQ(readme->toPlainText(), english_readme);
}

TEST_F(language_fixture, EveryTextOfTheLanguageFilesReachesALiveControl) {
    const lng_catalogue english = file_of(english_us_index);
    for (const lng_form& form : english.forms) {
        if (form.class_name == message_form) continue; // composed by the editor, not set on controls
        const QString window_name = QString::fromStdString(form.class_name);
        QWidget* window = w->objectName() == window_name ? w.get() : w->findChild<QWidget*>(window_name);
        ASSERT_NE(window, nullptr) << form.class_name;
        for (const lng_component& c : form.components) {
            if (c.name == "Constants") continue; // questions the language window asks itself
            QObject* control = window->findChild<QObject*>(QString::fromStdString(c.name));
            for (const auto& [element, e] : c.elements)
                EXPECT_TRUE(set_element(control, element, QString::fromStdString(typed_from_element(e))))
                    << element_key(form.class_name, c.name, element);
        }
    }
}

TEST_F(language_fixture, FileChoosersShowTheirTitlesAndFiltersInEachLanguage) {
    for (std::size_t i = 0; i < language_count; ++i) {
        w->languages().language_combo->setCurrentIndex(int(i));
        const lng_catalogue expected = file_of(i);
        const auto message = [&](const char* key) {
            return expected.shown("TMessages", key, element_caption).value_or("?");
        };
        find<QAction>("OpenFile1")->trigger(); // cancelled: nothing is opened
        const auto label = languages[i].combo_text;
        EXPECT_EQ(prompts.open_title, message("OpenTitle")) << label;
        EXPECT_EQ(prompts.save_title, message("SaveAsTitle")) << label;
        ASSERT_FALSE(prompts.filters.empty());
        EXPECT_EQ(prompts.filters.back(), message("LevelFilter") + " (*.phd *.tub *.tr2 *.tr4 *.trc)")
            << label;
    }
}

TEST_F(language_fixture, TheLoadingWindowShowsItsCaptionAndLinesInTheChosenLanguage) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr2");
    w->languages().language_combo->setCurrentIndex(int(*language_by_code("de")));
    const lng_catalogue de = file_of(*language_by_code("de"));
    const auto message = [&](const char* key) {
        return QString::fromStdString(de.shown("TMessages", key, element_caption).value_or("?"));
    };
    ASSERT_TRUE(w->open_path(QString::fromStdString(real_levels::path("test1.tr2"))));
    auto* loading = find<QDialog>("TForm2");
    EXPECT_EQ(loading->windowTitle(), message("LoadingNamedLevel").replace("%1", "test1.tr2"));
    const QStringList lines = loading->findChild<QPlainTextEdit*>("lines_")->toPlainText().split('\n');
    EXPECT_EQ(lines.front(), message("BuildingTextureTable"));
    EXPECT_EQ(lines.back(), message("LoadingGLTextures"));
}

TEST_F(language_fixture, PagesAndTexturesAddedAfterOpeningAreListedInTheChosenLanguage) {
    SKIP_WITHOUT_REAL_LEVELS("test1_tr3.tr2");
    w->languages().language_combo->setCurrentIndex(int(*language_by_code("de")));
    const lng_catalogue de = file_of(*language_by_code("de"));
    const auto item = [&](const char* key, int n) {
        return QString::fromStdString(de.shown("TMessages", key, element_caption).value_or("?")).arg(n);
    };
    ASSERT_TRUE(w->open_path(QString::fromStdString(real_levels::path("test1_tr3.tr2"))));
    auto* pages = find<QComboBox>("ComboBox1");
    auto* textures = find<QListWidget>("ListBox1");
    const int page_count = pages->count();
    QImage two_pages(256, 512, QImage::Format_RGB888);
    two_pages.fill(Qt::darkGreen);
    ASSERT_TRUE(two_pages.save(dir.filePath("pages.bmp"), "BMP"));
    prompts.open_choice = dir.filePath("pages.bmp").toStdString();
    find<QAction>("ImportTexturePages1")->trigger();
    ASSERT_EQ(pages->count(), page_count + 2);
    EXPECT_EQ(pages->itemText(page_count + 1), item("PageItem", page_count + 2));

    // Define Mouse Selected on a rectangle drawn with SHIFT on the page view.
    auto* page_view = find<page_view_widget>("Image1");
    const int texture_count = textures->count();
    QTest::mousePress(page_view, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 20));
    QTest::mouseMove(page_view, QPoint(74, 84));
    find<texture_panel_widget>("GroupBox1")->on_page_moved(74, 84);
    QTest::mouseRelease(page_view, Qt::LeftButton, Qt::ShiftModifier, QPoint(74, 84));
    find<QAction>("DefineMouseSelected1")->trigger();
    ASSERT_EQ(textures->count(), texture_count + 1);
    EXPECT_EQ(textures->item(texture_count)->text(), item("TextureItem", texture_count));
}

TEST_F(language_fixture, TheRemapVerticesWindowFollowsTheLanguage) {
    w->languages().language_combo->setCurrentIndex(int(*language_by_code("de")));
    const lng_catalogue de = file_of(*language_by_code("de"));
    auto* remap = w->findChild<QDialog*>("TRemap");
    ASSERT_NE(remap, nullptr);
    EXPECT_EQ(remap->windowTitle().toStdString(), de.shown("TRemap", "", element_caption).value_or("?"));
    EXPECT_EQ(remap->findChild<QPushButton*>("Button1")->text().toStdString(),
              de.shown("TRemap", "Button1", element_caption).value_or("?"));
}

TEST_F(language_fixture, TheChosenLanguageIsStoredAndComesBackAtTheNextStart) {
    w->languages().language_combo->setCurrentIndex(8); // Korean
    w->close();
    EXPECT_EQ(store->value("form1/languaje").toString(), "1042");
    w = std::make_unique<main_window>(program_dir, store.get(), &prompts);
    EXPECT_EQ(w->languages().language_identifier(), 0x0412);
    EXPECT_EQ(find<QAction>("OpenFile1")->text(), "열기(&O)");
}

TEST_F(language_fixture, DoubleClickInTheAnimatedTexturesWindowMakesTexture57Current) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    ASSERT_TRUE(w->open_path(QString(VELLUM_SHARED_LEVELS) + "/test1.tr4"));
    ASSERT_GT(w->document().table().texture_count, 57);
    auto* animated = w->findChild<animated_textures_window*>();
    ASSERT_NE(animated, nullptr);
    animated->fill({1, 1, 12, 57}, &w->document().table());
    animated->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(animated));
    QListWidgetItem* item = animated->texture_list->item(1);
    ASSERT_EQ(item->text(), "Texture ID:57");
    const QPoint at = animated->texture_list->visualItemRect(item).center();
    QTest::mouseClick(animated->texture_list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(animated->texture_list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(w->findChild<QListWidget*>("ListBox1")->currentRow(), 57);
    EXPECT_FALSE(animated->isVisible());
}

} // namespace

TEST_F(language_fixture, InDeutschAnEditAHintAndTheStatusTextsAreGermanAndASwitchShowsEnglishAtOnce) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    w->languages().language_combo->setCurrentIndex(3); // Deutsch
    ASSERT_TRUE(w->open_path(QString(VELLUM_SHARED_LEVELS) + "/test1.tr4"));
    const lng_catalogue de = file_of(3), us = file_of(english_us_index);
    const auto word = [](const lng_catalogue& c, const user_message& m) {
        return QString::fromStdString(shown_message(&c, m));
    };
    const auto caption = [](const lng_catalogue& c, const char* component) {
        return QString::fromStdString(c.shown("TForm1", component, element_caption).value_or("?"));
    };
    const auto status = [this](int panel) {
        return w->statusBar()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly).at(panel)->text();
    };
    auto* tree = find<QTreeWidget>("TreeView1");
    QTreeWidgetItem* statics = tree->topLevelItem(0)->child(1);
    EXPECT_EQ(statics->text(0), word(de, say(msg::static_meshes)));
    EXPECT_EQ(find<QListWidget>("ListBox1")->item(0)->text(), word(de, say(msg::texture_item, {"0"})));
    // Selecting a mesh: its size in the status bar.
    QTreeWidgetItem* movables = tree->topLevelItem(0)->child(0);
    movables->child(0)->setExpanded(true);
    tree->setCurrentItem(movables->child(0)->child(0));
    const QString vertex_count =
        QString::fromStdString(de.shown(message_form, "NumberOfVertex", element_caption).value_or("?"))
            .section("%1", 0, 0);
    EXPECT_TRUE(status(1).startsWith(vertex_count)) << status(1).toStdString();
    EXPECT_FALSE(status(1).startsWith("Number of Vertex")) << status(1).toStdString();
    // An edit names its step in the Edit menu.
    find<QCheckBox>("CheckBox1")->click();
    const QString german_undo = caption(de, "Undo1") + ' ' + word(de, say(msg::step_flip_horizontal));
    EXPECT_EQ(find<QAction>("Undo1")->text(), german_undo);
    EXPECT_NE(german_undo, "Undo Flip Horizontal");
    // The page view's hint.
    auto* page = find<QWidget>("Image1");
    QTest::mouseMove(page, page->rect().center());
    const QString german_hint =
        QString::fromStdString(de.shown("TForm1", "Image1", element_long_hint).value_or("?"));
    for (int wait = 0; wait < 50 && status(0) != german_hint; ++wait)
        QTest::qWait(20);
    EXPECT_EQ(status(0), german_hint);
    // A switch shows the new language at once, without a mouse move.
    w->languages().language_combo->setCurrentIndex(int(english_us_index));
    EXPECT_EQ(status(0), "Click to select a Texture, SHIFT+drag to mark a new one...");
    EXPECT_EQ(find<QAction>("Undo1")->text(), "Undo Flip Horizontal");
    EXPECT_EQ(statics->text(0), "Static Meshes");
    w->languages().language_combo->setCurrentIndex(3);
    EXPECT_EQ(status(0), german_hint);
    EXPECT_EQ(find<QAction>("Undo1")->text(), german_undo);
    // The Readme in German.
    EXPECT_TRUE(w->findChild<QWidget*>("TReadme")->findChild<QPlainTextEdit*>()->toPlainText().contains(
        "Erste Schritte"));
}
