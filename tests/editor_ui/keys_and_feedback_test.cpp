// What a first-time user meets: undo keys from a number field, the Keys Guide, feedback in the
// status bar and in messages, Save As names, choosers starting in the level's folder.
#include "editor_window_fixture.h"
#include "level_records.h"
#include "qt_prompts.h"
#include "real_levels.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

namespace {

const QString shared = QString::fromStdString(real_levels::folder());

struct first_hour : editor_window_fixture {
    template <class T> T* find(const char* name) {
        auto* widget = w->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QTreeWidget* tree() { return find<QTreeWidget>("TreeView1"); }
    QTreeWidgetItem* node(int heading, int child) {
        return tree()->topLevelItem(0)->child(heading)->child(child);
    }
    QLabel* status(int panel) {
        return w->statusBar()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly).at(panel);
    }
    std::int16_t collision(int static_mesh, int coordinate) {
        const auto& record = w->document().level().static_meshes[std::size_t(static_mesh)];
        return read_static_mesh(record).box(box_kind::collision)[std::size_t(coordinate)];
    }
    // Closes the modal Remap Vertices dialog if it opens; true when it did.
    bool remap_opened_by(const std::function<void()>& keys) {
        bool opened = false;
        QTimer::singleShot(300, [&] {
            if (auto* remap = w->findChild<QDialog*>("TRemap"); remap && remap->isVisible()) {
                opened = true;
                remap->reject();
            }
        });
        keys();
        QTest::qWait(400);
        return opened;
    }
};

TEST_F(first_hour, UndoKeysUndoTheLevelFromAFocusedFieldWhichShowsItsValueAndCtrlVPastesThere) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd");
    ASSERT_TRUE(w->open_path(shared + "/test1.phd"));
    tree()->setCurrentItem(node(1, 0));
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    auto* x2 = find<QSpinBox>("SpinEdit3");
    const std::int16_t before = collision(0, 1);
    x2->setFocus();
    x2->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(x2, "123");
    QTest::keyClick(x2, Qt::Key_Return);
    ASSERT_EQ(collision(0, 1), 123);
    EXPECT_EQ(w->document().history().count(), 1) << "one step for a typed number";
    ASSERT_TRUE(x2->hasFocus());

    const struct {
        Qt::KeyboardModifiers keys;
        Qt::Key key;
        int value;
    } steps[] = {{Qt::ControlModifier, Qt::Key_U, before},
                 {Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z, 123},
                 {Qt::ControlModifier, Qt::Key_Z, before},
                 {Qt::ControlModifier, Qt::Key_R, 123}};
    for (const auto& step : steps) {
        SCOPED_TRACE(QKeySequence(step.keys | step.key).toString().toStdString());
        QTest::keyClick(x2, step.key, step.keys);
        EXPECT_EQ(collision(0, 1), step.value);
        EXPECT_EQ(x2->value(), step.value);
        EXPECT_EQ(x2->text(), QString::number(step.value));
    }

    // Ctrl+V pastes into the field; elsewhere it opens Remap Vertices.
    QGuiApplication::clipboard()->setText("77");
    x2->findChild<QLineEdit*>()->selectAll();
    EXPECT_FALSE(remap_opened_by([&] { QTest::keyClick(x2, Qt::Key_V, Qt::ControlModifier); }));
    EXPECT_EQ(x2->text(), "77");
    tree()->setFocus();
    EXPECT_TRUE(remap_opened_by([&] { QTest::keyClick(tree(), Qt::Key_V, Qt::ControlModifier); }));
}

TEST_F(first_hour, TheKeysGuideAndThePageHintTellOfUndoAndShiftDrag) {
    const QString guide = w->findChild<QDialog*>("TKeys")->findChild<QPlainTextEdit*>("Memo1")->toPlainText();
    EXPECT_FALSE(guide.contains("undone")) << "every edit can be undone";
    EXPECT_TRUE(guide.contains("SHIFT + drag on the texture page"));
    EXPECT_TRUE(find<QWidget>("Image1")->property("long_hint").toString().contains("SHIFT+drag"));
}

