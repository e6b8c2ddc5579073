// glTF (tinygltf) and OBJ + MTL writing, PNG pages (libpng), reading through Assimp.
#include "scene_files.h"

#include "scene_import.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <png.h>
#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// Writes bytes through a temporary file renamed over the target.
user_message write_file(const fs::path& target, const std::string& bytes) {
    fs::path temporary = target;
    temporary += ".vellum-part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return say(msg::cannot_write_file, {target.string()});
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return say(msg::cannot_write_file_full, {target.string()});
        }
    }
    std::error_code ec;
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return say(msg::cannot_write_file_reason, {target.string(), ec.message()});
    }
    return {};
}

using mat34 = std::array<double, 12>;

mat34 world_of(const exchange_scene& scene, int node) {
    mat34 m = scene.nodes[std::size_t(node)].transform;
    int parent = scene.nodes[std::size_t(node)].parent;
    for (std::size_t steps = 0;
         parent >= 0 && std::size_t(parent) < scene.nodes.size() && steps < scene.nodes.size(); ++steps) {
        const mat34& a = scene.nodes[std::size_t(parent)].transform;
        mat34 r{};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 4; ++j) {
                double s = j == 3 ? a[std::size_t(i * 4 + 3)] : 0.0;
                for (int k = 0; k < 3; ++k)
                    s += a[std::size_t(i * 4 + k)] * m[std::size_t(k * 4 + j)];
                r[std::size_t(i * 4 + j)] = s;
            }
        m = r;
        parent = scene.nodes[std::size_t(parent)].parent;
    }
    return m;
}

bool is_translation(const mat34& m) {
    return m[0] == 1 && m[1] == 0 && m[2] == 0 && m[4] == 0 && m[5] == 1 && m[6] == 0 && m[8] == 0 &&
           m[9] == 0 && m[10] == 1;
}

// ---- glTF ----

class gltf_builder {
  public:
    explicit gltf_builder(const exchange_scene& scene) : scene_(scene) {
        model_.asset.version = "2.0";
        model_.asset.generator = "Vellum";
        model_.buffers.emplace_back();
        tinygltf::Sampler nearest;
        nearest.magFilter = TINYGLTF_TEXTURE_FILTER_NEAREST;
        nearest.minFilter = TINYGLTF_TEXTURE_FILTER_NEAREST;
        model_.samplers.push_back(nearest);
        for (const scene_image& img : scene.images) {
            tinygltf::Image image;
            image.name = "page_" + std::to_string(img.page);
            image.mimeType = "image/png";
            const std::vector<std::uint8_t> png = png_bytes(img);
            image.bufferView = add_view(png.data(), png.size(), 0);
            model_.images.push_back(image);
            tinygltf::Texture texture;
            texture.sampler = 0;
            texture.source = int(model_.images.size() - 1);
            model_.textures.push_back(texture);
        }
        for (const scene_material& m : scene.materials) {
            tinygltf::Material material;
            material.name = m.name;
            material.pbrMetallicRoughness.baseColorFactor = {m.colour[0], m.colour[1], m.colour[2],
                                                             m.colour[3]};
            material.pbrMetallicRoughness.metallicFactor = 0.0;
            material.pbrMetallicRoughness.roughnessFactor = 1.0;
            if (m.image >= 0) {
                material.pbrMetallicRoughness.baseColorTexture.index = m.image;
                material.alphaMode = "MASK";
                material.alphaCutoff = 0.5;
            }
            model_.materials.push_back(material);
        }
        tinygltf::Scene root;
        for (std::size_t n = 0; n < scene.nodes.size(); ++n) {
            const scene_node& sn = scene.nodes[n];
            tinygltf::Node node;
            node.name = sn.name;
            const mat34& t = sn.transform;
            if (is_translation(t)) {
                if (t[3] != 0 || t[7] != 0 || t[11] != 0) node.translation = {t[3], t[7], t[11]};
            } else {
                node.matrix = {t[0], t[4], t[8],  0, t[1], t[5], t[9],  0,
                               t[2], t[6], t[10], 0, t[3], t[7], t[11], 1};
            }
            node.mesh = add_mesh(sn);
            model_.nodes.push_back(node);
            if (sn.parent >= 0 && std::size_t(sn.parent) < n)
                model_.nodes[std::size_t(sn.parent)].children.push_back(int(n));
            else
                root.nodes.push_back(int(n));
        }
        model_.scenes.push_back(root);
        model_.defaultScene = 0;
    }

