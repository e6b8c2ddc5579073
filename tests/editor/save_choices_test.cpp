// The names the save choosers suggest and the extension a typed name gets.
#include "save_choices.h"

#include <gtest/gtest.h>

TEST(SaveChoices, EachExportSuggestsItsName) {
    struct suggestion_case {
        const char* what;
        std::string suggested;
        std::string expected;
    };
    const suggestion_case cases[] = {
        {"BigBMP of a level", big_bmp_suggestion("level1.phd (TR 1)"), "level1.phd Textures"},
        {"BigBMP of a root without a blank", big_bmp_suggestion("level1.phd"), "Textures"},
        {"Export All of a plain name", export_all_suggestion("Lara"), "Lara"},
        {"Export All cut before a slash", export_all_suggestion("Door / gate"), "Door"},
        {"Export All cut before a question mark", export_all_suggestion("Mesh # 12?x"), "Mesh # 12"},
        {"Export All: the slash wins over a question mark", export_all_suggestion("a?b/c"), "a?b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.suggested, c.expected) << c.what;
}

TEST(SaveChoices, ANameTypedWithoutExtensionGetsTheCommandsExtension) {
    struct extension_case {
        const char* typed;
        const char* extension;
        const char* expected;
    };
    const extension_case cases[] = {
        {"/tmp/pages", ".bmp", "/tmp/pages.bmp"},
        {"/tmp/pages.bmp", ".bmp", "/tmp/pages.bmp"},
        {"/tmp/pages.BMP", ".bmp", "/tmp/pages.BMP"},
        {"/tmp/my.folder/level", ".tr4", "/tmp/my.folder/level.tr4"},
        {"/tmp/level.tub", ".phd", "/tmp/level.tub"},
        {"/tmp/level1.phd Textures", ".bmp", "/tmp/level1.phd Textures.bmp"}, // BigBMP's suggestion
        {"", ".bmp", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(with_extension_if_none(c.typed, c.extension), c.expected) << c.typed;
    EXPECT_EQ(extension_of("/levels/city.trg.tr2"), ".tr2");
    EXPECT_EQ(extension_of("/levels/city"), "");
}
