// Texture bitmap exchange: BigBMP, current texture, mesh pieces, new pages, BMP files, and the
// face textures read from mesh data.
#include "bitmap_exchange.h"
#include "level_reader.h"
#include "texture_fixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace texture_fixtures;

namespace {

std::uint16_t pixel16(const QImage& image, int x, int y) {
    return reinterpret_cast<const std::uint16_t*>(image.constScanLine(y))[x];
}

// A TR2 level with textures on pages 0 and 1 of the given rectangles.
struct textured_level {
    tr_level level;
    texture_table table;
    textured_level(int version, int pages, const std::vector<tobject_texture>& textures) {
        level = make_level(version, pages, 7);
        level.object_textures = textures;
        level.num_object_textures = std::uint32_t(textures.size());
        table = build_texture_table(level);
    }
};

void expect_pages_equal(const tr_level& a, const tr_level& b) {
    EXPECT_EQ(a.num_pages, b.num_pages);
    EXPECT_TRUE(a.pages8 == b.pages8);
    EXPECT_TRUE(a.pages16 == b.pages16);
    EXPECT_TRUE(a.pages32 == b.pages32);
}

} // namespace

TEST(PieceLayout, DocumentedExample) {
    const piece_regions regions{{{0, 0, 127, 31}, {0, 100, 99, 163}, {128, 0, 191, 15}}};
    const layout_size s = layout_regions(regions);
    EXPECT_EQ(s.W, 228);
    EXPECT_EQ(s.H, 80);
    const auto places = placement_walk(regions, s.W);
    ASSERT_EQ(places.size(), 3u);
    EXPECT_EQ(std::make_pair(places[0].x, places[0].y), std::make_pair(0, 0));
    EXPECT_EQ(std::make_pair(places[1].x, places[1].y), std::make_pair(128, 0));
    EXPECT_EQ(std::make_pair(places[2].x, places[2].y), std::make_pair(0, 64));
}

TEST(PieceLayout, LaterPagesContinueTheRow) {
    const piece_regions regions{{{0, 0, 99, 19}}, {{0, 0, 99, 29}}, {{10, 10, 109, 19}}};
    const layout_size s = layout_regions(regions);
    EXPECT_EQ(s.W, 200);
    EXPECT_EQ(s.H, 40);
    const auto places = placement_walk(regions, s.W);
    ASSERT_EQ(places.size(), 3u);
    EXPECT_EQ(places[1].page, 1);
    EXPECT_EQ(std::make_pair(places[1].x, places[1].y), std::make_pair(100, 0));
    EXPECT_EQ(std::make_pair(places[2].x, places[2].y), std::make_pair(0, 30));
}

TEST(PieceLayout, RandomPiecesFitTheBitmapWithoutOverlapping) {
    std::mt19937 random(3);
    for (int round = 0; round < 200; ++round) {
        piece_regions regions(1 + random() % 3);
        for (auto& list : regions)
            for (unsigned n = random() % 8; n > 0; --n) {
                const int l = int(random() % 256), t = int(random() % 256);
                list.push_back(
                    {l, t, l + int(random() % unsigned(256 - l)), t + int(random() % unsigned(256 - t))});
            }
        const layout_size s = layout_regions(regions);
        const auto places = placement_walk(regions, s.W);
        for (std::size_t i = 0; i < places.size(); ++i) {
            const auto& a = places[i];
            ASSERT_GE(a.x, 0);
            ASSERT_LE(a.x + a.rect.width(), s.W);
            ASSERT_LE(a.y + a.rect.height(), s.H);
            for (std::size_t j = 0; j < i; ++j) {
                const auto& b = places[j];
                const bool apart = a.x + a.rect.width() <= b.x || b.x + b.rect.width() <= a.x ||
                                   a.y + a.rect.height() <= b.y || b.y + b.rect.height() <= a.y;
                ASSERT_TRUE(apart) << "round " << round;
            }
        }
    }
}

