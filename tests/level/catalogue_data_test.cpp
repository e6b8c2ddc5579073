// Checks the shipped moveable catalogue data/trcatalog.xml against the line forms that the editor's
// catalogue reader matches: it compares whole lines and takes entries apart by character positions,
// so a stray space or tab would silently leave every name "Unknown".
#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

std::filesystem::path catalogue_path() {
#ifdef VELLUM_SOURCE_DIR
    return std::filesystem::path(VELLUM_SOURCE_DIR) / "data" / "trcatalog.xml";
#else
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "data" /
           "trcatalog.xml";
#endif
}

std::string read_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The file split at LF; each piece keeps its CR, if any.
std::vector<std::string> raw_lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t lf = bytes.find('\n'); lf != std::string::npos; lf = bytes.find('\n', start)) {
        lines.push_back(bytes.substr(start, lf - start));
        start = lf + 1;
    }
    lines.push_back(bytes.substr(start)); // text after the last LF (empty for a well-ended file)
    return lines;
}

struct entry {
    bool ok = false;
    int id = -1;
    std::string name;
};

// The reader's rule: the id is the text between the first and second double quote; after the id's
// closing quote, the first "=" is found and the name runs from two characters after it up to the
// next double quote. The id must be a decimal number in 0..464.
entry parse_entry(const std::string& line) {
    entry e;
    const std::size_t q1 = line.find('"');
    if (q1 == std::string::npos) return e;
    const std::size_t q2 = line.find('"', q1 + 1);
    if (q2 == std::string::npos) return e;
    const std::string id_text = line.substr(q1 + 1, q2 - q1 - 1);
    const std::size_t eq = line.find('=', q2 + 1);
    if (eq == std::string::npos || eq + 2 > line.size() || line[eq + 1] != '"') return e;
    const std::size_t q3 = line.find('"', eq + 2);
    if (q3 == std::string::npos) return e;
    e.name = line.substr(eq + 2, q3 - (eq + 2));
    if (id_text.empty() || id_text.size() > 3) return e;
    for (char c : id_text)
        if (c < '0' || c > '9') return e;
    e.id = std::stoi(id_text);
    e.ok = e.id >= 0 && e.id <= 464 && !e.name.empty();
    return e;
}

struct game_case {
    const char* section;
    const char* moveables_start;
};

const char* const tabbed_start = "\t<moveables \t\tname=\"Moveables\" \t\ticon=\"Moveables\">";
const char* const spaced_start = "\t<moveables name=\"Moveables\" icon=\"Moveables\">";

const game_case games[] = {
    {"<game id=\"TR1\">", tabbed_start}, {"<game id=\"TR2\">", tabbed_start},
    {"<game id=\"TR3\">", tabbed_start}, {"<game id=\"TR4\">", spaced_start},
    {"<game id=\"TRC\">", spaced_start},
};

} // namespace

TEST(CatalogueData, EveryLineEndsInCrLf) {
    const std::string bytes = read_bytes(catalogue_path());
    ASSERT_FALSE(bytes.empty()) << catalogue_path();
    const std::vector<std::string> lines = raw_lines(bytes);
    EXPECT_TRUE(lines.back().empty()) << "the last line must end in CR LF";
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        const std::string& l = lines[i];
        ASSERT_FALSE(l.empty()) << "bare LF at line " << i + 1;
        if (l.back() != '\r') {
            ADD_FAILURE() << "line " << i + 1 << " lacks CR";
            continue;
        }
        EXPECT_EQ(l.find('\r'), l.size() - 1) << "stray CR in line " << i + 1;
    }
}

TEST(CatalogueData, EachGameSectionMatchesTheReaderLineForms) {
    const std::string bytes = read_bytes(catalogue_path());
    ASSERT_FALSE(bytes.empty()) << catalogue_path();
    std::vector<std::string> lines = raw_lines(bytes);
    for (std::string& l : lines)
        if (!l.empty() && l.back() == '\r') l.pop_back();

    for (const game_case& g : games) {
        SCOPED_TRACE(g.section);
        std::size_t section = lines.size();
        int sections = 0;
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i] == g.section) {
                ++sections;
                section = i;
            }
        ASSERT_EQ(sections, 1);

        // The moveables-start line must follow inside this section (before the next game line).
        std::size_t start = lines.size();
        for (std::size_t i = section + 1; i < lines.size() && lines[i].rfind("<game", 0) != 0; ++i)
            if (lines[i] == g.moveables_start) {
                start = i;
                break;
            }
        ASSERT_LT(start, lines.size()) << "moveables start line missing or not byte-exact";

        std::set<int> ids;
        std::size_t i = start + 1;
        for (; i < lines.size() && lines[i] != "\t</moveables>"; ++i) {
            if (lines[i].empty()) continue;
            const entry e = parse_entry(lines[i]);
            EXPECT_TRUE(e.ok) << "bad entry at line " << i + 1 << ": " << lines[i];
            if (!e.ok) continue;
            EXPECT_TRUE(ids.insert(e.id).second) << "duplicate id " << e.id << " at line " << i + 1;
            if (e.id == 0) {
                EXPECT_EQ(e.name, "Lara");
            }
        }
        ASSERT_LT(i, lines.size()) << "moveables end line missing";
        EXPECT_TRUE(ids.count(0)) << "Lara (id 0) has no entry";
        EXPECT_GT(ids.size(), 10u);
    }
}

TEST(CatalogueData, EntryRuleTakesIdAndNameByPosition) {
    const entry e = parse_entry("\t\t<moveable id=\"35\" name=\"Swinging blade\"/>");
    EXPECT_TRUE(e.ok);
    EXPECT_EQ(e.id, 35);
    EXPECT_EQ(e.name, "Swinging blade");
    EXPECT_FALSE(parse_entry("\t\t<moveable id=\"465\" name=\"Too far\"/>").ok);
    EXPECT_FALSE(parse_entry("\t\t<moveable id=\"x1\" name=\"Not decimal\"/>").ok);
    EXPECT_FALSE(parse_entry("\t\t<moveable id=\"1\" name=\"\"/>").ok);
}
