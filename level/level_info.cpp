// Section summary of a level in file order, with the record sizes of its game version.
#include "level_info.h"

std::vector<section_info> describe_sections(const tr_level& lv) {
    const int g = lv.game_version;
    const bool tr1 = g <= game_tr1_gold, modern = g >= game_tr4;
    std::vector<section_info> s;
    auto add = [&](const char* name, std::uint64_t count, std::uint64_t size) {
        s.push_back({name, count, size});
    };

    std::uint64_t room_vertices = 0, room_rects = 0, room_tris = 0;
    for (const auto& r : lv.rooms) {
        room_vertices += r.num_vertices;
        room_rects += r.num_rectangles;
        room_tris += r.num_triangles;
    }
    add("rooms", lv.num_rooms, 0);
    add("room vertices", room_vertices, tr1 ? 8 : (g == game_trc ? 28 : 12));
    add("room rectangles", room_rects, g == game_trc ? 12 : 10);
    add("room triangles", room_tris, g == game_trc ? 10 : 8);
    add("floor data", lv.num_floor_data, 2);
    add("mesh data", lv.num_mesh_words, 2);
    add("mesh pointers", lv.num_mesh_pointers, 4);
    add("animations", lv.num_animations, modern ? 40 : 32);
    add("state changes", lv.num_state_changes, 6);
    add("animation dispatches", lv.num_anim_dispatches, 8);
    add("animation commands", lv.num_anim_commands, 2);
    add("mesh trees", lv.num_mesh_trees, 4);
    add("frames", lv.num_frames, 2);
    add("moveables", lv.num_moveables, g == game_trc ? 20 : 18);
    add("static meshes", lv.num_static_meshes, 32);
    add("object textures", lv.num_object_textures, g == game_trc ? 40 : (g == game_tr4 ? 38 : 20));
    add("sprite textures", lv.num_sprite_textures, 16);
    add("sprite sequences", lv.num_sprite_sequences, 8);
    add("cameras", lv.num_cameras, 16);
    if (modern) add("flyby cameras", lv.num_flyby_cameras, 40);
    add("sound sources", lv.num_sound_sources, 16);
    add("boxes", lv.num_boxes, tr1 ? 20 : 8);
    add("overlaps", lv.num_overlaps, 2);
    add("zones", lv.num_zones, tr1 ? 12 : 20);
    add("animated textures", lv.num_animated_textures, 2);
    add("entities", lv.num_entities, tr1 ? 22 : 24);
    add(modern ? "AI objects" : "cinematic frames", lv.num_ai_objects, modern ? 24 : 16);
    add("demo data", lv.num_demo_data, 1);
    add("sound details", lv.num_sound_details, 8);
    add("samples", lv.samples_size, 1);
    add("sample indices", lv.num_sample_indices, 4);
    return s;
}
