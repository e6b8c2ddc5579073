// Writing one mesh as an ASCII DXF file: its textured faces as 3DFACE entities, one layer per
// texture, in the small dialect that modelling programs read and that dxf_import reads back.
#pragma once

#include "mesh_list.h"
#include "user_message.h"

#include <cstdint>
#include <string>

// "TEXTUR_" and the texture number (low 12 bits of the texture word) in four digits.
std::string dxf_layer_name(std::uint16_t texture_word);

// Fixed-point text of one DXF coordinate: six decimals, "." separator, no blanks, never "-0".
std::string dxf_number(double value);

// The whole file for one mesh, lines ended by CR LF: header, the layer table in ascending layer
// order (colour = position), one 3DFACE per textured rectangle then per textured triangle (a
// triangle repeats its third corner), footer. Coloured faces are not written. A level vertex
// (x, y, z) is written as X = x / 100, Y = -z / 100, Z = -y / 100; a corner that names no vertex
// of the mesh is written at the origin.
std::string dxf_text(const tmesh& mesh);

// Writes dxf_text(mesh) to `path` through a temporary file in the same folder, renamed over the
// target only when everything was written. Returns an empty message on success, otherwise a message
// fit to show; a failed write leaves an existing file as it was.
user_message write_dxf_file(const tmesh& mesh, const std::string& path);
