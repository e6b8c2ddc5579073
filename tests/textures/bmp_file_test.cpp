// BMP import: compressed and palette bitmaps decode completely or are refused with a message.
#include "bitmap_exchange.h"
#include "bmp_builder.h"
#include "bmp_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

std::string write_file(const QTemporaryDir& dir, const std::string& name, const test_bmps::bytes& data) {
    const QString path = dir.filePath(QString::fromStdString(name + ".bmp"));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(data.data()), qint64(data.size()));
    return path.toStdString();
}

int grey(int index) {
    return 17 * (index % 16);
}

} // namespace

TEST(BmpImport, CompressedAndFourBitBitmapsShowTheirPicture) {
    QTemporaryDir dir;
    for (const auto& [name, file] : test_bmps::sound_palette_bmps()) {
        QImage image;
        const texture_result r = load_bitmap(write_file(dir, name, file), image);
        ASSERT_TRUE(r.ok) << name << ": " << r.message;
        ASSERT_EQ(image.size(), QSize(4, 2)) << name;
        const int top[] = {1, 2, 3, 4}, bottom[] = {5, 5, 7, 8};
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(image.pixel(x, 0), qRgb(grey(top[x]), grey(top[x]), grey(top[x]))) << name << x;
            EXPECT_EQ(image.pixel(x, 1), qRgb(grey(bottom[x]), grey(bottom[x]), grey(bottom[x])))
                << name << x;
        }
    }
}

TEST(BmpImport, MalformedBitmapsAreRefusedAndLeaveTheImageAlone) {
    const std::map<std::string, std::string> problem{
        {"rle8_cut", "its compressed pixel data ends early"},
        {"rle4_cut", "its compressed pixel data ends early"},
        {"rle8_only_end", "its compressed pixel data leaves pixels undefined"},
        {"rle8_early_end_of_line", "its compressed pixel data leaves pixels undefined"},
        {"rle8_far_delta", "its compressed pixel data runs past the picture"},
        {"rle8_long_run", "its compressed pixel data runs past the picture"},
        {"rle4_long_run", "its compressed pixel data runs past the picture"},
        {"bits8_without_palette", "it has no colour table"},
        {"bits8_colour_beyond_palette", "its pixels use colours its colour table does not have"},
        {"huge_claim", "its compressed pixel data ends early"},
        {"rle_top_down", "it is compressed but stored top-down"},
        {"rle4_at_8_bits", "its compression does not fit its bit depth"},
    };
    auto cases = test_bmps::malformed_bmps();
    // A 65536 x 1024 picture claimed by a 20-byte stream is refused before any pixel memory exists.
    cases.push_back({"huge_claim", test_bmps::make_bmp({65536, 1024, 8, 1, test_bmps::grey_palette(), 0,
                                                        test_bmps::bytes(20, 0)})});
    cases.push_back(
        {"rle_top_down",
         test_bmps::make_bmp({4, -2, 8, 1, test_bmps::grey_palette(), 0, {4, 1, 0, 0, 4, 2, 0, 1}})});
    cases.push_back(
        {"rle4_at_8_bits",
         test_bmps::make_bmp({4, 2, 8, 2, test_bmps::grey_palette(), 0, {4, 0x11, 0, 0, 4, 0x22, 0, 1}})});
    QTemporaryDir dir;
    for (const auto& [name, file] : cases) {
        const std::string path = write_file(dir, name, file);
        QImage image(1, 1, QImage::Format_RGB888);
        const texture_result r = load_bitmap(path, image);
        EXPECT_FALSE(r.ok) << name;
        EXPECT_EQ(r.message, "The bitmap " + path + " cannot be used: " + problem.at(name) + ".") << name;
        EXPECT_EQ(image.size(), QSize(1, 1)) << name;
    }
}

TEST(BmpImport, PaletteBitmapsReadAsTheImageReaderReadsSoundOnes) {
    QTemporaryDir dir;
    QImage indexed(37, 11, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (int i = 0; i < 256; ++i)
        colours.push_back(qRgb(i, 255 - i, (i * 7) & 0xFF));
    indexed.setColorTable(colours);
    for (int y = 0; y < indexed.height(); ++y)
        for (int x = 0; x < indexed.width(); ++x)
            indexed.setPixel(x, y, uint((x * 13 + y * 5) & 0xFF));
    QImage mono = indexed.convertToFormat(QImage::Format_Mono);
    for (const auto& [name, source] : {std::pair{"bits8", indexed}, std::pair{"bits1", mono}}) {
        const QString path = dir.filePath(QString(name) + ".bmp");
        ASSERT_TRUE(source.save(path, "bmp")) << name;
        QImage ours;
        ASSERT_TRUE(load_bitmap(path.toStdString(), ours)) << name;
        const QImage theirs(path, "bmp");
        ASSERT_EQ(ours.size(), theirs.size()) << name;
        EXPECT_EQ(ours.convertToFormat(QImage::Format_RGB888), theirs.convertToFormat(QImage::Format_RGB888))
            << name;
    }
}
