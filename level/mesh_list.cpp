// The mesh list: parsing mesh_words into tmesh records, measuring their bounds, and writing them
// back into mesh_words and mesh_pointers.
#include "mesh_list.h"

#include <algorithm>
#include <cstdio>
#include <limits>

void tmesh::set_num_vertices(std::int16_t n) {
    num_vertices = n;
    vertices.resize(std::size_t(std::max<int>(n, 0)));
}
void tmesh::set_num_normals(std::int16_t n) {
    num_normals = n;
    normals.resize(std::size_t(std::max<int>(n, 0)));
    lights.resize(std::size_t(std::max<int>(-int(n), 0)));
}
void tmesh::set_num_tex_rects(std::int16_t n) {
    num_tex_rects = n;
    tex_rects.resize(std::size_t(std::max<int>(n, 0)));
}
void tmesh::set_num_tex_tris(std::int16_t n) {
    num_tex_tris = n;
    tex_tris.resize(std::size_t(std::max<int>(n, 0)));
}
void tmesh::set_num_col_rects(std::int16_t n) {
    num_col_rects = n;
    col_rects.resize(std::size_t(std::max<int>(n, 0)));
}
void tmesh::set_num_col_tris(std::int16_t n) {
    num_col_tris = n;
    col_tris.resize(std::size_t(std::max<int>(n, 0)));
}

namespace {

std::string hex(std::uint64_t v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(v));
    return buf;
}

std::string mesh_name(std::size_t number, std::uint32_t offset) {
    return "Mesh " + std::to_string(number) + " (at byte " + hex(offset) + " of the mesh data)";
}

// A bounds-checked reader of 16-bit words over mesh_words.
class word_cursor {
  public:
    word_cursor(const std::vector<std::uint16_t>& words, std::size_t end) : words_(words), end_(end) {}

    std::size_t pos() const { return pos_; }
    std::size_t end() const { return end_; }
    void skip(std::size_t n) { pos_ = std::min(end_, pos_ + n); }

    // Throws when fewer than n words remain for the mesh that started at `start`.
    void need(std::size_t n, const char* what, std::size_t mesh_number, std::size_t start) const {
        if (n > end_ - pos_)
            throw level_error(
                "The mesh data is truncated: " + mesh_name(mesh_number, std::uint32_t(start * 2)) +
                " needs " + std::to_string(n * 2) + " bytes for its " + what + " but only " +
                std::to_string((end_ - pos_) * 2) + " bytes of mesh data remain.");
    }
    std::int16_t i16() { return std::int16_t(words_[pos_++]); }
    std::uint16_t u16() { return words_[pos_++]; }

  private:
    const std::vector<std::uint16_t>& words_;
    std::size_t end_;
    std::size_t pos_ = 0;
};

void check_count(int n, int limit, const char* what, std::size_t mesh_number, std::size_t start) {
    if (n < 0)
        throw level_error("The mesh data is corrupt: " + mesh_name(mesh_number, std::uint32_t(start * 2)) +
                          " has a negative " + what + " count (" + std::to_string(n) + ").");
    if (n > limit)
        throw level_error(mesh_name(mesh_number, std::uint32_t(start * 2)) + " has " + std::to_string(n) +
                          " " + what + "s; the editor holds at most " + std::to_string(limit) +
                          " per mesh (selection names count faces in bands of 1000).");
}

template <std::size_t N>
void read_faces(word_cursor& c, std::vector<rec<N>>& slots, int count, int face_words) {
    for (int i = 0; i < count; ++i) {
        auto& slot = slots[std::size_t(i)];
        for (int w = 0; w < face_words; ++w)
            put_u16(&slot[std::size_t(2 * w)], c.u16());
    }
}

