// Messages composed in English (US) reach the user in the chosen language, values kept.
#include "languages.h"
#include "message_texts.h"
#include "text_source.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

lng_catalogue language_texts(std::size_t index) {
    std::ifstream in(std::string(VELLUM_LANGUAGE_TEXTS) + "/" + std::string(languages[index].text_file));
    std::ostringstream text;
    text << in.rdbuf();
    return parse_text_source(text.str(), languages[index].identifier).catalogue;
}

} // namespace

TEST(MessageTexts, EnglishMessagesAreShownInTheChosenLanguage) {
    const lng_catalogue us = language_texts(english_us_index);
    const lng_catalogue de = language_texts(3);
    const lng_catalogue kr = language_texts(8);
    const message_translator to_german(&us, &de);
    struct case_t {
        std::string english, german;
    };
    const case_t cases[] = {
        {"File not found!!!", "Datei nicht gefunden!"},
        {"The File /levels/a b.tr4 Already Exists. Overwrite It?",
         "Die Datei /levels/a b.tr4 existiert bereits. Überschreiben?"},
        {"Bitmap Width must be: 192, and Height must be: 64",
         "Das Bild muss 192 Pixel breit und 64 Pixel hoch sein"},
        {"This Bitmap should be 256*1024 pixels.", "Dieses Bild muss 256*1024 Pixel groß sein."},
        {"Texture ID:700 (not in this level)", "Textur-ID:700 (nicht in diesem Level)"},
        {"Texture ID:57", "Textur-ID:57"},
        {"Something the catalogue does not know", "Something the catalogue does not know"},
    };
    for (const auto& [english, german] : cases)
        EXPECT_EQ(to_german.translate(english), german);
    EXPECT_EQ(message_translator(&us, &kr).translate("File not found!!!"), "파일을 찾을 수 없습니다!");
    EXPECT_EQ(message_translator(&us, &us).translate("File not found!!!"), "File not found!!!");
    EXPECT_EQ(to_german.text("AnimatedTextureItem", {"57"}), "Textur-ID:57");
    EXPECT_EQ(to_german.text("NoSuchMessage", {"1"}, "Fallback %1"), "Fallback 1");
}

TEST(MessageTexts, TemplatesMatchValuesInTheirNumberedOrder) {
    EXPECT_EQ(match_template("%2 of %1", "3 of 7"), (std::vector<std::string>{"7", "3"}));
    EXPECT_FALSE(match_template("Mesh # %1", "Mesh 5"));
    EXPECT_EQ(fill_template("%2 de %1", {"7", "3"}), "3 de 7");
}
