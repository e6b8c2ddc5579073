// The outcome of an editor command that can fail: success, or a message fit to show the user,
// named by key (user_message.h) so that the windows show it in the chosen language.
#pragma once

#include "user_message.h"

#include <utility>

struct command_result {
    bool ok = true;
    user_message message; // empty on success

    static command_result success() { return {}; }
    static command_result failure(user_message text) { return {false, std::move(text)}; }
    // Adopts any {ok, message} result of the lower layers.
    template <class R> static command_result from(const R& r) { return {r.ok, user_message(r.message)}; }

    explicit operator bool() const { return ok; }
};
