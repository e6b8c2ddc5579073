// Opening, saving and the unsaved-changes question on the editor document.
#include "editor_document.h"
#include "level_reader.h"
#include "level_records.h"
#include "real_levels.h"
#include "scene.h"
#include "scripted_prompts.h"
#include "level_stream.h"

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

const std::string shared = real_levels::folder();
const std::string catalogue = std::string(VELLUM_SOURCE_DIR) + "/data/trcatalog.xml";

void write_bytes(const std::string& path, const std::vector<std::uint8_t>& data) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

struct opened {
    editor_document doc;
    scripted_prompts prompts;
    recording_progress progress;
};

TEST(Document, OpeningEachSharedLevelFillsTreeCaptionsAndProgress) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc");
    const std::vector<std::pair<std::string, std::string>> levels = {{"test1.phd", " (TR 1)"},
                                                                     {"test1.tr2", " (TR 2)"},
                                                                     {"test1_tr3.tr2", " (TR 3)"},
                                                                     {"test1.tr4", " (TR 4)"},
                                                                     {"test1.trc", " (TR 5)"}};
    for (const auto& [file, suffix] : levels) {
        opened o;
        const auto path = shared + "/" + file;
        ASSERT_TRUE(o.doc.open(path, catalogue, o.progress, o.prompts)) << file;
        EXPECT_TRUE(o.prompts.messages.empty());
        EXPECT_EQ(o.doc.current_name(), file + suffix);
        EXPECT_EQ(o.doc.tree().label, file + suffix);
        ASSERT_EQ(o.doc.tree().children.size(), 2u);
        EXPECT_EQ(o.doc.tree().children[0].label, "Movables");
        EXPECT_EQ(o.doc.tree().children[0].children.size(), o.doc.level().num_moveables);
        EXPECT_EQ(o.doc.tree().children[1].children.size(), o.doc.level().num_static_meshes);
        EXPECT_EQ(o.doc.texture_group_caption(), "\"" + file + "\" Textures");
        EXPECT_EQ(o.doc.caption().rfind("Vellum v.2.2 Rev 0   \"", 0), 0u);
        EXPECT_EQ(o.progress.captions, (std::vector<std::string>{"Loading \"" + file + "\" Level"}));
        EXPECT_EQ(o.progress.lines.front(), "Building Texture Table...");
        EXPECT_EQ(o.progress.shown, 0); // the loading window is closed again
        EXPECT_EQ(o.doc.recent().entries().front(), path);
        EXPECT_EQ(o.doc.table().level, &o.doc.level());
        // Lara is object 0 in every game and the first moveable of these levels.
        if (!o.doc.level().moveables.empty() && read_moveable(o.doc.level().moveables[0]).object_id == 0) {
            EXPECT_NE(o.doc.tree().children[0].children[0].label, "Unknown");
        }
    }
}

TEST(Document, SelectingNodesSetsTheSceneSelection) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd");
    opened o;
    ASSERT_TRUE(o.doc.open(shared + "/test1.phd", catalogue, o.progress, o.prompts));
    const auto& movables = o.doc.tree().children[0];
    const auto& statics = o.doc.tree().children[1];
    ASSERT_FALSE(movables.children.empty());
    ASSERT_FALSE(statics.children.empty());
    tr_scene scene;
    o.doc.select(o.doc.tree().ref);
    o.doc.show_in(scene);
    EXPECT_EQ(scene.sel_moveable, -1);
    EXPECT_EQ(scene.sel_mesh, -1);
    o.doc.select(movables.children[0].ref);
    o.doc.show_in(scene);
    EXPECT_EQ(scene.sel_moveable, 0);
    EXPECT_EQ(scene.sel_kind, 0);
    EXPECT_FALSE(scene.show_box);
    ASSERT_FALSE(movables.children[0].children.empty());
    o.doc.select(movables.children[0].children[1].ref);
    o.doc.show_in(scene);
    const auto first = read_moveable(o.doc.level().moveables[0]).first_mesh;
    EXPECT_EQ(scene.sel_mesh, o.doc.meshes().mesh_index[first + 1u]);
    EXPECT_EQ(scene.sel_kind, 1);
    EXPECT_EQ(movables.children[0].children[1].label, "Mesh # " + std::to_string(scene.sel_mesh));
    o.doc.select(statics.children[0].ref);
    o.doc.show_in(scene);
    EXPECT_EQ(statics.children[0].label, "Static Mesh# 0");
    EXPECT_EQ(o.doc.selection().static_mesh, 0);
    EXPECT_TRUE(scene.show_box);
    EXPECT_EQ(scene.sel_mesh,
              o.doc.meshes().mesh_index[read_static_mesh(o.doc.level().static_meshes[0]).mesh]);
}

