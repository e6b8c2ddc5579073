// DXF reader for one mesh.
#include "dxf_import.h"

#include "mesh_rebuild.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// The text split into lines (LF or CR LF); the views point into `text`.
std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string quoted(std::string_view s) {
    constexpr std::size_t shown = 40;
    std::string out = "\"" + std::string(s.substr(0, shown));
    if (s.size() > shown) out += "...";
    return out + "\"";
}

// A malformed line; ends the read.
struct syntax_error {
    user_message message;
};

class dxf_reader {
  public:
    explicit dxf_reader(std::string_view text) : lines_(split_lines(text)) {}

    dxf_faces run() {
        try {
            if (find_entities()) read_entities();
        } catch (const syntax_error& e) {
            faces_.rects.clear();
            faces_.tris.clear();
            faces_.error = e.message;
        }
        return std::move(faces_);
    }

  private:
    std::vector<std::string_view> lines_;
    std::size_t next_ = 0; // index of the next unread line
    dxf_faces faces_;

    bool at_end() const { return next_ >= lines_.size(); }

    [[noreturn]] void fail(std::size_t line, msg what) const {
        throw syntax_error{
            say(msg::dxf_line_error, {std::to_string(line + 1), say(what, {quoted(lines_[line])})})};
    }

    int code_at(std::size_t line) const {
        const std::string_view s = trimmed(lines_[line]);
        std::string_view digits = s;
        if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
        int code = 0;
        const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), code);
        if (digits.empty() || r.ec != std::errc() || r.ptr != digits.data() + digits.size())
            fail(line, msg::dxf_not_group_code);
        return code;
    }

    // trunc(value * factor) of the number on `line`, which must fit in 16 bits.
    std::int16_t coordinate_at(std::size_t line, long double factor) const {
        std::string_view digits = trimmed(lines_[line]);
        if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
        // The library's long double parser reads up to a terminating zero, so it gets its own copy;
        // no number of a DXF file needs more than a few dozen characters.
        constexpr std::size_t longest = 64;
        const std::string copy(digits.substr(0, longest));
        long double value = 0;
        const auto r = std::from_chars(copy.data(), copy.data() + copy.size(), value);
        if (copy.empty() || digits.size() > longest || r.ec != std::errc() ||
            r.ptr != copy.data() + copy.size() || !std::isfinite(value))
            fail(line, msg::dxf_not_number);
        // A decimal such as 0.59 is held just below its value, and 0.59 * 100 would truncate to 58:
        // a written mesh would then creep by a unit at every export and import. A nudge far below
        // the file's six decimals keeps whole products whole and truncates every other one.
        const long double product = value * factor;
        const long double units = std::trunc(product + std::copysign(1e-9L, product));
        if (units < -32768.0L || units > 32767.0L) fail(line, msg::dxf_out_of_range);
        return std::int16_t(units);
    }

    // Pairs up to the one whose value is ENTITIES; false when the file has none. Layer entries
    // are passed over up to their linetype (code 6) or the next entity.
    bool find_entities() {
        while (next_ + 1 < lines_.size()) {
            const int code = code_at(next_);
            const std::string_view value = trimmed(lines_[next_ + 1]);
            next_ += 2;
            if (value == "ENTITIES") return true;
            if (code == 0 && value == "LAYER") {
                while (next_ + 1 < lines_.size()) {
                    const int inner = code_at(next_);
                    if (inner == 0) break; // the next entity: read it as any other pair
                    next_ += 2;
                    if (inner == 6) break;
                }
            }
        }
        return false;
    }

    void read_entities() {
        for (;;) {
            while (!at_end() && trimmed(lines_[next_]) != "3DFACE")
                ++next_;
            if (at_end()) return;
            ++next_;
            while (read_face()) {
            }
        }
    }

    // Reads the pairs of one 3DFACE up to the closing code 0 and keeps the face; true when the
    // entity that follows is another 3DFACE.
    bool read_face() {
        dxf_face face;
        bool fourth_given = false;
        bool another = false;
        while (next_ + 1 < lines_.size()) {
            const std::size_t line = next_;
            const int code = code_at(line);
            next_ += 2;
            if (code == 0) {
                another = trimmed(lines_[line + 1]) == "3DFACE";
                break;
            }
            if (code == 8) {
                face.texture = dxf_layer_texture(lines_[line + 1]);
            } else if (code >= 10 && code <= 13) {
                face.corners[std::size_t(code - 10)][0] = coordinate_at(line + 1, 100.0L);
            } else if (code >= 20 && code <= 23) {
                face.corners[std::size_t(code - 20)][2] = coordinate_at(line + 1, -100.0L);
            } else if (code >= 30 && code <= 33) {
                face.corners[std::size_t(code - 30)][1] = coordinate_at(line + 1, -100.0L);
            }
            if (code == 13 || code == 23 || code == 33) fourth_given = true;
        }
        if (!another && next_ + 1 >= lines_.size()) next_ = lines_.size();
        // A face given with three corners has its fourth at the third, as DXF defines it.
        if (!fourth_given) face.corners[3] = face.corners[2];
        if (face.corners[3] == face.corners[2])
            faces_.tris.push_back(face);
        else
            faces_.rects.push_back(face);
        return another;
    }
};

} // namespace

