// Reading and writing language files, and the catalogue they fill.
#include "language_file.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

lng_component* lng_form::find(const std::string& component_name) {
    for (auto& c : components)
        if (c.name == component_name) return &c;
    return nullptr;
}

const lng_component* lng_form::find(const std::string& component_name) const {
    return const_cast<lng_form*>(this)->find(component_name);
}

lng_component& lng_form::component(const std::string& component_name, const std::string& class_name) {
    if (lng_component* c = find(component_name)) return *c;
    components.push_back({component_name, class_name, {}});
    return components.back();
}

lng_form* lng_catalogue::find(const std::string& class_name) {
    for (auto& f : forms)
        if (f.class_name == class_name) return &f;
    return nullptr;
}

const lng_form* lng_catalogue::find(const std::string& class_name) const {
    return const_cast<lng_catalogue*>(this)->find(class_name);
}

lng_form& lng_catalogue::form(const std::string& class_name, const std::string& name) {
    if (lng_form* f = find(class_name)) return *f;
    lng_form f;
    f.class_name = class_name;
    f.name = name.empty() && class_name.size() > 1 && class_name[0] == 'T' ? class_name.substr(1) : name;
    forms.push_back(std::move(f));
    return forms.back();
}

std::optional<std::string> lng_catalogue::shown(const std::string& form_class, const std::string& component,
                                                int element) const {
    const lng_form* f = find(form_class);
    if (!f) return std::nullopt;
    if (component.empty()) {
        if (element != element_caption || !f->caption) return std::nullopt;
        return typed_from_element(*f->caption);
    }
    const lng_component* c = f->find(component);
    if (!c) return std::nullopt;
    const auto it = c->elements.find(element);
    if (it == c->elements.end()) return std::nullopt;
    return typed_from_element(it->second);
}

void lng_catalogue::set(const std::string& form_class, const std::string& component, int element,
                        const std::string& typed) {
    lng_element e = element_from_typed(typed);
    if (element == element_short_hint || element == element_long_hint) e = {typed, 0, false};
    lng_form& f = form(form_class);
    if (component.empty())
        f.caption = e;
    else
        f.component(component).elements[element] = e;
}

void lng_catalogue::mark_all_untranslated() {
    for (auto& f : forms) {
        f.untranslated = true;
        if (f.caption) f.caption->untranslated = true;
        for (auto& c : f.components)
            for (auto& [index, e] : c.elements)
                e.untranslated = true;
    }
}

void lng_catalogue::drop_empty_components() {
    for (auto& f : forms)
        std::erase_if(f.components, [](const lng_component& c) { return c.elements.empty(); });
}

lng_element element_from_typed(const std::string& typed) {
    lng_element e;
    e.text.reserve(typed.size());
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] == '&') {
            if (i + 1 < typed.size() && typed[i + 1] == '&') {
                e.text += "&&";
                ++i;
                continue;
            }
            if (e.accelerator == 0 && i + 1 < typed.size() && e.text.size() + 1 <= 127) {
                e.accelerator = std::uint8_t(e.text.size() + 1);
                continue;
            }
        }
        e.text += typed[i];
    }
    return e;
}

std::string typed_from_element(const lng_element& e) {
    if (e.accelerator == 0 || e.accelerator > e.text.size()) return e.text;
    std::string s = e.text;
    s.insert(std::size_t(e.accelerator - 1), 1, '&');
    return s;
}

std::string scramble(std::string s) {
    if (s.empty()) return s;
    s[0] = char(std::uint8_t(s[0]) - 31);
    const std::uint8_t key = std::uint8_t(s[0]);
    for (std::size_t i = 1; i < s.size(); ++i)
        s[i] = char(std::uint8_t(std::uint8_t(s[i]) - key));
    return s;
}

std::string unscramble(std::string s) {
    if (s.empty()) return s;
    const std::uint8_t key = std::uint8_t(s[0]);
    for (std::size_t i = 1; i < s.size(); ++i)
        s[i] = char(std::uint8_t(std::uint8_t(s[i]) + key));
    s[0] = char(std::uint8_t(key + 31));
    return s;
}

namespace {

// Bounded reading: every read checks what is left and fails instead of running past the end.
class cursor {
  public:
    cursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool u16(std::uint16_t& v) {
        if (size_ - pos_ < 2) return fail("the file ends early");
        v = std::uint16_t(data_[pos_] | data_[pos_ + 1] << 8);
        pos_ += 2;
        return true;
    }
    bool u32(std::uint32_t& v) {
        if (size_ - pos_ < 4) return fail("the file ends early");
        v = std::uint32_t(data_[pos_]) | std::uint32_t(data_[pos_ + 1]) << 8 |
            std::uint32_t(data_[pos_ + 2]) << 16 | std::uint32_t(data_[pos_ + 3]) << 24;
        pos_ += 4;
        return true;
    }
    bool short_string(std::string& s) {
        if (size_ - pos_ < 1) return fail("the file ends early");
        const std::size_t length = data_[pos_];
        if (length == 255) return fail("a text is longer than a language file allows");
        if (size_ - pos_ - 1 < length) return fail("the file ends early");
        s.assign(reinterpret_cast<const char*>(data_ + pos_ + 1), length);
        pos_ += 1 + length;
        return true;
    }
    std::size_t remaining() const { return size_ - pos_; }
    bool fail(const std::string& why) {
        if (problem.empty()) problem = why;
        return false;
    }