TEST(PieceRegions, EqualAndContainedRectanglesMerge) {
    tr_level level = make_level(game_tr2, 2);
    level.object_textures = {make_texture(0, 10, 10, 40, 40), make_texture(0, 10, 10, 40, 40),
                             make_texture(0, 20, 20, 30, 30), make_texture(0, 5, 5, 50, 50),
                             make_texture(0, 45, 45, 90, 90), make_texture(1, 20, 20, 30, 30),
                             make_texture(7, 1, 1, 2, 2)};
    level.num_object_textures = 7;
    piece_regions regions;
    collect_regions(regions, level, {0, 1, 2}, 2);
    ASSERT_EQ(regions.size(), 2u);
    EXPECT_EQ(regions[0], (std::vector<texture_rect>{{10, 10, 40, 40}}));
    collect_regions(regions, level, {3, 4, 5, 6, 99}, 2); // 6: page 7 missing; 99: no such texture
    EXPECT_EQ(regions[0], (std::vector<texture_rect>{{5, 5, 50, 50}, {45, 45, 90, 90}}));
    EXPECT_EQ(regions[1], (std::vector<texture_rect>{{20, 20, 30, 30}}));
}

TEST(ExportAll, PiecesRoundTripAndWrongSizesAreRefused) {
    textured_level t(
        game_tr3, 2,
        {make_texture(0, 0, 10, 127, 73), make_texture(1, 64, 64, 127, 95), make_texture(0, 1, 20, 4, 22)});
    const std::vector<face_textures> meshes{{0, 2}, {1}};
    QImage out;
    ASSERT_TRUE(export_all(t.level, t.table, meshes, out));
    ASSERT_EQ(out.size(), QSize(192, 64));
    EXPECT_EQ(out.format(), QImage::Format_RGB888);
    EXPECT_EQ(rgb_to_display({out.constScanLine(0)[0], out.constScanLine(0)[1], out.constScanLine(0)[2]}),
              pixel16(t.table.pages_bitmap, 0, 10));
    EXPECT_EQ(out.pixel(128, 0), t.table.pages_bitmap.pixel(64, 256 + 64));

    const tr_level before = t.level;
    ASSERT_TRUE(import_and_replace(t.level, t.table, meshes, out));
    expect_pages_equal(t.level, before);

    QImage wrong(191, 64, QImage::Format_RGB888);
    const texture_result r = import_and_replace(t.level, t.table, meshes, wrong);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Bitmap Width must be: 192, and Height must be: 64");

    QImage painted = out.copy();
    painted.fill(QColor(0, 0, 248));
    const QImage pages_before = t.table.pages_bitmap.copy();
    ASSERT_TRUE(import_and_replace(t.level, t.table, meshes, painted));
    EXPECT_EQ(page16_at(t.level, 1, 64, 64), 0x8000 | 31);
    EXPECT_EQ(page16_at(t.level, 1, 63, 64), page16_at(before, 1, 63, 64));
    EXPECT_EQ(pixel16(t.table.pages_bitmap, 127, 73), 31);
    EXPECT_EQ(pixel16(t.table.pages_bitmap, 128, 73), pixel16(pages_before, 128, 73));
}

TEST(ExportAll, MeshesWithoutTexturedFacesAreRefused) {
    textured_level t(game_tr2, 1, {make_texture(0, 0, 10, 127, 73)});
    QImage out;
    const texture_result r = export_all(t.level, t.table, {{}, {}}, out);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "ERROR: This Mesh does not have any Textured Face!!");
    EXPECT_TRUE(out.isNull());
    const tr_level before = t.level;
    EXPECT_FALSE(import_and_replace(t.level, t.table, {{}}, QImage(8, 8, QImage::Format_RGB888)).ok);
    EXPECT_FALSE(export_all(t.level, t.table, {{5}}, out).ok); // only a texture the level lacks
    expect_pages_equal(t.level, before);
}

TEST(BigBmp, ExportImportLeavesEveryVersionsPagesUnchanged) {
    QTemporaryDir dir;
    for (const int version : {game_tr1, game_tr1_gold, game_tr2, game_tr3, game_tr4, game_trc}) {
        textured_level t(version, 3, {});
        const QImage exported = export_big_bmp(t.table);
        ASSERT_EQ(exported.size(), QSize(256, 768));
        const std::string path = dir.filePath("pages.bmp").toStdString();
        ASSERT_TRUE(save_bitmap(exported, path));
        QImage loaded;
        ASSERT_TRUE(load_bitmap(path, loaded));
        const tr_level before = t.level;
        const QImage display_before = t.table.pages_bitmap.copy();
        ASSERT_TRUE(import_big_bmp(t.level, t.table, loaded)) << version;
        expect_pages_equal(t.level, before);
        EXPECT_EQ(t.table.pages_bitmap, display_before);
    }
}

