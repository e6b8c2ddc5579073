// Wording a named message from a language catalogue.
#include "message_texts.h"

std::string shown_message(const lng_catalogue* chosen, const user_message& m) {
    return render(m, [chosen](const std::string& key) -> std::optional<std::string> {
        if (!chosen) return std::nullopt;
        return chosen->shown(message_form, key, element_caption);
    });
}
