// Assembly of the sample levels: texture pages and object textures, the meshes of a figure, a
// crate, a lantern and four static props, their moveables and frames, entities and sounds.
#include "sample_levels.h"

#include "level_writer.h"
#include "sample_parts.h"
#include "sample_pixels.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <stdexcept>

namespace {

// ---- object textures ----------------------------------------------------------------------------

// Corners of a texture rectangle in the order top-left, top-right, bottom-right, bottom-left.
enum corner_name { tl = 0, tr = 1, br = 2, bl = 3 };

struct texture_maker {
    tr_level& level;

    std::uint16_t add(page_rect r, std::initializer_list<corner_name> corners, std::uint16_t attribute) {
        tobject_texture t;
        t.attribute = attribute;
        t.page = std::uint16_t(r.page);
        // TR4 and TRC mark three-corner textures in the top bit of the page word.
        if (corners.size() == 3 && level.game_version >= game_tr4) t.page |= 0x8000;
        const int right = r.x + r.w - 1, bottom = r.y + r.h - 1;
        std::size_t k = 0;
        for (corner_name c : corners) {
            const bool high_x = c == tr || c == br, high_y = c == br || c == bl;
            t.corners[k++] = {std::uint8_t(high_x ? 255 : 1), std::uint8_t(high_x ? right : r.x),
                              std::uint8_t(high_y ? 255 : 1), std::uint8_t(high_y ? bottom : r.y)};
        }
        // A four-corner texture whose last corner sat at pixel (0, 0) would read as a triangle.
        if (corners.size() == 4 && t.corners[3].x_pixel == 0 && t.corners[3].y_pixel == 0)
            throw std::logic_error("four-corner texture with its last corner at the page origin");
        level.object_textures.push_back(t);
        level.num_object_textures = std::uint32_t(level.object_textures.size());
        return std::uint16_t(level.object_textures.size() - 1);
    }
    std::uint16_t rect(page_rect r, std::uint16_t attribute = 0) {
        return add(r, {tl, tr, br, bl}, attribute);
    }
    std::uint16_t mirrored_x(page_rect r, std::uint16_t attribute = 0) {
        return add(r, {tr, tl, bl, br}, attribute);
    }
    std::uint16_t mirrored_y(page_rect r) { return add(r, {bl, br, tr, tl}, 0); }
    std::uint16_t mirrored_xy(page_rect r) { return add(r, {br, bl, tl, tr}, 0); }
};

constexpr std::uint16_t opaque = 0, see_through = 1;

} // namespace

sample_textures make_textures(tr_level& level) {
    using namespace sample_art;
    level.set_num_object_textures(0);
    texture_maker m{level};
    sample_textures t{};
    t.bricks = m.rect(bricks);
    t.flagstones = m.rect(flagstones);
    t.planks = m.rect(planks);
    t.mossy_stone = m.rect(mossy_stone);
    for (int f = 0; f < 4; ++f)
        t.water[std::size_t(f)] = m.rect(water(f));
    for (int f = 0; f < 4; ++f)
        t.flame[std::size_t(f)] = m.rect(flame(f), see_through);
    t.grate = m.rect(grate, see_through);
    t.window = m.rect(window, see_through);
    t.door = m.rect(door);
    t.coffer = m.rect(coffer);
    for (int k = 0; k < 4; ++k)
        t.banner[std::size_t(k)] = m.rect(banner(k));
    t.grass = m.rect(grass);
    t.sand = m.rect(sand);
    t.sky = m.rect(sky);
    t.tree = m.rect(tree, see_through);
    t.compass = m.rect(compass, see_through);
    t.face = m.rect(face);
    t.tartan = m.rect(tartan);
    t.skin = m.rect(skin);
    t.metal = m.rect(metal);
    t.crate = m.rect(crate);
    t.leaves = m.rect(leaves, see_through);
    t.leaves_mirrored = m.mirrored_x(leaves, see_through);
    t.hair = m.rect(hair);
    t.leather = m.rect(leather);
    for (int n = 0; n < 16; ++n)
        t.checker[std::size_t(n)] = m.rect(checker(n));
    t.checker_mirror_x = m.mirrored_x(checker(16));
    t.checker_mirror_y = m.mirrored_y(checker(17));
    t.checker_mirror_xy = m.mirrored_xy(checker(18));
    t.checker_halves = {m.add(checker(19), {tl, tr, bl}, opaque), m.add(checker(19), {tr, br, bl}, opaque)};
    t.stone_tri = m.add(flagstones, {tl, tr, bl}, opaque);
    t.stone_tri_mirrored = m.add(flagstones, {tr, tl, br}, opaque);
    t.metal_tri = m.add(metal, {tl, tr, bl}, opaque);
    t.candle_flame = m.rect({0, flame(0).x + 16, flame(0).y, 32, 40}, see_through);
    return t;
}