TEST(BigBmp, WrongHeightIsRefusedAndNothingChanges) {
    textured_level t(game_tr2, 3, {});
    const tr_level before = t.level;
    const QImage display_before = t.table.pages_bitmap.copy();
    QImage small(256, 512, QImage::Format_RGB888);
    small.fill(Qt::red);
    const texture_result r = import_big_bmp(t.level, t.table, small);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "This Bitmap should be 256*768 pixels.");
    expect_pages_equal(t.level, before);
    EXPECT_EQ(t.table.pages_bitmap, display_before);
}

TEST(BigBmp, ImportedPixelsReachTheLevelAndTheDisplayCopy) {
    textured_level t(game_tr4, 1, {make_texture(0, 0, 1, 3, 3)});
    texture_bitmap(t.table, 0);
    QImage image = export_big_bmp(t.table);
    image.setPixel(2, 2, qRgb(255, 255, 255));
    ASSERT_TRUE(import_big_bmp(t.level, t.table, image));
    EXPECT_EQ(page16_at(t.level, 0, 2, 2), 0xFFFF);
    EXPECT_EQ(pixel16(t.table.pages_bitmap, 2, 2), 0xFFFF);
    EXPECT_EQ(pixel16(texture_bitmap(t.table, 0), 2, 1), 0xFFFF); // the cached piece was dropped
}

TEST(CurrentTexture, ExportThenImportLeavesThePageUnchangedEvenWhenMirrored) {
    tobject_texture mirrored = make_texture(0, 30, 40, 93, 71);
    std::swap(mirrored.corners[0], mirrored.corners[1]);
    std::swap(mirrored.corners[2], mirrored.corners[3]);
    textured_level t(game_tr2, 1, {make_texture(0, 30, 40, 93, 71), mirrored});
    const tr_level before = t.level;
    for (const int i : {0, 1}) {
        const QImage exported = export_current(t.table, i);
        ASSERT_EQ(exported.size(), QSize(64, 32));
        QImage upload;
        ASSERT_TRUE(import_replace_current(t.level, t.table, i, exported, &upload));
        expect_pages_equal(t.level, before);
        EXPECT_EQ(upload.size(), QSize(64, 32));
    }
    EXPECT_EQ(export_current(t.table, 1), export_current(t.table, 0).mirrored(true, false));
}

TEST(CurrentTexture, AnyBitmapSizeStretchesOntoTheBox) {
    textured_level t(game_tr3, 1, {make_texture(0, 30, 40, 93, 71)});
    const tr_level before = t.level;
    QImage ten(10, 10, QImage::Format_RGB888);
    ten.fill(QColor(0, 255, 0));
    ten.setPixel(9, 9, qRgb(255, 0, 0));
    QImage upload;
    ASSERT_TRUE(import_replace_current(t.level, t.table, 0, ten, &upload));
    EXPECT_EQ(upload.size(), QSize(10, 10));
    EXPECT_EQ(page16_at(t.level, 0, 30, 40), 0x8000 | (31 << 5));
    EXPECT_EQ(page16_at(t.level, 0, 93, 71), 0x8000 | (31 << 10));
    EXPECT_EQ(page16_at(t.level, 0, 29, 40), page16_at(before, 0, 29, 40));
    EXPECT_EQ(page16_at(t.level, 0, 94, 71), page16_at(before, 0, 94, 71));
    EXPECT_EQ(prepare_upload(upload, 24).width, 64);
}

TEST(CurrentTexture, BadRequestsChangeNothing) {
    textured_level t(game_tr2, 1, {make_texture(0, 30, 40, 93, 71), make_texture(4, 0, 1, 2, 3)});
    const tr_level before = t.level;
    QImage any(4, 4, QImage::Format_RGB888);
    any.fill(Qt::white);
    for (const int i : {-1, 2, 1}) {
        const texture_result r = import_replace_current(t.level, t.table, i, any);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.message.empty());
    }
    EXPECT_FALSE(import_replace_current(t.level, t.table, 0, QImage()).ok);
    expect_pages_equal(t.level, before);
}

