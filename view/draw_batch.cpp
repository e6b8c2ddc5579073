// Draw batch: keyed vertex records, sorted and replayed in groups.
#include "draw_batch.h"

#include <cstdio>

std::string batch_key(int primitive, std::int32_t name, std::int32_t texture, int sequence) {
    char buf[96];
    const int n = std::snprintf(buf, sizeof buf, "%8.2f%6d%6d%6d", double(primitive), int(name), int(texture),
                                sequence);
    return std::string(buf, std::size_t(n));
}

void draw_batch::batch_reset() {
    sequence_ = 0;
    state_.texture = -1;
    state_.smooth = 0;
    state_.red = state_.green = state_.blue = -1;
}

void draw_batch::batch_vertex(float x, float y, float z) {
    auto r = std::make_unique<batch_record>(state_);
    r->x = x, r->y = y, r->z = z;
    list_.add(batch_key(state_.primitive, state_.name, state_.texture, sequence_), std::move(r));
    ++sequence_;
    state_.s = state_.t = no_tex_coord;
}

void draw_batch::batch_flush() {
    list_.sort();
    const int n = list_.count();
    int i = 0;
    while (i < n) {
        const batch_record& first = *list_.item(i);
        if (first.name >= 0) gl_.load_name(std::uint32_t(first.name));
        if (first.texture >= 0) {
            gl_.bind_texture(gl::texture_2d, std::uint32_t(first.texture));
            const int filter = first.smooth ? int(gl::linear) : int(gl::nearest);
            gl_.tex_parameteri(gl::texture_2d, gl::texture_min_filter, filter);
            gl_.tex_parameteri(gl::texture_2d, gl::texture_mag_filter, filter);
        }
        gl_.begin(unsigned(first.primitive));
        for (; i < n; ++i) {
            const batch_record& r = *list_.item(i);
            if (r.name != first.name || r.texture != first.texture || r.primitive != first.primitive) break;
            if (r.red >= 0 && r.green >= 0 && r.blue >= 0)
                gl_.color3ub(std::uint8_t(r.red), std::uint8_t(r.green), std::uint8_t(r.blue));
            if (r.s != no_tex_coord && r.t != no_tex_coord) gl_.tex_coord2f(float(r.s), float(r.t));
            gl_.vertex3f(r.x, r.y, r.z);
        }
        gl_.end();
    }
    list_.clear();
}
