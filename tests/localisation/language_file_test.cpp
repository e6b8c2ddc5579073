// Language files: writing and reading back, scrambling, accelerators, the old layouts, and every
// limit that stops a reader.
#include "language_file.h"
#include "languages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

// Builds language-file bytes by hand, independently of the writer.
struct file_bytes {
    std::vector<std::uint8_t> b;
    file_bytes& u16(std::uint16_t v) {
        b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
        return *this;
    }
    file_bytes& u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(std::uint8_t(v >> (8 * i)));
        return *this;
    }
    file_bytes& str(const std::string& s) {
        b.push_back(std::uint8_t(s.size()));
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    file_bytes& scrambled(const std::string& s) { return str(scramble(s)); }
    // Header, identifier, own name and a pool.
    static file_bytes start(const std::string& header, const std::vector<std::string>& pool) {
        file_bytes f;
        f.str(header).u16(0x0407).str("vellum_de.lng").u32(std::uint32_t(pool.size()));
        for (const auto& s : pool)
            f.scrambled(s);
        return f;
    }
    file_bytes& form(const std::string& cls, std::uint32_t caption, std::uint32_t components) {
        return scrambled(cls.substr(1)).scrambled(cls).u32(caption).u32(components);
    }
};

lng_read_result read(const file_bytes& f, lng_catalogue& c) {
    return read_language(f.b.data(), f.b.size(), c);
}

lng_catalogue sample_catalogue() {
    lng_catalogue c;
    c.language_id = 0x040C;
    c.set("TForm1", "", element_caption, "Vellum v.2.2 Rev 0");
    c.set("TForm1", "OpenFile1", element_caption, "&Ouvrir");
    c.set("TForm1", "Button2", element_caption, "Exporter");
    c.set("TForm1", "Button2", element_long_hint, "Exporter la texture courante...");
    c.set("TForm1", "ComboBox1", element_short_hint, "Choisissez une page...");
    c.set("TForm1", "ComboBox2", 0, "Opaque");
    c.set("TForm1", "ComboBox2", 1, "Transparent");
    c.set("TForm1", "ComboBox2", 2, "Semi-&transparent");
    c.set("TKeys", "Memo1", 0, "GUIDE");
    c.set("TKeys", "Memo1", 1, "");
    c.set("TKeys", "Memo1", 2, "Opaque"); // a text used twice is pooled once
    c.forms[0].find("Button2")->elements[element_long_hint].untranslated = true;
    for (auto& f : c.forms)
        for (auto& comp : f.components)
            comp.class_name = "TButton";
    return c;
}

} // namespace

TEST(LanguageFile, WrittenAndReadBackEqualsItsCatalogue) {
    const lng_catalogue written = sample_catalogue();
    const lng_write_result w = write_language(written, "vellum_fr.lng");
    ASSERT_TRUE(w.problem.empty()) << w.problem;
    lng_catalogue read_back;
    const lng_read_result r = read_language(w.bytes.data(), w.bytes.size(), read_back);
    ASSERT_TRUE(r.ok) << r.problem;
    EXPECT_EQ(read_back, written);
    EXPECT_EQ(read_back.shown("TForm1", "ComboBox2", 2), "Semi-&transparent");
}

TEST(LanguageFile, ScramblingBothWays) {
    EXPECT_EQ(scramble(""), "");
    EXPECT_EQ(scramble("A"), "\"");               // 65 - 31 = 34
    EXPECT_EQ(scramble("ab"), std::string("B ")); // 'a' - 31 = 'B'; 'b' - 'B' = ' '
    EXPECT_EQ(unscramble("B "), "ab");
    std::string every_byte;
    for (int i = 0; i < 254; ++i)
        every_byte += char(255 - i);
    for (const std::string& s :
         {every_byte, std::string("\x1f"), std::string("Ö&ffnen"), std::string("열기")})
        EXPECT_EQ(unscramble(scramble(s)), s);
}

