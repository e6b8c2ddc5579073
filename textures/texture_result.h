// Outcome of a texture command: success, or the message to show the user.
#pragma once

#include <string>
#include <utility>

struct texture_result {
    bool ok = true;
    std::string message; // empty on success

    static texture_result success() { return {}; }
    static texture_result failure(std::string text) { return {false, std::move(text)}; }
    explicit operator bool() const { return ok; }
};