TEST(TexturePages, FiveAndTwoMakeSeven) {
    for (const int version : {game_tr1, game_tr2, game_tr4}) {
        textured_level t(version, 5, {});
        const tr_level before = t.level;
        QImage pages(256, 512, QImage::Format_RGB888);
        pages.fill(QColor(200, 100, 48));
        pages.setPixel(0, 256, qRgb(255, 0, 255));
        int first = -1;
        ASSERT_TRUE(import_texture_pages(t.level, t.table, pages, &first));
        EXPECT_EQ(t.level.num_pages, 7u);
        EXPECT_EQ(t.level.num_room_pages, before.num_room_pages + 2);
        EXPECT_EQ(first, 5);
        EXPECT_EQ(page_list_text(first), "Page#6");
        EXPECT_EQ(t.table.pages_bitmap.height(), 7 * 256);
        if (version >= game_tr2) {
            EXPECT_TRUE(std::equal(before.pages16.begin(), before.pages16.end(), t.level.pages16.begin()));
            EXPECT_EQ(page16_at(t.level, 5, 17, 3), 0x8000 | (25 << 10) | (12 << 5) | 6);
            EXPECT_EQ(page16_at(t.level, 6, 0, 0), 0);
        }
        if (version >= game_tr4) {
            EXPECT_EQ(t.level.pages32[5 * page32_bytes + 2], 200);
            EXPECT_EQ(t.level.pages32[5 * page32_bytes + 3], 255);
        }
        if (version < game_tr4) {
            EXPECT_TRUE(std::equal(before.pages8.begin(), before.pages8.end(), t.level.pages8.begin()));
            palette_matcher m(t.level.palette8);
            EXPECT_EQ(t.level.pages8[5 * page8_bytes + 100], m.nearest({200, 100, 48}));
        }
        // The grown display copy exports and imports as a whole.
        const QImage all = export_big_bmp(t.table);
        EXPECT_EQ(all.height(), 7 * 256);
        const tr_level grown = t.level;
        ASSERT_TRUE(import_big_bmp(t.level, t.table, all));
        expect_pages_equal(t.level, grown);
    }
}

TEST(TexturePages, NewPagesOfATr4LevelGoBeforeItsBumpMapPages) {
    // Pages 0 room, 1 object, 2 and 3 bump maps; textures and a sprite on pages 0, 1, 2 and 3.
    textured_level t(
        game_tr4, 4,
        {make_texture(0, 0, 0, 7, 7), make_texture(2, 0, 0, 7, 7), make_texture(0x8003, 0, 0, 7, 7)});
    t.level.num_room_pages = 1;
    t.level.num_object_pages = 1;
    t.level.num_bump_pages = 2;
    t.level.set_num_sprite_textures(2);
    put_u16(&t.level.sprite_textures[0][0], 1);
    put_u16(&t.level.sprite_textures[1][0], 3);
    const tr_level before = t.level;
    const QImage bump_piece = texture_bitmap(t.table, 1).copy();

    QImage page(256, 256, QImage::Format_RGB888);
    page.fill(QColor(200, 100, 48));
    int first = -1;
    ASSERT_TRUE(import_texture_pages(t.level, t.table, page, &first));
    EXPECT_EQ(first, 2);
    EXPECT_EQ(t.level.num_room_pages, 1);
    EXPECT_EQ(t.level.num_object_pages, 2);
    EXPECT_EQ(t.level.num_bump_pages, 2);
    EXPECT_EQ(t.level.pages32[2 * page32_bytes + 2], 200);
    EXPECT_TRUE(std::equal(before.pages32.begin() + 2 * page32_bytes, before.pages32.end(),
                           t.level.pages32.begin() + 3 * page32_bytes));
    EXPECT_TRUE(std::equal(before.pages16.begin() + 2 * page16_bytes, before.pages16.end(),
                           t.level.pages16.begin() + 3 * page16_bytes));
    EXPECT_EQ(t.level.object_textures[0].page, 0);
    EXPECT_EQ(t.level.object_textures[1].page, 3);
    EXPECT_EQ(t.level.object_textures[2].page, 0x8004);
    EXPECT_EQ(get_u16(&t.level.sprite_textures[0][0]), 1);
    EXPECT_EQ(get_u16(&t.level.sprite_textures[1][0]), 4);
    EXPECT_EQ(texture_bitmap(t.table, 1), bump_piece);
}

