// Refusals of the mesh exchange are named messages: a user who chose another language reads the
// whole refusal in it, the parts nested inside it and the file's own values included.
#include "dxf_import.h"
#include "languages.h"
#include "message_texts.h"
#include "scene_files.h"
#include "scene_import.h"
#include "text_source.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

lng_catalogue language_texts(std::size_t index) {
    return read_text_source(VELLUM_LANGUAGE_TEXTS, languages[index]).value_or(text_source_result{}).catalogue;
}

} // namespace

TEST(ExchangeMessages, RefusalsAreShownWhollyInTheChosenLanguage) {
    namespace fs = std::filesystem;
    const fs::path empty =
        fs::temp_directory_path() / ("vellum_empty_" + std::to_string(::getpid()) + ".glb");
    std::ofstream(empty).close();
    exchange_scene untextured;
    untextured.nodes.push_back({"mesh_0000", -1, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0}, {0}});
    untextured.meshes.push_back({{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {}, {}, {}, {{3, {0, 1, 2, 0}, 0}}});
    std::vector<tobject_texture> added;
    imported_face pentagon;
    pentagon.corners = 5;

    struct case_t {
        user_message message;
        std::string english, german;
    };
    const case_t cases[] = {
        {mesh_from_dxf(parse_dxf("0\nSECTION\n2\nENTITIES\n0\n3DFACE\n10\n1,5\n"), {}, false).error,
         "Line 8 of the DXF file: \"1,5\" is not a number. The mesh is unchanged.",
         "Zeile 8 der DXF-Datei: \"1,5\" ist keine Zahl. Das Mesh bleibt unverändert."},
        {read_scene_file(empty.string()).error, "The file " + empty.string() + " is empty.",
         "Die Datei " + empty.string() + " ist leer."},
        {faces_of_node(untextured, 0, tr_level{}, {}, added).error,
         "The material \"(none)\" names no texture: materials are named TEXTUR_nnnn (or COLOUR_nnnnn for "
         "coloured faces).",
         "Das Material „(keines)“ nennt keine Textur: Materialien heißen TEXTUR_nnnn (oder COLOUR_nnnnn für "
         "farbige Flächen)."},
        {rebuild_mesh({}, {pentagon}, {}).error,
         "The file has a face with 5 corners; only triangles and quadrilaterals can be imported. The mesh is "
         "unchanged.",
         "Die Datei hat eine Fläche mit 5 Ecken; nur Dreiecke und Vierecke können importiert werden. Das "
         "Mesh "
         "bleibt unverändert."},
        {write_scene_file({}, "model.fbx"),
         "Cannot write model.fbx: the name must end in .glb, .gltf or .obj.",
         "model.fbx kann nicht geschrieben werden: Der Name muss auf .glb, .gltf oder .obj enden."},
    };
    fs::remove(empty);
    std::vector<lng_catalogue> others;
    for (std::size_t i = 0; i < language_count; ++i)
        if (i != english_us_index && i != 1) others.push_back(language_texts(i)); // 1: English (UK)
    const lng_catalogue de = language_texts(3);
    for (const auto& [message, english, german] : cases) {
        EXPECT_EQ(message.english, english);
        EXPECT_EQ(shown_message(&de, message), german) << english;
        for (const lng_catalogue& other : others)
            EXPECT_NE(shown_message(&other, message), english) << "language " << other.language_id;
    }
}