TEST_F(first_hour, RootSelectionKeepsTheBoxFieldsAndUndoOnAHiddenMeshNamesIt) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd");
    ASSERT_TRUE(w->open_path(shared + "/test1.phd"));
    ASSERT_GE(tree()->topLevelItem(0)->child(1)->childCount(), 2);
    tree()->setCurrentItem(node(1, 0));
    const int x1 = find<QSpinBox>("SpinEdit2")->value();
    tree()->setCurrentItem(tree()->topLevelItem(0));
    EXPECT_EQ(find<QSpinBox>("SpinEdit2")->value(), x1);

    // A mesh edit, then another mesh shown: undoing it says which mesh changed.
    tree()->setCurrentItem(node(1, 0));
    const int edited = w->document().selection().mesh;
    ASSERT_TRUE(w->document().remap_vertices(0, 1));
    EXPECT_TRUE(w->document().remap_vertices(1, 1));
    EXPECT_EQ(w->document().history().count(), 1) << "Before = After is no step";
    tree()->setCurrentItem(node(1, 1));
    ASSERT_NE(w->document().selection().mesh, edited);
    find<QAction>("Undo1")->trigger();
    EXPECT_EQ(status(1)->text(), QString("Undone on Mesh # %1, which is not shown.").arg(edited));
}

TEST_F(first_hour, ImportDxfWithAMoveableSelectedSaysWhy) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd");
    ASSERT_TRUE(w->open_path(shared + "/test1.phd"));
    tree()->setCurrentItem(node(0, 0));
    find<QAction>("ImportDXF1")->trigger();
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"You have to select a Mesh!"});
    EXPECT_TRUE(prompts.filters.empty()) << "no chooser";
}

TEST_F(first_hour, SaveAsUnderAnotherGamesExtensionAsksAndProposesTheLevelsName) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    ASSERT_TRUE(w->open_path(shared + "/test1.tr4"));
    const struct {
        const char* typed;
        answer reply;
        const char* written; // "" when nothing is written
        bool asked;
    } cases[] = {{"a.phd", answer::yes, "a.tr4", true},
                 {"b.phd", answer::no, "b.phd", true},
                 {"c.tub", answer::cancel, "", true},
                 {"d.TR4", answer::yes, "d.TR4", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        prompts.questions.clear();
        prompts.answers = {c.reply};
        prompts.save_choice = dir.filePath(c.typed).toStdString();
        find<QAction>("SaveAs1")->trigger();
        EXPECT_EQ(prompts.questions.size(), c.asked ? 1u : 0u);
        if (*c.written) {
            EXPECT_TRUE(std::filesystem::exists(dir.filePath(c.written).toStdString()));
        }
        EXPECT_FALSE(std::filesystem::exists(dir.filePath("c.tub").toStdString()));
    }
    EXPECT_EQ(prompts.save_suggestions.front(), "test1.tr4");
}

TEST_F(first_hour, ImportingABitmapCountsThePixelsThatBecameTransparent) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr2");
    ASSERT_TRUE(w->open_path(shared + "/test1.tr2"));
    const QImage current = w->document().texture_picture(0);
    QImage bitmap = current.convertToFormat(QImage::Format_RGB888);
    bitmap.fill(QColor(90, 120, 60));
    for (int x = 0; x < 5; ++x)
        bitmap.setPixelColor(x, 0, Qt::black);
    const QString path = dir.filePath("five_black.bmp");
    ASSERT_TRUE(bitmap.save(path));
    prompts.open_choice = path.toStdString();
    find<QAction>("ImportReplaceCurrent1")->trigger();
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages.front();
    EXPECT_TRUE(status(0)->text().startsWith("5 pixels of the bitmap became transparent"))
        << status(0)->text().toStdString();
}

TEST_F(first_hour, ChoosersStartInTheFolderLastUsed) {
    qt_prompts dialogs(w.get());
    dialogs.start_in(dir.path());
    QString shown_folder, shown_name;
    QTimer::singleShot(300, [&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* chooser = qobject_cast<QFileDialog*>(top); chooser && chooser->isVisible()) {
                shown_folder = chooser->directory().absolutePath();
                shown_name = chooser->selectedFiles().value(0);
                chooser->reject();
            }
    });
    dialogs.choose_save_file_named("Levels (*.tr4)", "level.tr4");
    EXPECT_EQ(shown_folder, QDir(dir.path()).absolutePath());
    EXPECT_EQ(QFileInfo(shown_name).fileName(), "level.tr4");
}

TEST_F(first_hour, ALevelOpenedFromTheCommandLineShowsLara) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    ASSERT_TRUE(w->open_path(shared + "/test1.tr4"));
    w->select_lara_or_largest();
    EXPECT_EQ(w->document().selection().kind, selection_kind::moveable);
    EXPECT_EQ(read_moveable(w->document().level().moveables[std::size_t(w->document().selection().moveable)])
                  .object_id,
              0u);
    EXPECT_FALSE(w->document().shown_meshes().empty()) << "something to draw";
}

} // namespace
