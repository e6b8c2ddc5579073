// config.opt, the recent-files list and the per-user store.
#include "app_settings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}
void put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(ConfigOpt, OnlyTheExactWordWhiteGivesAWhiteBackground) {
    QTemporaryDir dir;
    const auto path = dir.filePath("config.opt").toStdString();
    for (const auto& [second, white] : std::vector<std::pair<std::string, bool>>{
             {"WHITE", true}, {"BLACK", false}, {"white", false}, {"", false}, {"WHITE ", false}}) {
        put(path, "  16\r\n" + second + "\r\n");
        const auto o = read_config_opt(path);
        EXPECT_EQ(o.colour_bits, 16);
        EXPECT_EQ(o.white_background, white) << "second line '" << second << "'";
    }
}

TEST(ConfigOpt, MissingFileGivesDefaultsAndIsCreatedWhenASettingIsSaved) {
    QTemporaryDir dir;
    const auto path = dir.filePath("config.opt").toStdString();
    user_message problem;
    const auto o = read_config_opt(path, &problem);
    EXPECT_EQ(o.colour_bits, 24);
    EXPECT_FALSE(o.white_background);
    EXPECT_FALSE(problem.empty());
    write_config_background(path, true);
    EXPECT_EQ(slurp(path), "24\r\nWHITE\r\n");
}

TEST(ConfigOpt, EachCommandKeepsTheLineItDoesNotChange) {
    QTemporaryDir dir;
    const auto path = dir.filePath("config.opt").toStdString();
    put(path, "17\r\nWHITE\r\n");
    write_config_background(path, false);
    EXPECT_EQ(slurp(path), "17\r\nBLACK\r\n"); // an odd colour-bits value survives
    write_config_colour_bits(path, 32);
    EXPECT_EQ(slurp(path), "32\r\nBLACK\r\n");
}

TEST(RecentFiles, MovesReopenedFileToTopKeepingOrderAndIgnoringCase) {
    recent_files r;
    for (const char* p : {"/l/a.tr4", "/l/b.tr4", "/l/c.tr4", "/l/d.tr4"})
        r.add(p);
    r.add("/l/b.tr4"); // third from the top
    EXPECT_EQ(r.entries(), (std::vector<std::string>{"/l/b.tr4", "/l/d.tr4", "/l/c.tr4", "/l/a.tr4"}));
    r.add("/L/C.TR4"); // same file in another case: the new form replaces the old
    EXPECT_EQ(r.entries(), (std::vector<std::string>{"/L/C.TR4", "/l/b.tr4", "/l/d.tr4", "/l/a.tr4"}));
}

TEST(RecentFiles, SixthFileDropsTheOldestAndStoreRoundTrips) {
    QTemporaryDir dir;
    const auto ini = dir.filePath("store.ini");
    recent_files r;
    for (int i = 0; i < 6; ++i)
        r.add("/levels/l" + std::to_string(i) + ".phd");
    ASSERT_EQ(r.entries().size(), 5u);
    EXPECT_EQ(r.entries().back(), "/levels/l1.phd");
    {
        QSettings store(ini, QSettings::IniFormat);
        save_settings(store, r, 1031);
    }
    QSettings store(ini, QSettings::IniFormat);
    EXPECT_EQ(store.value("Recent files/count").toString(), "5");
    EXPECT_EQ(store.value("Recent files/File name0").toString(), "/levels/l5.phd");
    recent_files back;
    int language = 0;
    load_settings(store, back, language);
    EXPECT_EQ(back.entries(), r.entries());
    EXPECT_EQ(language, 1031);
}

TEST(RecentFiles, StoreOfAnotherVersionIsIgnoredAsAWhole) {
    QTemporaryDir dir;
    QSettings store(dir.filePath("store.ini"), QSettings::IniFormat);
    store.setValue("Version/version", "Vellum v.2.1 Rev 3");
    store.setValue("form1/languaje", "1034");
    store.setValue("Recent files/count", "1");
    store.setValue("Recent files/File name0", "/x.tr4");
    recent_files r;
    int language = 7;
    load_settings(store, r, language);
    EXPECT_TRUE(r.entries().empty());
    EXPECT_EQ(language, 7);
}

} // namespace

namespace {
TEST(ScreenCheck, WarnsOnlyForScreensTooSmallToWorkOn) {
    EXPECT_EQ(screen_check_message(96, 1280), "");
    EXPECT_EQ(screen_check_message(96, 1024), "");
    EXPECT_EQ(screen_check_message(120, 1024), "");
    EXPECT_NE(screen_check_message(120, 800).english.find("800x600 resolution and Big Fonts"),
              std::string::npos);
    EXPECT_NE(screen_check_message(120, 640).english.find("MUST run in 800x600"), std::string::npos);
    EXPECT_NE(screen_check_message(96, 640).english.find("MUST run in 800x600"), std::string::npos);
    EXPECT_EQ(screen_check_message(144, 2560), "");
}
} // namespace
