// The first difference between two meshes, worded for a test's failure message.
#pragma once

#include "mesh_list.h"

#include <cstddef>
#include <string>

// "" when the meshes are equal; else the first part that differs ("vertex 3 differs", ...).
inline std::string first_difference(const tmesh& a, const tmesh& b) {
    auto words = [](const auto& x, const auto& y, const char* what) -> std::string {
        if (x.size() != y.size())
            return std::string(what) + " count " + std::to_string(x.size()) +
                   " != " + std::to_string(y.size());
        for (std::size_t i = 0; i < x.size(); ++i)
            if (!(x[i] == y[i])) return std::string(what) + " " + std::to_string(i) + " differs";
        return "";
    };
    for (const std::string& d :
         {words(a.vertices, b.vertices, "vertex"), words(a.normals, b.normals, "normal"),
          words(a.lights, b.lights, "light"), words(a.tex_rects, b.tex_rects, "textured rectangle"),
          words(a.tex_tris, b.tex_tris, "textured triangle"),
          words(a.col_rects, b.col_rects, "coloured rectangle"),
          words(a.col_tris, b.col_tris, "coloured triangle")})
        if (!d.empty()) return d;
    return a == b ? "" : "other fields";
}