TEST(LanguageFile, AcceleratorIsStoredAsAPositionAndShownAgain) {
    lng_catalogue c;
    c.set("TForm1", "OpenFile1", element_caption, "&Open");
    const lng_element& e = c.forms[0].components[0].elements.at(element_caption);
    EXPECT_EQ(e.text, "Open");
    EXPECT_EQ(e.accelerator, 1);
    EXPECT_EQ(c.shown("TForm1", "OpenFile1", element_caption), "&Open");

    // The file ends with the component's caption, short hint, long hint and list count words.
    const auto bytes = write_language(c, "x.lng").bytes;
    ASSERT_GE(bytes.size(), 16u);
    const std::size_t at = bytes.size() - 16;
    const std::uint32_t caption_word = std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 |
                                       std::uint32_t(bytes[at + 2]) << 16 |
                                       std::uint32_t(bytes[at + 3]) << 24;
    EXPECT_EQ(caption_word, 0x01000001u);

    EXPECT_EQ(typed_from_element(element_from_typed("Save &As...")), "Save &As...");
    EXPECT_EQ(element_from_typed("Fish && Chips").accelerator, 0);
    EXPECT_EQ(element_from_typed("파일(&F)").accelerator, 8); // byte position, after two Hangul syllables
}

TEST(LanguageFile, OldLayoutHasNoLongHintsAndNoAcceleratorBytes) {
    // 01.0: caption and list words are plain indices (bit 30 set is still an index), no LongHint word.
    file_bytes old = file_bytes::start("LFv01.0", {"Ouvrir", "Astuce"});
    old.u32(1)
        .form("TForm1", 0, 1)
        .scrambled("OpenFile1")
        .scrambled("TMenuItem")
        .u32(1)
        .u32(0x7F000002)
        .u32(1)
        .u32(1);
    lng_catalogue c;
    ASSERT_TRUE(read(old, c).ok);
    const lng_component& item = *c.find("TForm1")->find("OpenFile1");
    EXPECT_EQ(item.elements.at(element_caption), (lng_element{"Ouvrir", 0, false}));
    EXPECT_EQ(item.elements.at(element_short_hint).text, "Astuce"); // hint words always lose their top byte
    EXPECT_EQ(item.elements.at(0).text, "Ouvrir");
    EXPECT_FALSE(item.elements.count(element_long_hint));

    // 01.3: LongHint words, accelerator bytes and the not-yet-translated bit.
    file_bytes current = file_bytes::start("LFv01.3", {"Ouvrir", "Astuce"});
    current.u32(1)
        .form("TForm1", 0x80000001, 1)
        .scrambled("OpenFile1")
        .scrambled("TMenuItem")
        .u32(0x81000001)
        .u32(0)
        .u32(2)
        .u32(0);
    lng_catalogue d;
    ASSERT_TRUE(read(current, d).ok);
    EXPECT_EQ(d.find("TForm1")->caption, (lng_element{"Ouvrir", 0, true}));
    const lng_component& flagged = *d.find("TForm1")->find("OpenFile1");
    EXPECT_EQ(flagged.elements.at(element_caption), (lng_element{"Ouvrir", 1, true}));
    EXPECT_EQ(flagged.elements.at(element_long_hint).text, "Astuce");
}

TEST(LanguageFile, PoolIndexZeroOrPastTheEndLeavesTheElementAlone) {
    lng_catalogue c;
    c.set("TForm1", "Button1", element_caption, "&Center Camera");
    c.set("TForm1", "Button1", element_long_hint, "Press to Center Camera...");
    file_bytes f = file_bytes::start("LFv01.3", {"Kamera"});
    f.u32(1).form("TForm1", 0, 1).scrambled("Button1").scrambled("TButton").u32(0).u32(0).u32(2).u32(0);
    ASSERT_TRUE(read(f, c).ok);
    const lng_component& b = *c.find("TForm1")->find("Button1");
    EXPECT_EQ(c.shown("TForm1", "Button1", element_caption), "&Center Camera");
    EXPECT_EQ(b.elements.at(element_long_hint).text, "Press to Center Camera...");
    EXPECT_TRUE(b.elements.at(element_caption).untranslated); // still shown with a red bullet
}