// Parses one mesh at the cursor; throws on truncation or bad counts.
tmesh parse_mesh(word_cursor& c, std::int32_t game_version, std::size_t number) {
    const std::size_t start = c.pos();
    tmesh m;
    m.offset = std::uint32_t(start * 2);

    c.need(5, "centre and radius", number, start);
    for (auto& v : m.centre)
        v = c.i16();
    const std::uint32_t r_lo = c.u16();
    const std::uint32_t r_hi = c.u16();
    m.radius = std::int32_t(r_lo | (r_hi << 16));

    c.need(1, "vertex count", number, start);
    const int nv = c.i16();
    if (nv < 0) check_count(nv, 0, "vertex", number, start);
    c.need(std::size_t(nv) * 3, "vertices", number, start);
    m.set_num_vertices(std::int16_t(nv));
    for (auto& v : m.vertices)
        for (auto& k : v)
            k = c.i16();

    c.need(1, "normal count", number, start);
    const int nn = c.i16();
    if (nn >= 0) {
        c.need(std::size_t(nn) * 3, "normals", number, start);
        m.set_num_normals(std::int16_t(nn));
        for (auto& v : m.normals)
            for (auto& k : v)
                k = c.i16();
    } else {
        c.need(std::size_t(-nn), "vertex lights", number, start);
        m.set_num_normals(std::int16_t(nn));
        for (auto& l : m.lights)
            l = c.i16();
    }

    const int rect_words = mesh_rect_size(game_version) / 2;
    const int tri_words = mesh_tri_size(game_version) / 2;

    c.need(1, "textured rectangle count", number, start);
    const int ntr = c.i16();
    check_count(ntr, mesh_face_list_limit, "textured rectangle", number, start);
    c.need(std::size_t(ntr) * std::size_t(rect_words), "textured rectangles", number, start);
    m.set_num_tex_rects(std::int16_t(ntr));
    read_faces(c, m.tex_rects, ntr, rect_words);

    c.need(1, "textured triangle count", number, start);
    const int ntt = c.i16();
    check_count(ntt, mesh_face_list_limit, "textured triangle", number, start);
    c.need(std::size_t(ntt) * std::size_t(tri_words), "textured triangles", number, start);
    m.set_num_tex_tris(std::int16_t(ntt));
    read_faces(c, m.tex_tris, ntt, tri_words);

    if (mesh_has_coloured_faces(game_version)) {
        c.need(1, "coloured rectangle count", number, start);
        const int ncr = c.i16();
        check_count(ncr, mesh_face_list_limit, "coloured rectangle", number, start);
        c.need(std::size_t(ncr) * 5, "coloured rectangles", number, start);
        m.set_num_col_rects(std::int16_t(ncr));
        read_faces(c, m.col_rects, ncr, 5);

        c.need(1, "coloured triangle count", number, start);
        const int nct = c.i16();
        check_count(nct, mesh_face_list_limit, "coloured triangle", number, start);
        c.need(std::size_t(nct) * 4, "coloured triangles", number, start);
        m.set_num_col_tris(std::int16_t(nct));
        read_faces(c, m.col_tris, nct, 4);
    }

    // A mesh whose length is not a multiple of 4 bytes (an odd number of words) is followed by a
    // 2-byte filler, kept as read (the data may also end without it).
    if ((c.pos() - start) % 2 != 0 && c.pos() < c.end()) m.read_filler = c.u16();
    m.read_size = std::uint32_t((c.pos() - start) * 2);
    return m;
}

// Index of the first mesh at `offset` in a list whose offsets ascend; -1 when none.
std::int32_t find_sorted(const std::vector<tmesh>& meshes, std::uint32_t offset) {
    auto it = std::lower_bound(meshes.begin(), meshes.end(), offset,
                               [](const tmesh& m, std::uint32_t o) { return m.offset < o; });
    if (it == meshes.end() || it->offset != offset) return -1;
    return std::int32_t(it - meshes.begin());
}

void measure(tmesh& m) {
    for (int a = 0; a < 3; ++a) {
        m.bounds_max[std::size_t(a)] = mesh_bounds_max_start;
        m.bounds_min[std::size_t(a)] = mesh_bounds_min_start;
    }
    const std::size_t nv = std::min(std::size_t(std::max<int>(m.num_vertices, 0)), m.vertices.size());
    auto take = [&](std::uint16_t index) {
        if (index >= nv) return; // not a vertex of this mesh: not counted
        const auto& v = m.vertices[index];
        const float view[3] = {float(v[0]) / 100.0f, -(float(v[1]) / 100.0f), -(float(v[2]) / 100.0f)};
        for (std::size_t a = 0; a < 3; ++a) {
            const double d = view[a];
            if (d < m.bounds_min[a]) m.bounds_min[a] = d;
            if (d > m.bounds_max[a]) m.bounds_max[a] = d;
        }
    };
    auto faces = [&](const auto& list, int count, int corners) {
        const std::size_t n = std::min(std::size_t(std::max(count, 0)), list.size());
        for (std::size_t i = 0; i < n; ++i)
            for (int k = 0; k < corners; ++k)
                take(face_word(list[i], k));
    };
    faces(m.tex_rects, m.num_tex_rects, 4);
    faces(m.tex_tris, m.num_tex_tris, 3);
    faces(m.col_rects, m.num_col_rects, 4);
    faces(m.col_tris, m.num_col_tris, 3);
    for (std::size_t a = 0; a < 3; ++a)
        m.bounds_shift[a] = -((m.bounds_max[a] - m.bounds_min[a]) / 2 + m.bounds_min[a]);
}

} // namespace

