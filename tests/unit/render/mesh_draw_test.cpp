// The drawable face count: faces, and for textured drawing uv lines, that the arrays really hold,
// so a record whose counts disagree with its arrays is never read past an end.
#include <gtest/gtest.h>

#include "render/mesh_draw.h"

TEST(MeshDraw, DrawableFacesAreThoseTheArraysHold) {
    const struct {
        int faceCount;
        size_t indices, uvs; // entries of faces and faceUVs
        int plain, textured; // drawable faces untextured and textured
    } cases[] = {
        {2, 6, 12, 2, 2},  // all agree
        {3, 6, 18, 2, 2},  // fewer index triples than faces
        {2, 6, 6, 2, 1},   // fewer uv lines than faces: textured drawing stops at them
        {2, 6, 0, 2, 0},   // no uv at all
        {1, 9, 18, 1, 1},  // more in the arrays than the count: the count wins
        {-4, 6, 12, 0, 0}, // a negative count draws nothing
        {2, 5, 12, 1, 1},  // a partial triple is not a face
        {2, 6, 11, 2, 1},  // nor a partial uv line
    };
    for (const auto& c : cases) {
        Mesh mesh;
        mesh.faceCount = c.faceCount;
        mesh.faces.assign(c.indices, 0);
        mesh.faceUVs.assign(c.uvs, 0.5f);
        EXPECT_EQ(drawableFaceCount(mesh, false), c.plain) << c.faceCount << " " << c.uvs;
        EXPECT_EQ(drawableFaceCount(mesh, true), c.textured) << c.faceCount << " " << c.uvs;
    }
}

TEST(MeshDraw, FaceIsInRangeOnlyWhenEveryCornerHasAVertexAndANormal) {
    Mesh mesh;
    mesh.vertices.assign(4, {0, 0, 0});
    mesh.normals.assign(3, {0, 0, 1});
    mesh.faces = {0, 1, 2, 0, 1, 3, -1, 0, 1, 2, 1, 4};
    const bool expected[] = {true, false, false, false}; // 3 lacks a normal, -1 and 4 a vertex
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(faceInRange(mesh, i), expected[i]) << i;
    }
}