TEST(LanguageFile, EveryLimitStopsReadingAndKeepsWhatWasRead) {
    const auto with_forms = [](std::uint32_t form_count) {
        file_bytes f = file_bytes::start("LFv01.3", {"Ouvrir"});
        f.u32(form_count).form("TForm1", 0, 1).scrambled("OpenFile1").scrambled("TMenuItem");
        f.u32(1).u32(0).u32(0).u32(0);
        return f;
    };
    struct case_t {
        const char* what;
        file_bytes bytes;
    };
    std::vector<case_t> cases;
    cases.push_back({"wrong header", file_bytes::start("XYv01.3", {})});
    cases.push_back({"header digits", file_bytes::start("LFvAB.3", {})});
    {
        file_bytes f;
        f.str("LFv01.3").u16(0x0407).b.push_back(255); // own name with length byte 255
        cases.push_back({"length byte 255", f});
    }
    {
        file_bytes f;
        f.str("LFv01.3").u16(0x0407).str("x").u32(5000);
        cases.push_back({"pool of 5000", f});
    }
    {
        file_bytes f = file_bytes::start("LFv01.3", {});
        f.u32(501);
        cases.push_back({"501 forms", f});
    }
    {
        file_bytes f = file_bytes::start("LFv01.3", {});
        f.u32(1).form("TForm1", 0, 2001);
        cases.push_back({"2001 components", f});
    }
    {
        file_bytes f = file_bytes::start("LFv01.3", {});
        f.u32(1)
            .form("TForm1", 0, 1)
            .scrambled("ComboBox2")
            .scrambled("TComboBox")
            .u32(0)
            .u32(0)
            .u32(0)
            .u32(1001);
        cases.push_back({"1001 list entries", f});
    }
    {
        // Every entry of many long lists naming one text: more texts than any interface has.
        constexpr std::uint32_t lists = lng_max_texts / lng_max_strings + 1;
        file_bytes f = file_bytes::start("LFv01.3", {std::string(254, 'x')});
        f.u32(1).form("TForm1", 0, lists);
        for (std::uint32_t k = 0; k < lists; ++k) {
            f.scrambled("List" + std::to_string(k)).scrambled("TListBox").u32(0).u32(0).u32(0);
            f.u32(lng_max_strings);
            for (std::uint32_t i = 0; i < lng_max_strings; ++i)
                f.u32(1);
        }
        cases.push_back({"too many texts", f});
    }
    {
        file_bytes f = with_forms(2);
        f.scrambled("Form2").scrambled("TForm2").u32(1); // cut short inside the second form
        cases.push_back({"truncated second form", f});
    }
    for (auto& [what, bytes] : cases) {
        lng_catalogue c;
        c.set("TForm1", "Exit1", element_caption, "E&xit");
        const lng_read_result r = read(bytes, c);
        EXPECT_FALSE(r.ok) << what;
        EXPECT_FALSE(r.problem.empty()) << what;
        EXPECT_EQ(c.shown("TForm1", "Exit1", element_caption), "E&xit") << what;
    }
    lng_catalogue c;
    EXPECT_FALSE(read(cases.back().bytes, c).ok);
    EXPECT_EQ(c.shown("TForm1", "OpenFile1", element_caption), "Ouvrir"); // applied before the damage
    EXPECT_TRUE(read(with_forms(1), c).ok);
}