    const tinygltf::Model& model() const { return model_; }

  private:
    const exchange_scene& scene_;
    tinygltf::Model model_;

    int add_view(const void* data, std::size_t bytes, int target) {
        auto& buffer = model_.buffers[0].data;
        while (buffer.size() % 4)
            buffer.push_back(0);
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = buffer.size();
        view.byteLength = bytes;
        view.target = target;
        const auto* p = static_cast<const unsigned char*>(data);
        buffer.insert(buffer.end(), p, p + bytes);
        model_.bufferViews.push_back(view);
        return int(model_.bufferViews.size() - 1);
    }

    template <std::size_t N>
    int add_floats(const std::vector<std::array<float, N>>& values, int type, bool bounds) {
        tinygltf::Accessor a;
        a.bufferView =
            add_view(values.data(), values.size() * N * sizeof(float), TINYGLTF_TARGET_ARRAY_BUFFER);
        a.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
        a.count = values.size();
        a.type = type;
        if (bounds) {
            a.minValues.assign(N, 1e30);
            a.maxValues.assign(N, -1e30);
            for (const auto& v : values)
                for (std::size_t c = 0; c < N; ++c) {
                    a.minValues[c] = std::min(a.minValues[c], double(v[c]));
                    a.maxValues[c] = std::max(a.maxValues[c], double(v[c]));
                }
        }
        model_.accessors.push_back(a);
        return int(model_.accessors.size() - 1);
    }

    int add_mesh(const scene_node& node) {
        tinygltf::Mesh mesh;
        mesh.name = node.name;
        for (const int mi : node.meshes) {
            if (mi < 0 || std::size_t(mi) >= scene_.meshes.size()) continue;
            const scene_mesh& m = scene_.meshes[std::size_t(mi)];
            if (m.positions.empty() || m.faces.empty()) continue;
            // One primitive per material, each with its own vertices: Blender's importer mixes up
            // vertex colours of primitives that share attribute accessors.
            std::map<std::uint32_t, std::vector<std::uint32_t>> by_material;
            for (const scene_face& f : m.faces) {
                auto& out = by_material[f.material];
                for (int k = 1; k + 1 < f.corners; ++k)
                    out.insert(out.end(),
                               {f.vertex[0], f.vertex[std::size_t(k)], f.vertex[std::size_t(k + 1)]});
            }
            for (auto& [material, indices] : by_material) {
                std::map<std::uint32_t, std::uint32_t> local;
                scene_mesh part;
                for (std::uint32_t& v : indices) {
                    const auto [it, fresh] = local.emplace(v, std::uint32_t(part.positions.size()));
                    if (fresh && v < m.positions.size()) {
                        part.positions.push_back(m.positions[v]);
                        if (m.normals.size() == m.positions.size()) part.normals.push_back(m.normals[v]);
                        if (m.colours.size() == m.positions.size()) part.colours.push_back(m.colours[v]);
                        if (m.uvs.size() == m.positions.size()) part.uvs.push_back(m.uvs[v]);
                    }
                    v = it->second;
                }
                tinygltf::Primitive p;
                p.attributes["POSITION"] = add_floats(part.positions, TINYGLTF_TYPE_VEC3, true);
                if (!part.normals.empty())
                    p.attributes["NORMAL"] = add_floats(part.normals, TINYGLTF_TYPE_VEC3, false);
                if (!part.colours.empty())
                    p.attributes["COLOR_0"] = add_floats(part.colours, TINYGLTF_TYPE_VEC4, false);
                if (!part.uvs.empty())
                    p.attributes["TEXCOORD_0"] = add_floats(part.uvs, TINYGLTF_TYPE_VEC2, false);
                tinygltf::Accessor a;
                a.bufferView =
                    add_view(indices.data(), indices.size() * 4, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
                a.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
                a.count = indices.size();
                a.type = TINYGLTF_TYPE_SCALAR;
                model_.accessors.push_back(a);
                p.indices = int(model_.accessors.size() - 1);
                p.material = material < scene_.materials.size() ? int(material) : -1;
                p.mode = TINYGLTF_MODE_TRIANGLES;
                mesh.primitives.push_back(p);
            }
        }
        if (mesh.primitives.empty()) return -1;
        model_.meshes.push_back(mesh);
        return int(model_.meshes.size() - 1);
    }
};

std::string gltf_text(const exchange_scene& scene, bool binary) {
    gltf_builder builder(scene);
    tinygltf::TinyGLTF writer;
    std::ostringstream out;
    writer.WriteGltfSceneToStream(&builder.model(), out, !binary, binary);
    return out.str();
}

// ---- OBJ ----

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", v);
    return text;
}