std::uint16_t dxf_layer_texture(std::string_view layer) {
    if (layer.size() < 8) return 0;
    const std::string_view digits = layer.substr(7, 4);
    unsigned value = 0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (r.ec != std::errc() || r.ptr != digits.data() + digits.size()) return 0;
    return std::uint16_t(value);
}

dxf_faces parse_dxf(std::string_view text) {
    return dxf_reader(text).run();
}

void compute_dxf_normals(tmesh& mesh) {
    const std::size_t nv = mesh.vertices.size();
    auto position = [&](std::uint16_t i) {
        const mesh_vec3& v = mesh.vertices[i];
        return std::array<float, 3>{float(v[0]), float(v[1]), float(v[2])};
    };
    auto blend = [&](auto& face, int corners) {
        std::uint16_t index[4];
        for (int k = 0; k < corners; ++k) {
            index[k] = face_word(face, k);
            if (index[k] >= nv || index[k] >= mesh.normals.size()) return;
        }
        const auto p1 = position(index[0]), p2 = position(index[1]), p3 = position(index[2]);
        const std::array<float, 3> u{p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]};
        const std::array<float, 3> v{p3[0] - p1[0], p3[1] - p1[1], p3[2] - p1[2]};
        std::array<float, 3> n{u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                               u[0] * v[1] - u[1] * v[0]};
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (float& c : n) {
            if (length != 0.0f) c /= length;
            c *= -16300.0f;
        }
        mesh_vec3 old[4];
        for (int k = 0; k < corners; ++k)
            old[k] = mesh.normals[index[k]];
        for (int k = 0; k < corners; ++k)
            for (std::size_t c = 0; c < 3; ++c) {
                const float was = old[k][c];
                const float now = was != 0.0f ? (was + n[c]) / 2.0f : n[c];
                mesh.normals[index[k]][c] = std::int16_t(std::trunc(now));
            }
    };
    for (auto& r : mesh.tex_rects)
        blend(r, 4);
    for (auto& t : mesh.tex_tris)
        blend(t, 3);
}

dxf_mesh mesh_from_dxf(const dxf_faces& faces, const tmesh& current, bool is_static) {
    if (!faces.error.empty()) return {{}, mesh_refusal(faces.error)};
    if (faces.rects.empty() && faces.tris.empty()) return {{}, mesh_refusal(say(msg::dxf_no_faces))};
    std::vector<imported_face> imported;
    imported.reserve(faces.rects.size() + faces.tris.size());
    auto add = [&](const dxf_face& f, int corners) {
        imported_face face;
        face.corners = corners;
        face.positions = f.corners;
        face.word = f.texture;
        face.word_complete = false;
        imported.push_back(face);
    };
    for (const dxf_face& f : faces.rects)
        add(f, 4);
    // DXF cannot tell a rectangle whose last two corners meet from a triangle: a triangle that is
    // such a rectangle of the mesh, same corners and texture, comes back as that rectangle.
    std::vector<bool> taken(current.tex_rects.size(), false);
    for (const dxf_face& f : faces.tris) {
        add(f, 3);
        for (std::size_t r = 0; r < current.tex_rects.size(); ++r) {
            const rec<12>& rect = current.tex_rects[r];
            if (taken[r] || ((rect_texture(rect) ^ f.texture) & 0x0FFF) != 0) continue;
            const std::uint16_t third = face_word(rect, 2), fourth = face_word(rect, 3);
            bool same = third < current.vertices.size() && fourth < current.vertices.size() &&
                        current.vertices[third] == current.vertices[fourth];
            for (int k = 0; same && k < 3; ++k)
                same = face_word(rect, k) < current.vertices.size() &&
                       current.vertices[face_word(rect, k)] == f.corners[std::size_t(k)];
            if (!same) continue;
            taken[r] = true;
            imported.back().corners = 4;
            imported.back().positions[3] = imported.back().positions[2];
            break;
        }
    }
    rebuild_options options;
    options.is_static = is_static;
    rebuilt_mesh built = rebuild_mesh(current, imported, options);
    return {std::move(built.mesh), std::move(built.error)};
}

dxf_mesh read_dxf_file(const std::string& path, const tmesh& current, bool is_static) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return {{}, mesh_refusal(say(msg::cannot_read_file, {path}))};
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) return {{}, mesh_refusal(say(msg::cannot_read_file, {path}))};
    if (size == 0) return {{}, mesh_refusal(say(msg::file_empty, {path}))};
    if (size > dxf_file_size_limit)
        return {{},
                mesh_refusal(say(msg::dxf_too_large, {path, std::to_string(size >> 20),
                                                      std::to_string(dxf_file_size_limit >> 20)}))};
    std::ifstream in(path, std::ios::binary);
    std::string text(std::size_t(size), '\0');
    if (!in || !in.read(text.data(), std::streamsize(size)))
        return {{}, mesh_refusal(say(msg::cannot_read_file, {path}))};
    if (text.find('\0') != std::string::npos) return {{}, mesh_refusal(say(msg::dxf_binary, {path}))};
    return mesh_from_dxf(parse_dxf(text), current, is_static);
}
