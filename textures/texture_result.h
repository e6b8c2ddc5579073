// Outcome of a texture command: success, or the message to show the user (named by key, so the
// windows show it in the chosen language).
#pragma once

#include "user_message.h"

#include <utility>

struct texture_result {
    bool ok = true;
    user_message message; // empty on success

    static texture_result success() { return {}; }
    static texture_result failure(user_message text) { return {false, std::move(text)}; }
    explicit operator bool() const { return ok; }
};
