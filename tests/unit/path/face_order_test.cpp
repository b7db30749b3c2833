// Tests of the face ordering: known small orders, the selection sort's tie rule, NaN distances,
// damaged meshes, and equivalence with the quadratic sort on many random meshes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "path/face_order.h"
#include "unit/path/face_order_reference.h"

namespace {

const Vec3 EYE = {2.0f, 7.0f, -3.0f};

// A mesh whose face i has its first vertex at horizontal distance distances[i] from EYE, in
// one of four directions and at varying heights; its other corners sit on the eye's axis.
Mesh meshWithDistances(const std::vector<float>& distances) {
    Mesh mesh;
    mesh.faceCount = int(distances.size());
    mesh.vertices.push_back({EYE.x, 0.0f, EYE.z});
    for (int i = 0; i < mesh.faceCount; i++) {
        const float d = distances[i], h = float(i % 5);
        const Vec3 around[4] = {{EYE.x + d, h, EYE.z},
                                {EYE.x, h, EYE.z + d},
                                {EYE.x - d, h, EYE.z},
                                {EYE.x, h, EYE.z - d}};
        mesh.vertices.push_back(around[i % 4]);
        mesh.faces.insert(mesh.faces.end(), {i + 1, 0, 0});
    }
    return mesh;
}

// Sorts a copy with the reference and the mesh itself, then compares bit for bit (NaN = NaN).
void expectSameAsReference(Mesh& mesh, const Vec3& eye) {
    Mesh expected = mesh;
    referenceSortFaces(expected, eye);
    sortFacesByCameraDistance(mesh, eye);
    ASSERT_EQ(mesh.faceOrder, expected.faceOrder);
    ASSERT_EQ(mesh.faceDistance.size(), expected.faceDistance.size());
    for (size_t i = 0; i < expected.faceDistance.size(); i++) {
        const float a = mesh.faceDistance[i], b = expected.faceDistance[i];
        const bool same = std::isnan(a) ? std::isnan(b) : std::memcmp(&a, &b, sizeof a) == 0;
        ASSERT_TRUE(same) << "position " << i << ": " << a << " vs " << b;
    }
}

std::vector<int> orderFor(const std::vector<float>& distances) {
    Mesh mesh = meshWithDistances(distances);
    sortFacesByCameraDistance(mesh, EYE);
    return mesh.faceOrder;
}

} // namespace

TEST(FaceOrder, SmallMeshesAndTheTieRule) {
    EXPECT_EQ(orderFor({}), std::vector<int>{});
    EXPECT_EQ(orderFor({4}), std::vector<int>{0});
    EXPECT_EQ(orderFor({5, 5}), (std::vector<int>{0, 1}));
    EXPECT_EQ(orderFor({3, 1, 2}), (std::vector<int>{1, 2, 0}));
    // Not a stable sort: the first 5 is swapped to the end, past the second one.
    EXPECT_EQ(orderFor({5, 5, 1}), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(orderFor({2, 9, 2, 9, 2}), (std::vector<int>{0, 4, 2, 3, 1}));

    Mesh mesh = meshWithDistances({6, 0, 6, 3});
    sortFacesByCameraDistance(mesh, EYE);
    EXPECT_EQ(mesh.faceDistance, (std::vector<float>{0, 3, 6, 6}));
}

TEST(FaceOrder, NanDistancesStayWhereTheSelectionSortLeavesThem) {
    const float nan = std::nanf("");
    EXPECT_EQ(orderFor({3, 1, nan}), (std::vector<int>{1, 0, 2}));
    const std::vector<std::vector<float>> cases = {
        {nan}, {nan, nan}, {nan, 3, 1}, {3, nan, 1}, {5, nan, 5, 2, nan, 7, 1}, {nan, 9, 9, nan, 0},
    };
    for (const std::vector<float>& distances : cases) {
        Mesh mesh = meshWithDistances(distances);
        expectSameAsReference(mesh, EYE);
    }
}

TEST(FaceOrder, MatchesTheSelectionSortOnRandomMeshes) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> rare(0, 40);
    std::uniform_real_distribution<float> coordinate(-50.0f, 50.0f);
    // Sizes grow and shrink so the kept work storage is reused at every size.
    for (int size : {0, 1, 2, 3, 5, 8, 9, 17, 100, 257, 1000, 3, 3000, 64, 2049}) {
        for (int round = 0; round < 8; round++) {
            SCOPED_TRACE(testing::Message() << "size " << size << " round " << round);
            Mesh mesh;
            if (round < 6) {
                // Few distinct values make many ties; some rounds add NaN and infinity.
                std::uniform_int_distribution<int> value(0, round % 2 == 0 ? 3 : 1 + size / 4);
                std::vector<float> distances(size);
                for (float& d : distances) {
                    const int r = rare(random);
                    d = round >= 4 && r == 0   ? NAN
                        : round == 5 && r == 1 ? INFINITY
                                               : float(value(random));
                }
                mesh = meshWithDistances(distances);
            } else {
                // Shared and scattered vertices, faces picking any three: distances as computed.
                std::uniform_int_distribution<int> grid(-4, 4);
                for (int i = 0; i < size; i++) {
                    const float y = coordinate(random);
                    mesh.vertices.push_back(
                        i % 2 ? Vec3{coordinate(random), y, coordinate(random)}
                              : Vec3{float(grid(random)), y, float(grid(random))});
                }
                std::uniform_int_distribution<int> vertex(0, size > 0 ? size - 1 : 0);
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

TEST(FaceOrder, DamagedMeshesSortSafely) {
    // The face list is shorter than faceCount and two faces name vertices that do not exist.
    Mesh mesh;
    mesh.vertices = {{4, 0, 0}, {1, 0, 0}};
    mesh.faces = {0, 1, 1, 9, 0, 0, -2, 0, 0};
    mesh.faceCount = 5;
    sortFacesByCameraDistance(mesh, {0.0f, 0.0f, 0.0f});
    EXPECT_EQ(mesh.faceOrder, (std::vector<int>{4, 1, 2, 3, 0}));
    EXPECT_EQ(mesh.faceDistance, (std::vector<float>{0, 0, 0, 0, 4}));

    mesh.faceCount = -3;
    sortFacesByCameraDistance(mesh, {0.0f, 0.0f, 0.0f});
    EXPECT_TRUE(mesh.faceOrder.empty());
}
