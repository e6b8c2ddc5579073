// Messages named by key, worded in English (US) when made.
#include "user_message.h"

#include <ostream>

std::string fill_template(const std::string& pattern, const std::vector<std::string>& values) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const std::size_t n = std::size_t(pattern[i + 1] - '1');
            if (n < values.size()) out += values[n];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

user_message say(msg id, std::vector<user_message> values) {
    user_message m;
    const message_definition& d = definition_of(id);
    m.key = d.key;
    std::vector<std::string> english;
    english.reserve(values.size());
    for (const auto& v : values)
        english.push_back(v.english);
    m.english = fill_template(d.english, english);
    m.values = std::move(values);
    return m;
}

user_message joined(std::vector<user_message> parts) {
    user_message m;
    for (const auto& p : parts)
        m.english += p.english;
    m.values = std::move(parts);
    return m;
}

std::string definition_english(const std::string& key) {
    for (const auto& d : message_definitions)
        if (key == d.key) return d.english;
    return {};
}

std::ostream& operator<<(std::ostream& out, const user_message& m) {
    return out << m.english;
}
