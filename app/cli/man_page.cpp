// Help text to man(7) page: each help line becomes a tagged paragraph.
#include "man_page.h"

#include <sstream>
#include <vector>

namespace {

// Text safe in troff: backslashes doubled, hyphens that are options kept literal, and a line that
// would start with a control character protected.
std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

std::size_t indent_of(const std::string& line) {
    return line.find_first_not_of(' ');
}

std::string trimmed(const std::string& s) {
    const auto a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// "name ARGS   what it does" -> ("name ARGS", "what it does"); the description may be absent.
std::pair<std::string, std::string> split_entry(const std::string& entry) {
    const auto gap = entry.find("   ");
    if (gap == std::string::npos) return {entry, {}};
    return {entry.substr(0, gap), trimmed(entry.substr(gap))};
}

// A command's synopsis on one line: the name in bold, its arguments as written.
std::string synopsis_line(const std::string& synopsis) {
    const auto space = synopsis.find(' ');
    if (space == std::string::npos) return "\\fB" + escaped(synopsis) + "\\fR";
    return "\\fB" + escaped(synopsis.substr(0, space)) + "\\fR " + escaped(synopsis.substr(space + 1));
}

std::string upper(std::string s) {
    for (auto& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

} // namespace

std::string man_page_from_help(const std::string& help, const std::string& version) {
    std::ostringstream page;
    page << ".TH VELLUM\\-CLI 1 \"\" \"Vellum " << escaped(version) << "\" \"User Commands\"\n"
         << ".SH NAME\nvellum\\-cli \\- command\\-line companion of the Vellum Tomb Raider level editor\n";
    std::istringstream in(help);
    std::string line;
    std::string section;
    bool in_sub_list = false;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        if (indent_of(line) == 0) {
            if (in_sub_list) page << ".RE\n";
            in_sub_list = false;
            if (line.rfind("usage:", 0) == 0) {
                page << ".SH SYNOPSIS\n" << synopsis_line(trimmed(line.substr(6))) << "\n";
                page << ".SH DESCRIPTION\nvellum\\-cli reads, checks, re\\-saves, exports and edits the "
                        "compiled level files of the classic Tomb Raider games (TR1 .phd, TR1 Gold .tub, "
                        "TR2 and TR3 .tr2, TR4 .tr4, TR5 Chronicles .trc) without opening the editor.\n";
                continue;
            }
            section = line.back() == ':' ? line.substr(0, line.size() - 1) : line;
            page << ".SH "
                 << escaped(upper(section == "commands" ? std::string("commands and options") : section))
                 << "\n";
            continue;
        }
        const std::string entry = trimmed(line);
        if (section == "commands") {
            const bool sub = indent_of(line) > 2;
            if (sub && !in_sub_list) {
                page << ".RS\n";
                in_sub_list = true;
            } else if (!sub && in_sub_list) {
                page << ".RE\n";
                in_sub_list = false;
            }
            const auto [synopsis, what] = split_entry(entry);
            page << ".TP\n" << synopsis_line(synopsis) << "\n";
            if (!what.empty()) page << escaped(what) << "\n";
        } else if (section == "exit status") {
            const auto space = entry.find(' ');
            page << ".TP\n.B " << escaped(entry.substr(0, space)) << "\n"
                 << escaped(space == std::string::npos ? std::string() : trimmed(entry.substr(space)))
                 << "\n";
        } else {
            page << escaped(entry) << "\n.br\n";
        }
    }
    if (in_sub_list) page << ".RE\n";
    page << ".SH SEE ALSO\n.BR vellum (1)\n";
    return page.str();
}