namespace {

// ---- meshes -------------------------------------------------------------------------------------

struct mesh_kit {
    const sample_textures& t;
    sample_colours colours;
    std::int32_t game;

    sample_mesh start() const {
        sample_mesh m;
        m.coloured_faces = game < game_tr4;
        return m;
    }
    surface tex(std::uint16_t texture, std::uint16_t effects = 0) const {
        return {texture, std::uint16_t(game >= game_tr4 ? effects : 0), -1};
    }
    // A coloured face in TR1 to TR3, the fallback texture later.
    surface paint(int colour, std::uint16_t fallback) const { return {fallback, 0, colour}; }
    std::array<surface, 6> all(surface s) const { return {s, s, s, s, s, s}; }
};

// Shiny effect of TR4/TRC faces: strength 16, not transparent.
constexpr std::uint16_t shiny = 66;

// The figure's eleven meshes, each around its own joint, facing -z (towards the default view).
std::vector<sample_mesh> figure_meshes(const mesh_kit& k) {
    const auto& t = k.t;
    std::vector<sample_mesh> out;
    auto add = [&](auto build) {
        sample_mesh m = k.start();
        build(m);
        m.make_normals();
        out.push_back(std::move(m));
    };
    const surface cloth = k.tex(t.tartan), leather = k.tex(t.leather), skin = k.tex(t.skin);
    const surface hand = k.paint(k.colours.skin, t.skin), sole = k.paint(k.colours.dark, t.leather);
    add([&](sample_mesh& m) { // hips, with a metal belt buckle
        m.box({-70, -40, -45}, {70, 40, 45}, {cloth, cloth, cloth, cloth, cloth, leather});
        m.quad({-18, -30, -46}, {18, -30, -46}, {18, 0, -46}, {-18, 0, -46}, k.tex(t.metal, shiny));
    });
    auto thigh = [&](sample_mesh& m) { m.box({-30, 0, -32}, {30, 200, 32}, k.all(leather)); };
    auto shin = [&](sample_mesh& m) {
        m.box({-26, 0, -28}, {26, 190, 28}, {leather, leather, leather, leather, leather, sole});
        m.box({-28, 190, -70}, {28, 220, 28}, {leather, leather, leather, leather, leather, sole}); // foot
    };
    add(thigh);
    add(shin);
    add(thigh);
    add(shin);
    add([&](sample_mesh& m) { m.box({-80, -260, -45}, {80, 0, 45}, k.all(cloth)); }); // torso
    auto upper_arm = [&](sample_mesh& m) { m.box({-22, 0, -22}, {22, 170, 22}, k.all(skin)); };
    auto forearm = [&](sample_mesh& m) {
        m.box({-20, 0, -20}, {20, 160, 20}, {skin, skin, skin, skin, skin, hand});
        m.box({-18, 160, -22}, {18, 220, 22}, k.all(hand)); // hand
    };
    add(upper_arm);
    add(forearm);
    add(upper_arm);
    add(forearm);
    add([&](sample_mesh& m) { // head: the face in front, hair around
        const surface hair = k.tex(t.hair);
        m.box({-55, -150, -55}, {55, 0, 55}, {k.tex(t.face), hair, hair, hair, hair, skin});
    });
    return out;
}

// The figure's mesh tree: flags (1 pop, 2 push), then the joint offset from the parent.
const std::vector<std::array<std::int32_t, 4>> figure_tree{
    {2, 45, 30, 0},     // left thigh: remember the hips
    {0, 0, 200, 0},     // left shin
    {3, -45, 30, 0},    // right thigh: back to the hips, remember them again
    {0, 0, 200, 0},     // right shin
    {1, 0, -30, 0},     // torso: back to the hips
    {2, -105, -240, 0}, // right upper arm: remember the torso
    {0, 0, 170, 0},     // right forearm
    {3, 105, -240, 0},  // left upper arm: back to the torso, remember it again
    {0, 0, 170, 0},     // left forearm
    {1, 0, -260, 0},    // head: back to the torso
};

sample_mesh crate_mesh(const mesh_kit& k) {
    sample_mesh m = k.start();
    // Centred on its root, so that the view frames it; the frame offset lifts it onto the floor.
    m.box({-240, -240, -240}, {240, 240, 240}, k.all(k.tex(k.t.crate)));
    m.make_lights(k.game, [](vec3 p) { return 0.55 + 0.45 * ((240 - p.y) / 480.0) - (p.z > 0 ? 0.1 : 0.0); });
    return m;
}

sample_mesh hook_mesh(const mesh_kit& k) {
    sample_mesh m = k.start();
    // A ceiling plate and a rod, high above the root so that the whole lantern is framed around it.
    m.box({-60, -250, -60}, {60, -230, 60}, k.all(k.tex(k.t.metal, shiny)));
    m.box({-10, -230, -10}, {10, -170, 10}, k.all(k.tex(k.t.metal, shiny)));
    m.make_normals();
    return m;
}

sample_mesh link_mesh(const mesh_kit& k) {
    sample_mesh m = k.start();
    m.box({-12, 0, -4}, {12, 80, 4}, k.all(k.paint(k.colours.dark, k.t.metal)));
    m.make_normals();
    return m;
}

sample_mesh lantern_mesh(const mesh_kit& k) {
    sample_mesh m = k.start();
    const surface metal = k.tex(k.t.metal, shiny);
    const surface glow = k.tex(k.t.flame[0], 1);
    // Four glass sides showing the flame, a metal base and a pyramid roof.
    m.box({-90, 40, -90}, {90, 220, 90}, {glow, glow, glow, glow, metal, metal});
    m.box({-110, 220, -110}, {110, 250, 110}, k.all(metal));
    const vec3 apex{0, -40, 0};
    const int h = 110, y = 40;
    m.tri(apex, {h, y, -h}, {-h, y, -h}, k.tex(k.t.metal_tri, shiny));
    m.tri(apex, {h, y, h}, {h, y, -h}, k.tex(k.t.metal_tri, shiny));
    m.tri(apex, {-h, y, h}, {h, y, h}, k.tex(k.t.metal_tri, shiny));
    m.tri(apex, {-h, y, -h}, {-h, y, h}, k.tex(k.t.metal_tri, shiny));
    m.make_normals();
    return m;
}

// Static props carry vertex lights: lit from above, a little darker on the far side.
auto top_light(int height) {
    return [height](vec3 p) {
        return std::clamp(0.45 + 0.55 * (-p.y / double(height)) - (p.z > 0 ? 0.08 : 0.0), 0.3, 1.0);
    };
}

sample_mesh pillar_mesh(const mesh_kit& k) {
    sample_mesh m = k.start();
    const auto& t = k.t;
    m.box({-200, -120, -200}, {200, 0, 200}, k.all(k.tex(t.flagstones)));
    m.box({-120, -1100, -120}, {120, -120, 120}, k.all(k.tex(t.bricks)));
    m.box({-200, -1240, -200}, {200, -1100, 200}, k.all(k.tex(t.coffer)));
    m.make_lights(k.game, top_light(1240));
    return m;
}

sample_mesh plant_mesh(const mesh_kit& k) {
    sample_mesh m = k.start();
    const auto& t = k.t;
    // A sandstone pot; its soil and its foot are plain coloured faces in TR1 to TR3.
    const surface pot = k.tex(t.sand), soil = k.paint(k.colours.soil, t.grass);
    m.box({-120, -220, -120}, {120, 0, 120},
          {pot, pot, pot, pot, soil, k.paint(k.colours.terracotta, t.sand)});
    // Two crossed leafy planes, each with a front and a (mirrored) back so both sides show.
    const int top = -760, bottom = -200, w = 260;
    const surface front = k.tex(t.leaves), back = k.tex(t.leaves_mirrored);
    m.quad({-w, top, 0}, {w, top, 0}, {w, bottom, 0}, {-w, bottom, 0}, front);
    m.quad({w, top, 1}, {-w, top, 1}, {-w, bottom, 1}, {w, bottom, 1}, back);
    m.quad({0, top, w}, {0, top, -w}, {0, bottom, -w}, {0, bottom, w}, front);
    m.quad({1, top, -w}, {1, top, w}, {1, bottom, w}, {1, bottom, -w}, back);
    m.make_lights(k.game, top_light(760));
    return m;
}

sample_mesh letter_cube_mesh(const mesh_kit& k) {
    sample_mesh m = k.start();
    const auto& t = k.t;
    const int s = 200, y0 = -400, y1 = 0;
    // Sides lettered A, Q (mirrored left-right), R (mirrored top-bottom), S (mirrored both ways).
    m.quad({-s, y0, -s}, {s, y0, -s}, {s, y1, -s}, {-s, y1, -s}, k.tex(t.checker[0]));
    m.quad({s, y0, s}, {-s, y0, s}, {-s, y1, s}, {s, y1, s}, k.tex(t.checker_mirror_x));
    m.quad({-s, y0, s}, {-s, y0, -s}, {-s, y1, -s}, {-s, y1, s}, k.tex(t.checker_mirror_y));
    m.quad({s, y0, -s}, {s, y0, s}, {s, y1, s}, {s, y1, -s}, k.tex(t.checker_mirror_xy, shiny));
    // Top: tile T as two triangles; bottom: two plain triangles.
    m.tri({-s, y0, s}, {s, y0, s}, {-s, y0, -s}, k.tex(t.checker_halves[0]));
    m.tri({s, y0, s}, {s, y0, -s}, {-s, y0, -s}, k.tex(t.checker_halves[1]));
    m.tri({s, y1, s}, {-s, y1, s}, {s, y1, -s}, k.paint(k.colours.dark, t.stone_tri));
    m.tri({-s, y1, s}, {-s, y1, -s}, {s, y1, -s}, k.paint(k.colours.dark, t.stone_tri));
    m.make_lights(k.game, top_light(400));
    return m;
}

sample_mesh obelisk_mesh(const mesh_kit& k) {
    sample_mesh m = k.start();
    const auto& t = k.t;
    m.box({-110, -1000, -110}, {110, 0, 110}, k.all(k.tex(t.mossy_stone)));
    const vec3 apex{0, -1300, 0};
    const int h = 110, y = -1000;
    m.tri(apex, {h, y, -h}, {-h, y, -h}, k.tex(t.stone_tri));
    m.tri(apex, {h, y, h}, {h, y, -h}, k.tex(t.stone_tri_mirrored));
    m.tri(apex, {-h, y, h}, {h, y, h}, k.tex(t.stone_tri));
    m.tri(apex, {-h, y, -h}, {-h, y, h}, k.tex(t.stone_tri_mirrored));
    m.make_lights(k.game, top_light(1300));
    return m;
}

// A brass candelabrum: base, stem and crossbar, then two arms whose candles nest two levels deep
// in the mesh tree, and a middle candle. Its root sits low so that the view frames it whole.
std::vector<sample_mesh> candelabrum_meshes(const mesh_kit& k) {
    const surface brass = k.tex(k.t.metal, shiny), wax = k.paint(k.colours.wax, k.t.skin);
    std::vector<sample_mesh> out;
    auto add = [&](auto build) {
        sample_mesh m = k.start();
        build(m);
        m.make_normals();
        out.push_back(std::move(m));
    };
    add([&](sample_mesh& m) { m.box({-150, 350, -150}, {150, 410, 150}, k.all(brass)); }); // base
    add([&](sample_mesh& m) { m.box({-20, -400, -20}, {20, 0, 20}, k.all(brass)); });      // stem
    add([&](sample_mesh& m) { m.box({-300, -30, -25}, {300, 0, 25}, k.all(brass)); });     // crossbar
    add([&](sample_mesh& m) { m.box({-40, -40, -40}, {40, 0, 40}, k.all(brass)); });       // cup
    add([&](sample_mesh& m) {
        m.box({-18, -200, -18}, {18, 0, 18}, {wax, wax, wax, wax, wax, brass});
    });                       // candle
    add([&](sample_mesh& m) { // flame: two crossed planes, each seen from both sides
        const surface f = k.tex(k.t.candle_flame, 1);
        const int w = 30, top = -120;
        m.quad({-w, top, 0}, {w, top, 0}, {w, 0, 0}, {-w, 0, 0}, f);
        m.quad({w, top, 1}, {-w, top, 1}, {-w, 0, 1}, {w, 0, 1}, f);
        m.quad({0, top, w}, {0, top, -w}, {0, 0, -w}, {0, 0, w}, f);
        m.quad({1, top, -w}, {1, top, w}, {1, 0, w}, {1, 0, -w}, f);
    });
    add([&](sample_mesh& m) { m.box({-15, 0, -15}, {15, 40, 15}, k.all(brass)); }); // drop under the cup
    return out;
}

// Mesh-tree nodes of the candelabrum, one per mesh after the base; with the meshes used by each.
const std::vector<std::array<std::int32_t, 4>> candelabrum_tree{
    {0, 0, 350, 0},    // stem, standing on the base
    {0, 0, -400, 0},   // crossbar on top of the stem
    {2, -280, -30, 0}, // left cup: remember the crossbar
    {2, 0, -40, 0},    // left candle: remember the cup
    {0, 0, -200, 0},   // left flame
    {1, 0, 0, 0},      // drop: back to the cup
    {3, 280, -30, 0},  // right cup: back to the crossbar, remember it again
    {0, 0, -40, 0},    // right candle
    {0, 0, -200, 0},   // right flame
    {1, 0, -30, 0},    // middle candle: back to the crossbar
    {0, 0, -200, 0},   // middle flame
};
// Which candelabrum mesh each of its twelve mesh pointers designates.
const std::vector<int> candelabrum_parts{0, 1, 2, 3, 4, 5, 6, 3, 4, 5, 4, 5};

// ---- moveables, frames and animations -----------------------------------------------------------

struct moveable_plan {
    std::uint32_t object_id;
    std::vector<std::uint16_t> mesh_pointers; // consecutive entries of mesh_pointers
    std::vector<std::array<std::int32_t, 4>> tree;
    vec3 root_offset;
};

// Frame bounding box: every mesh placed along the tree from the root offset.
std::array<int, 6> frame_box(const moveable_plan& plan, const std::vector<const sample_mesh*>& meshes) {
    std::array<int, 6> box{1 << 30, -(1 << 30), 1 << 30, -(1 << 30), 1 << 30, -(1 << 30)};
    vec3 p = plan.root_offset;
    std::vector<vec3> stack;
    for (std::size_t i = 0; i < meshes.size(); ++i) {
        if (i > 0) {
            const auto& node = plan.tree[i - 1];
            if ((node[0] & 1) && !stack.empty()) {
                p = stack.back();
                stack.pop_back();
            }
            if (node[0] & 2) stack.push_back(p);
            p = p + vec3{node[1], node[2], node[3]};
        }
        vec3 lo, hi;
        mesh_bounds(*meshes[i], lo, hi);
        box = {std::min(box[0], p.x + lo.x), std::max(box[1], p.x + hi.x), std::min(box[2], p.y + lo.y),
               std::max(box[3], p.y + hi.y), std::min(box[4], p.z + lo.z), std::max(box[5], p.z + hi.z)};
    }
    return box;
}

void add_moveable(tr_level& level, const moveable_plan& plan, const std::vector<const sample_mesh*>& meshes) {
    const std::int32_t game = level.game_version;
    const std::uint32_t index = level.num_moveables;
    const std::uint32_t tree_index = level.num_mesh_trees;
    const std::uint32_t frame_offset = level.num_frames * 2;

    for (const auto& node : plan.tree)
        level.mesh_trees.insert(level.mesh_trees.end(), node.begin(), node.end());
    level.num_mesh_trees = std::uint32_t(level.mesh_trees.size());

    // One frame: bounding box, root offset, then a zero rotation for every mesh (TR1 counts them).
    const auto box = frame_box(plan, meshes);
    std::vector<std::int16_t> frame(box.begin(), box.end());
    frame.push_back(std::int16_t(plan.root_offset.x));
    frame.push_back(std::int16_t(plan.root_offset.y));
    frame.push_back(std::int16_t(plan.root_offset.z));
    if (game <= game_tr1_gold) frame.push_back(std::int16_t(meshes.size()));
    frame.insert(frame.end(), meshes.size() * 2, 0);
    level.frames.insert(level.frames.end(), frame.begin(), frame.end());
    level.num_frames = std::uint32_t(level.frames.size());

    // One looping animation holding that frame.
    const std::size_t anim = level.num_animations;
    if (game >= game_tr4) {
        rec<40> a{};
        put32(a, 0, frame_offset);
        a[4] = 1, a[5] = std::uint8_t(frame.size());
        put16(a, 28, int(anim)); // next animation: itself
        level.animations40.push_back(a);
    } else {
        rec<32> a{};
        put32(a, 0, frame_offset);
        a[4] = 1, a[5] = std::uint8_t(frame.size());
        put16(a, 20, int(anim));
        level.animations.push_back(a);
    }
    level.num_animations = std::uint32_t(anim + 1);

    rec<18> m{};
    put32(m, 0, plan.object_id);
    put16(m, 4, int(plan.mesh_pointers.size()));
    put16(m, 6, plan.mesh_pointers.front());
    put32(m, 8, tree_index);
    put32(m, 12, frame_offset);
    put16(m, 16, int(anim));
    level.moveables.push_back(m);
    rec<20> m20{};
    std::copy(m.begin(), m.end(), m20.begin());
    level.moveables20.push_back(m20);
    level.num_moveables = index + 1;
}

// A static mesh record: object id, mesh pointer, visibility box, collision box, flags.
rec<32> static_record(std::uint32_t id, std::uint16_t pointer, const sample_mesh& mesh, int collision_inset,
                      std::uint16_t flags) {
    vec3 lo, hi;
    mesh_bounds(mesh, lo, hi);
    rec<32> s{};
    put32(s, 0, id);
    put16(s, 4, pointer);
    const int vis[6] = {lo.x - 16, hi.x + 16, lo.y - 16, hi.y, lo.z - 16, hi.z + 16};
    const int col[6] = {lo.x + collision_inset, hi.x - collision_inset, lo.y, hi.y,
                        lo.z + collision_inset, hi.z - collision_inset};
    for (int i = 0; i < 6; ++i) {
        put16(s, 6 + 2 * i, vis[i]);
        put16(s, 18 + 2 * i, col[i]);
    }
    put16(s, 30, flags);
    return s;
}

// ---- pages and palettes -------------------------------------------------------------------------

std::string title_of(std::int32_t game) {
    switch (game) {
    case game_tr1:
        return "TR1";
    case game_tr1_gold:
        return "TR1 GOLD";
    case game_tr2:
        return "TR2";
    case game_tr2_gold:
        return "TR2 GOLD";
    case game_tr3:
        return "TR3";
    case game_tr4:
        return "TR4";
    default:
        return "TRC";
    }
}

sample_colours put_pages(tr_level& level) {
    const std::int32_t game = level.game_version;
    const auto pages = draw_sample_pages(title_of(game));
    level.num_pages = std::uint32_t(pages.size());
    level.pages8_size = level.num_pages * 65536;
    sample_colours colours;
    if (game < game_tr4) {
        const indexed_pages indexed = index_pages(pages);
        level.pages8 = indexed.pixels;
        level.palette8 = indexed.palette;
        level.light_map = light_map_of(indexed.palette);
        for (int i = 0; i < 256; ++i) {
            for (int ch = 0; ch < 3; ++ch)
                level.palette16[std::size_t(i * 4 + ch)] =
                    std::uint8_t(indexed.palette[std::size_t(i * 3 + ch)] * 4);
            level.palette16[std::size_t(i * 4 + 3)] = 0;
        }
        // TR2 and TR3 colour words hold the 16-bit palette index in their high byte.
        auto word = [&](int r, int g, int b) {
            const int i = nearest_index(indexed.palette, r, g, b);
            return game >= game_tr2 ? (i << 8) | i : i;
        };
        colours = {word(225, 180, 145), word(190, 95, 55), word(80, 55, 35), word(50, 45, 45),
                   word(240, 230, 200)};
    }
    if (game >= game_tr2) {
        level.pages16 = pages16_of(pages);
        level.pages16_size = std::uint32_t(level.pages16.size());
    }
    if (game >= game_tr4) {
        level.pages32 = pages32_of(pages);
        level.pages32_size = std::uint32_t(level.pages32.size());
        level.pages32_misc = pages32_of(draw_misc_pages());
        level.pages32_misc_size = std::uint32_t(level.pages32_misc.size());
        level.num_room_pages = 2;
        level.num_object_pages = 2;
        level.num_bump_pages = 0;
    }
    return colours;
}

// ---- sounds -------------------------------------------------------------------------------------

// A short decaying chime as a 16-bit mono PCM WAV file.
std::vector<std::uint8_t> chime_wav() {
    const int rate = 11025, count = rate / 6;
    std::vector<std::uint8_t> w(44 + std::size_t(count) * 2);
    std::size_t at = 0;
    auto u32 = [&](std::uint32_t v) {
        put_u32(&w[at], v);
        at += 4;
    };
    auto u16 = [&](std::uint16_t v) {
        put_u16(&w[at], v);
        at += 2;
    };
    auto tag = [&](const char* s) {
        for (int i = 0; i < 4; ++i)
            w[at++] = std::uint8_t(s[i]);
    };
    tag("RIFF");
    u32(36 + count * 2);
    tag("WAVE");
    tag("fmt ");
    u32(16), u16(1), u16(1), u32(rate), u32(rate * 2), u16(2), u16(16);
    tag("data");
    u32(count * 2);
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        const double v = std::exp(-t * 18) * (std::sin(2 * std::numbers::pi * 880 * t) +
                                              0.4 * std::sin(2 * std::numbers::pi * 1320 * t));
        u16(std::uint16_t(std::int16_t(v * 12000)));
    }
    return w;
}

