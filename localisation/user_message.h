// Messages for the user, named rather than worded. The code that makes a message names it by
// key and hands over its values; the English (US) wording is filled in at once (the command line
// prints it), and the windows show the same message in the chosen language by looking the key up
// in the [TMessages] section of the language files. Nothing is ever matched by its English text.
//
// Adding a message: one line in VELLUM_MESSAGES below (name, key, English with %1..%9), and one
// line `KEY.Caption = ...` in [TMessages] of every file in localisation/texts/. Make it with
// say(msg::name, {values...}); a value may itself be a message, shown in the same language.
// A text with no key (a reason reported by the system or a file format library) converts
// implicitly and is shown as it is.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// name, key in [TMessages], English (US) wording.
#define VELLUM_MESSAGES(X)                                                                                   \
    X(opengl_missing, "OpenGLMissing", "OPENGL drivers not found!")                                          \
    X(screen_big_fonts, "ScreenBigFonts",                                                                    \
      "WARNING: You are running Vellum in 800x600 resolution and Big Fonts (120 dpi). Please decrease the "  \
      "Fonts Size (96 dpi) or Increase the Screen Resolution (1024x768 pixels). Then you can work "          \
      "comfortably with Vellum.")                                                                            \
    X(screen_too_small, "ScreenTooSmall",                                                                    \
      "WARNING: Vellum MUST run in 800x600 or higher resolution. Then you can work comfortably with "        \
      "Vellum.")                                                                                             \
    X(screen_font_size, "ScreenFontSize",                                                                    \
      "WARNING: Please set your Fonts Size to SMALL(96 dpi) or BIG(120 dpi). Then you can work comfortably " \
      "with Vellum.")                                                                                        \
    X(file_not_found, "FileNotFound", "File not found!!!")                                                   \
    X(overwrite_question, "OverwriteQuestion", "The File %1 Already Exists. Overwrite It?")                  \
    X(intensity_alpha_old_game, "IntensityAlphaOldGame",                                                     \
      "Intensity Alpha (Semi-transparent Texture Attrib) is just available from TR3 to TRC.")                \
    X(bitmap_pages_size, "BitmapPagesSize", "This Bitmap should be 256*%1 pixels.")                          \
    X(bitmap_piece_size, "BitmapPieceSize", "Bitmap Width must be: %1, and Height must be: %2")              \
    X(texture_page_size, "TexturePageSize",                                                                  \
      "Texture Page must be 256 pixels width, and 256x pixels height!!")                                     \
    X(shiny_static_mesh, "ShinyStaticMesh", "Shinny Effect cannot be aplied to Static Meshes!!")             \
    X(shiny_old_game, "ShinyOldGame", "Shinny Effect Just available for TR4 and TRC!!")                      \
    X(remap_needs_mesh, "RemapNeedsMesh", "WARNING: To remap vertices you must select a MESH!!")             \
    X(dxf_needs_mesh, "DxfNeedsMesh", "You have to select a Mesh!")                                          \
    X(dxf_coloured_faces, "DxfColoredFaces",                                                                 \
      "This Mesh has Colored Faces. Do you want to convert Colored to Textured faces before exporting? ")    \
    X(dxf_not_correct, "DxfNotCorrect", "WARNING: The DXF file will not be exported correctly.")             \
    X(dxf_no_textured_face, "DxfNoTexturedFace", "ERROR: This Mesh does not have any Textured Face!!")       \
    X(language_damaged, "LanguageDamaged",                                                                   \
      "The language file %1 is damaged; the texts read before the damage are kept.")                         \
    X(loading_level, "LoadingLevel", "Loading Level...")                                                     \
    X(loading_named_level, "LoadingNamedLevel", "Loading \"%1\" Level")                                      \
    X(saving_level, "SavingLevel", "Saving Level...")                                                        \
    X(please_wait, "PleaseWait", "Please Wait.")                                                             \
    X(please_wait_title, "PleaseWaitTitle", "Please Wait...")                                                \
    X(working, "Working", "Working...")                                                                      \
    X(building_texture_table, "BuildingTextureTable", "Building Texture Table...")                           \
    X(loading_gl_textures, "LoadingGLTextures", "Loading Textures in OpenGL Buffers...")                     \
    X(loading_new_gl_textures, "LoadingNewGLTextures", "Loading New Textures in OpenGL buffers...")          \
    X(building_meshes, "BuildingMeshes", "Building Object Meshes...")                                        \
    X(reading_catalogue, "ReadingCatalogue", "Reading TRcatalog.xml File...")                                \
    X(building_movables, "BuildingMovables", "Building Movables TreeView...")                                \
    X(building_statics, "BuildingStatics", "Building Static Meshes TreeView...")                             \
    X(reading_bitmap, "ReadingBitmap", "Reading Bitmap and Updating Texture_Table...")                       \
    X(movables, "Movables", "Movables")                                                                      \
    X(static_meshes, "StaticMeshes", "Static Meshes")                                                        \
    X(mesh_number, "MeshNumber", "Mesh # %1")                                                                \
    X(static_mesh_number, "StaticMeshNumber", "Static Mesh# %1")                                             \
    X(unknown_moveable, "UnknownMoveable", "Unknown")                                                        \
    X(page_item, "PageItem", "Page#%1")                                                                      \
    X(texture_item, "TextureItem", "Texture#%1")                                                             \
    X(textures_group, "TexturesGroup", "\"%1\" Textures")                                                    \
    X(animated_range_item, "AnimatedRangeItem", "Animated Texture #%1")                                      \
    X(animated_texture_item, "AnimatedTextureItem", "Texture ID:%1")                                         \
    X(animated_texture_missing, "AnimatedTextureMissing", "Texture ID:%1 (not in this level)")               \
    X(visibility_box, "VisibilityBox", "Visibility")                                                         \
    X(collision_box, "CollisionBox", "Colision")                                                             \
    X(number_of_vertex, "NumberOfVertex",                                                                    \
      "Number of Vertex: %1;     Width: %2;     Height: %3;     Depth: %4")                                  \
    X(polygon_number, "PolygonNumber", "Polygon # %1")                                                       \
    X(polygon_quad, "PolygonQuad", "Polygon type: Quad")                                                     \
    X(polygon_triangle, "PolygonTriangle", "Polygon type: Triangle")                                         \
    X(colored_polygon, "ColoredPolygon", "Colored Polygon!")                                                 \
    X(vertex_number, "VertexNumber", "Vertex # %1")                                                          \
    X(level_filter, "LevelFilter", "All Tomb Raider Files")                                                  \
    X(bitmap_filter, "BitmapFilter", "BMP files")                                                            \
    X(dxf_save_filter, "DxfSaveFilter", "DFX file")                                                          \
    X(dxf_open_filter, "DxfOpenFilter", "DFX files")                                                         \
    X(open_title, "OpenTitle", "Open")                                                                       \
    X(save_as_title, "SaveAsTitle", "Save As")                                                               \
    X(not_a_level, "NotALevel",                                                                              \
      "%1 is not a Tomb Raider level file (its first word is not a known version word).")                    \
    X(cannot_open, "CannotOpen", "Cannot open %1: %2")                                                       \
    X(no_level_to_save, "NoLevelToSave", "There is no level to save.")                                       \
    X(level_not_saved, "LevelNotSaved", "The level was not saved. %1")                                       \
    X(unsaved_changes, "UnsavedChanges", "The level %1 has unsaved changes. Save them first?")               \
    X(saved, "Saved", "Saved %1")                                                                            \
    X(catalogue_missing, "CatalogueMissing",                                                                 \
      "trcatalog.xml was not found beside the program: every moveable is listed as \"Unknown\".")            \
    X(settings_file_missing, "SettingsFileMissing",                                                          \
      "The settings file %1 is missing or unreadable: using 24 colour bits and a black background. It will " \
      "be created when a setting is saved.")                                                                 \
    X(no_level_open, "NoLevelOpen", "There is no level open.")                                               \
    X(no_level_is_open, "NoLevelIsOpen", "No level is open.")                                                \
    X(select_texture_first, "SelectTextureFirst", "Select a texture first.")                                 \
    X(unknown_attribute, "UnknownAttribute", "Unknown texture attribute.")                                   \
    X(select_object_first, "SelectObjectFirst", "Select a Movable, Mesh or Static Mesh first.")              \
    X(select_page_first, "SelectPageFirst", "Select a texture page first.")                                  \
    X(mark_rectangle_first, "MarkRectangleFirst",                                                            \
      "Mark a rectangle on the page first: hold SHIFT and drag from its top-left to its bottom-right "       \
      "corner.")                                                                                             \
    X(no_object_textures, "NoObjectTextures", "The level has no object textures to apply.")                  \
    X(no_texture_selected, "NoTextureSelected", "No texture is selected in the texture list.")               \
    X(no_such_texture, "NoSuchTexture", "Texture# %1 does not exist: the level has %2 object textures.")     \
    X(cannot_convert, "CannotConvert", "Mesh # %1 cannot be converted:%2 Nothing was changed.")              \
    X(too_many_rectangles, "TooManyRectangles", " %1 textured + %2 colored rectangles = %3, more than %4.")  \
    X(too_many_triangles, "TooManyTriangles", " %1 textured + %2 colored triangles = %3, more than %4.")     \
    X(no_such_vertex, "NoSuchVertex", "This mesh has %1 vertices, numbered 0 to %2: there is no vertex %3.") \
    X(dxf_texture_beyond, "DxfTextureBeyond",                                                                \
      "The DXF file puts faces on texture %1, but the level has %2 textures. The mesh is unchanged.")        \
    X(bitmap_unreadable, "BitmapUnreadable", "Could not read the bitmap %1: %2")                             \
    X(bitmap_too_large, "BitmapTooLarge", "The bitmap %1 is too large.")                                     \
    X(bitmap_unusable, "BitmapUnusable", "The bitmap %1 cannot be used: %2.")                                \
    X(cannot_write, "CannotWrite", "Could not write %1: %2")                                                 \
    X(no_such_entry, "NoSuchEntry", "There is no %1.")                                                       \
    X(bitmap_empty, "BitmapEmpty", "The bitmap is empty.")                                                   \
    X(texture_off_page, "TextureOffPage", "%1 lies on a page the level does not have.")                      \
    X(no_texture_of_level, "NoTextureOfLevel",                                                               \
      "ERROR: The textured faces of this Mesh use no texture of this level.")                                \
    X(pages_incomplete, "PagesIncomplete", "The texture pages of this level are incomplete.")                \
    X(too_many_pages, "TooManyPages",                                                                        \
      "A TR4 or TRC level holds at most %1 texture pages: this level has %2 and the bitmap adds %3.")        \
    X(bitmap_page_shape, "BitmapPageShape",                                                                  \
      "The bitmap must be 256 pixels wide and a multiple of 256 pixels high.")                               \
    X(bitmap_more_pages, "BitmapMorePages", "The bitmap holds more pages than the level.")                   \
    X(step_apply_texture, "StepApplyTexture", "Apply Texture")                                               \
    X(step_rotate_texture, "StepRotateTexture", "Rotate Texture")                                            \
    X(step_cut_face, "StepCutFace", "Cut Face")                                                              \
    X(step_vertex_lights, "StepVertexLights", "Set Vertex Lights")                                           \
    X(step_texture_and_shine, "StepTextureAndShine", "Apply Texture and Shiny Effect")                       \
    X(step_shine, "StepShine", "Apply Shiny Effect")                                                         \
    X(step_shine_all, "StepShineAll", "Apply Shiny Effect to All Faces")                                     \
    X(step_convert_coloured, "StepConvertColored", "Convert Colored to Textured Faces")                      \
    X(step_retexture, "StepRetexture", "Retexture")                                                          \
    X(step_change_all_lights, "StepChangeAllLights", "Change All Lights")                                    \
    X(step_visibility_box, "StepVisibilityBox", "Visibility box")                                            \
    X(step_collision_box, "StepCollisionBox", "Colision box")                                                \
    X(step_static_flags, "StepStaticFlags", "Static mesh flags")                                             \
    X(step_automatic_bound, "StepAutomaticBound", "Automatic Bound")                                         \
    X(step_texture_attribute, "StepTextureAttribute", "Texture Attribute")                                   \
    X(step_flip_horizontal, "StepFlipHorizontal", "Flip Horizontal")                                         \
    X(step_flip_vertical, "StepFlipVertical", "Flip Vertical")                                               \
    X(step_define_mouse_selected, "StepDefineMouseSelected", "Define Mouse Selected")                        \
    X(step_intensity_alpha, "StepIntensityAlpha", "Apply Intensity Alpha")                                   \
    X(step_import_big_bmp, "StepImportBigBmp", "Import BigBMP")                                              \
    X(step_import_current, "StepImportCurrent", "Import and Replace Current")                                \
    X(step_import_and_replace, "StepImportAndReplace", "Import And Replace")                                 \
    X(step_import_pages, "StepImportPages", "Import Texture Pages")                                          \
    X(step_remap_vertices, "StepRemapVertices", "Remap Vertices")                                            \
    X(step_import_dxf, "StepImportDxf", "Import DXF")                                                        \
    X(too_many_pages_old_game, "TooManyPagesOldGame",                                                        \
      "A TR1 to TR3 level holds at most %1 texture pages: this level has %2 and the bitmap adds %3.")        \
    X(save_as_other_game, "SaveAsOtherGame",                                                                 \
      "The name %1 belongs to another game, which cannot load this level. Save it as %2 instead?")           \
    X(import_transparent_pixels, "ImportTransparentPixels",                                                  \
      "%1 pixels of the bitmap became transparent: black and magenta pixels are see-through in the games.")  \
    X(nothing_coloured, "NothingColoured",                                                                   \
      "The selection has no colored faces: there is nothing to convert.")                                    \
    X(undone_on_hidden_mesh, "UndoneOnHiddenMesh", "Undone on Mesh # %1, which is not shown.")               \
    X(redone_on_hidden_mesh, "RedoneOnHiddenMesh", "Redone on Mesh # %1, which is not shown.")               \
    X(lights_click_hint, "LightsClickHint",                                                                  \
      "CLICK: Light the corners,    ALT+CLICK: Rotate,    CTRL+CLICK: Get.")                                 \
    X(model_needs_selection, "ModelNeedsSelection", "Select a mesh, a moveable or a static mesh first.")     \
    X(no_faces_to_bound, "NoFacesToBound",                                                                   \
      "This static mesh has no faces to fit a box to; the box is unchanged.")                                \
    X(catalogue_tr4_list, "CatalogueTr4List",                                                                \
      "Moveables are named from the TR4 list of trcatalog.xml: this TRC file uses object ids that only TR4 " \
      "defines.")                                                                                            \
    X(step_import_mesh, "StepImportMesh", "Import Mesh")                                                     \
    X(model_glb_filter, "ModelGlbFilter", "glTF binary")                                                     \
    X(model_files_filter, "ModelFilesFilter", "3D models")                                                   \
    X(all_files_filter, "AllFilesFilter", "All files")                                                       \
    X(cannot_read_file, "CannotReadFile", "Cannot read the file %1.")                                        \
    X(file_empty, "FileEmpty", "The file %1 is empty.")                                                      \
    X(cannot_write_file, "CannotWriteFile", "Cannot write the file %1.")                                     \
    X(cannot_write_file_full, "CannotWriteFileFull", "Cannot write the file %1 (the disk may be full).")     \
    X(cannot_write_file_reason, "CannotWriteFileReason", "Cannot write the file %1: %2.")                    \
    X(model_name_extension, "ModelNameExtension",                                                            \
      "Cannot write %1: the name must end in .glb, .gltf or .obj.")                                          \
    X(model_unreadable, "ModelUnreadable", "The file %1 could not be read as a model.")                      \
    X(model_unreadable_reason, "ModelUnreadableReason", "The file %1 could not be read as a model: %2.")     \
    X(model_too_large, "ModelTooLarge", "The file %1 is too large for a mesh (%2 MB; at most %3 MB).")       \
    X(model_too_many_nodes, "ModelTooManyNodes",                                                             \
      "The file %1 has more than %2 nodes; at most that many can be imported.")                              \
    X(model_too_much_geometry, "ModelTooMuchGeometry",                                                       \
      "The file %1 has %2 vertices and %3 faces; far more than a mesh holds.")                               \
    X(glb_header_truncated, "GlbHeaderTruncated", "its binary glTF header is truncated")                     \
    X(glb_header_size, "GlbHeaderSize", "its binary glTF header claims %1 bytes, but the file has %2")       \
    X(glb_first_chunk, "GlbFirstChunk", "its first binary glTF chunk claims more bytes than the file has")   \
    X(glb_second_chunk, "GlbSecondChunk",                                                                    \
      "its second binary glTF chunk claims more bytes than the file has")                                    \
    X(scene_too_many_nodes, "SceneTooManyNodes", "The file has %1 nodes; at most %2 can be imported.")       \
    X(scene_too_much_geometry, "SceneTooMuchGeometry",                                                       \
      "The file has %1 vertices and %2 faces; far more than a mesh holds.")                                  \
    X(vertex_out_of_range, "VertexOutOfRange",                                                               \
      "The file has a vertex outside the range a level can hold (16-bit coordinates).")                      \
    X(face_corner_count, "FaceCornerCount",                                                                  \
      "The file has a face with %1 corners; only triangles and quadrilaterals can be imported.")             \
    X(corner_names_no_vertex, "CornerNamesNoVertex", "The file has a face corner that names no vertex.")     \
    X(unknown_material, "UnknownMaterial",                                                                   \
      "The material \"%1\" names no texture: materials are named TEXTUR_nnnn (or COLOUR_nnnnn for coloured " \
      "faces).")                                                                                             \
    X(no_material, "NoMaterial", "(none)")                                                                   \
    X(level_has_no_mesh, "LevelHasNoMesh", "The level has no mesh %1.")                                      \
    X(file_holds_no_faces, "FileHoldsNoFaces", "The file holds no faces.")                                   \
    X(no_object_named, "NoObjectNamed", "The file has %1 objects and none is named %2.")                     \
    X(no_moveable_with_meshes, "NoMoveableWithMeshes", "The level has no moveable %1 with meshes.")          \
    X(object_not_in_moveable, "ObjectNotInMoveable",                                                         \
      "The file's object \"%1\" is not a mesh of moveable %2 (objects are named after its meshes, such as "  \
      "%3).")                                                                                                \
    X(no_object_of_moveable, "NoObjectOfMoveable",                                                           \
      "The file holds no object named after a mesh of the moveable.")                                        \
    X(object_problem, "ObjectProblem", "%1: %2")                                                             \
    X(level_unchanged, "LevelUnchanged", "%1 The level is unchanged.")                                       \
    X(coloured_faces_new_game, "ColouredFacesNewGame",                                                       \
      "The file has coloured faces; TR4 and TRC meshes have none.")                                          \
    X(file_texture_beyond, "FileTextureBeyond",                                                              \
      "The file puts faces on texture %1, but the level has %2 textures.")                                   \
    X(file_textured_rects, "FileTexturedRects",                                                              \
      "The file has %1 textured rectangles; a mesh holds at most %2.")                                       \
    X(file_textured_tris, "FileTexturedTris",                                                                \
      "The file has %1 textured triangles; a mesh holds at most %2.")                                        \
    X(file_coloured_rects, "FileColouredRects",                                                              \
      "The file has %1 coloured rectangles; a mesh holds at most %2.")                                       \
    X(file_coloured_tris, "FileColouredTris",                                                                \
      "The file has %1 coloured triangles; a mesh holds at most %2.")                                        \
    X(file_too_many_vertices, "FileTooManyVertices",                                                         \
      "The file's faces need %1 vertices; a mesh holds at most %2.")                                         \
    X(mesh_unchanged, "MeshUnchanged", "%1 The mesh is unchanged.")                                          \
    X(dxf_line_error, "DxfLineError", "Line %1 of the DXF file: %2")                                         \
    X(dxf_not_group_code, "DxfNotGroupCode", "%1 is not a group code.")                                      \
    X(dxf_not_number, "DxfNotNumber", "%1 is not a number.")                                                 \
    X(dxf_out_of_range, "DxfOutOfRange", "%1 lies outside the range a level can hold.")                      \
    X(dxf_no_faces, "DxfNoFaces", "The DXF file holds no 3DFACE entities.")                                  \
    X(dxf_too_large, "DxfTooLarge",                                                                          \
      "The file %1 is too large for a mesh's DXF file (%2 MB; at most %3 MB).")                              \
    X(dxf_not_written, "DxfNotWritten", "The DXF file was not written. %1")                                  \
    X(dxf_binary, "DxfBinary", "The file %1 is a binary file; only text DXF files can be imported.")         \
    X(settings_not_saved, "SettingsNotSaved", "The setting was not saved. %1")                               \
    X(points_need_mesh, "PointsNeedMesh",                                                                    \
      "Points mode shows one mesh: select a mesh of the moveable to see its vertices.")

