// The draw batch: mesh drawing records vertices with their per-face state under sort keys, and a
// flush sends them to OpenGL sorted, one glBegin/glEnd group per run of equal name and texture.
#pragma once

#include "gl_api.h"
#include "sorted_key_list.h"

#include <cstdint>
#include <string>

inline constexpr long double no_tex_coord = -99.0L;

struct batch_record {
    int primitive = 0;
    std::int32_t name = 0;
    std::int32_t texture = -1;
    std::uint8_t smooth = 0;
    std::int32_t red = -1, green = -1, blue = -1;
    long double s = no_tex_coord, t = no_tex_coord;
    float x = 0, y = 0, z = 0;
};

// Sort key of a record: the primitive as "%8.2f", then name, texture and sequence number, each
// right-aligned in at least six characters.
std::string batch_key(int primitive, std::int32_t name, std::int32_t texture, int sequence);

class draw_batch {
  public:
    explicit draw_batch(gl_api& gl) : gl_(gl) {}

    gl_api& gl() { return gl_; }

    void batch_reset();
    void batch_mode(int primitive) { state_.primitive = primitive; }
    void batch_name(std::int32_t name) { state_.name = name; }
    void batch_texture(std::int32_t texture) { state_.texture = texture; }
    void batch_smooth(bool smooth) { state_.smooth = smooth ? 1 : 0; }
    void batch_colour(int r, int g, int b) { state_.red = r, state_.green = g, state_.blue = b; }
    void batch_texcoord(long double s, long double t) { state_.s = s, state_.t = t; }
    void batch_vertex(float x, float y, float z);
    void batch_end_face() {}
    // Sorts the records, draws them in groups and empties the list.
    void batch_flush();

    const sorted_key_list<batch_record>& records() const { return list_; }

  private:
    gl_api& gl_;
    batch_record state_;
    int sequence_ = 0;
    sorted_key_list<batch_record> list_;
};
