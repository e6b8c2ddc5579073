// Messages named by key reach the user in the chosen language, values kept; the English (US)
// wording the command line prints is the English language file's.
#include "languages.h"
#include "message_texts.h"
#include "text_source.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

lng_catalogue language_texts(std::size_t index) {
    return read_text_source(VELLUM_LANGUAGE_TEXTS, languages[index]).value_or(text_source_result{}).catalogue;
}

} // namespace

TEST(MessageTexts, NamedMessagesAreShownInTheChosenLanguage) {
    const lng_catalogue de = language_texts(3);
    const lng_catalogue kr = language_texts(8);
    struct case_t {
        user_message message;
        std::string english, german;
    };
    const case_t cases[] = {
        {say(msg::file_not_found), "File not found!!!", "Datei nicht gefunden!"},
        {say(msg::overwrite_question, {"/levels/a b.tr4"}),
         "The File /levels/a b.tr4 Already Exists. Overwrite It?",
         "Die Datei /levels/a b.tr4 existiert bereits. Überschreiben?"},
        {say(msg::bitmap_piece_size, {"192", "64"}), "Bitmap Width must be: 192, and Height must be: 64",
         "Das Bild muss 192 Pixel breit und 64 Pixel hoch sein"},
        // A value that is a message itself follows the language too.
        {say(msg::no_such_entry, {say(msg::texture_item, {"7"})}), "There is no Texture#7.",
         "Es gibt keine Textur 7."},
        // Parts shown one after the other.
        {joined({say(msg::mesh_number, {"3"}), "      ", say(msg::polygon_quad)}),
         "Mesh # 3      Polygon type: Quad", "Mesh Nr. 3      Polygontyp: Viereck"},
        // A text with no key (a reason the system gave) is shown as it is.
        {user_message("No space left on device"), "No space left on device", "No space left on device"},
    };
    for (const auto& [message, english, german] : cases) {
        EXPECT_EQ(message.english, english);
        EXPECT_EQ(shown_message(&de, message), german) << english;
    }
    EXPECT_EQ(shown_message(&kr, say(msg::file_not_found)), "파일을 찾을 수 없습니다!");
    // A language that lacks a message words it in English, its values still in that language.
    lng_catalogue partial = de;
    partial.forms.erase(std::remove_if(partial.forms.begin(), partial.forms.end(),
                                       [](const lng_form& f) { return f.class_name == message_form; }),
                        partial.forms.end());
    EXPECT_EQ(shown_message(&partial, say(msg::overwrite_question, {"x"})),
              "The File x Already Exists. Overwrite It?");
}

TEST(MessageTexts, EveryMessageIsInTheEnglishFileAsTheCodeWordsIt) {
    // The command line prints the code's English wording; the windows show the English file's.
    const lng_catalogue us = language_texts(english_us_index);
    for (const message_definition& d : message_definitions)
        EXPECT_EQ(us.shown(message_form, d.key, element_caption).value_or("<missing>"), d.english) << d.key;
    EXPECT_EQ(fill_template("%2 de %1", {"7", "3"}), "3 de 7");
}
