// What the texture panel's handlers do to the level: the page-view hit test, the rubber-band
// selection, the flips, "Define Mouse Selected" and "Apply Intensity Alpha".
#pragma once

#include "user_message.h"
#include <string>
#include <vector>

class tr_level;
class mesh_list;
struct tobject_texture;

struct page_point {
    int x = 0, y = 0;
};

// The first object texture on `page` whose hit rectangle contains (x, y), edges included; -1 when
// none does.
int texture_at(const tr_level& level, int page, int x, int y);

// Mirror the current texture left-right / top-bottom. Flipping twice restores the corners.
// Three-corner textures are mirrored within their box and keep three corners.
void flip_horizontal(tobject_texture& t);
void flip_vertical(tobject_texture& t);

// SHIFT+drag on the page view.
struct page_selection {
    bool selecting = false;
    page_point start, end;
    void press(int x, int y);
    // Returns false when the point is off the page (the end stays where it was).
    bool move(int x, int y);
    void release() { selecting = false; }
    int width() const { return end.x - start.x; }
    int height() const { return end.y - start.y; }
    bool hatched() const { return width() % 4 == 0 && height() % 4 == 0; }
};

// " X=" x + 1 "    Y=" y + 1: the third status panel over the page view.
std::string page_position_text(int x, int y);

// Appends a four-corner object texture for the marked rectangle (end exclusive) on `page`.
// Returns its index, or -1 with `message` set when nothing usable is marked.
int define_mouse_selected(tr_level& level, int page, const page_selection& sel, user_message& message);

// Sets attribute 2 on every texture the given meshes' textured faces use. Returns the message to
// show instead when the game has no semi-transparent textures (TR1, TR2); empty otherwise.
user_message apply_intensity_alpha(tr_level& level, const mesh_list& meshes,
                                   const std::vector<int>& mesh_numbers);