TEST(LanguageFile, AFileEmptyCutShortOrLongerThanItsCountsIsDamaged) {
    const std::vector<std::uint8_t> good = write_language(sample_catalogue(), "vellum_fr.lng").bytes;
    const std::size_t first_text = 1 + 7 + 2 + 1 + 13 + 4; // the length byte of the first pool text
    ASSERT_EQ(good[first_text], 18u);                      // "Vellum v.2.2 Rev 0"
    struct case_t {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<case_t> cases{{"empty", {}},
                              {"cut short", {good.begin(), good.end() - 1}},
                              {"a byte past the counts", good},
                              {"a length byte of 0", good}};
    cases[2].bytes.push_back(0);
    cases[3].bytes[first_text] = 0; // the rest is read one text late, and the forms end early
    for (const auto& [what, bytes] : cases) {
        lng_catalogue c;
        const lng_read_result r = read_language(bytes.data(), bytes.size(), c);
        EXPECT_FALSE(r.ok) << what;
        EXPECT_FALSE(r.problem.empty()) << what;
    }
    lng_catalogue c;
    EXPECT_TRUE(read_language(good.data(), good.size(), c).ok);
}

TEST(LanguageFile, WriterKeepsOnlyNamedComponentsWithTextsAndPatchesTheCount) {
    lng_catalogue c;
    c.set("TForm1", "Button1", element_caption, "A");
    c.forms[0].components.push_back({"Empty1", "TButton", {}});
    c.forms[0].components.push_back({"", "TButton", {{element_caption, {"Nameless", 0, false}}}});
    const auto bytes = write_language(c, "x.lng").bytes;
    lng_catalogue r;
    ASSERT_TRUE(read_language(bytes.data(), bytes.size(), r).ok);
    ASSERT_EQ(r.forms.size(), 1u);
    ASSERT_EQ(r.forms[0].components.size(), 1u);
    EXPECT_EQ(r.forms[0].components[0].name, "Button1");
}

TEST(LanguageFile, WriterRefusesATextLongerThanAShortString) {
    lng_catalogue c;
    c.set("TMessages", "Long", element_caption, std::string(255, 'x'));
    EXPECT_FALSE(write_language(c, "x.lng").problem.empty());
}

TEST(LanguageFiles, NamedBesideTheExecutable) {
    const language_paths p = language_paths::of_executable("/opt/vellum/bin/vellum");
    EXPECT_EQ(p.language_file("fr"), "/opt/vellum/bin/vellum_fr.lng");
    EXPECT_EQ(p.default_copy(), "/opt/vellum/bin/vellum_def.lng");
    EXPECT_EQ(p.help_file("kr"), "/opt/vellum/bin/vellum_kr.hlp");
    EXPECT_EQ(languages[language_by_identifier(0x0412).value()].code, "kr");
    EXPECT_EQ(language_by_code("po"), 7u);
}

TEST(LanguageFiles, SaveKeepsABackupAndAMissingOrDamagedFileIsReported) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "vellum_language_save_test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const language_paths paths = language_paths::of_executable((dir / "vellum").string());
    const std::string file = paths.language_file("de");

    lng_catalogue first;
    first.set("TForm1", "OpenFile1", element_caption, "Ö&ffnen");
    ASSERT_TRUE(save_language_file(file, first));
    lng_catalogue second = first;
    second.set("TForm1", "OpenFile1", element_caption, "&Laden");
    ASSERT_TRUE(save_language_file(file, second));
    EXPECT_TRUE(fs::exists(dir / "vellum_de.~ln"));
    EXPECT_EQ(paths.existing()[3], true);
    EXPECT_EQ(paths.existing()[0], false);

    lng_catalogue loaded;
    ASSERT_TRUE(load_language_file(file, loaded).ok);
    EXPECT_EQ(loaded.shown("TForm1", "OpenFile1", element_caption), "&Laden");
    lng_catalogue backup;
    ASSERT_TRUE(load_language_file((dir / "vellum_de.~ln").string(), backup).ok);
    EXPECT_EQ(backup.shown("TForm1", "OpenFile1", element_caption), "Ö&ffnen");

    const language_load_result missing = load_language_file(paths.language_file("fr"), loaded);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(loaded.shown("TForm1", "OpenFile1", element_caption), "&Laden");

    std::ofstream(paths.language_file("it"), std::ios::binary) << "LFv01.3 but nothing else";
    const language_load_result damaged = load_language_file(paths.language_file("it"), loaded);
    EXPECT_FALSE(damaged.ok);
    EXPECT_NE(damaged.message.find("vellum_it.lng"), std::string::npos) << damaged.message;
    fs::remove_all(dir);
}

TEST(LanguageFiles, AnInstalledEditorSavesEditsInTheUserFolderAndReadsThemFirst) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "vellum_language_user_test";
    fs::remove_all(dir);
    fs::create_directories(dir / "share");
    fs::create_directories(dir / "config");
    const language_paths paths =
        language_paths::of_executable((dir / "share" / "vellum").string(), (dir / "config").string());
    lng_catalogue shipped;
    shipped.set("TForm1", "OpenFile1", element_caption, "&Ouvrir");
    ASSERT_TRUE(save_language_file(paths.language_file("fr"), shipped));

    lng_catalogue edited = shipped;
    edited.set("TForm1", "OpenFile1", element_caption, "O&uvrir un niveau");
    ASSERT_TRUE(save_language_file(paths.writable_language_file("fr"), edited));
    EXPECT_EQ(paths.language_file("fr"), (dir / "config" / "vellum_fr.lng").string());
    EXPECT_TRUE(copy_to_default(paths, "fr"));
    EXPECT_TRUE(fs::exists(dir / "config" / "vellum_def.lng"));

    lng_catalogue installed;
    ASSERT_TRUE(load_language_file((dir / "share" / "vellum_fr.lng").string(), installed).ok);
    EXPECT_EQ(installed.shown("TForm1", "OpenFile1", element_caption), "&Ouvrir");
    fs::remove_all(dir);
}
