// Tests of the face ordering: small known orders, the selection sort's tie rule, NaN
// distances, damaged meshes, and equivalence with the quadratic sort on many random meshes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "path/face_order.h"
#include "unit/path/face_order_reference.h"

namespace {

const Vec3 EYE = {2.0f, 7.0f, -3.0f};

// A mesh whose face i has its first vertex at horizontal distance distances[i] from EYE (in one
// of four directions, at varying heights); the other two corners sit nearer, to be ignored.
Mesh meshWithDistances(const std::vector<float>& distances) {
    Mesh mesh;
    const int n = static_cast<int>(distances.size());
    mesh.faceCount = n;
    mesh.vertices.push_back({EYE.x, 0.0f, EYE.z}); // shared near corner
    for (int i = 0; i < n; i++) {
        const float d = distances[i];
        const float height = static_cast<float>(i % 5) * 3.0f;
        Vec3 v;
        switch (i % 4) {
        case 0:
            v = {EYE.x + d, height, EYE.z};
            break;
        case 1:
            v = {EYE.x, height, EYE.z + d};
            break;
        case 2:
            v = {EYE.x - d, height, EYE.z};
            break;
        default:
            v = {EYE.x, height, EYE.z - d};
            break;
        }
        mesh.vertices.push_back(v);
        mesh.faces.insert(mesh.faces.end(), {i + 1, 0, 0});
    }
    mesh.vertexCount = static_cast<int>(mesh.vertices.size());
    return mesh;
}

// Same float bit for bit, or NaN on both sides.
bool sameDistance(float a, float b) {
    if (std::isnan(a) || std::isnan(b)) {
        return std::isnan(a) && std::isnan(b);
    }
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Sorts a copy with the reference and the mesh itself with the shipped code, then compares.
void expectSameAsReference(Mesh& mesh, const Vec3& eye) {
    Mesh expected = mesh;
    referenceSortFaces(expected, eye);
    sortFacesByCameraDistance(mesh, eye);
    ASSERT_EQ(mesh.faceOrder, expected.faceOrder);
    ASSERT_EQ(mesh.faceDistance.size(), expected.faceDistance.size());
    for (size_t i = 0; i < expected.faceDistance.size(); i++) {
        ASSERT_TRUE(sameDistance(mesh.faceDistance[i], expected.faceDistance[i]))
            << "position " << i << ": " << mesh.faceDistance[i] << " vs "
            << expected.faceDistance[i];
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
    EXPECT_EQ(orderFor({4.0f}), std::vector<int>{0});
    EXPECT_EQ(orderFor({5.0f, 5.0f}), (std::vector<int>{0, 1}));
    EXPECT_EQ(orderFor({3.0f, 1.0f, 2.0f}), (std::vector<int>{1, 2, 0}));
    // Not a stable sort: the first 5 is swapped to the end past the second one.
    EXPECT_EQ(orderFor({5.0f, 5.0f, 1.0f}), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(orderFor({2.0f, 9.0f, 2.0f, 9.0f, 2.0f}), (std::vector<int>{0, 4, 2, 3, 1}));

    Mesh mesh = meshWithDistances({6.0f, 0.0f, 6.0f, 3.0f});
    sortFacesByCameraDistance(mesh, EYE);
    EXPECT_EQ(mesh.faceDistance, (std::vector<float>{0.0f, 3.0f, 6.0f, 6.0f}));
}

TEST(FaceOrder, UsesTheFirstVertexInTheHorizontalPlane) {
    Mesh mesh;
    mesh.vertices = {{0, 100, 0}, {3, -50, 4}, {1, 0, 0}, {0, 0, 0}};
    mesh.faces = {1, 3, 3, 2, 0, 0};
    mesh.faceCount = 2;
    mesh.vertexCount = 4;
    sortFacesByCameraDistance(mesh, {0.0f, 9.0f, 0.0f});
    EXPECT_EQ(mesh.faceOrder, (std::vector<int>{1, 0}));
    EXPECT_EQ(mesh.faceDistance, (std::vector<float>{1.0f, 5.0f}));
}

TEST(FaceOrder, NanDistancesStayWhereTheSelectionSortLeavesThem) {
    const float nan = std::nanf("");
    const std::vector<std::vector<float>> cases = {
        {nan},
        {nan, nan},
        {nan, 3.0f, 1.0f},
        {3.0f, nan, 1.0f},
        {3.0f, 1.0f, nan},
        {5.0f, nan, 5.0f, 2.0f, nan, 7.0f, 1.0f},
        {nan, 9.0f, 9.0f, nan, 0.0f},
    };
    for (const std::vector<float>& distances : cases) {
        SCOPED_TRACE(distances.size());
        Mesh mesh = meshWithDistances(distances);
        expectSameAsReference(mesh, EYE);
    }
    // With a NaN last, nothing ever moves it and the rest sorts before it.
    Mesh mesh = meshWithDistances({3.0f, 1.0f, nan});
    sortFacesByCameraDistance(mesh, EYE);
    EXPECT_EQ(mesh.faceOrder, (std::vector<int>{1, 0, 2}));
}

TEST(FaceOrder, MatchesTheSelectionSortOnRandomMeshes) {
    std::mt19937 random(20240611);
    const float nan = std::nanf("");
    const float inf = INFINITY;
    // Sizes grow and shrink so the kept work storage is reused at every size.
    const int sizes[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 16, 17, 31, 100, 257, 1000, 3, 3000, 64, 2049};
    for (int size : sizes) {
        for (int round = 0; round < 6; round++) {
            SCOPED_TRACE(testing::Message() << "size " << size << " round " << round);
            // Few distinct values make many ties; some rounds add NaN and infinite distances.
            const int distinct = round % 2 == 0 ? 3 : 1 + size / 4;
            std::uniform_int_distribution<int> value(0, distinct);
            std::uniform_int_distribution<int> rare(0, 40);
            std::vector<float> distances(size);
            for (float& d : distances) {
                d = static_cast<float>(value(random));
                if (round >= 4 && rare(random) == 0) {
                    d = nan;
                } else if (round == 5 && rare(random) == 1) {
                    d = inf;
                }
            }
            Mesh mesh = meshWithDistances(distances);
            expectSameAsReference(mesh, EYE);
        }
    }
}

TEST(FaceOrder, MatchesTheSelectionSortOnScatteredVertices) {
    std::mt19937 random(77);
    std::uniform_real_distribution<float> coordinate(-50.0f, 50.0f);
    std::uniform_int_distribution<int> grid(-4, 4);
    for (int round = 0; round < 20; round++) {
        Mesh mesh;
        const int n = 50 + round * 37;
        for (int i = 0; i < n; i++) {
            // Half on a coarse grid so that distinct vertices share exact distances.
            if (i % 2 == 0) {
                mesh.vertices.push_back({static_cast<float>(grid(random)), coordinate(random),
                                         static_cast<float>(grid(random))});
            } else {
                mesh.vertices.push_back(
                    {coordinate(random), coordinate(random), coordinate(random)});
            }
        }
        std::uniform_int_distribution<int> vertex(0, n - 1);
        mesh.faceCount = n;
        for (int i = 0; i < 3 * n; i++) {
            mesh.faces.push_back(vertex(random));
        }
        // A second sort of the same mesh starts from the first one's arrays: same result.
        const Vec3 eye = {0.5f * static_cast<float>(round % 3), 1.0f, 0.0f};
        expectSameAsReference(mesh, eye);
        expectSameAsReference(mesh, eye);
    }
}

TEST(FaceOrder, DamagedMeshesSortSafely) {
    // The face list is shorter than faceCount and one face names a vertex that does not exist.
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
    EXPECT_TRUE(mesh.faceDistance.empty());
}