void put_sounds(tr_level& level, vec3 source) {
    const std::int32_t game = level.game_version;
    level.sound_map.fill(0xFF);                  // every sound unused ...
    level.sound_map[0] = level.sound_map[1] = 0; // ... but the first, which plays detail 0
    // Only the version's part of the map is in the file; the rest stays zero.
    const std::size_t used = game <= game_tr1_gold ? 512 : game <= game_tr4 ? 740 : 900;
    std::fill(level.sound_map.begin() + std::ptrdiff_t(used), level.sound_map.end(), 0);
    level.set_num_sound_details(1);
    auto& d = level.sound_details[0];
    put16(d, 0, 0);
    if (game >= game_tr3) {
        d[2] = 200, d[3] = 10, d[4] = 0, d[5] = 0; // volume, range, chance, pitch
        put16(d, 6, 1 << 2);                       // one sample
    } else {
        put16(d, 2, 0x6000);
        put16(d, 4, 0);
        put16(d, 6, 1 << 2);
    }
    level.set_num_sample_indices(1);
    level.sample_indices[0] = 0;
    const auto wav = chime_wav();
    if (game <= game_tr1_gold) {
        level.samples = wav; // the block the sample index points into
    } else if (game >= game_tr4) {
        // After the level data: the sample count, then each sample's sizes and its WAV file.
        rec<12> head{};
        put32(head, 0, 1);
        put32(head, 4, wav.size());
        put32(head, 8, wav.size());
        level.samples.assign(head.begin(), head.end());
        level.samples.insert(level.samples.end(), wav.begin(), wav.end());
    }
    level.samples_size = std::uint32_t(level.samples.size());

    level.set_num_sound_sources(1);
    auto& s = level.sound_sources[0];
    put32(s, 0, source.x), put32(s, 4, source.y), put32(s, 8, source.z);
    put16(s, 12, 0), put16(s, 14, 0x80);
}

