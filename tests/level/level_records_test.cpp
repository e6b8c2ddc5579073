// The named moveable and static-mesh fields read and write the bytes of the file's records.
#include "level_records.h"

#include <gtest/gtest.h>

namespace {

TEST(LevelRecords, AMoveableRecordReadsAsItsNamedFields) {
    rec<18> r{};
    put_u32(&r[0], 35);     // object id
    put_u16(&r[4], 3);      // number of meshes
    put_u16(&r[6], 120);    // first mesh pointer
    put_u32(&r[8], 400);    // mesh tree
    put_u32(&r[12], 70000); // frame offset
    put_u16(&r[16], 9);     // animation
    const auto m = read_moveable(r);
    EXPECT_EQ(m.object_id, 35u);
    EXPECT_EQ(m.num_meshes, 3);
    EXPECT_EQ(m.first_mesh, 120);
    EXPECT_EQ(m.mesh_tree, 400u);
    EXPECT_EQ(m.frame_offset, 70000u);
    EXPECT_EQ(m.animation, 9);
}

TEST(LevelRecords, AStaticMeshRecordReadsItsMeshBoxesAndFlags) {
    rec<32> r{};
    put_u32(&r[0], 50);
    put_u16(&r[4], 7);
    for (int i = 0; i < 6; ++i) {
        put_u16(&r[6 + 2 * std::size_t(i)], std::uint16_t(-100 - i)); // visibility
        put_u16(&r[18 + 2 * std::size_t(i)], std::uint16_t(200 + i)); // collision
    }
    put_u16(&r[30], 3);
    const auto s = read_static_mesh(r);
    EXPECT_EQ(s.object_id, 50u);
    EXPECT_EQ(s.mesh, 7);
    EXPECT_EQ(s.box(box_kind::visibility), (static_box{-100, -101, -102, -103, -104, -105}));
    EXPECT_EQ(s.box(box_kind::collision), (static_box{200, 201, 202, 203, 204, 205}));
    EXPECT_EQ(s.flags, 3);
}

TEST(LevelRecords, WritingOneBoxCoordinateChangesOnlyThatCoordinate) {
    for (const box_kind kind : {box_kind::visibility, box_kind::collision}) {
        for (int coordinate = 0; coordinate < 6; ++coordinate) {
            rec<32> r{};
            r.fill(0x11);
            const auto before = read_static_mesh(r);
            set_static_box_coordinate(r, kind, coordinate, -1234);
            auto expected = before;
            (kind == box_kind::visibility ? expected.visibility_box
                                          : expected.collision_box)[std::size_t(coordinate)] = -1234;
            const auto after = read_static_mesh(r);
            EXPECT_EQ(after.visibility_box, expected.visibility_box) << coordinate;
            EXPECT_EQ(after.collision_box, expected.collision_box) << coordinate;
            EXPECT_EQ(after.mesh, before.mesh);
            EXPECT_EQ(after.flags, before.flags);
        }
    }
    rec<32> r{};
    set_static_box_coordinate(r, box_kind::collision, 6, 99); // no seventh coordinate
    set_static_box_coordinate(r, box_kind::collision, -1, 99);
    EXPECT_EQ(r, rec<32>{});
    set_static_flags(r, 0xBEEF);
    EXPECT_EQ(read_static_mesh(r).flags, 0xBEEF);
}

} // namespace
