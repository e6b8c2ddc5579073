// Fuzz target: bytes read as a level (the first byte picks the file name, and so the version);
// whatever reads is put through the save path (mesh list built and rebuilt, written to memory)
// and read again. Nothing may crash, and the re-read level has the same counts.
#include "level_reader.h"
#include "level_writer.h"
#include "mesh_list.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "roundtrip_fuzz: %s\n", what);
    std::abort();
}

void same_counts(const tr_level& a, const tr_level& b) {
#define SAME(f)                                                                                              \
    if (a.f != b.f) fail("the re-read level differs in " #f);
    SAME(game_version)
    SAME(num_rooms)
    SAME(num_floor_data) SAME(num_mesh_words) SAME(num_mesh_pointers) SAME(num_animations)
        SAME(num_state_changes) SAME(num_anim_dispatches) SAME(num_anim_commands) SAME(num_mesh_trees)
            SAME(num_frames) SAME(num_moveables) SAME(num_static_meshes) SAME(num_object_textures)
                SAME(num_sprite_textures) SAME(num_sprite_sequences) SAME(num_cameras) SAME(num_flyby_cameras)
                    SAME(num_sound_sources) SAME(num_boxes) SAME(num_overlaps) SAME(num_zones) SAME(
                        num_animated_textures) SAME(num_entities) SAME(num_ai_objects) SAME(num_demo_data)
                        SAME(num_sound_details) SAME(num_sample_indices) SAME(num_pages) SAME(samples_size)
                            SAME(sound_block_raw) for (std::size_t i = 0;
                                                       i < a.rooms.size() && i < b.rooms.size(); ++i) {
        SAME(rooms[i].num_vertices)
        SAME(rooms[i].num_rectangles) SAME(rooms[i].num_triangles) SAME(rooms[i].num_portals)
            SAME(rooms[i].num_lights) SAME(rooms[i].num_room_statics) SAME(rooms[i].num_z_sectors)
                SAME(rooms[i].num_x_sectors) if (a.game_version != game_trc) {
            SAME(rooms[i].num_sprites)
        }
    }
#undef SAME
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const char* const names[] = {"f.phd", "f.tub", "f.tr2", "f.tr4", "f.trc"};
    const std::string name = names[data[0] % 5];
    std::vector<std::uint8_t> file(data + 1, data + size);

    tr_level level;
    if (read_level_memory(level, std::move(file), name) != read_ok) return 0;
    const tr_level as_read = level;

    std::vector<std::uint8_t> saved;
    try {
        mesh_list list;
        build_mesh_list(list, level);
        rebuild_mesh_words(list, level);
        saved = write_level_memory(level, name);
    } catch (const level_error&) {
        return 0; // refused with a message: meshes that do not parse, or counts the file cannot hold
    }

    tr_level reread;
    std::string error;
    if (read_level_memory(reread, saved, name, &error) != read_ok) {
        std::fprintf(stderr, "roundtrip_fuzz: %s\n", error.c_str());
        fail("the re-saved level does not read back");
    }
    // The mesh words are rebuilt (fillers, trailing data) and the TRC rooms merged into one layer,
    // so compare against the level as it was written.
    same_counts(level, reread);
    if (level.game_version != game_trc && as_read.num_rooms != reread.num_rooms) fail("room count changed");
    return 0;
}
