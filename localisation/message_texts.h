// The editor's messages in the chosen language. Messages are composed in English (US) by the
// core; a message is recognised by its English (US) template in the catalogue ("The File %1
// Already Exists. Overwrite It?") and rebuilt from the chosen language's template with the same
// values, so no caller has to know which language is shown.
#pragma once

#include "language_file.h"

#include <optional>
#include <string>
#include <vector>

// Where message templates live: one control per message, its Caption the text.
inline constexpr const char* message_form = "TMessages";

// Matches `text` against a template whose %1 .. %9 stand for any text; the values in order of
// their numbers, or nothing when the text does not fit.
std::optional<std::vector<std::string>> match_template(const std::string& pattern, const std::string& text);
// Replaces %1 .. %9 by the values.
std::string fill_template(const std::string& pattern, const std::vector<std::string>& values);

class message_translator {
  public:
    // `english` holds the English (US) templates; `chosen` those of the language shown.
    message_translator(const lng_catalogue* english, const lng_catalogue* chosen)
        : english_(english), chosen_(chosen) {}
    // The message in the chosen language; the text unchanged when no template fits it or the
    // chosen language lacks that message.
    std::string translate(const std::string& text) const;
    // The chosen language's text of message `key`, with its values filled in; the English (US)
    // one when the chosen language lacks it; `fallback` when neither has it.
    std::string text(const std::string& key, const std::vector<std::string>& values = {},
                     const std::string& fallback = {}) const;

  private:
    const lng_catalogue* english_;
    const lng_catalogue* chosen_;
};
