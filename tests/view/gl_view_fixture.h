// A real viewport on screen (under Xvfb) drawing a scene of an in-memory or read level.
#pragma once

#include "camera.h"
#include "gl_textures.h"
#include "gl_viewport.h"
#include "scene.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

extern bool gl_tests_have_display;

#define REQUIRE_DISPLAY()                                                                                    \
    do {                                                                                                     \
        if (!gl_tests_have_display) GTEST_SKIP() << "needs an X display (run under xvfb-run)";               \
    } while (0)

struct gl_view {
    tr_level level;
    mesh_list list;
    tr_scene scene;
    std::unique_ptr<gl_viewport> vp;
    int draws = 0;

    explicit gl_view(tr_level lv, int width = 200, int height = 200) : level(std::move(lv)) {
        scene.level = &level;
        scene.meshes = &list;
        vp = std::make_unique<gl_viewport>(24);
        vp->resize(width, height);
        vp->set_draw([this](gl_api& gl) {
            ++draws;
            draw_batch batch(gl);
            scene.Draw(batch);
        });
        EXPECT_TRUE(vp->show_and_wait());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(vp.get()));
    }
    void centre() {
        vp->centre_on(scene);
        vp->redraw();
    }
    void upload_textures() {
        gl_viewport* contexts[] = {vp.get()};
        upload_solid_texture(QString(), contexts, 24);
        load_gl_textures(level, contexts, 24);
    }
    QImage frame() { return vp->grab_frame(); }
};
