// Recognising an English (US) message by its template and rebuilding it in another language.
#include "message_texts.h"

#include <algorithm>

namespace {

// A template cut at its placeholders: literal pieces and, between them, placeholder numbers.
struct pieces {
    std::vector<std::string> literals; // one more than numbers
    std::vector<int> numbers;
};

pieces cut(const std::string& pattern) {
    pieces p;
    p.literals.emplace_back();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            p.numbers.push_back(pattern[i + 1] - '0');
            p.literals.emplace_back();
            ++i;
        } else {
            p.literals.back() += pattern[i];
        }
    }
    return p;
}

// False when `text` cannot fit `pattern`: the pattern's text before its first placeholder (all of
// it, when it has none) must begin the text (be the text).
bool could_match(const std::string& pattern, const std::string& text) {
    for (std::size_t i = 0; i + 1 < pattern.size(); ++i)
        if (pattern[i] == '%' && pattern[i + 1] >= '1' && pattern[i + 1] <= '9')
            return text.compare(0, i, pattern, 0, i) == 0;
    return pattern == text;
}

} // namespace

std::optional<std::vector<std::string>> match_template(const std::string& pattern, const std::string& text) {
    const pieces p = cut(pattern);
    if (p.numbers.empty()) return pattern == text ? std::optional(std::vector<std::string>{}) : std::nullopt;
    const std::string& head = p.literals.front();
    const std::string& tail = p.literals.back();
    if (text.size() < head.size() + tail.size() || text.compare(0, head.size(), head) != 0 ||
        text.compare(text.size() - tail.size(), tail.size(), tail) != 0)
        return std::nullopt;
    // Between head and tail: each inner literal is found left to right; values are what lies between.
    const std::size_t end = text.size() - tail.size();
    std::size_t at = head.size();
    std::vector<std::string> by_order;
    for (std::size_t k = 1; k + 1 < p.literals.size(); ++k) {
        const std::string& literal = p.literals[k];
        const std::size_t found = literal.empty() ? at : text.find(literal, at);
        if (found == std::string::npos || found + literal.size() > end) return std::nullopt;
        by_order.push_back(text.substr(at, found - at));
        at = found + literal.size();
    }
    by_order.push_back(text.substr(at, end - at));
    int highest = 0;
    for (int n : p.numbers)
        highest = std::max(highest, n);
    std::vector<std::string> values(static_cast<std::size_t>(highest));
    for (std::size_t k = 0; k < p.numbers.size(); ++k)
        values[std::size_t(p.numbers[k] - 1)] = by_order[k];
    return values;
}

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

std::string message_translator::translate(const std::string& text) const {
    if (!english_ || !chosen_) return text;
    const lng_form* english = english_->find(message_form);
    const lng_form* chosen = chosen_->find(message_form);
    if (!english || !chosen) return text;
    // Of the templates that fit, the one with the most fixed text wins: "Texture ID:%1 (not in this
    // level)" before "Texture ID:%1", and an exact text before any pattern.
    const lng_component* best = nullptr;
    std::vector<std::string> best_values;
    std::size_t best_fixed = 0;
    for (const auto& c : english->components) {
        const auto e = c.elements.find(element_caption);
        if (e == c.elements.end()) continue;
        // Most templates fail on their first literal piece: rejected before any copy is made (a
        // tree or texture list is translated text by text at every open).
        if (e->second.accelerator == 0 && !could_match(e->second.text, text)) continue;
        const std::string pattern = typed_from_element(e->second);
        const auto values = match_template(pattern, text);
        if (!values) continue;
        std::size_t fixed = pattern.size() + 1; // placeholders do not count as fixed text
        for (std::size_t i = 0; i + 1 < pattern.size(); ++i)
            if (pattern[i] == '%' && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') fixed -= 2;
        if (!best || fixed > best_fixed) {
            best = &c;
            best_values = *values;
            best_fixed = fixed;
        }
    }
    if (!best) return text;
    const std::optional<std::string> target = chosen_->shown(message_form, best->name, element_caption);
    return target ? fill_template(*target, best_values) : text;
}

std::string message_translator::text(const std::string& key, const std::vector<std::string>& values,
                                     const std::string& fallback) const {
    for (const lng_catalogue* c : {chosen_, english_})
        if (c)
            if (const auto t = c->shown(message_form, key, element_caption)) return fill_template(*t, values);
    return fill_template(fallback, values);
}
