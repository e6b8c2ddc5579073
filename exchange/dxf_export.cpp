// DXF writer for one mesh.
#include "dxf_export.h"

#include "level_stream.h"
#include "sorted_key_list.h"

#include <charconv>
#include <cstdio>
#include <memory>

std::string dxf_layer_name(std::uint16_t texture_word) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "TEXTUR_%04u", unsigned(texture_word & 0xFFF));
    return buf;
}

std::string dxf_number(double value) {
    char buf[64];
    // Adding 0.0 turns -0.0 into 0.0; to_chars ignores the C locale, so "." always separates.
    const auto r = std::to_chars(buf, buf + sizeof buf, value + 0.0, std::chars_format::fixed, 6);
    return std::string(buf, r.ptr);
}

namespace {

class line_writer {
  public:
    explicit line_writer(std::string& out) : out_(out) {}
    line_writer& operator<<(std::string_view line) {
        out_.append(line);
        out_.append("\r\n");
        return *this;
    }

  private:
    std::string& out_;
};

// Position of corner `index` of the mesh, or the origin when the index names no vertex.
mesh_vec3 corner_position(const tmesh& mesh, std::uint16_t index) {
    const std::size_t count =
        std::min(std::size_t(std::max<int>(mesh.num_vertices, 0)), mesh.vertices.size());
    return index < count ? mesh.vertices[index] : mesh_vec3{};
}

template <std::size_t N>
void write_face(line_writer& w, const tmesh& mesh, const rec<N>& face, int corners, std::uint16_t texture) {
    static constexpr const char* codes[4][3] = {
        {" 10", " 20", " 30"}, {" 11", " 21", " 31"}, {" 12", " 22", " 32"}, {" 13", " 23", " 33"}};
    w << "  0"
      << "3DFACE"
      << "  8" << dxf_layer_name(texture);
    for (int k = 0; k < 4; ++k) {
        const mesh_vec3 p = corner_position(mesh, face_word(face, std::min(k, corners - 1)));
        w << codes[k][0] << dxf_number(p[0] / 100.0);
        w << codes[k][1] << dxf_number(-p[2] / 100.0);
        w << codes[k][2] << dxf_number(-p[1] / 100.0);
    }
}

} // namespace

std::string dxf_text(const tmesh& mesh) {
    const std::size_t rects =
        std::min(std::size_t(std::max<int>(mesh.num_tex_rects, 0)), mesh.tex_rects.size());
    const std::size_t tris = std::min(std::size_t(std::max<int>(mesh.num_tex_tris, 0)), mesh.tex_tris.size());

    std::string out;
    out.reserve(512 + (rects + tris) * 300);
    line_writer w(out);
    w << "  0"
      << "SECTION"
      << "  2"
      << "HEADER"
      << "  0"
      << "ENDSEC"
      << "  0"
      << "SECTION"
      << "  2"
      << "TABLES"
      << "  0"
      << "TABLE"
      << "  2"
      << "LAYER"
      << "  70"
      << "    153";

    // Distinct layer names in byte order, which is ascending texture order.
    sorted_key_list<std::string> layers;
    layers.sort_on_add = true;
    auto note_layer = [&](std::uint16_t texture) {
        std::string name = dxf_layer_name(texture);
        if (layers.find(name) == -1) layers.add(name, std::make_unique<std::string>(name));
    };
    for (std::size_t i = 0; i < rects; ++i)
        note_layer(rect_texture(mesh.tex_rects[i]));
    for (std::size_t i = 0; i < tris; ++i)
        note_layer(tri_texture(mesh.tex_tris[i]));
    for (int i = 0; i < layers.count(); ++i) {
        char colour[16];
        std::snprintf(colour, sizeof colour, "%6d", i);
        w << "  0"
          << "LAYER"
          << "  2" << *layers.item(i) << " 70"
          << "  0"
          << " 62" << colour << "  6"
          << "CONTINUOUS";
    }
    layers.clear();
    layers.pack();

    w << "  0"
      << "ENDTAB"
      << "  0"
      << "ENDSEC"
      << "  0"
      << "SECTION"
      << "  2"
      << "ENTITIES";
    for (std::size_t i = 0; i < rects; ++i)
        write_face(w, mesh, mesh.tex_rects[i], 4, rect_texture(mesh.tex_rects[i]));
    for (std::size_t i = 0; i < tris; ++i)
        write_face(w, mesh, mesh.tex_tris[i], 3, tri_texture(mesh.tex_tris[i]));
    w << " 0"
      << "ENDSEC"
      << " 0"
      << "EOF";
    return out;
}

user_message write_dxf_file(const tmesh& mesh, const std::string& path) {
    // Written as a level is saved: the old file stays whole until the new one is complete.
    const std::string text = dxf_text(mesh);
    try {
        write_file_atomic(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    } catch (const level_error& e) {
        return say(msg::dxf_not_written, {e.what()});
    }
    return {};
}