// ---- entities, cameras and sprites --------------------------------------------------------------

void put_entities(tr_level& level, const std::vector<std::pair<std::uint16_t, vec3>>& placed,
                  const std::vector<std::uint16_t>& rooms) {
    const std::int32_t game = level.game_version;
    level.set_num_entities(std::uint32_t(placed.size()));
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const auto [type, at] = placed[i];
        if (game <= game_tr1_gold) {
            auto& e = level.entities22[i];
            put16(e, 0, type), put16(e, 2, rooms[i]);
            put32(e, 4, at.x), put32(e, 8, at.y), put32(e, 12, at.z);
            put16(e, 16, 0), put16(e, 18, 0xFFFF), put16(e, 20, 0);
        } else {
            auto& e = level.entities[i];
            put16(e, 0, type), put16(e, 2, rooms[i]);
            put32(e, 4, at.x), put32(e, 8, at.y), put32(e, 12, at.z);
            put16(e, 16, 0);
            put16(e, 18, game >= game_tr4 ? 0 : 0xFFFF);
            put16(e, 20, game >= game_tr4 ? 0 : 0xFFFF);
            put16(e, 22, 0);
        }
    }
    if (game <= game_tr1_gold)
        level.mirror_entities_from22();
    else
        level.mirror_entities_from24();
}

