// Bit rules of the texture pixel conversions, palette8, the page write-back and the upload layout.
#include "pixels.h"
#include "texture_fixtures.h"

#include <gtest/gtest.h>

using namespace texture_fixtures;

namespace {

struct channels {
    unsigned r, g, b;
};
channels display_channels(unsigned v) {
    return {v >> 11u, (v >> 5u) & 63u, v & 31u};
}
channels page_channels(unsigned v) {
    return {(v >> 10u) & 31u, (v >> 5u) & 31u, v & 31u};
}

} // namespace

TEST(PagePixelToDisplay, EveryValueFollowsTheRules) {
    for (unsigned v = 0; v < 65536; ++v) {
        const channels in = page_channels(std::uint16_t(v));
        const channels out = display_channels(page16_to_display_pixel(std::uint16_t(v)));
        if (!(v & 0x8000)) {
            EXPECT_EQ(page16_to_display_pixel(std::uint16_t(v)), 0xF81F) << v;
        } else if (in.r <= 2 && in.g <= 2 && in.b <= 2) {
            EXPECT_TRUE(out.r == 3 && out.g == 6 && out.b == 3) << v;
        } else {
            EXPECT_TRUE(out.r == in.r && out.g == 2 * in.g && out.b == in.b) << v;
        }
    }
}

TEST(DisplayToPagePixel, EveryValueFollowsTheRules) {
    for (const bool keep_black : {false, true}) {
        for (unsigned v = 0; v < 65536; ++v) {
            const channels in = display_channels(std::uint16_t(v));
            const unsigned g5 = in.g >> 1;
            const bool black = in.r <= 2 && g5 <= 2 && in.b <= 2;
            const bool magenta = in.r >= 29 && g5 <= 2 && in.b >= 29;
            const std::uint16_t out = display_to_page16_pixel(std::uint16_t(v), keep_black);
            if ((black && !keep_black) || magenta) {
                EXPECT_EQ(out, 0) << v;
            } else {
                const channels c = page_channels(out);
                EXPECT_TRUE((out & 0x8000) && c.r == in.r && c.g == g5 && c.b == in.b) << v;
            }
        }
    }
}

TEST(PagePixelConversions, DocumentedValues) {
    EXPECT_EQ(page16_to_display_pixel(0x0000), 0xF81F);
    EXPECT_EQ(page16_to_display_pixel(0x8000), (3 << 11) | (3 << 6) | 3);
    EXPECT_EQ(page16_to_display_pixel(0xFFFF), 0xFFDF);
    EXPECT_EQ(display_to_page16_pixel(0xF81F, false), 0);
    EXPECT_EQ(display_to_page16_pixel((3 << 11) | (3 << 6) | 3, false), 0x8000 | (3 << 10) | (3 << 5) | 3);
    EXPECT_EQ(display_to_page16_pixel(0x0021, false), 0);
}

TEST(PagePixelConversions, RoundTripKeepsAllButTheTwoGroups) {
    int near_black = 0, near_magenta = 0;
    for (unsigned v = 0; v < 65536; ++v) {
        const std::uint16_t back = display_to_page16_pixel(page16_to_display_pixel(std::uint16_t(v)), false);
        const channels c = page_channels(std::uint16_t(v));
        if (!(v & 0x8000)) {
            EXPECT_EQ(back, 0) << v;
        } else if (c.r <= 2 && c.g <= 2 && c.b <= 2) {
            EXPECT_EQ(back, 0x8000 | (3 << 10) | (3 << 5) | 3) << v;
            ++near_black;
        } else if (c.r >= 29 && c.g <= 2 && c.b >= 29) {
            EXPECT_EQ(back, 0) << v;
            ++near_magenta;
        } else {
            EXPECT_EQ(back, v);
        }
    }
    EXPECT_EQ(near_black, 27);
    EXPECT_EQ(near_magenta, 27);
}

TEST(PagePixelConversions, WholeArraysConvertInPlace) {
    std::vector<std::uint16_t> pixels{0x0000, 0x8000, 0xFFFF, 0x7C1F};
    page16_to_display(pixels.data(), pixels.size());
    EXPECT_EQ(pixels, (std::vector<std::uint16_t>{0xF81F, 0x18C3, 0xFFDF, 0xF81F}));
    display_to_page16(pixels.data(), pixels.size(), false);
    EXPECT_EQ(pixels, (std::vector<std::uint16_t>{0, 0x8C63, 0xFFFF, 0}));
}

