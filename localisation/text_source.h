// The readable form of a language kept in the repository: one text per line, keyed by window
// class, control name and element, parsed into a catalogue; and the completeness check between
// two catalogues.
//
//   # comment
//   [TForm1]                        a window, by class name
//   .Caption = Vellum v.2.2 Rev 0   the window's own caption
//   OpenFile1.Caption = &Open       "&" marks the accelerator
//   Button2.Hint = Export...        short hint (tool tip); LongHint = the status-bar text
//   ComboBox2.Items[0] = Opaque     an entry of a control's list
//   Label1.Caption = " Textures"    quotes keep leading or trailing blanks; \n is a line break
#pragma once

#include "language_file.h"
#include "languages.h"

#include <optional>
#include <string>
#include <vector>

struct text_source_result {
    lng_catalogue catalogue;
    std::vector<std::string> errors; // "line N: why"
};

text_source_result parse_text_source(const std::string& text, std::uint16_t language_id);
// The text source of `language` in folder `dir`, parsed; nothing when the file cannot be read.
std::optional<text_source_result> read_text_source(const std::string& dir, const language_info& language);

// The key of one element as written in a text source, e.g. "TForm1 OpenFile1.Caption".
std::string element_key(const std::string& form_class, const std::string& component, int element);

// Every element `reference` has that `other` lacks, as keys.
std::vector<std::string> missing_elements(const lng_catalogue& reference, const lng_catalogue& other);

// The class name stored for a control, guessed from the prefix of its name (CheckBox12 ->
// TCheckBox; names without a known prefix are menu items). Files are matched by control name only.
std::string class_for_component(const std::string& name);