user_message write_obj(const exchange_scene& scene, const fs::path& target) {
    const std::string stem = target.stem().string();
    const fs::path folder = target.parent_path();
    std::string mtl = "# Vellum\n";
    for (const scene_material& m : scene.materials) {
        mtl += "newmtl " + m.name + "\n";
        mtl += "Kd " + number(m.colour[0]) + " " + number(m.colour[1]) + " " + number(m.colour[2]) + "\n";
        mtl += "Ka 0 0 0\nKs 0 0 0\nd 1\nillum 1\n";
        if (m.image >= 0 && std::size_t(m.image) < scene.images.size())
            mtl += "map_Kd " + stem + "_page_" + std::to_string(scene.images[std::size_t(m.image)].page) +
                   ".png\n";
        mtl += "\n";
    }
    std::string obj = "# Vellum\nmtllib " + stem + ".mtl\n";
    std::size_t base_v = 1, base_vt = 1, base_vn = 1;
    for (std::size_t n = 0; n < scene.nodes.size(); ++n) {
        const scene_node& node = scene.nodes[n];
        const mat34 w = world_of(scene, int(n));
        bool named = false;
        for (const int mi : node.meshes) {
            if (mi < 0 || std::size_t(mi) >= scene.meshes.size()) continue;
            const scene_mesh& m = scene.meshes[std::size_t(mi)];
            if (m.faces.empty()) continue;
            if (!named) obj += "o " + node.name + "\n";
            named = true;
            const bool colours = m.colours.size() == m.positions.size();
            const bool normals = m.normals.size() == m.positions.size();
            const bool uvs = m.uvs.size() == m.positions.size();
            for (std::size_t v = 0; v < m.positions.size(); ++v) {
                const auto& p = m.positions[v];
                obj += "v";
                for (std::size_t r = 0; r < 3; ++r)
                    obj += " " + number(float(w[r * 4] * p[0] + w[r * 4 + 1] * p[1] + w[r * 4 + 2] * p[2] +
                                              w[r * 4 + 3]));
                if (colours)
                    for (std::size_t c = 0; c < 3; ++c)
                        obj += " " + number(m.colours[v][c]);
                obj += "\n";
            }
            if (uvs)
                for (const auto& uv : m.uvs)
                    obj += "vt " + number(uv[0]) + " " + number(1.0f - uv[1]) + "\n";
            if (normals)
                for (const auto& nv : m.normals) {
                    obj += "vn";
                    for (std::size_t r = 0; r < 3; ++r)
                        obj += " " +
                               number(float(w[r * 4] * nv[0] + w[r * 4 + 1] * nv[1] + w[r * 4 + 2] * nv[2]));
                    obj += "\n";
                }
            std::uint32_t current = ~0u;
            for (const scene_face& f : m.faces) {
                if (f.material != current && f.material < scene.materials.size())
                    obj += "usemtl " + scene.materials[f.material].name + "\n";
                current = f.material;
                obj += "f";
                for (int k = 0; k < f.corners; ++k) {
                    const std::size_t v = f.vertex[std::size_t(k)];
                    obj += " " + std::to_string(base_v + v);
                    if (uvs || normals) obj += "/" + (uvs ? std::to_string(base_vt + v) : std::string());
                    if (normals) obj += "/" + std::to_string(base_vn + v);
                }
                obj += "\n";
            }
            base_v += m.positions.size();
            if (uvs) base_vt += m.uvs.size();
            if (normals) base_vn += m.normals.size();
        }
    }
    for (const scene_image& img : scene.images) {
        const std::vector<std::uint8_t> png = png_bytes(img);
        const user_message failed = write_file(folder / (stem + "_page_" + std::to_string(img.page) + ".png"),
                                               std::string(png.begin(), png.end()));
        if (!failed.empty()) return failed;
    }
    const user_message failed = write_file(folder / (stem + ".mtl"), mtl);
    if (!failed.empty()) return failed;
    return write_file(target, obj);
}

