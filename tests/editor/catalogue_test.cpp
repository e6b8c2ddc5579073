// The catalogue's line matching and the object tree built from it.
#include "catalogue.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace {

const char* tr123_start = "\t<moveables \t\tname=\"Moveables\" \t\ticon=\"Moveables\">";
const char* tr45_start = "\t<moveables name=\"Moveables\" icon=\"Moveables\">";

std::string write_catalogue(QTemporaryDir& dir, const std::string& text) {
    const auto path = dir.filePath("trcatalog.xml").toStdString();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(Catalogue, NamesComeOnlyFromTheChosenGameSection) {
    QTemporaryDir dir;
    const auto path = write_catalogue(
        dir,
        std::string("<trcatalog>\r\n<game id=\"TR1\">\r\n") + tr123_start +
            "\r\n\t\t<moveable id=\"35\" name=\"Falling floor\"/>\r\n\t</moveables>\r\n</game>\r\n"
            "<game id=\"TR2\">\r\n" +
            tr123_start +
            "\r\n\t\t<moveable id=\"35\" name=\"Gold thing\"/>\r\n\r\n\t\t<moveable id=\"0\" "
            "name=\"Lara\"/>\r\n"
            "\t\t<moveable id=\"0\" name=\"Lara again\"/>\r\n\t</moveables>\r\n</game>\r\n"
            "<game id=\"TR4\">\r\n" +
            tr45_start +
            "\r\n\t\t<moveable id=\"35\" name=\"Four\"/>\r\n"
            "\t\t<moveable id=\"465\" name=\"Out of range\"/>\r\n\t\t<moveable id=\"x1\" name=\"Bad\"/>\r\n"
            "\t</moveables>\r\n</game>\r\n</trcatalog>\r\n");
    EXPECT_EQ(read_catalogue(path, 1)[35], "Falling floor");
    EXPECT_EQ(read_catalogue(path, 2)[35], "Falling floor"); // TR1 Gold uses the TR1 section
    const auto tr2gold = read_catalogue(path, 4);
    EXPECT_EQ(tr2gold[35], "Gold thing");
    EXPECT_EQ(tr2gold[0], "Lara again"); // later entries overwrite; the empty line is skipped
    EXPECT_EQ(tr2gold[1], "Unknown");
    const auto tr4 = read_catalogue(path, 6);
    EXPECT_EQ(tr4[35], "Four");
    EXPECT_EQ(tr4[0], "Unknown");
    EXPECT_EQ(moveable_name(tr4, 465), "Unknown");
    // No TR3 or TRC section: everything stays unknown, and the search stops at the end of the file.
    EXPECT_EQ(read_catalogue(path, 5)[35], "Unknown");
    EXPECT_EQ(read_catalogue(path, 7)[35], "Unknown");
}

TEST(Catalogue, TheMoveablesLineMustMatchTheGamesForm) {
    QTemporaryDir dir;
    // A TR4 section written with the TR1-TR3 moveables line is not recognised.
    const auto path = write_catalogue(dir, std::string("<game id=\"TR4\">\n") + tr123_start +
                                               "\n\t\t<moveable id=\"5\" name=\"Five\"/>\n\t</moveables>\n");
    EXPECT_EQ(read_catalogue(path, 6)[5], "Unknown");
    bool found = true;
    read_catalogue(dir.filePath("missing.xml").toStdString(), 6, &found);
    EXPECT_FALSE(found);
}

TEST(Catalogue, BundledCatalogueNamesLaraInEveryGame) {
    const std::string path = std::string(VELLUM_SOURCE_DIR) + "/data/trcatalog.xml";
    for (int g = 1; g <= 7; ++g) {
        bool found = false;
        const auto names = read_catalogue(path, g, &found);
        ASSERT_TRUE(found);
        EXPECT_NE(names[0], "Unknown") << "game " << g;
    }
}

} // namespace