    std::string problem;

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

struct layout {
    bool old = false;      // caption and list words carry no accelerator byte
    bool flagged = false;  // bit 31 is the not-yet-translated flag
    bool long_hint = true; // component records hold a LongHint word
};

std::optional<layout> parse_header(const std::string& h) {
    if (h.size() < 7 || h.compare(0, 3, "LFv") != 0) return std::nullopt;
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (!digit(h[3]) || !digit(h[4]) || !digit(h[6])) return std::nullopt;
    const int major = (h[3] - '0') * 10 + (h[4] - '0');
    const int minor = h[6] - '0';
    layout l;
    l.old = major < 2 && minor < 2;
    l.flagged = major >= 2 || minor >= 3;
    l.long_hint = !(major <= 1 && minor == 0);
    return l;
}

struct decoded {
    std::uint32_t index;
    std::uint8_t accelerator;
    bool flag;
};

decoded decode_text_word(std::uint32_t w, const layout& l) {
    if (l.old) return {w & 0x7FFFFFFFu, 0, false};
    return {w & 0xFFFFFFu, std::uint8_t((w >> 24) & 0x7F), l.flagged && (w >> 31) != 0};
}

decoded decode_hint_word(std::uint32_t w, const layout& l) {
    return {w & 0xFFFFFFu, 0, l.flagged && (w >> 31) != 0};
}

decoded decode_form_caption(std::uint32_t w, const layout& l) {
    if (l.old) return {w & 0x7FFFFFFFu, 0, false};
    return {w & 0xFFFFFFu, 0, l.flagged && (w >> 31) != 0};
}

// Gives the element the pool text when the index is valid (1..N), counting it in `given`;
// otherwise leaves it alone.
template <class Make>
void apply(const decoded& d, const std::vector<std::string>& pool, std::uint32_t& given, Make&& element) {
    if (d.index < 1 || d.index > pool.size()) return;
    lng_element& e = element();
    e.text = pool[d.index - 1];
    e.accelerator = d.accelerator;
    e.untranslated = d.flag;
    ++given;
}

} // namespace

lng_read_result read_language(const std::uint8_t* data, std::size_t size, lng_catalogue& into) {
    into.mark_all_untranslated();
    cursor in(data, size);
    lng_read_result result;
    const auto stop = [&](const std::string& why = {}) {
        into.drop_empty_components();
        result.problem = why.empty() ? in.problem : why;
        return result;
    };

    std::string header;
    if (!in.short_string(header)) return stop();
    const std::optional<layout> l = parse_header(header);
    if (!l) return stop("it is not a language file (wrong header)");
    std::uint16_t id = 0;
    std::string own_name;
    if (!in.u16(id) || !in.short_string(own_name)) return stop();

    std::uint32_t n = 0;
    if (!in.u32(n)) return stop();
    if (n >= lng_max_pool) return stop("it holds too many texts");
    std::vector<std::string> pool(n);
    for (auto& s : pool) {
        if (!in.short_string(s)) return stop();
        s = unscramble(std::move(s));
    }
    into.language_id = id;

    std::uint32_t form_count = 0;
    if (!in.u32(form_count)) return stop();
    if (form_count > lng_max_forms) return stop("it holds too many windows");
    std::uint32_t given = 0; // texts given to elements so far
    for (std::uint32_t fi = 0; fi < form_count; ++fi) {
        std::string name, class_name;
        std::uint32_t caption_word = 0, component_count = 0;
        if (!in.short_string(name) || !in.short_string(class_name) || !in.u32(caption_word) ||
            !in.u32(component_count))
            return stop();
        if (component_count > lng_max_components) return stop("a window holds too many controls");
        lng_form& form = into.form(unscramble(class_name), unscramble(name));
        form.untranslated = false;
        apply(decode_form_caption(caption_word, *l), pool, given, [&]() -> lng_element& {
            if (!form.caption) form.caption = lng_element{};
            return *form.caption;
        });

        for (std::uint32_t ci = 0; ci < component_count; ++ci) {
            std::string cname, cclass;
            std::uint32_t caption = 0, short_hint = 0, long_hint = 0, string_count = 0;
            if (!in.short_string(cname) || !in.short_string(cclass) || !in.u32(caption) ||
                !in.u32(short_hint))
                return stop();
            if (l->long_hint && !in.u32(long_hint)) return stop();
            if (!in.u32(string_count)) return stop();
            if (string_count > lng_max_strings) return stop("a list holds too many entries");
            std::vector<std::uint32_t> strings(string_count);
            for (auto& w : strings)
                if (!in.u32(w)) return stop();

            // Looked up again for every element: creating the component may move earlier ones.
            cname = unscramble(std::move(cname));
            cclass = unscramble(std::move(cclass));
            if (cname.empty()) continue; // matches no control, and would not be written back
            const auto apply_at = [&](const decoded& d, int address) {
                apply(d, pool, given,
                      [&]() -> lng_element& { return form.component(cname, cclass).elements[address]; });
            };
            apply_at(decode_text_word(caption, *l), element_caption);
            apply_at(decode_hint_word(short_hint, *l), element_short_hint);
            if (l->long_hint) apply_at(decode_hint_word(long_hint, *l), element_long_hint);
            for (std::uint32_t k = 0; k < string_count; ++k)
                apply_at(decode_text_word(strings[k], *l), int(k));
            if (given > lng_max_texts) return stop("it holds more texts than an interface has");
        }
    }
    // Every count is read and bytes are left: a damaged count or length byte ended the reading
    // early, and the texts in those bytes would be lost without a word.
    if (in.remaining() != 0)
        return stop("it holds " + std::to_string(in.remaining()) +
                    " bytes past the last window its counts announce (a damaged count or length)");
    into.drop_empty_components();
    result.ok = true;
    return result;
}

namespace {

class writer {
  public:
    std::vector<std::uint8_t> out;
    std::string problem;