std::string lower_extension(const fs::path& p) {
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

// ---- Assimp ----

std::uint32_t u32_at(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// A binary glTF whose header or chunk lengths claim more than the file holds: Assimp would
// allocate what they claim before noticing. `head` holds the file's first bytes (up to the second
// chunk header when the first chunk's length allows); empty when the file is not binary glTF or
// its lengths fit.
user_message glb_claims_problem(const std::vector<std::uint8_t>& head, std::uintmax_t size) {
    if (head.size() < 4 || std::memcmp(head.data(), "glTF", 4) != 0) return {};
    if (head.size() < 20) return say(msg::glb_header_truncated);
    if (u32_at(&head[8]) != size)
        return say(msg::glb_header_size, {std::to_string(u32_at(&head[8])), std::to_string(size)});
    const std::uint64_t first = u32_at(&head[12]);
    if (20 + first > size) return say(msg::glb_first_chunk);
    const std::uint64_t second_at = 20 + ((first + 3) & ~std::uint64_t(3));
    if (second_at + 8 <= size && second_at + 8 <= head.size() &&
        second_at + 8 + u32_at(&head[std::size_t(second_at)]) > size)
        return say(msg::glb_second_chunk);
    return {};
}

// Copies the node tree breadth-first without recursion (a hostile file may nest deeply); false when
// it has more than `limit` nodes.
bool copy_nodes(const aiNode* root, exchange_scene& scene, std::size_t limit) {
    std::vector<std::pair<const aiNode*, int>> queue{{root, -1}};
    for (std::size_t next = 0; next < queue.size(); ++next) {
        if (scene.nodes.size() >= limit) return false;
        const auto [from, parent] = queue[next];
        scene_node node;
        node.name = from->mName.C_Str();
        node.parent = parent;
        const aiMatrix4x4& t = from->mTransformation;
        node.transform = {t.a1, t.a2, t.a3, t.a4, t.b1, t.b2, t.b3, t.b4, t.c1, t.c2, t.c3, t.c4};
        for (unsigned i = 0; i < from->mNumMeshes; ++i)
            node.meshes.push_back(int(from->mMeshes[i]));
        scene.nodes.push_back(std::move(node));
        for (unsigned i = 0; i < from->mNumChildren; ++i)
            if (from->mChildren[i]) queue.emplace_back(from->mChildren[i], int(scene.nodes.size() - 1));
        if (queue.size() > 4 * limit) return false;
    }
    return true;
}

} // namespace

std::vector<std::uint8_t> png_bytes(const scene_image& image) {
    std::vector<std::uint8_t> out;
    if (image.rgba.size() != std::size_t(image.width) * std::size_t(image.height) * 4) return out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return out;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t length) {
            auto* bytes = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
            bytes->insert(bytes->end(), data, data + length);
        },
        nullptr);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, image.rgba.data() + std::size_t(y) * std::size_t(image.width) * 4);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<std::uint8_t> glb_bytes(const exchange_scene& scene) {
    const std::string text = gltf_text(scene, true);
    return {text.begin(), text.end()};
}

user_message write_scene_file(const exchange_scene& scene, const std::string& path) {
    const fs::path target(path);
    const std::string ext = lower_extension(target);
    if (ext == ".glb") return write_file(target, gltf_text(scene, true));
    if (ext == ".gltf") return write_file(target, gltf_text(scene, false));
    if (ext == ".obj") return write_obj(scene, target);
    return say(msg::model_name_extension, {path});
}

