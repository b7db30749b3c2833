// Face ordering: the same as the quadratic reference, ties, NaN and infinity included, on random
// meshes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "render/face_order.h"
#include "support/face_order_reference.h"

namespace {

const Vec3 EYE = {2.0f, 7.0f, -3.0f};

// Face i's first vertex at horizontal distance d[i] from EYE, in one of four directions.
Mesh meshWithDistances(const std::vector<float>& d) {
    Mesh mesh;
    mesh.faceCount = int(d.size());
    mesh.vertices.push_back({EYE.x, 0.0f, EYE.z});
    for (int i = 0; i < mesh.faceCount; i++) {
        const float h = float(i % 5);
        const Vec3 around[4] = {{EYE.x + d[i], h, EYE.z},
                                {EYE.x, h, EYE.z + d[i]},
                                {EYE.x - d[i], h, EYE.z},
                                {EYE.x, h, EYE.z - d[i]}};
        mesh.vertices.push_back(around[i % 4]);
        mesh.faces.insert(mesh.faces.end(), {i + 1, 0, 0});
    }
    return mesh;
}

void expectSameAsReference(Mesh& mesh, const Vec3& eye) {
    Mesh expected = mesh;
    referenceSortFaces(expected, eye);
    sortFacesByCameraDistance(mesh, eye);
    ASSERT_EQ(mesh.faceOrder, expected.faceOrder);
    ASSERT_EQ(mesh.faceDistance.size(), expected.faceDistance.size());
    for (size_t i = 0; i < expected.faceDistance.size(); i++) {
        const float a = mesh.faceDistance[i], b = expected.faceDistance[i];
        ASSERT_TRUE(std::isnan(a) ? std::isnan(b) : std::memcmp(&a, &b, sizeof a) == 0) << i;
    }
}

} // namespace

TEST(FaceOrder, MatchesTheSelectionSortOnRandomMeshes) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> rare(0, 40);
    std::uniform_real_distribution<float> coordinate(-50.0f, 50.0f);
    // Sizes grow and shrink so the kept work storage is reused at every size.
    for (int size : {1, 2, 3, 5, 8, 17, 100, 257, 1000, 3, 3000, 64, 2049}) {
        for (int round = 0; round < 8; round++) {
            SCOPED_TRACE(testing::Message() << "size " << size << " round " << round);
            Mesh mesh;
            if (round < 6) { // few distinct values, many ties; NaN and infinity in some rounds
                std::uniform_int_distribution<int> value(0, round % 2 == 0 ? 3 : 1 + size / 4);
                std::vector<float> distances(size);
                for (float& d : distances) {
                    const int r = rare(random);
                    d = round >= 4 && r == 0   ? NAN
                        : round == 5 && r == 1 ? INFINITY
                                               : value(random);
                }
                mesh = meshWithDistances(distances);
            } else { // shared and scattered vertices, faces picking any three
                std::uniform_int_distribution<int> grid(-4, 4), vertex(0, size - 1);
                for (int i = 0; i < size; i++) {
                    const float y = coordinate(random);
                    mesh.vertices.push_back(
                        i % 2 ? Vec3{coordinate(random), y, coordinate(random)}
                              : Vec3{float(grid(random)), y, float(grid(random))});
                }
                mesh.faceCount = size;
                for (int i = 0; i < 3 * size; i++) {
                    mesh.faces.push_back(vertex(random));
                }
            }
            expectSameAsReference(mesh, EYE);
            expectSameAsReference(mesh, {0.5f, 0.0f, 0.25f}); // starting from the last result
        }
    }
}
