// Vertex remap: exchanges the numbers of two vertices of a mesh without changing its shape. The
// two positions trade places and every face corner that used one number uses the other.
#pragma once

#include "mesh_swap.h"

#include <string>

// Exchanges vertices b and a of `mesh` (positions with their normals or vertex lights) and the
// corner numbers of all four face lists. Textures and the face order stay. Returns an empty
// message, or, when b or a is not a vertex of the mesh, a message naming the vertex count (the
// mesh is then unchanged).
user_message remap_vertices(tmesh& mesh, int b, int a);

// The remap of mesh `index` of the list as one undoable edit.
prepared_edit prepare_remap(mesh_list& meshes, int index, int b, int a);