TEST(Document, ALevelOpenedByARelativePathIsRememberedByItsFullPath) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd");
    namespace fs = std::filesystem;
    const fs::path started_in = fs::current_path();
    fs::current_path(shared);
    opened o;
    const bool ok = bool(o.doc.open("test1.phd", catalogue, o.progress, o.prompts));
    fs::current_path(started_in);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(fs::path(o.doc.current_path()).is_absolute()) << o.doc.current_path();
    EXPECT_TRUE(fs::equivalent(o.doc.current_path(), fs::path(shared) / "test1.phd"));
    EXPECT_EQ(o.doc.recent().entries().front(), o.doc.current_path());
}

TEST(Document, AMissingCatalogueIsReportedAndEveryMoveableIsUnknown) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd");
    opened o;
    ASSERT_TRUE(o.doc.open(shared + "/test1.phd", shared + "/no-such-catalogue.xml", o.progress, o.prompts));
    EXPECT_FALSE(o.doc.catalogue_found());
    EXPECT_EQ(moveable_name(o.doc.names(), 0), "Unknown");
    ASSERT_TRUE(o.doc.open(shared + "/test1.phd", catalogue, o.progress, o.prompts));
    EXPECT_TRUE(o.doc.catalogue_found());
}

TEST(Document, AFailedOpenLeavesTheOpenLevelUntouched) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr2", "test1.tr4");
    QTemporaryDir dir;
    opened o;
    const auto good = shared + "/test1.tr2";
    ASSERT_TRUE(o.doc.open(good, catalogue, o.progress, o.prompts));
    ASSERT_TRUE(o.doc.flip_texture(0, flip_axis::horizontal)); // an edit
    const auto rooms = o.doc.level().num_rooms;
    const auto* level_before = &o.doc.level();

    auto data = read_whole_file(shared + "/test1.tr4");
    data.resize(data.size() / 3); // truncated inside the compressed blocks
    const auto bad = dir.filePath("broken.tr4").toStdString();
    write_bytes(bad, data);
    EXPECT_FALSE(o.doc.open(bad, catalogue, o.progress, o.prompts));
    ASSERT_EQ(o.prompts.messages.size(), 1u);
    EXPECT_NE(o.prompts.messages[0].find("broken.tr4"), std::string::npos);

    const auto not_level = dir.filePath("notes.tr4").toStdString();
    write_bytes(not_level, {'h', 'e', 'l', 'l', 'o', '!', '!', '!'});
    EXPECT_FALSE(o.doc.open(not_level, catalogue, o.progress, o.prompts));
    EXPECT_FALSE(o.doc.open_recent(dir.filePath("gone.phd").toStdString(), catalogue, o.progress, o.prompts));
    EXPECT_EQ(o.prompts.messages.back(), "File not found!!!");

    EXPECT_EQ(&o.doc.level(), level_before);
    EXPECT_EQ(o.doc.level().num_rooms, rooms);
    EXPECT_EQ(o.doc.current_path(), good);
    EXPECT_TRUE(o.doc.modified());
    EXPECT_EQ(o.doc.recent().entries().size(), 1u);
    EXPECT_EQ(o.progress.shown, 0);
}