TEST(DisplayColours, TwentyFourBitRoundTripIsExact) {
    for (unsigned v = 0; v < 65536; ++v)
        ASSERT_EQ(rgb_to_display(display_to_rgb(std::uint16_t(v))), v);
    EXPECT_EQ(display_to_rgb(0xFFFF), (rgb8{255, 255, 255}));
    EXPECT_EQ(display_to_rgb(0xF81F), (rgb8{255, 0, 255}));
    EXPECT_EQ(display_to_rgb(0x0000), (rgb8{0, 0, 0}));
    EXPECT_EQ(rgb_to_display({7, 3, 7}), 0);
    EXPECT_EQ(rgb_to_display({8, 4, 8}), (1 << 11) | (1 << 5) | 1);
}

TEST(Palette8, ColoursAreFourTimesTheEntryKeepingTheLowByte) {
    std::array<std::uint8_t, 768> palette{};
    palette[0] = 63, palette[1] = 1, palette[2] = 0;
    palette[3] = 64, palette[4] = 100, palette[5] = 255;
    const auto colours = make_palette8(palette);
    ASSERT_EQ(colours.size(), 256);
    EXPECT_EQ(colours[0], qRgb(252, 4, 0));
    EXPECT_EQ(colours[1], qRgb(0, 144, 252));
    EXPECT_EQ(palette8_display(palette)[0], rgb_to_display({252, 4, 0}));
}

TEST(Palette8, NearestColourPrefersExactDisplayColoursAndLowIndices) {
    std::array<std::uint8_t, 768> palette{};
    auto set = [&](int k, int r, int g, int b) {
        palette[std::size_t(k) * 3] = std::uint8_t(r), palette[std::size_t(k) * 3 + 1] = std::uint8_t(g);
        palette[std::size_t(k) * 3 + 2] = std::uint8_t(b);
    };
    for (int k = 0; k < 256; ++k)
        set(k, 63, 63, 63); // everything else white
    set(0, 0, 0, 0);
    set(1, 62, 0, 0); // 248: same display red as 63
    set(2, 63, 0, 0);
    set(3, 0, 40, 0);
    palette_matcher m(palette);
    const auto shown = palette8_display(palette);
    EXPECT_EQ(m.nearest(display_to_rgb(shown[1])), 1);
    EXPECT_EQ(m.nearest(display_to_rgb(shown[2])), 1); // shares its display colour with entry 1
    EXPECT_EQ(m.nearest(display_to_rgb(shown[3])), 3);
    EXPECT_EQ(m.nearest({10, 5, 0}), 0);
    EXPECT_EQ(m.nearest({200, 10, 10}), 1);
    EXPECT_EQ(m.nearest({250, 250, 240}), 4);
}

TEST(AlphaBits, NonZeroPixelsBecomeOpaqueFromTr2On) {
    tr_level level = make_level(game_tr2, 1);
    put_u16(&level.pages16[0], 0x0000);
    put_u16(&level.pages16[2], 0x1234);
    put_u16(&level.pages16[4], 0x9234);
    set_alpha_bits(level);
    EXPECT_EQ(page16_at(level, 0, 0, 0), 0x0000);
    EXPECT_EQ(page16_at(level, 0, 1, 0), 0x9234);
    EXPECT_EQ(page16_at(level, 0, 2, 0), 0x9234);
    for (std::size_t i = 1; i < page_pixels; ++i)
        ASSERT_TRUE(page16_at(level, 0, int(i % 256), int(i / 256)) == 0 ||
                    (page16_at(level, 0, int(i % 256), int(i / 256)) & 0x8000));

    tr_level tr1 = make_level(game_tr1, 1);
    const auto before = tr1.pages8;
    set_alpha_bits(tr1);
    EXPECT_EQ(tr1.pages8, before);
}

TEST(Upload, SizesOtherThanPowersOfTwoFrom8To256BecomeSixtyFourSquare) {
    QImage odd(40, 24, QImage::Format_RGB888);
    odd.fill(QColor(10, 20, 30));
    const upload_pixels a = prepare_upload(odd, 24);
    EXPECT_EQ(a.width, 64);
    EXPECT_EQ(a.height, 64);
    ASSERT_EQ(a.data.size(), 64u * 64u * 3u);
    EXPECT_EQ(a.data[0], 30); // blue first
    EXPECT_EQ(a.data[1], 20);
    EXPECT_EQ(a.data[2], 10);

    QImage tall(32, 128, QImage::Format_RGB16);
    tall.fill(0);
    reinterpret_cast<std::uint16_t*>(tall.scanLine(127))[31] = 0xF800;
    const upload_pixels b = prepare_upload(tall, 32);
    EXPECT_EQ(b.width, 32);
    EXPECT_EQ(b.height, 128);
    EXPECT_EQ(b.bytes_per_pixel, 4);
    ASSERT_EQ(b.data.size(), 32u * 128u * 4u);
    const std::uint8_t* last = &b.data[b.data.size() - 4]; // bottom row last: top row first
    EXPECT_EQ(last[0], 0);
    EXPECT_EQ(last[2], 255);
    EXPECT_EQ(last[3], 255);

    EXPECT_EQ(prepare_upload(tall, 15).bytes_per_pixel, 3); // any other depth counts as 16
    EXPECT_FALSE(is_upload_side(4));
    EXPECT_FALSE(is_upload_side(512));
    EXPECT_EQ(prepare_upload(QImage(), 24).width, 64);
}

