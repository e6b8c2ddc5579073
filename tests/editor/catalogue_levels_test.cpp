// The shipped catalogue names the moveables that real TR3, TR4 and TRC levels hold, as the
// cross-checked id tables beside the shared levels name them. Each level lists the ids the catalogue
// leaves "Unknown" on purpose, because their type is not known for certain.
#include "catalogue.h"
#include "editor_document.h"
#include "level_reader.h"
#include "level_records.h"
#include "level_writer.h"
#include "real_levels.h"
#include "scripted_prompts.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

struct level_case {
    const char* file;
    std::set<std::uint32_t> left_unnamed;
};

const level_case levels[] = {
    {"test1_tr3.tr2", {315}},
    {"test1.tr4", {}},
    {"test1.trc",
     {37,  55,  83,  109, 127, 134, 142, 147, 152, 164, 165, 300, 301, 302, 303, 304, 305, 306, 307,
      356, 361, 362, 394, 409, 414, 416, 417, 418, 419, 420, 422, 423, 424, 425, 426, 427, 428, 429,
      430, 431, 432, 433, 434, 435, 436, 437, 438, 439, 440, 441, 442, 444, 446, 447, 448}},
};

TEST(CatalogueLevels, EveryMoveableOfTheSharedLevelsIsNamedOrListed) {
    SKIP_WITHOUT_REAL_LEVELS("test1_tr3.tr2", "test1.tr4", "test1.trc");
    const std::string catalogue = std::string(VELLUM_SOURCE_DIR) + "/data/trcatalog.xml";
    for (const level_case& c : levels) {
        SCOPED_TRACE(c.file);
        tr_level level;
        std::string error;
        ASSERT_EQ(read_level(level, real_levels::path(c.file), &error), read_ok) << error;
        const catalogue_names names = read_catalogue(catalogue, level.game_version);
        for (const auto& record : level.moveables) {
            const std::uint32_t id = read_moveable(record).object_id;
            if (moveable_name(names, id) == "Unknown") {
                EXPECT_TRUE(c.left_unnamed.count(id)) << "moveable type " << id << " has no name";
            }
        }
    }
}

// The folder of the cross-checked moveable id tables: VELLUM_TEST_CATALOGUE, else "catalogue"
// beside the shared levels' folder.
std::string tables_folder() {
    if (const char* env = std::getenv("VELLUM_TEST_CATALOGUE"); env && *env) return env;
    return real_levels::folder() + "/../catalogue";
}

struct table_row {
    std::string name, confidence;
};

// id -> row of one game's table (id, name, sources, confidence; tab-separated, one header line).
std::map<std::uint32_t, table_row> read_table(const std::string& path) {
    std::map<std::uint32_t, table_row> rows;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(line);
        std::string id, name, sources, confidence;
        if (std::getline(fields, id, '\t') && std::getline(fields, name, '\t') &&
            std::getline(fields, sources, '\t') && std::getline(fields, confidence, '\t'))
            rows[std::uint32_t(std::stoul(id))] = {name, confidence};
    }
    return rows;
}

TEST(CatalogueTables, TheCatalogueNamesEveryHighConfidenceIdAsTheTablesDo) {
    const std::string folder = tables_folder();
    if (!std::ifstream(folder + "/tr1.tsv"))
        GTEST_SKIP() << "needs the moveable id tables, not found in " << folder;
    const std::string catalogue = std::string(VELLUM_SOURCE_DIR) + "/data/trcatalog.xml";
    // The Gold levels use their base game's section.
    const std::pair<const char*, std::int32_t> games[] = {{"tr1", 1}, {"tr1", 2}, {"tr2", 3}, {"tr2", 4},
                                                          {"tr3", 5}, {"tr4", 6}, {"trc", 7}};
    for (const auto& [table, game] : games) {
        SCOPED_TRACE(table);
        const auto rows = read_table(folder + "/" + table + ".tsv");
        ASSERT_GT(rows.size(), 100u);
        const catalogue_names names = read_catalogue(catalogue, game);
        for (const auto& [id, row] : rows) {
            if (row.confidence == "high")
                EXPECT_EQ(moveable_name(names, id), row.name) << "id " << id;
            else if (row.confidence == "low") // the likeliest name, marked as uncertain
                EXPECT_EQ(moveable_name(names, id), row.name + "?") << "id " << id;
            else
                EXPECT_NE(moveable_name(names, id), "Unknown") << "id " << id;
        }
    }
}

struct opened {
    editor_document doc;
    scripted_prompts prompts;
    recording_progress progress;
};

// The tree labels of a level's moveables by object id.
std::map<std::uint32_t, std::string> labels_by_id(const editor_document& doc) {
    std::map<std::uint32_t, std::string> labels;
    const auto& nodes = doc.tree().children.at(0).children;
    for (std::size_t i = 0; i < doc.level().moveables.size() && i < nodes.size(); ++i)
        labels[read_moveable(doc.level().moveables[i]).object_id] = nodes[i].label.english;
    return labels;
}

TEST(CatalogueLevels, TheTreeOfTest1Tr4NamesTheGuideAndTheFilledPuzzleSlots) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    opened o;
    ASSERT_TRUE(o.doc.open(real_levels::path("test1.tr4"),
                           std::string(VELLUM_SOURCE_DIR) + "/data/trcatalog.xml", o.progress, o.prompts));
    const auto labels = labels_by_id(o.doc);
    // The level holds the guide's far model (38), which the catalogue once called Von Croy.
    for (const auto& [id, name] : std::map<std::uint32_t, std::string>{
             {38, "Guide (far)"}, {272, "Puzzle slot 1 (filled)"}, {273, "Puzzle slot 2 (filled)"}}) {
        ASSERT_TRUE(labels.count(id)) << "test1.tr4 has no moveable " << id;
        EXPECT_EQ(labels.at(id), name);
    }
    for (const auto& [id, label] : labels)
        EXPECT_EQ(label.find("Von Croy"), std::string::npos) << "moveable " << id;
    EXPECT_EQ(o.doc.catalogue_note(), "");
}

TEST(CatalogueLevels, ATrcFileWithIdsOnlyTr4DefinesIsNamedFromTheTr4List) {
    SKIP_WITHOUT_REAL_LEVELS("test1.trc");
    tr_level level;
    ASSERT_EQ(read_level(level, real_levels::path("test1.trc")), read_ok);
    ASSERT_FALSE(level.moveables.empty());
    // The last moveable becomes TR4's binocular overlay graphics, an id the TRC list lacks.
    put_u32(level.moveables.back().data(), 461);
    put_u32(level.moveables20.back().data(), 461);
    QTemporaryDir dir;
    const std::string path = dir.filePath("tr4objects.trc").toStdString();
    ASSERT_EQ(write_level(level, path), write_ok);

    opened o;
    ASSERT_TRUE(
        o.doc.open(path, std::string(VELLUM_SOURCE_DIR) + "/data/trcatalog.xml", o.progress, o.prompts));
    const auto& nodes = o.doc.tree().children.at(0).children;
    EXPECT_EQ(nodes.back().label, "Binocular overlay graphics");
    EXPECT_EQ(nodes.front().label, "Lara");
    EXPECT_EQ(o.doc.catalogue_note(), "Moveables are named from the TR4 list of trcatalog.xml: this TRC file "
                                      "uses object ids that only TR4 defines.");
}

} // namespace
