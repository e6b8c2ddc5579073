// The translation catalogue (forms, components and their text elements) and the binary language
// file it is read from and written to. Standard library only, so fuzzers and tools can use it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Element addresses inside a component; 0 and up are the entries of its string list.
inline constexpr int element_caption = -1;
inline constexpr int element_short_hint = -2;
inline constexpr int element_long_hint = -3;

// One translatable text. Texts are kept without their "&": `accelerator` is the 1-based byte
// position before which it goes back in (0 = none).
struct lng_element {
    std::string text;
    std::uint8_t accelerator = 0;
    bool untranslated = false;
    bool operator==(const lng_element&) const = default;
};

struct lng_component {
    std::string name;
    std::string class_name;
    std::map<int, lng_element> elements; // keyed by element address
    bool operator==(const lng_component&) const = default;
};

struct lng_form {
    std::string name;       // component name of the form, e.g. "Form1"
    std::string class_name; // what files are matched by, e.g. "TForm1"
    std::optional<lng_element> caption;
    bool untranslated = false;
    std::vector<lng_component> components;
    bool operator==(const lng_form&) const = default;

    lng_component* find(const std::string& component_name);
    const lng_component* find(const std::string& component_name) const;
    lng_component& component(const std::string& component_name, const std::string& class_name = {});
};

struct lng_catalogue {
    std::uint16_t language_id = 0;
    std::vector<lng_form> forms;
    bool operator==(const lng_catalogue&) const = default;

    lng_form* find(const std::string& class_name);
    const lng_form* find(const std::string& class_name) const;
    lng_form& form(const std::string& class_name, const std::string& name = {});

    // The text of an element with "&" put back, or nothing when the catalogue has no such text.
    std::optional<std::string> shown(const std::string& form_class, const std::string& component,
                                     int element) const;
    // Stores a text as typed ("&Open" keeps its accelerator position) and marks it translated.
    void set(const std::string& form_class, const std::string& component, int element,
             const std::string& typed);
    // Marks every element of every form and component not yet translated (done before a load).
    void mark_all_untranslated();
    // Drops components that hold no element.
    void drop_empty_components();
};

// "&Open" -> {"Open", 1}; "&&" stays as it is; a position past 127 cannot be stored and is dropped.
lng_element element_from_typed(const std::string& typed);
// The reverse: the text with "&" re-inserted at the accelerator position.
std::string typed_from_element(const lng_element& e);

// Text scrambling of short strings in the file (bytes, modulo 256).
std::string scramble(std::string s);
std::string unscramble(std::string s);

// Limits past which a reader stops.
inline constexpr std::uint32_t lng_max_pool = 5000;       // rejected when N >= this
inline constexpr std::uint32_t lng_max_forms = 500;       // rejected when F > this
inline constexpr std::uint32_t lng_max_components = 2000; // rejected when C > this
inline constexpr std::uint32_t lng_max_strings = 1000;    // rejected when S > this
// Texts a file may give, all windows together: far above any interface (a few hundred), and low
// enough that a damaged file cannot make every element of every control hold a copy of a text
// (gigabytes from a file of some megabytes).
inline constexpr std::uint32_t lng_max_texts = 50000;

struct lng_read_result {
    bool ok = false;
    std::string problem; // why reading stopped (empty when ok)
};

// Reads a language file into `into`: every known element is first marked not yet translated,
// then forms are matched by class name and components by name, and every element with a valid
// pool index takes the file's text. A damaged file stops reading where the damage is; what was
// merged before stays. A file that ends before its counts are read, or holds bytes past them, is
// damaged.
lng_read_result read_language(const std::uint8_t* data, std::size_t size, lng_catalogue& into);

struct lng_write_result {
    std::vector<std::uint8_t> bytes;
    std::string problem; // set when a text cannot be stored (longer than 254 bytes)
};

// Writes the catalogue in the current ("LFv01.3") layout. `file_name` is stored in the header.
lng_write_result write_language(const lng_catalogue& catalogue, const std::string& file_name);