void put_sprites(tr_level& level) {
    // The tree picture as a sprite with its sequence.
    const page_rect r = sample_art::tree;
    level.set_num_sprite_textures(1);
    auto& s = level.sprite_textures[0];
    put16(s, 0, r.page);
    s[2] = std::uint8_t(r.x), s[3] = std::uint8_t(r.y);
    put16(s, 4, (r.w - 1) * 256 + 255), put16(s, 6, (r.h - 1) * 256 + 255);
    put16(s, 8, -512), put16(s, 10, -1024), put16(s, 12, 512), put16(s, 14, 0);
    level.set_num_sprite_sequences(1);
    auto& q = level.sprite_sequences[0];
    put32(q, 0, 180);
    put16(q, 4, -1); // one sprite
    put16(q, 6, 0);
}

} // namespace

std::vector<std::int32_t> sample_game_versions() {
    return {1, 2, 3, 4, 5, 6, 7};
}

std::string sample_file_name(std::int32_t game_version) {
    switch (game_version) {
    case game_tr1:
        return "sample_tr1.phd";
    case game_tr1_gold:
        return "sample_tr1gold.tub";
    case game_tr2:
        return "sample_tr2.tr2";
    case game_tr2_gold:
        return "sample_tr2gold.trg.tr2";
    case game_tr3:
        return "sample_tr3.tr2";
    case game_tr4:
        return "sample_tr4.tr4";
    case game_trc:
        return "sample_trc.trc";
    default:
        throw std::invalid_argument("no sample level for game code " + std::to_string(game_version));
    }
}