TEST(TexturePages, ALevelIsNotGrownBeyondThePagesItsFileAndTexturesCanAddress) {
    struct limit {
        std::int32_t game;
        std::uint32_t most;
        const char* message;
    };
    for (const limit& c : {limit{game_tr4, 16383,
                                 "A TR4 or TRC level holds at most 16383 texture pages: this "
                                 "level has 16382 and the bitmap adds 2."},
                           limit{game_tr2, 32768,
                                 "A TR1 to TR3 level holds at most 32768 texture pages: this "
                                 "level has 32767 and the bitmap adds 2."}}) {
        // Only the count is at the limit: holding that many pages would take gigabytes.
        textured_level t(c.game, 1, {});
        t.level.num_pages = c.most - 1;
        const tr_level before = t.level;
        const texture_result r =
            import_texture_pages(t.level, t.table, QImage(256, 512, QImage::Format_RGB888));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(t.level.num_pages, c.most - 1);
        EXPECT_EQ(t.level.pages16, before.pages16);
    }
}

TEST(TexturePages, WrongShapesAreRefused) {
    textured_level t(game_tr2, 5, {});
    const tr_level before = t.level;
    for (const QImage& bad :
         {QImage(256, 300, QImage::Format_RGB888), QImage(255, 256, QImage::Format_RGB888), QImage()}) {
        const texture_result r = import_texture_pages(t.level, t.table, bad);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, "Texture Page must be 256 pixels width, and 256x pixels height!!");
    }
    expect_pages_equal(t.level, before);
    EXPECT_EQ(t.table.page_count(), 5);
}

TEST(BmpFiles, DamagedFilesGiveMessagesAndLeaveTheImageAlone) {
    QTemporaryDir dir;
    QImage good(256, 256, QImage::Format_RGB888);
    good.fill(QColor(1, 2, 3));
    const std::string path = dir.filePath("good.bmp").toStdString();
    ASSERT_TRUE(save_bitmap(good, path));
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();

    auto write = [&](const char* name, const QByteArray& data) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return dir.filePath(name).toStdString();
    };
    QByteArray huge = bytes;
    const std::int32_t side = 1 << 20;
    std::memcpy(huge.data() + 18, &side, 4);
    std::memcpy(huge.data() + 22, &side, 4);
    QByteArray depth = bytes;
    depth[28] = 7;
    const std::vector<std::string> bad{write("cut.bmp", bytes.left(bytes.size() / 2)),
                                       write("head.bmp", bytes.left(20)),
                                       write("text.bmp", "this is not a bitmap at all"),
                                       write("huge.bmp", huge),
                                       write("depth.bmp", depth),
                                       dir.filePath("missing.bmp").toStdString()};
    for (const auto& p : bad) {
        QImage image(1, 1, QImage::Format_RGB888);
        const texture_result r = load_bitmap(p, image);
        EXPECT_FALSE(r.ok) << p;
        EXPECT_NE(r.message.english.find(p), std::string::npos) << r.message;
        EXPECT_EQ(image.size(), QSize(1, 1));
    }
    QImage loaded;
    ASSERT_TRUE(load_bitmap(path, loaded));
    EXPECT_EQ(loaded.pixel(255, 255), qRgb(1, 2, 3));
    EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 24); // exports are 24-bit

    const texture_result w = save_bitmap(good, dir.filePath("no/such/dir/x.bmp").toStdString());
    EXPECT_FALSE(w.ok);
    EXPECT_FALSE(w.message.empty());
}

TEST(BmpFiles, AFailedExportSaysWhyAndKeepsTheOldFile) {
    // A file-size limit makes the write fail part way, as a full disk would (even for root).
    QTemporaryDir dir;
    const std::string path = dir.filePath("pages.bmp").toStdString();
    std::ofstream(path) << "old";
    QImage pages(256, 1024, QImage::Format_RGB888);
    pages.fill(Qt::darkRed);
    rlimit saved_limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved_limit), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved_limit;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const texture_result r = save_bitmap(pages, path);
    setrlimit(RLIMIT_FSIZE, &saved_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.english.find(std::strerror(EFBIG)), std::string::npos) << r.message;
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "the temporary file is removed";

    // A level without pages exports no bitmap, and says so with a message of its own.
    const texture_result none = save_bitmap(QImage(), path);
    EXPECT_FALSE(none.ok);
    EXPECT_EQ(none.message.english, "Could not write " + path + ": The bitmap is empty.");
    std::ifstream again(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}), "old");
}

TEST(BmpFiles, ChooserTexts) {
    EXPECT_EQ(overwrite_question("C:/a.bmp"), "The File C:/a.bmp Already Exists. Overwrite It?");
    EXPECT_EQ(big_bmp_file_name("test1.tr4 (TR4)"), "test1.tr4  Textures");
    EXPECT_EQ(big_bmp_file_name("level"), " Textures");
    EXPECT_EQ(pieces_file_name("Lara/Moveable#0"), "Lara");
    EXPECT_EQ(pieces_file_name("Static#3?"), "Static#3");
    EXPECT_EQ(pieces_file_name("Plain"), "Plain");
}

