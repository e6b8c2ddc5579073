// The outcome of an editor command that can fail: success, or a message fit to show the user.
#pragma once

#include <string>
#include <utility>

struct command_result {
    bool ok = true;
    std::string message; // empty on success

    static command_result success() { return {}; }
    static command_result failure(std::string text) { return {false, std::move(text)}; }
    // Adopts any {ok, message} result of the lower layers.
    template <class R> static command_result from(const R& r) { return {r.ok, r.message}; }

    explicit operator bool() const { return ok; }
};
