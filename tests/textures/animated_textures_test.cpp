// Animated texture ranges: reading the range words and stepping the preview frames.
#include "animated_textures.h"
#include "texture_fixtures.h"

#include <gtest/gtest.h>

using namespace texture_fixtures;

TEST(AnimatedRanges, TwoRangesFromTheWords) {
    const animated_ranges a = fill_animated_ranges({2, 2, 10, 11, 12, 0, 20});
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a.anim_ids[0], (std::vector<std::uint16_t>{10, 11, 12}));
    EXPECT_EQ(a.anim_ids[1], (std::vector<std::uint16_t>{20}));
    EXPECT_EQ(a.anim_counts, (std::vector<std::uint32_t>{3, 1}));
    EXPECT_EQ(range_item_text(1), "Animated Texture #1");
    EXPECT_EQ(texture_item_text(57), "Texture ID:57");
}

TEST(AnimatedRanges, LongListsAreKeptWholeAndShortDataEndsThem) {
    EXPECT_EQ(fill_animated_ranges({}).size(), 0u);
    EXPECT_EQ(fill_animated_ranges({0}).size(), 0u);

    std::vector<std::uint16_t> words{2, 149};
    for (int k = 0; k < 150; ++k)
        words.push_back(std::uint16_t(k));
    words.insert(words.end(), {1, 500, 501});
    const animated_ranges big = fill_animated_ranges(words);
    ASSERT_EQ(big.size(), 2u);
    EXPECT_EQ(big.anim_ids[0].size(), 150u); // past the game's 99 textures, nothing is dropped
    EXPECT_EQ(big.anim_ids[0].back(), 149);
    EXPECT_EQ(big.anim_ids[1], (std::vector<std::uint16_t>{500, 501}));

    std::vector<std::uint16_t> many{120};
    for (int r = 0; r < 120; ++r)
        many.insert(many.end(), {0, std::uint16_t(r)});
    const animated_ranges capped = fill_animated_ranges(many);
    ASSERT_EQ(capped.size(), 120u); // past the game's 100 ranges too
    EXPECT_EQ(capped.anim_ids[119], (std::vector<std::uint16_t>{119}));
    EXPECT_EQ(range_item_text(120), "Animated Texture #120");

    const animated_ranges cut = fill_animated_ranges({3, 5, 1, 2}); // claims more than there is
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut.anim_ids[0], (std::vector<std::uint16_t>{1, 2}));
}

TEST(AnimatedPreview, FramesLoopAndRestartOnRangeChange) {
    const animated_ranges a = fill_animated_ranges({2, 2, 10, 11, 12, 0, 20});
    animated_preview preview(a);
    EXPECT_FALSE(preview.tick());
    preview.select_range(1);
    std::vector<int> shown;
    for (int k = 0; k < 5; ++k)
        shown.push_back(*preview.tick());
    EXPECT_EQ(shown, (std::vector<int>{10, 11, 12, 10, 11}));
    preview.select_range(2);
    EXPECT_EQ(preview.anim_frame, 1);
    EXPECT_EQ(*preview.tick(), 20);
    EXPECT_EQ(*preview.tick(), 20);
    preview.select_range(1);
    EXPECT_EQ(*preview.tick(), 10);
    preview.select_range(3);
    EXPECT_FALSE(preview.tick());
}

TEST(AnimatedRanges, TextureListMarksIndicesTheLevelLacks) {
    const animated_ranges a = fill_animated_ranges({2, 2, 10, 11, 12, 0, 57});
    EXPECT_EQ(texture_list_items(a, 1, 12), (std::vector<std::string>{"Texture ID:10", "Texture ID:11",
                                                                      "Texture ID:12 (not in this level)"}));
    EXPECT_EQ(texture_list_items(a, 2, 100), (std::vector<std::string>{"Texture ID:57"}));
    EXPECT_TRUE(texture_list_items(a, 3, 100).empty());
    EXPECT_FALSE(texture_id_from_item(texture_list_items(a, 1, 12)[2])); // a marked item selects nothing
}

TEST(AnimatedPreview, ItemTextGivesTheTextureIndex) {
    EXPECT_EQ(texture_id_from_item("Texture ID:57"), 57);
    EXPECT_FALSE(texture_id_from_item("Texture ID"));
    EXPECT_FALSE(texture_id_from_item("Texture ID:x"));
}

TEST(AnimatedPreview, FrameBitmapIsTheHitRectangleUnmirrored) {
    tr_level level = make_level(game_tr2, 1);
    tobject_texture t = make_texture(0, 20, 30, 27, 33);
    std::swap(t.corners[0], t.corners[1]);
    level.object_textures = {t};
    level.num_object_textures = 1;
    const texture_table table = build_texture_table(level);
    const QImage frame = animated_frame_bitmap(table, 0);
    ASSERT_EQ(frame.size(), QSize(8, 4));
    EXPECT_EQ(frame.pixel(0, 0), table.pages_bitmap.pixel(20, 30));
    EXPECT_EQ(animated_frame_bitmap(table, 1).size(), QSize(4, 4)); // not in the level: the solid bitmap
}
