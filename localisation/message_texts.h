// The editor's messages in the chosen language: a message names its text by key (user_message.h)
// and is worded from the [TMessages] section of the chosen language's catalogue; a part the
// language lacks keeps its English (US) wording.
#pragma once

#include "language_file.h"
#include "user_message.h"

#include <string>

// Where message texts live: one control per message, its Caption the text.
inline constexpr const char* message_form = "TMessages";

// `m` in the language of `chosen` (English (US) when null).
std::string shown_message(const lng_catalogue* chosen, const user_message& m);