enum class msg {
#define VELLUM_MESSAGE_NAME(name, key, english) name,
    VELLUM_MESSAGES(VELLUM_MESSAGE_NAME)
#undef VELLUM_MESSAGE_NAME
};

struct message_definition {
    const char* key;
    const char* english;
};

// Every message, in the order of `msg`.
inline constexpr message_definition message_definitions[] = {
#define VELLUM_MESSAGE_DEFINITION(name, key, english) {key, english},
    VELLUM_MESSAGES(VELLUM_MESSAGE_DEFINITION)
#undef VELLUM_MESSAGE_DEFINITION
};

inline const message_definition& definition_of(msg id) {
    return message_definitions[std::size_t(id)];
}
// The English (US) wording of `key` ("" for an unknown key).
std::string definition_english(const std::string& key);

// Replaces %1 .. %9 by the values (a missing value by nothing).
std::string fill_template(const std::string& pattern, const std::vector<std::string>& values);

struct user_message {
    std::string key;                  // in [TMessages]; empty for a text shown as it is
    std::vector<user_message> values; // %1, %2, ...
    std::string english;              // the whole message in English (US)

    user_message() = default;
    // A text with no key, shown as it is in every language. (A message with no key but with
    // values is `joined`: its values one after the other.)
    user_message(std::string text) : english(std::move(text)) {}
    user_message(const char* text) : english(text) {}

    bool empty() const { return english.empty(); }
    // A message reads `text` when its English (US) wording is that text.
    friend bool operator==(const user_message& m, const std::string& text) { return m.english == text; }
};

// Writes the English (US) wording.
std::ostream& operator<<(std::ostream& out, const user_message& m);

// The message `id` with its values.
user_message say(msg id, std::vector<user_message> values = {});
// Parts shown one after the other, each in the chosen language (a status line, a chooser's filter).
user_message joined(std::vector<user_message> parts);

// The message with every keyed part worded by `wording` (key -> template, or nothing when the
// language lacks it: then that part is in English).
template <class Wording> std::string render(const user_message& m, const Wording& wording) {
    std::vector<std::string> values;
    values.reserve(m.values.size());
    for (const auto& v : m.values)
        values.push_back(render(v, wording));
    if (m.key.empty()) {
        if (values.empty()) return m.english;
        std::string all;
        for (const auto& v : values)
            all += v;
        return all;
    }
    const std::optional<std::string> pattern = wording(m.key);
    return pattern ? fill_template(*pattern, values) : fill_template(definition_english(m.key), values);
}