namespace {

// Mesh data words for one mesh with the given texture words on its rectangles and triangles.
void append_mesh(std::vector<std::uint16_t>& words, bool wide, const std::vector<std::uint16_t>& rects,
                 const std::vector<std::uint16_t>& tris) {
    const std::size_t start = words.size();
    words.insert(words.end(), {1, 2, 3, 0, 0});         // centre, radius
    words.insert(words.end(), {1, 10, 20, 30});         // one vertex
    words.insert(words.end(), {std::uint16_t(-1), 99}); // one vertex light
    words.push_back(std::uint16_t(rects.size()));
    for (auto t : rects) {
        words.insert(words.end(), {0, 0, 0, 0, t});
        if (wide) words.push_back(0xEEEE);
    }
    words.push_back(std::uint16_t(tris.size()));
    for (auto t : tris) {
        words.insert(words.end(), {0, 0, 0, t});
        if (wide) words.push_back(0xEEEE);
    }
    if (!wide) words.insert(words.end(), {0, 0});
    if ((words.size() - start) % 2) words.push_back(0);
}

} // namespace

TEST(MeshFaces, TextureIndicesOfEveryVersionsMeshes) {
    for (const bool wide : {false, true}) {
        tr_level level;
        level.game_version = wide ? game_tr4 : game_tr2;
        append_mesh(level.mesh_words, wide, {0x8005, 6}, {0x1007});
        const std::uint32_t second = std::uint32_t(level.mesh_words.size() * 2);
        append_mesh(level.mesh_words, wide, {}, {9});
        level.mesh_pointers = {0, second};
        level.moveables.resize(1);
        put_u16(&level.moveables[0][4], 2);
        put_u16(&level.moveables[0][6], 0);
        level.static_meshes.resize(1);
        put_u16(&level.static_meshes[0][4], 1);

        EXPECT_EQ(mesh_face_textures(level, 0), (face_textures{5, 6, 7}));
        EXPECT_EQ(moveable_face_textures(level, 0), (std::vector<face_textures>{{5, 6, 7}, {9}}));
        EXPECT_EQ(static_face_textures(level, 0), (std::vector<face_textures>{{9}}));
        EXPECT_FALSE(moveable_face_textures(level, 1));
        EXPECT_FALSE(mesh_face_textures(level, 2));

        level.mesh_words.resize(level.mesh_words.size() - 6); // second mesh cut short
        EXPECT_FALSE(mesh_face_textures(level, 1));
        EXPECT_FALSE(moveable_face_textures(level, 0));
        level.mesh_pointers[1] = 0xFFFFFFF0u;
        EXPECT_FALSE(mesh_face_textures(level, 1));
    }
}

TEST(MeshFaces, TheMeshListGivesTheFacesWithTheirUnsavedEdits) {
    for (const bool wide : {false, true}) {
        tr_level level;
        level.game_version = wide ? game_tr4 : game_tr2;
        append_mesh(level.mesh_words, wide, {0x8005, 6}, {0x1007});
        const std::uint32_t second = std::uint32_t(level.mesh_words.size() * 2);
        append_mesh(level.mesh_words, wide, {}, {9});
        level.set_num_mesh_words(std::uint32_t(level.mesh_words.size()));
        level.mesh_pointers = {0, second};
        level.num_mesh_pointers = 2;
        level.moveables.resize(1);
        put_u16(&level.moveables[0][4], 2);
        level.static_meshes.resize(1);
        put_u16(&level.static_meshes[0][4], 1);
        mesh_list meshes;
        build_mesh_list(meshes, level);
        EXPECT_EQ(moveable_face_textures(level, meshes, 0), moveable_face_textures(level, 0));

        set_face_word(meshes.meshes[0].tex_rects[1], 4, 11); // an edit not yet saved
        EXPECT_EQ(moveable_face_textures(level, meshes, 0), (std::vector<face_textures>{{5, 11, 7}, {9}}));
        EXPECT_EQ(static_face_textures(level, meshes, 0), (std::vector<face_textures>{{9}}));
        meshes.mesh_index.pop_back(); // a pointer with no mesh
        EXPECT_FALSE(static_face_textures(level, meshes, 0));
    }
}