void build_mesh_list(mesh_list& list, const tr_level& level) {
    const std::size_t end = std::min<std::size_t>(level.num_mesh_words, level.mesh_words.size());
    word_cursor c(level.mesh_words, end);
    std::vector<tmesh> meshes;
    while (c.pos() < c.end()) {
        meshes.push_back(parse_mesh(c, level.game_version, meshes.size()));
        measure(meshes.back());
    }
    // Offsets strictly ascend (every mesh takes at least 18 bytes), so lookups can bisect.
    const std::size_t np = std::min<std::size_t>(level.num_mesh_pointers, level.mesh_pointers.size());
    std::vector<std::int32_t> index(level.num_mesh_pointers, 0);
    for (std::size_t j = 0; j < np; ++j)
        index[j] = std::max(find_sorted(meshes, level.mesh_pointers[j]), 0);

    list.meshes = std::move(meshes);
    list.mesh_index = std::move(index);
}

std::uint32_t mesh_byte_size(const tmesh& m, std::int32_t game_version) {
    std::uint64_t size = 10 + 2 + 6 * std::uint64_t(std::max<int>(m.num_vertices, 0)) + 2;
    if (m.num_normals >= 0)
        size += 6 * std::uint64_t(m.num_normals);
    else
        size += 2 * std::uint64_t(-int(m.num_normals));
    size +=
        2 + std::uint64_t(mesh_rect_size(game_version)) * std::uint64_t(std::max<int>(m.num_tex_rects, 0));
    size += 2 + std::uint64_t(mesh_tri_size(game_version)) * std::uint64_t(std::max<int>(m.num_tex_tris, 0));
    if (mesh_has_coloured_faces(game_version)) {
        size += 2 + 10 * std::uint64_t(std::max<int>(m.num_col_rects, 0));
        size += 2 + 8 * std::uint64_t(std::max<int>(m.num_col_tris, 0));
    }
    if (size % 4 != 0) size += 2;
    return std::uint32_t(size);
}

std::string check_mesh(const tmesh& m, std::int32_t game_version, std::size_t number) {
    const std::string name = "Mesh " + std::to_string(number);
    auto list = [&](int count, std::size_t held, int limit, const char* what) -> std::string {
        if (count < 0) return name + " has a negative " + what + " count (" + std::to_string(count) + ").";
        if (count > limit)
            return name + " has " + std::to_string(count) + " " + what + "s; at most " +
                   std::to_string(limit) + " are allowed per mesh.";
        if (held < std::size_t(count))
            return name + " claims " + std::to_string(count) + " " + what + "s but holds " +
                   std::to_string(held) + ".";
        return {};
    };
    std::string e;
    if (!(e = list(m.num_vertices, m.vertices.size(), std::numeric_limits<std::int16_t>::max(), "vertice"))
             .empty())
        return e;
    if (m.num_normals >= 0) {
        if (!(e = list(m.num_normals, m.normals.size(), std::numeric_limits<std::int16_t>::max(), "normal"))
                 .empty())
            return e;
    } else if (m.lights.size() < std::size_t(-int(m.num_normals))) {
        return name + " claims " + std::to_string(-int(m.num_normals)) + " vertex lights but holds " +
               std::to_string(m.lights.size()) + ".";
    }
    if (!(e = list(m.num_tex_rects, m.tex_rects.size(), mesh_face_list_limit, "textured rectangle")).empty())
        return e;
    if (!(e = list(m.num_tex_tris, m.tex_tris.size(), mesh_face_list_limit, "textured triangle")).empty())
        return e;
    if (mesh_has_coloured_faces(game_version)) {
        if (!(e = list(m.num_col_rects, m.col_rects.size(), mesh_face_list_limit, "coloured rectangle"))
                 .empty())
            return e;
        if (!(e = list(m.num_col_tris, m.col_tris.size(), mesh_face_list_limit, "coloured triangle")).empty())
            return e;
    }
    return {};
}