TEST(Document, UnsavedChangesAreOfferedForSavingBeforeTheyAreLost) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd");
    QTemporaryDir dir;
    const auto path = dir.filePath("level.phd").toStdString();
    std::filesystem::copy_file(shared + "/test1.phd", path);
    opened o;
    ASSERT_TRUE(o.doc.open(path, catalogue, o.progress, o.prompts));
    EXPECT_TRUE(o.doc.confirm_close(o.progress, o.prompts)); // nothing changed: no question
    EXPECT_TRUE(o.prompts.questions.empty());

    ASSERT_TRUE(o.doc.set_texture_attribute(0, 2));
    o.prompts.answers = {answer::cancel};
    EXPECT_FALSE(o.doc.confirm_close(o.progress, o.prompts));
    o.prompts.answers = {answer::no};
    EXPECT_TRUE(o.doc.confirm_close(o.progress, o.prompts));
    o.prompts.answers = {answer::yes};
    EXPECT_TRUE(o.doc.confirm_close(o.progress, o.prompts));
    EXPECT_FALSE(o.doc.modified());
    EXPECT_EQ(o.prompts.questions.size(), 3u);
    tr_level back;
    ASSERT_EQ(read_level(back, path), read_ok);
    EXPECT_EQ(back.object_textures[0].attribute, 2);
}

TEST(Document, SaveAsToTubSwitchesLayoutAndAsksBeforeOverwriting) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd");
    QTemporaryDir dir;
    opened o;
    ASSERT_TRUE(o.doc.open(shared + "/test1.phd", catalogue, o.progress, o.prompts));
    const auto tub = dir.filePath("copy.tub").toStdString();
    ASSERT_TRUE(o.doc.save_as(tub, o.progress, o.prompts))
        << (o.prompts.messages.empty() ? "" : o.prompts.messages[0]);
    EXPECT_EQ(o.doc.current_path(), tub);
    EXPECT_EQ(o.doc.current_name(), "copy.tub (TR 1 Gold)");
    EXPECT_EQ(o.doc.recent().entries().front(), tub);
    EXPECT_EQ(o.doc.texture_group_caption(), "\"copy.tub\" Textures");
    EXPECT_EQ(o.doc.caption(), "Vellum v.2.2 Rev 0   \"" + tub + "\"")
        << "the path as it is, not lower-cased";
    tr_level gold, original;
    ASSERT_EQ(read_level(gold, tub), read_ok);
    ASSERT_EQ(read_level(original, shared + "/test1.phd"), read_ok);
    EXPECT_EQ(gold.game_version, game_tr1_gold);
    EXPECT_FALSE(gold.tr1_layout_swapped);
    EXPECT_EQ(gold.palette8, original.palette8);

    // Existing target, answer No: nothing is written.
    const auto before = read_whole_file(tub);
    o.prompts.answers = {answer::no};
    EXPECT_FALSE(o.doc.save_as(tub, o.progress, o.prompts));
    EXPECT_EQ(o.prompts.questions.back(), "The File " + tub + " Already Exists. Overwrite It?");
    EXPECT_EQ(read_whole_file(tub), before);
}

TEST(Document, AFailedSaveSaysWhyAndChangesNothing) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    QTemporaryDir dir;
    opened o;
    ASSERT_TRUE(o.doc.open(shared + "/test1.tr4", catalogue, o.progress, o.prompts));
    ASSERT_TRUE(o.doc.flip_texture(0, flip_axis::vertical)); // an edit
    const auto target = dir.filePath("no/such/folder/x.tr4").toStdString();
    EXPECT_FALSE(o.doc.save_as(target, o.progress, o.prompts));
    ASSERT_EQ(o.prompts.messages.size(), 1u);
    EXPECT_NE(o.prompts.messages[0].find("not saved"), std::string::npos);
    EXPECT_EQ(o.doc.current_path(), shared + "/test1.tr4");
    EXPECT_TRUE(o.doc.modified());
    EXPECT_FALSE(std::filesystem::exists(target));
}

} // namespace