namespace {

// What Assimp read, as an exchange scene; `path` names the file in messages.
read_scene scene_of_assimp(const Assimp::Importer& importer, const aiScene* s, const std::string& path) {
    read_scene out;
    if (!s || (s->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || !s->mRootNode) {
        const std::string why = importer.GetErrorString();
        out.error = why.empty() ? say(msg::model_unreadable, {path})
                                : say(msg::model_unreadable_reason, {path, why.substr(0, 200)});
        return out;
    }
    std::size_t vertices = 0, faces = 0;
    for (unsigned i = 0; i < s->mNumMeshes; ++i)
        if (s->mMeshes[i]) vertices += s->mMeshes[i]->mNumVertices, faces += s->mMeshes[i]->mNumFaces;
    if (vertices > scene_vertex_limit || faces > scene_face_limit) {
        out.error =
            say(msg::model_too_much_geometry, {path, std::to_string(vertices), std::to_string(faces)});
        return out;
    }
    exchange_scene& scene = out.scene;
    for (unsigned i = 0; i < s->mNumMaterials; ++i) {
        scene_material m;
        aiString name;
        if (s->mMaterials[i] && s->mMaterials[i]->Get(AI_MATKEY_NAME, name) == AI_SUCCESS)
            m.name = name.C_Str();
        scene.materials.push_back(m);
    }
    for (unsigned i = 0; i < s->mNumMeshes; ++i) {
        const aiMesh* am = s->mMeshes[i];
        scene_mesh m;
        if (am) {
            m.positions.reserve(am->mNumVertices);
            for (unsigned v = 0; v < am->mNumVertices; ++v)
                m.positions.push_back({am->mVertices[v].x, am->mVertices[v].y, am->mVertices[v].z});
            if (am->mNormals)
                for (unsigned v = 0; v < am->mNumVertices; ++v)
                    m.normals.push_back({am->mNormals[v].x, am->mNormals[v].y, am->mNormals[v].z});
            if (am->mColors[0])
                for (unsigned v = 0; v < am->mNumVertices; ++v) {
                    const aiColor4D& c = am->mColors[0][v];
                    m.colours.push_back({c.r, c.g, c.b, c.a});
                }
            if (am->mTextureCoords[0])
                for (unsigned v = 0; v < am->mNumVertices; ++v)
                    m.uvs.push_back({am->mTextureCoords[0][v].x, 1.0f - am->mTextureCoords[0][v].y});
            for (unsigned f = 0; f < am->mNumFaces; ++f) {
                const aiFace& af = am->mFaces[f];
                scene_face face;
                face.corners = int(af.mNumIndices);
                face.material = am->mMaterialIndex;
                for (unsigned k = 0; k < std::min(af.mNumIndices, 4u); ++k)
                    face.vertex[k] = af.mIndices[k];
                m.faces.push_back(face);
            }
        }
        scene.meshes.push_back(std::move(m));
    }
    if (!copy_nodes(s->mRootNode, scene, scene_node_limit)) {
        out.error = say(msg::model_too_many_nodes, {path, std::to_string(scene_node_limit)});
        out.scene = {};
    }
    return out;
}

} // namespace

read_scene read_scene_file(const std::string& path) {
    read_scene out;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        out.error = say(msg::cannot_read_file, {path});
        return out;
    }
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) {
        out.error = say(msg::cannot_read_file, {path});
        return out;
    }
    if (size == 0) {
        out.error = say(msg::file_empty, {path});
        return out;
    }
    if (size > model_file_size_limit) {
        out.error = say(msg::model_too_large,
                        {path, std::to_string(size >> 20), std::to_string(model_file_size_limit >> 20)});
        return out;
    }
    {
        // Only the headers are looked at: the first 20 bytes and, when it is near, the second chunk's.
        std::ifstream in(path, std::ios::binary);
        std::vector<std::uint8_t> head(std::size_t(std::min<std::uintmax_t>(size, 1u << 20)));
        in.read(reinterpret_cast<char*>(head.data()), std::streamsize(head.size()));
        head.resize(std::size_t(in.gcount()));
        user_message problem = glb_claims_problem(head, size);
        if (!problem.empty()) {
            out.error = say(msg::model_unreadable_reason, {path, std::move(problem)});
            return out;
        }
    }
    Assimp::Importer importer;
    return scene_of_assimp(importer, importer.ReadFile(path, aiProcess_ValidateDataStructure), path);
}

read_scene read_scene_bytes(const std::vector<std::uint8_t>& bytes, const std::string& format) {
    if (bytes.empty()) return {{}, "The model is empty."};
    if (bytes.size() > model_file_size_limit) return {{}, "The model is too large for a mesh."};
    if (const user_message problem = glb_claims_problem(bytes, bytes.size()); !problem.empty())
        return {{}, "The model could not be read: " + problem.english + "."};
    Assimp::Importer importer;
    return scene_of_assimp(importer,
                           importer.ReadFileFromMemory(bytes.data(), bytes.size(),
                                                       aiProcess_ValidateDataStructure, format.c_str()),
                           "The model");
}