TEST(WritePages, UneditedPixelsKeepEveryStoredValue) {
    for (const int version : {game_tr1, game_tr2, game_tr3, game_tr4, game_trc}) {
        tr_level level = make_level(version, 2, unsigned(version));
        const tr_level before = level;
        QImage shown(256, 512, QImage::Format_RGB16);
        auto* d = reinterpret_cast<std::uint16_t*>(shown.bits());
        const auto pal = palette8_display(level.palette8);
        for (std::size_t i = 0; i < 2 * page_pixels; ++i)
            d[i] = version >= game_tr2 ? page16_to_display_pixel(get_u16(&level.pages16[2 * i]))
                                       : pal[level.pages8[i]];
        ASSERT_TRUE(write_pages(level, shown));
        EXPECT_EQ(level.pages8, before.pages8) << version;
        EXPECT_EQ(level.pages16, before.pages16) << version;
        EXPECT_EQ(level.pages32, before.pages32) << version;
    }
}

TEST(WritePages, EditedPixelsAreConvertedIntoEveryPageArray) {
    tr_level level = make_level(game_tr4, 1);
    put_u16(&level.pages16[0], 0x8000 | (10 << 10) | (20 << 5) | 30);
    put_u16(&level.pages16[2], 0x8000 | (10 << 10) | (20 << 5) | 30);
    QImage shown(256, 256, QImage::Format_RGB888);
    shown.fill(Qt::black);
    shown.setPixel(0, 0, qRgb(200, 100, 50)); // edited
    shown.setPixel(1, 0, qRgb(255, 0, 255));  // painted magenta: transparent
    ASSERT_TRUE(write_pages(level, shown));
    EXPECT_EQ(page16_at(level, 0, 0, 0), 0x8000 | (25 << 10) | (12 << 5) | 6);
    EXPECT_EQ(page16_at(level, 0, 1, 0), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(level.pages32.begin(), level.pages32.begin() + 8),
              (std::vector<std::uint8_t>{50, 100, 200, 255, 0, 0, 0, 0}));

    tr_level tr2 = make_level(game_tr2, 1);
    tr2.palette8.fill(0);
    for (int k = 0; k < 256; ++k)
        tr2.palette8[std::size_t(k) * 3] = std::uint8_t(k % 64);
    QImage red(256, 256, QImage::Format_RGB888);
    red.fill(QColor(252, 0, 0));
    ASSERT_TRUE(write_pages(tr2, red));
    const auto pal = palette8_display(tr2.palette8);
    for (std::size_t i = 0; i < page_pixels; i += 997)
        EXPECT_EQ(pal[tr2.pages8[i]], rgb_to_display({252, 0, 0}));
}

TEST(WritePages, RefusesBitmapsOfTheWrongShapeAndChangesNothing) {
    tr_level level = make_level(game_tr3, 2);
    const tr_level before = level;
    for (const QImage& bad :
         {QImage(), QImage(255, 256, QImage::Format_RGB888), QImage(256, 300, QImage::Format_RGB888),
          QImage(256, 768, QImage::Format_RGB16)}) {
        const texture_result r = write_pages(level, bad);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.message.empty());
        EXPECT_EQ(level.pages8, before.pages8);
        EXPECT_EQ(level.pages16, before.pages16);
    }
}

TEST(WritePages, PagesBelowTheBitmapAreLeftAlone) {
    tr_level level = make_level(game_tr2, 3);
    const tr_level before = level;
    QImage one(256, 256, QImage::Format_RGB888);
    one.fill(QColor(100, 100, 100));
    ASSERT_TRUE(write_pages(level, one));
    EXPECT_TRUE(std::equal(level.pages16.begin() + page16_bytes, level.pages16.end(),
                           before.pages16.begin() + page16_bytes));
    EXPECT_NE(level.pages16, before.pages16);
}
