// Parsing the readable language sources and comparing catalogues.
#include "text_source.h"

#include <array>
#include <charconv>
#include <fstream>
#include <sstream>
#include <string_view>

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string unescape(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

// "Caption", "Hint", "LongHint" or "Items[k]" -> element address.
std::optional<int> element_address(std::string_view name) {
    if (name == "Caption") return element_caption;
    if (name == "Hint") return element_short_hint;
    if (name == "LongHint") return element_long_hint;
    if (name.starts_with("Items[") && name.ends_with("]")) {
        const std::string_view digits = name.substr(6, name.size() - 7);
        int k = -1;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), k);
        if (ec == std::errc() && end == digits.data() + digits.size() && k >= 0 && k < int(lng_max_strings))
            return k;
    }
    return std::nullopt;
}

std::string element_name(int element) {
    switch (element) {
    case element_caption:
        return "Caption";
    case element_short_hint:
        return "Hint";
    case element_long_hint:
        return "LongHint";
    default:
        return "Items[" + std::to_string(element) + "]";
    }
}

} // namespace

std::string class_for_component(const std::string& name) {
    static constexpr std::array<std::string_view, 24> known{
        "Button",   "CheckBox",    "ComboBox", "Label",      "ListBox",     "RadioButton",
        "GroupBox", "Panel",       "SpinEdit", "TabSheet",   "PageControl", "StatusBar",
        "BitBtn",   "SpeedButton", "Memo",     "RadioGroup", "TrackBar",    "Image",
        "TreeView", "Edit",        "Shape",    "Timer",      "Gauge",       "Constants"};
    std::string_view prefix(name);
    while (!prefix.empty() && prefix.back() >= '0' && prefix.back() <= '9')
        prefix.remove_suffix(1);
    for (const auto k : known)
        if (prefix == k) return "T" + std::string(k);
    return "TMenuItem";
}

text_source_result parse_text_source(const std::string& text, std::uint16_t language_id) {
    text_source_result out;
    out.catalogue.language_id = language_id;
    std::istringstream in(text);
    std::string raw;
    std::string form_class;
    int line_number = 0;
    const auto error = [&](const std::string& why) {
        out.errors.push_back("line " + std::to_string(line_number) + ": " + why);
    };
    while (std::getline(in, raw)) {
        ++line_number;
        const std::string_view line = trim(raw);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3) {
                error("a window line is written [TClassName]");
                continue;
            }
            form_class = std::string(line.substr(1, line.size() - 2));
            out.catalogue.form(form_class);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            error("expected \"Control.Element = text\"");
            continue;
        }
        if (form_class.empty()) {
            error("a text before the first [window] line");
            continue;
        }
        const std::string_view key = trim(line.substr(0, equals));
        std::string_view value = trim(line.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        const std::size_t dot = key.find('.');
        const std::optional<int> address =
            dot == std::string_view::npos ? std::nullopt : element_address(key.substr(dot + 1));
        if (!address) {
            error("unknown element in \"" + std::string(key) + "\"");
            continue;
        }
        const std::string component(key.substr(0, dot));
        if (component.empty() && *address != element_caption) {
            error("a window has only a caption");
            continue;
        }
        lng_form& form = *out.catalogue.find(form_class);
        const bool exists = component.empty()
                                ? form.caption.has_value()
                                : form.find(component) && form.find(component)->elements.count(*address);
        if (exists) {
            error("\"" + std::string(key) + "\" is given twice");
            continue;
        }
        if (!component.empty()) form.component(component, class_for_component(component));
        out.catalogue.set(form_class, component, *address, unescape(value));
    }
    return out;
}

std::string element_key(const std::string& form_class, const std::string& component, int element) {
    return form_class + " " + component + "." + element_name(element);
}

std::vector<std::string> missing_elements(const lng_catalogue& reference, const lng_catalogue& other) {
    std::vector<std::string> missing;
    for (const auto& f : reference.forms) {
        const lng_form* g = other.find(f.class_name);
        if (f.caption && !(g && g->caption))
            missing.push_back(element_key(f.class_name, "", element_caption));
        for (const auto& c : f.components) {
            const lng_component* d = g ? g->find(c.name) : nullptr;
            for (const auto& [address, e] : c.elements)
                if (!d || !d->elements.count(address))
                    missing.push_back(element_key(f.class_name, c.name, address));
        }
    }
    return missing;
}

std::optional<text_source_result> read_text_source(const std::string& dir, const language_info& language) {
    std::ifstream in(dir + "/" + std::string(language.text_file), std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return parse_text_source(text.str(), language.identifier);
}
