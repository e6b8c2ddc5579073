// Draw batch: key format, sorted replay, one group per face with its state.
#include "draw_batch.h"
#include "recording_gl.h"

#include <gtest/gtest.h>

namespace {

void quad(draw_batch& b, int name, int texture, bool smooth = false) {
    b.batch_texture(texture);
    b.batch_smooth(smooth);
    b.batch_name(name);
    b.batch_mode(int(gl::quads));
    for (int k = 0; k < 4; ++k) {
        b.batch_texcoord(k & 1, k >> 1);
        b.batch_vertex(float(name), float(k), 0);
    }
}

TEST(DrawBatch, KeyIsPrimitiveNameTextureAndSequenceRightAligned) {
    EXPECT_EQ(batch_key(7, 65537, 6, 0), "    7.00 65537     6     0");
    EXPECT_EQ(batch_key(7, 1, -1, 12), "    7.00     1    -1    12");
    EXPECT_EQ(batch_key(7, 65994753, 3999, 1234567), "    7.0065994753  39991234567");
}

TEST(DrawBatch, FlushDrawsFacesInTheTextOrderOfTheirKeys) {
    recording_gl rec;
    rec.push_name(0);
    draw_batch b(rec);
    b.batch_reset();
    // Names as text: "65994753" sorts after "131073", and " 65537" before both.
    for (int name : {65994753, 131073, 65537})
        quad(b, name, 2);
    EXPECT_EQ(b.records().count(), 12);
    b.batch_flush();
    EXPECT_EQ(b.records().count(), 0);
    ASSERT_EQ(rec.primitives.size(), 3u);
    EXPECT_EQ(rec.primitives[0].name, 65537u);
    EXPECT_EQ(rec.primitives[1].name, 131073u);
    EXPECT_EQ(rec.primitives[2].name, 65994753u);
    for (const auto& p : rec.primitives)
        EXPECT_EQ(p.vertices.size(), 4u);
}

TEST(DrawBatch, EachFaceIsItsOwnGroupWithNameTextureAndFilter) {
    recording_gl rec;
    rec.push_name(0);
    draw_batch b(rec);
    b.batch_reset();
    quad(b, 65537, 5, false);
    quad(b, 65538, 5, true); // same texture, another face
    b.batch_flush();
    EXPECT_EQ(rec.count(gl_op::begin), 2);
    EXPECT_EQ(rec.count(gl_op::load_name), 2);
    EXPECT_EQ(rec.count(gl_op::bind_texture), 2);
    ASSERT_EQ(rec.primitives.size(), 2u);
    EXPECT_EQ(rec.primitives[0].texture, 5);
    EXPECT_EQ(rec.primitives[0].min_filter, int(gl::nearest));
    EXPECT_EQ(rec.primitives[0].mag_filter, int(gl::nearest));
    EXPECT_EQ(rec.primitives[1].min_filter, int(gl::linear));
    EXPECT_EQ(rec.primitives[1].mag_filter, int(gl::linear));
    // Every block follows a name load: display lists then replay safely in selection mode.
    for (std::size_t i = 1; i < rec.calls.size(); ++i)
        if (rec.calls[i].op == gl_op::begin) {
            bool named = false;
            for (std::size_t j = i; j-- > 0 && rec.calls[j].op != gl_op::end;)
                named = named || rec.calls[j].op == gl_op::load_name;
            EXPECT_TRUE(named);
        }
}

TEST(DrawBatch, OnlyStateThatWasSetReachesOpenGL) {
    recording_gl rec;
    rec.push_name(0);
    draw_batch b(rec);
    b.batch_reset();
    b.batch_name(-1);
    b.batch_mode(int(gl::quads));
    b.batch_texcoord(1, 1);
    b.batch_vertex(0, 0, 0); // texture coordinate, no colour
    b.batch_vertex(1, 0, 0); // the coordinate was used up by the first vertex
    b.batch_colour(255, 0, -1);
    b.batch_vertex(2, 0, 0); // a colour with a negative component is not set
    b.batch_colour(10, 20, 30);
    b.batch_vertex(3, 0, 0);
    b.batch_flush();
    EXPECT_EQ(rec.count(gl_op::load_name), 0);    // negative name
    EXPECT_EQ(rec.count(gl_op::bind_texture), 0); // texture -1 after reset
    EXPECT_EQ(rec.count(gl_op::tex_coord), 1);
    ASSERT_EQ(rec.count(gl_op::color_ub), 1);
    EXPECT_EQ(rec.of(gl_op::color_ub)[0].a[0], 10);
    EXPECT_EQ(rec.count(gl_op::vertex), 4);
}

TEST(DrawBatch, ResetKeepsNameAndPrimitiveButClearsTextureColourAndSequence) {
    recording_gl rec;
    rec.push_name(0);
    draw_batch b(rec);
    b.batch_name(70000);
    b.batch_mode(int(gl::quads));
    b.batch_texture(9);
    b.batch_colour(1, 2, 3);
    b.batch_smooth(true);
    b.batch_vertex(0, 0, 0);
    b.batch_reset();
    b.batch_vertex(0, 0, 0);
    ASSERT_EQ(b.records().count(), 2);
    const auto& second = b.records().entries()[1];
    EXPECT_EQ(second.key, batch_key(int(gl::quads), 70000, -1, 0));
    EXPECT_EQ(second.data->red, -1);
    EXPECT_EQ(second.data->smooth, 0);
    EXPECT_EQ(second.data->name, 70000);
}

} // namespace
