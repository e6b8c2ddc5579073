// The TR4 test level's moveable with the most textured faces, shown in a 640x480 viewport with its
// textures uploaded: the common set-up of the benchmarks that time drawing, picking and clicking.
#pragma once

#include "camera.h"
#include "draw_batch.h"
#include "gl_textures.h"
#include "gl_viewport.h"
#include "level_reader.h"
#include "mesh_list.h"
#include "scene.h"

#include <QString>
#include <memory>
#include <string>

struct largest_moveable_view {
    tr_level level;
    mesh_list list;
    tr_scene scene;
    std::unique_ptr<gl_viewport> vp;
    int moveable = -1;
    std::size_t faces = 0;

    // Reads `path`, selects the moveable and draws it once; false when the level cannot be read.
    bool open(const std::string& path) {
        std::string error;
        if (read_level(level, path, &error) != read_ok) return false;
        build_mesh_list(list, level);
        for (std::size_t m = 0; m < level.moveables.size(); ++m) {
            std::size_t count = 0;
            for (const auto& part : moveable_layout(list, level, int(m), 1.0f, true))
                if (part.mesh >= 0)
                    count += list.meshes[std::size_t(part.mesh)].tex_rects.size() +
                             list.meshes[std::size_t(part.mesh)].tex_tris.size();
            if (count > faces) faces = count, moveable = int(m);
        }
        scene.level = &level;
        scene.meshes = &list;
        scene.sel_kind = 0;
        scene.sel_moveable = moveable;
        vp = std::make_unique<gl_viewport>(24);
        vp->resize(640, 480);
        vp->set_draw([this](gl_api& gl) {
            draw_batch batch(gl);
            scene.Draw(batch);
        });
        if (!vp->show_and_wait()) return false;
        gl_viewport* contexts[] = {vp.get()};
        upload_solid_texture(QString(), contexts, 24);
        load_gl_textures(level, contexts, 24);
        vp->centre_on(scene);
        vp->grab_frame();
        return true;
    }
};