namespace {
// Bytes a mesh takes when written: its size, filler included, except that the last mesh of data
// that ended without its filler stays without one while its size is unchanged.
std::uint32_t written_size(const tmesh& m, std::int32_t game_version, bool last) {
    const std::uint32_t size = mesh_byte_size(m, game_version);
    if (last && m.read_size != 0 && m.read_size + 2 == size && m.read_size % 4 != 0) return m.read_size;
    return size;
}
} // namespace

void rebuild_mesh_words(mesh_list& list, tr_level& level) {
    const std::int32_t gv = level.game_version;
    // First pass: check every mesh and compute the offsets.
    std::vector<std::uint32_t> offsets(list.meshes.size());
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < list.meshes.size(); ++i) {
        const std::string e = check_mesh(list.meshes[i], gv, i);
        if (!e.empty()) throw level_error("The meshes cannot be saved: " + e);
        offsets[i] = std::uint32_t(total);
        total += written_size(list.meshes[i], gv, i + 1 == list.meshes.size());
        if (total > std::numeric_limits<std::uint32_t>::max())
            throw level_error("The meshes cannot be saved: the mesh data would exceed 4 GiB.");
    }

    // Second pass: the words.
    std::vector<std::uint16_t> words;
    words.reserve(std::size_t(total / 2));
    auto put = [&](std::int32_t v) { words.push_back(std::uint16_t(v)); };
    const int rect_words = mesh_rect_size(gv) / 2;
    const int tri_words = mesh_tri_size(gv) / 2;
    for (std::size_t n = 0; n < list.meshes.size(); ++n) {
        const tmesh& m = list.meshes[n];
        const std::size_t start = words.size();
        for (auto v : m.centre)
            put(v);
        put(std::int32_t(std::uint32_t(m.radius) & 0xFFFF));
        put(std::int32_t(std::uint32_t(m.radius) >> 16));
        put(m.num_vertices);
        for (int i = 0; i < m.num_vertices; ++i)
            for (auto k : m.vertices[std::size_t(i)])
                put(k);
        put(m.num_normals);
        if (m.num_normals >= 0) {
            for (int i = 0; i < m.num_normals; ++i)
                for (auto k : m.normals[std::size_t(i)])
                    put(k);
        } else {
            for (int i = 0; i < -int(m.num_normals); ++i)
                put(m.lights[std::size_t(i)]);
        }
        put(m.num_tex_rects);
        for (int i = 0; i < m.num_tex_rects; ++i)
            for (int w = 0; w < rect_words; ++w)
                put(face_word(m.tex_rects[std::size_t(i)], w));
        put(m.num_tex_tris);
        for (int i = 0; i < m.num_tex_tris; ++i)
            for (int w = 0; w < tri_words; ++w)
                put(face_word(m.tex_tris[std::size_t(i)], w));
        if (mesh_has_coloured_faces(gv)) {
            put(m.num_col_rects);
            for (int i = 0; i < m.num_col_rects; ++i)
                for (int w = 0; w < 5; ++w)
                    put(face_word(m.col_rects[std::size_t(i)], w));
            put(m.num_col_tris);
            for (int i = 0; i < m.num_col_tris; ++i)
                for (int w = 0; w < 4; ++w)
                    put(face_word(m.col_tris[std::size_t(i)], w));
        }
        const std::uint32_t size = written_size(m, gv, n + 1 == list.meshes.size());
        if (words.size() - start < size / 2) put(m.read_size == size ? m.read_filler : 0);
    }

    // Commit.
    for (std::size_t i = 0; i < list.meshes.size(); ++i)
        list.meshes[i].offset = offsets[i];
    level.set_num_mesh_words(std::uint32_t(words.size()));
    level.mesh_words = std::move(words);
    const std::size_t np = std::min<std::size_t>(level.num_mesh_pointers, level.mesh_pointers.size());
    for (std::size_t j = 0; j < np; ++j) {
        const std::int32_t k = j < list.mesh_index.size() ? list.mesh_index[j] : 0;
        level.mesh_pointers[j] =
            (k >= 0 && std::size_t(k) < list.meshes.size()) ? list.meshes[std::size_t(k)].offset : 0;
    }
}

std::int32_t find_mesh_by_offset(const mesh_list& list, std::uint32_t offset) {
    return std::max(find_sorted(list.meshes, offset), 0);
}

void measure_bounds(mesh_list& list, int mesh) {
    if (mesh < 0 || std::size_t(mesh) >= list.meshes.size()) return;
    measure(list.meshes[std::size_t(mesh)]);
}