    void u16(std::uint16_t v) { out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); }
    void u32(std::uint32_t v) {
        out.insert(out.end(),
                   {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)});
    }
    void put_u32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
    }
    void short_string(const std::string& s, const std::string& what) {
        if (s.size() > 254) {
            if (problem.empty()) problem = what + " is longer than 254 bytes: \"" + s.substr(0, 40) + "...\"";
            out.push_back(0);
            return;
        }
        out.push_back(std::uint8_t(s.size()));
        out.insert(out.end(), s.begin(), s.end());
    }
};

constexpr std::uint32_t flag_bit(bool untranslated) {
    return untranslated ? 0x80000000u : 0u;
}

} // namespace

lng_write_result write_language(const lng_catalogue& catalogue, const std::string& file_name) {
    // The pool: every distinct text, in the order first met.
    std::vector<const std::string*> pool;
    std::unordered_map<std::string, std::uint32_t> index_of;
    const auto intern = [&](const lng_element& e) {
        const auto [it, added] = index_of.emplace(e.text, std::uint32_t(pool.size() + 1));
        if (added) pool.push_back(&it->first);
    };
    for (const auto& f : catalogue.forms) {
        if (f.caption) intern(*f.caption);
        for (const auto& c : f.components)
            for (const auto& [address, e] : c.elements)
                intern(e);
    }

    writer w;
    const auto text_word = [&](const lng_element* e, bool with_accelerator) -> std::uint32_t {
        if (!e) return 0;
        const std::uint32_t accelerator = with_accelerator ? std::uint32_t(e->accelerator & 0x7F) << 24 : 0;
        return index_of.at(e->text) | accelerator | flag_bit(e->untranslated);
    };

    if (pool.size() >= lng_max_pool) w.problem = "the catalogue holds more than 4999 distinct texts";
    if (catalogue.forms.size() > lng_max_forms) w.problem = "the catalogue holds more than 500 windows";
    w.short_string("LFv01.3", "the header");
    w.u16(catalogue.language_id);
    w.short_string(file_name, "the file name");
    w.u32(std::uint32_t(pool.size()));
    for (const std::string* s : pool)
        w.short_string(scramble(*s), "a text");
    w.u32(std::uint32_t(catalogue.forms.size()));
    for (const auto& f : catalogue.forms) {
        w.short_string(scramble(f.name), "a window name");
        w.short_string(scramble(f.class_name), "a window class name");
        w.u32(f.caption ? index_of.at(f.caption->text) | flag_bit(f.caption->untranslated) : 0);
        if (f.components.size() > lng_max_components)
            w.problem = f.class_name + " holds more than 2000 controls";
        const std::size_t count_at = w.out.size();
        w.u32(std::uint32_t(f.components.size()));
        std::uint32_t written = 0;
        for (const auto& c : f.components) {
            if (c.name.empty() || c.elements.empty()) continue;
            const auto at = [&](int address) -> const lng_element* {
                const auto it = c.elements.find(address);
                return it == c.elements.end() ? nullptr : &it->second;
            };
            w.short_string(scramble(c.name), "a control name");
            w.short_string(scramble(c.class_name), "a control class name");
            w.u32(text_word(at(element_caption), true));
            w.u32(text_word(at(element_short_hint), false));
            w.u32(text_word(at(element_long_hint), false));
            const int string_count = c.elements.rbegin()->first + 1; // addresses are ordered; lists are >= 0
            if (std::uint32_t(std::max(string_count, 0)) > lng_max_strings)
                w.problem = c.name + " holds more than 1000 list entries";
            w.u32(std::uint32_t(std::max(string_count, 0)));
            for (int k = 0; k < string_count; ++k)
                w.u32(text_word(at(k), true));
            ++written;
        }
        w.put_u32(count_at, written);
    }
    return {std::move(w.out), std::move(w.problem)};
}
