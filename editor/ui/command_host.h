// What the main window lends the command groups behind its menus (texture_commands,
// mesh_exchange_commands): the document, the prompts in the interface language, the texture
// panel with its current texture, and a redraw of the 3D view.
#pragma once

#include "editor_document.h"
#include "prompts.h"

#include <functional>

class texture_panel_widget;

struct command_host {
    editor_document& doc;
    editor_prompts& prompts;
    texture_panel_widget& panel;
    std::function<void()> redraw;

    // Shows a failure with its message; true on success.
    bool report(const command_result& r) const {
        if (!r.ok && !r.message.empty()) prompts.message(r.message);
        return r.ok;
    }
};
