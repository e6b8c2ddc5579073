// Texture bitmap exchange: all pages, the current texture and the texture pieces of meshes go
// out to bitmaps and come back in; new pages are appended. Each command takes its inputs
// (images, texture indices, the face textures of the chosen meshes) and reports a result; the
// editor shell supplies the choosers, questions and loading window around these calls.
#pragma once

#include "mesh_textures.h"
#include "texture_result.h"
#include "texture_table.h"
#include "tr_level.h"

#include <QImage>
#include <string>
#include <vector>

// Text of the Yes/No question asked before an export overwrites an existing file.
user_message overwrite_question(const std::string& path);
// Save-chooser presets: Export BigBMP from the tree's root text, Export All from the selected
// tree item's text.
std::string big_bmp_file_name(const std::string& root_text);
std::string pieces_file_name(const std::string& item_text);

// Reads a BMP file of any bit depth. Unreadable, corrupt or oversized files give a message and
// leave `out` untouched.
texture_result load_bitmap(const std::string& path, QImage& out);
// Writes a 24-bit BMP through a temporary file, so a failed save leaves an existing file intact;
// a failure says why (the system's reason).
texture_result save_bitmap(const QImage& image, const std::string& path);

// "Export BigBMP": all pages as a 24-bit bitmap (display colours).
QImage export_big_bmp(const texture_table& table);
// "Import BigBMP": the bitmap must be 256 x num_pages * 256.
texture_result import_big_bmp(tr_level& level, texture_table& table, const QImage& bitmap);

// "Export Current to BMP": texture i as shown (mirrored as the texture is), 24-bit.
QImage export_current(texture_table& table, int index);
// "Import and Replace Current": the bitmap, of any size, is stretched onto texture i's bounding
// box. A mirrored texture's bitmap is mirrored back first, so exporting and importing a texture
// unchanged leaves the page unchanged. `upload` (optional) receives the bitmap as placed,
// unstretched, 24-bit: what OpenGL texture i + 1 should now hold.
texture_result import_replace_current(tr_level& level, texture_table& table, int index, const QImage& bitmap,
                                      QImage* upload = nullptr);

// Distinct texture rectangles per page, in the order found.
using piece_regions = std::vector<std::vector<texture_rect>>;

// Adds the rectangles of one mesh's faces: one already covered adds nothing, one covering an
// entry replaces it, overlapping ones stay separate. Faces whose texture or page the level does
// not have (page count `pages`) are skipped.
void collect_regions(piece_regions& regions, const tr_level& level, const face_textures& faces, int pages);

struct layout_size {
    int W = -1, H = -1;
};
// Size of the combined bitmap: rows filled left to right up to 256 pixels, continuing across
// pages.
layout_size layout_regions(const piece_regions& regions);

struct piece_place {
    int page = 0;
    texture_rect rect; // on the page
    int x = 0, y = 0;  // in the combined bitmap
};
// Position of every rectangle in the combined bitmap of width W, in layout order.
std::vector<piece_place> placement_walk(const piece_regions& regions, int W);

struct piece_plan {
    piece_regions regions;
    layout_size size;
    std::vector<piece_place> places;
};
// Regions, size and places for the textured faces of the processed meshes.
texture_result plan_pieces(const tr_level& level, const texture_table& table,
                           const std::vector<face_textures>& meshes, piece_plan& plan);

// "Export All": the distinct texture pieces of the meshes, packed into one 24-bit bitmap.
texture_result export_all(const tr_level& level, const texture_table& table,
                          const std::vector<face_textures>& meshes, QImage& out);
// "Import And Replace": the bitmap must have exactly the Export All size.
texture_result import_and_replace(tr_level& level, texture_table& table,
                                  const std::vector<face_textures>& meshes, const QImage& bitmap);

// The most texture pages a level of `game_version` may grow to: TR1 to TR3 what the 15-bit page
// number of an object texture addresses (32768); TR4 and TRC 16383, what the 32-bit page block's
// 32-bit size field can state.
std::uint32_t max_pages_for(std::int32_t game_version);

// "Import Texture Pages": appends height / 256 pages (the bitmap must be 256 wide). The table's
// display copy grows with them. `first_new_page` receives the index of the first new page.
texture_result import_texture_pages(tr_level& level, texture_table& table, const QImage& bitmap,
                                    int* first_new_page = nullptr);