tr_level make_sample_level(std::int32_t game) {
    if (game < game_tr1 || game > game_trc)
        throw std::invalid_argument("no sample level for game code " + std::to_string(game));
    tr_level level;
    level.game_version = game;
    level.signature = loaded_signature;
    level.version_word = game <= game_tr1_gold   ? 0x00000020u
                         : game <= game_tr2_gold ? 0x0000002Du
                         : game == game_tr3      ? 0xFF180038u
                                                 : 0x00345254u;
    if (game >= game_tr4) {
        // TR4 stores the three letters; TRC adds a zero byte.
        level.tex_marker = {'T', 'E', 'X', 0};
        level.spr_marker = {'S', 'P', 'R', 0};
        level.anim_uv_count = 0;
    }

    const sample_colours colours = put_pages(level);
    const sample_textures t = make_textures(level);

    // Animated textures: the water frames and the flame frames.
    level.animated_textures = {2, 3,          t.water[0], t.water[1], t.water[2], t.water[3],
                               3, t.flame[0], t.flame[1], t.flame[2], t.flame[3]};
    level.num_animated_textures = std::uint32_t(level.animated_textures.size());

    // Meshes, in mesh-pointer order; the chain link, the crate and the candelabrum's repeated parts are
    // designated more than once.
    const mesh_kit kit{t, colours, game};
    const auto figure = figure_meshes(kit);
    const sample_mesh crate = crate_mesh(kit), hook = hook_mesh(kit), link = link_mesh(kit),
                      lantern = lantern_mesh(kit), pillar = pillar_mesh(kit), plant = plant_mesh(kit),
                      cube = letter_cube_mesh(kit), obelisk = obelisk_mesh(kit);
    level.mesh_words.clear();
    level.mesh_pointers.clear();
    for (const auto& m : figure)
        level.mesh_pointers.push_back(encode_mesh(m, game, level.mesh_words));
    const std::uint32_t crate_at = encode_mesh(crate, game, level.mesh_words);
    level.mesh_pointers.push_back(crate_at);                                  // 11
    level.mesh_pointers.push_back(encode_mesh(hook, game, level.mesh_words)); // 12
    const std::uint32_t link_at = encode_mesh(link, game, level.mesh_words);
    level.mesh_pointers.push_back(link_at);                                      // 13
    level.mesh_pointers.push_back(link_at);                                      // 14
    level.mesh_pointers.push_back(encode_mesh(lantern, game, level.mesh_words)); // 15
    level.mesh_pointers.push_back(encode_mesh(pillar, game, level.mesh_words));  // 16
    level.mesh_pointers.push_back(encode_mesh(plant, game, level.mesh_words));   // 17
    level.mesh_pointers.push_back(encode_mesh(cube, game, level.mesh_words));    // 18
    level.mesh_pointers.push_back(encode_mesh(obelisk, game, level.mesh_words)); // 19
    level.mesh_pointers.push_back(crate_at);                                     // 20
    const auto candelabrum = candelabrum_meshes(kit);
    std::vector<std::uint32_t> candelabrum_at;
    for (const auto& m : candelabrum)
        candelabrum_at.push_back(encode_mesh(m, game, level.mesh_words));
    for (int part : candelabrum_parts)
        level.mesh_pointers.push_back(candelabrum_at[std::size_t(part)]); // 21-32
    level.num_mesh_words = std::uint32_t(level.mesh_words.size());
    level.num_mesh_pointers = std::uint32_t(level.mesh_pointers.size());

    // Moveables: the figure, the crate, the lantern on its chain and the candelabrum.
    level.set_num_moveables(0);
    level.set_num_mesh_trees(0);
    level.set_num_frames(0);
    level.set_num_animations(0);
    constexpr std::uint32_t figure_id = 0, crate_id = 350, lantern_id = 351, candelabrum_id = 352;
    std::vector<const sample_mesh*> figure_ptrs;
    for (const auto& m : figure)
        figure_ptrs.push_back(&m);
    add_moveable(level, {figure_id, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, figure_tree, {0, -450, 0}},
                 figure_ptrs);
    add_moveable(level, {crate_id, {11}, {}, {0, -240, 0}}, {&crate});
    add_moveable(level,
                 {lantern_id, {12, 13, 14, 15}, {{0, 0, -170, 0}, {0, 0, 80, 0}, {0, 0, 80, 0}}, {0, 250, 0}},
                 {&hook, &link, &link, &lantern});
    std::vector<std::uint16_t> candelabrum_pointers;
    std::vector<const sample_mesh*> candelabrum_ptrs;
    for (std::size_t i = 0; i < candelabrum_parts.size(); ++i) {
        candelabrum_pointers.push_back(std::uint16_t(21 + i));
        candelabrum_ptrs.push_back(&candelabrum[std::size_t(candelabrum_parts[i])]);
    }
    add_moveable(level, {candelabrum_id, candelabrum_pointers, candelabrum_tree, {0, -410, 0}},
                 candelabrum_ptrs);

    // Static meshes: pillar, plant, letter cube, obelisk, and the crate as a prop.
    const std::vector<std::uint32_t> static_ids{10, 0, 20, 21, 30};
    level.static_meshes = {
        static_record(static_ids[0], 16, pillar, 80, 2), static_record(static_ids[1], 17, plant, 140, 3),
        static_record(static_ids[2], 18, cube, 0, 2), static_record(static_ids[3], 19, obelisk, 0, 2),
        static_record(static_ids[4], 20, crate, 0, 2)};
    level.num_static_meshes = std::uint32_t(level.static_meshes.size());

    make_rooms(level, t, static_ids);
    level.set_num_floor_data(1);

    const vec3 hall = room_centre(level, 0), gallery = room_centre(level, 1), garden = room_centre(level, 2);
    put_entities(level,
                 {{std::uint16_t(figure_id), {hall.x - 1024, 0, hall.z + 1024}},
                  {std::uint16_t(crate_id), {gallery.x + 1024, 0, gallery.z - 512}},
                  {std::uint16_t(lantern_id), {garden.x, -2048, garden.z}},
                  {std::uint16_t(candelabrum_id), {gallery.x - 1536, 0, gallery.z + 512}}},
                 {0, 1, 2, 1});

    level.set_num_cameras(1);
    auto& camera = level.cameras[0]; // in the hall, looking at the pyramid
    put32(camera, 0, hall.x);
    put32(camera, 4, -1024);
    put32(camera, 8, hall.z - 1536);
    put16(camera, 12, 0);

    put_sprites(level);
    put_sounds(level, {garden.x, -1024, garden.z});
    return level;
}

std::vector<std::string> write_sample_levels(const std::string& directory) {
    std::vector<std::string> written;
    for (std::int32_t game : sample_game_versions()) {
        tr_level level = make_sample_level(game);
        const std::string path = (std::filesystem::path(directory) / sample_file_name(game)).string();
        if (write_level(level, path) != write_ok) throw level_error("could not write " + path);
        written.push_back(path);
    }
    return written;
}
