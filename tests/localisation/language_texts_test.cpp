// The nine languages kept in the repository: complete against English (US), and the generated
// files beside the editor carry exactly those texts.
#include "languages.h"
#include "text_source.h"

#include <gtest/gtest.h>

namespace {

text_source_result parse_language(const language_info& language) {
    return read_text_source(VELLUM_LANGUAGE_TEXTS, language)
        .value_or(text_source_result{{}, {"cannot be read"}});
}

} // namespace

TEST(LanguageTexts, EveryLanguageCarriesEveryElementOfEnglishUS) {
    const text_source_result us = parse_language(languages[english_us_index]);
    ASSERT_TRUE(us.errors.empty());
    ASSERT_GT(us.catalogue.forms.size(), 8u);
    for (const auto& language : languages) {
        const text_source_result other = parse_language(language);
        EXPECT_TRUE(other.errors.empty()) << language.text_file << ": " << other.errors.front();
        EXPECT_EQ(missing_elements(us.catalogue, other.catalogue), std::vector<std::string>{})
            << language.text_file;
        EXPECT_EQ(missing_elements(other.catalogue, us.catalogue), std::vector<std::string>{})
            << language.text_file;
    }
}

TEST(LanguageTexts, TranslationsDifferFromEnglishAndUKSpellingFromUS) {
    const auto text = [](std::size_t language, const char* form, const char* component, int element) {
        return parse_language(languages[language]).catalogue.shown(form, component, element).value_or("");
    };
    const std::string us_open = text(english_us_index, "TForm1", "OpenFile1", element_caption);
    EXPECT_EQ(us_open, "&Open");
    for (std::size_t i : {0u, 3u, 4u, 5u, 6u, 7u, 8u})
        EXPECT_NE(text(i, "TForm1", "OpenFile1", element_caption), us_open) << languages[i].combo_text;
    EXPECT_EQ(text(1, "TForm1", "Button1", element_caption), "&Centre Camera");
    EXPECT_EQ(text(english_us_index, "TForm1", "Button1", element_caption), "&Center Camera");
    EXPECT_EQ(text(3, "TLocalisation", "Constants", 1), "Möchten Sie die Änderungen speichern?");
    EXPECT_EQ(text(0, "TLocalisation", "Constants", 1), "Voulez-vous sauvegarder les changements ?");
}

TEST(LanguageTexts, SourceSyntaxErrorsNameTheLine) {
    const text_source_result r = parse_text_source("[TForm1]\nOpenFile1.Caption = a\nOpenFile1.Caption = b\n"
                                                   "Button1.Colour = red\nno equals sign\n",
                                                   0x0409);
    ASSERT_EQ(r.errors.size(), 3u);
    EXPECT_EQ(r.errors[0].rfind("line 3:", 0), 0u);
    EXPECT_EQ(r.errors[1].rfind("line 4:", 0), 0u);
    EXPECT_EQ(r.errors[2].rfind("line 5:", 0), 0u);
}

TEST(LanguageTexts, GeneratedFilesHoldTheSourceTexts) {
    const language_paths paths = language_paths::of_executable(std::string(VELLUM_LANGUAGE_DIR) + "/vellum");
    for (const auto& language : languages) {
        lng_catalogue loaded;
        const language_load_result r = load_language_file(paths.language_file(language.code), loaded);
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_EQ(loaded, parse_language(language).catalogue) << language.text_file;
    }
}
