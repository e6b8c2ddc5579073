// The shipped catalogue names the moveables that real TR3, TR4 and TRC levels hold. Each level lists
// the ids the catalogue leaves "Unknown" on purpose, because their type is not known for certain.
#include "catalogue.h"
#include "level_reader.h"
#include "level_records.h"
#include "real_levels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
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

} // namespace
