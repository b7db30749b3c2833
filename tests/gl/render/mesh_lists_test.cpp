// Display lists of world and object meshes: a frame drawn from the lists gives the same pixels
// and leaves the same GL state as the frame drawn vertex by vertex; compiling draws nothing.
#include <GL/glu.h>

#include <cmath>

#include "path/camera.h"
#include "render/frame.h"
#include "render/mesh_lists.h"
#include "render/skybox.h"
#include "render_support.h"
#include "scene/scene_state.h"

namespace {

// A bumpy n x n grid of triangles from (x0, lift, z0), rows towards +z, slanted normals, uv
// coordinates running over the texture twice; textured unless `texture` is 0.
Mesh grid(float x0, float z0, float size, int n, Color3 colour, float lift, unsigned texture) {
    Mesh mesh;
    for (int j = 0; j <= n; j++) {
        for (int i = 0; i <= n; i++) {
            const float y = lift + 0.6f * std::sin(0.9f * i) * std::cos(0.7f * j);
            mesh.vertices.push_back({x0 + size * i / n, y, z0 + size * j / n});
            const float nx = 0.3f * std::cos(float(i + j)), length = std::sqrt(nx * nx + 1);
            mesh.normals.push_back({nx / length, 1 / length, 0});
        }
    }
    for (int j = 0; j < n; j++) {
        for (int i = 0; i < n; i++) {
            const int a = j * (n + 1) + i, b = a + 1, c = a + n + 1, d = c + 1;
            mesh.faces.insert(mesh.faces.end(), {a, c, b, b, c, d});
            const float u0 = 2.0f * i / n, u1 = 2.0f * (i + 1) / n;
            const float v0 = 2.0f * j / n, v1 = 2.0f * (j + 1) / n;
            mesh.faceUVs.insert(mesh.faceUVs.end(),
                                {u0, v0, u0, v1, u1, v0, u1, v0, u0, v1, u1, v1});
        }
    }
    mesh.vertexCount = int(mesh.vertices.size());
    mesh.faceCount = int(mesh.faces.size() / 3);
    mesh.color = colour;
    mesh.textured = texture != 0;
    mesh.texture = texture;
    return mesh;
}

// The current colour, normal, uv, matrices, binding, depth mask and switches.
std::vector<float> currentState() {
    std::vector<float> state;
    for (GLenum what : {GL_CURRENT_COLOR, GL_CURRENT_NORMAL, GL_CURRENT_TEXTURE_COORDS,
                        GL_MODELVIEW_MATRIX, GL_PROJECTION_MATRIX}) {
        const std::vector<float> values = glFloats(what, 16);
        state.insert(state.end(), values.begin(), values.end());
    }
    const std::vector<int> flags = glFlags();
    state.insert(state.end(), flags.begin(), flags.end());
    state.insert(state.end(), {float(glInt(GL_TEXTURE_BINDING_2D)), float(glIsEnabled(GL_LIGHT0))});
    return state;
}

void lookFrom(float y, float z, double far) {
    resetRenderState();
    glMatrixMode(GL_PROJECTION);
    gluPerspective(60.0, 640.0 / 480.0, 0.1, far);
    gluLookAt(0, y, z, 0, -1, -14, 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
}

// A scene frame before the particle start, from `start`, without a GL error; fills `pixels`,
// returns the state.
std::vector<float> drawFrame(const std::function<void()>& start,
                             std::vector<unsigned char>& pixels) {
    lookFrom(6, 4, 4000);
    start();
    glGetError();
    drawSceneFrame(clockAt(50));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "a whole scene frame";
    pixels = readWindow();
    return currentState();
}

int drawnPixels(const std::vector<unsigned char>& pixels) {
    int drawn = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        drawn += (pixels[i] | pixels[i + 1] | pixels[i + 2]) != 0;
    }
    return drawn;
}

// A black sky; world: a textured ground, an untextured hill, a standing textured wall after it
// (tinted by its colour), a mesh whose counts run past its arrays; two turned objects; one tree.
void buildScene(unsigned int patterned, unsigned int plain, unsigned int black) {
    for (unsigned int& texture : skyTextures) {
        texture = black;
    }
    worldList = {grid(-20, -30, 40, 24, {1, 1, 1}, -2, patterned),
                 grid(-8, -22, 14, 10, {0.2f, 0.7f, 0.4f}, -1.2f, 0),
                 grid(-12, -28, 10, 6, {1, 1, 1}, 0, plain),
                 grid(8, -16, 3, 2, {0.9f, 0.1f, 0.8f}, 1, 0)};
    for (Vec3& v : worldList[2].vertices) {
        std::swap(v.y, v.z);
        v.z -= 26;
    }
    worldList[3].faceCount = 40;
    worldList[3].faces[5] = 99;
    objectList.assign(2, SceneObject{});
    objectList[0].mesh = grid(-1.5f, -1.5f, 3, 3, {1, 1, 1}, 0, patterned);
    objectList[0].path.position = {4, 1, -12};
    objectList[0].path.target = {25, 0, 60};
    objectList[1].mesh = grid(-1, -1, 2, 2, {0.95f, 0.6f, 0.1f}, 0, 0);
    objectList[1].path.position = {-5, 2, -10};
    objectList[1].path.target = {-40, 0, 15};
    treeList = {grid(-3, -9, 6, 4, {1, 1, 1}, 0.5f, plain)};
    camera.cameraPath.position = {0, 6, 4};
}

std::vector<Mesh*> listedMeshes() {
    std::vector<Mesh*> meshes;
    for (Mesh& mesh : worldList) {
        meshes.push_back(&mesh);
    }
    for (SceneObject& object : objectList) {
        meshes.push_back(&object.mesh);
    }
    return meshes;
}

} // namespace

// Whole meshes in one part each, then parts of 16 faces (the ground's rows behind the camera and
// beside the view skipped); plain, then lit with a colour and a texture left from before.
TEST(MeshLists, SamePixelsAndStateAsImmediateModeAndCompilingDrawsNothing) {
    const unsigned int patterned = makeTexture(
        {{250, 40, 40, 255}, {40, 250, 40, 255}, {40, 40, 250, 255}, {250, 250, 40, 255}});
    const unsigned int plain = makeSolidTexture(200, 160, 255), black = makeSolidTexture(0, 0, 0);
    useTestFont();
    const std::function<void()> starts[2] = {
        [] {},
        [plain] {
            const GLfloat position[4] = {3, 10, 2, 0}, diffuse[4] = {0.9f, 0.8f, 0.7f, 1};
            glLightfv(GL_LIGHT0, GL_POSITION, position);
            glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
            glEnable(GL_LIGHT0);
            glEnable(GL_LIGHTING);
            glColor3f(0.3f, 0.9f, 0.6f);
            glBindTexture(GL_TEXTURE_2D, plain);
        }};
    for (const int partFaces : {MESH_LIST_PART_FACES, 16})
        for (const auto& start : starts) {
            buildScene(patterned, plain, black);
            std::vector<unsigned char> immediate, listed;
            const std::vector<float> immediateState = drawFrame(start, immediate);
            ASSERT_GT(drawnPixels(immediate), 640 * 480 / 4) << "the scene is not in view";

            glClear(GL_COLOR_BUFFER_BIT);
            std::vector<unsigned int> lists;
            for (Mesh* mesh : listedMeshes()) {
                lists.push_back(compileMeshList(*mesh, partFaces));
                mesh->vertices.clear(); // the frame from the lists no longer reads the arrays
            }
            EXPECT_EQ(drawnPixels(readWindow()), 0);

            const MeshListCounts before = meshListCounts;
            EXPECT_EQ(drawFrame(start, listed), immediateState);
            EXPECT_TRUE(immediate == listed) << "pixels differ";
            if (partFaces == 16) {
                EXPECT_GT(meshListCounts.partsSkipped, before.partsSkipped);
                EXPECT_GT(meshListCounts.partsDrawn, before.partsDrawn + 20);
            }
            // A second compile keeps the lists; releasing deletes them and sets 0 again.
            const std::vector<Mesh*> meshes = listedMeshes();
            for (size_t i = 0; i < meshes.size(); i++) {
                EXPECT_TRUE(lists[i] != 0 && compileMeshList(*meshes[i], partFaces) == lists[i]);
            }
            releaseMeshLists();
            for (size_t i = 0; i < meshes.size(); i++) {
                EXPECT_TRUE(!glIsList(lists[i]) && meshes[i]->displayList == 0 &&
                            meshes[i]->listParts.empty())
                    << i;
            }
            glDisable(GL_LIGHT0);
        }
}

// A mesh whose last faces lie behind the camera leaves the normal and uv of its last vertex (and
// its colour when untextured), as drawing it vertex by vertex does.
TEST(MeshLists, SkippedLastPartLeavesTheLastVertexState) {
    for (const unsigned int texture : {0u, 7u}) {
        Mesh mesh = grid(-4, -12, 8, 4, {0.2f, 0.4f, 0.6f}, -1, texture);
        mesh.normals.back() = {0, 0, 1};
        mesh.faceUVs.end()[-2] = 0.125f;
        std::vector<float> states[2];
        for (int way = 0; way < 2; way++) {
            lookFrom(2, -6, 100); // the last rows, near z = -4, are behind
            ASSERT_TRUE(way == 0 || compileMeshList(mesh, 4) != 0);
            const long long skipped = meshListCounts.partsSkipped;
            drawMesh(mesh);
            EXPECT_EQ(meshListCounts.partsSkipped > skipped, way == 1);
            states[way] = currentState();
        }
        EXPECT_EQ(states[0], states[1]) << "texture " << texture;
        glDeleteLists(mesh.displayList, GLsizei(mesh.listParts.size() + 1));
    }
}

// A part with a vertex that is not finite has no bounds to skip it by: its box is endless.
TEST(MeshLists, NonFiniteVertexMakesItsPartEndless) {
    for (const float bad : {NAN, INFINITY}) {
        for (int axis = 0; axis < 3; axis++) {
            Mesh mesh = grid(-4, -12, 8, 2, {1, 1, 1}, -1, 0);
            (&mesh.vertices[1].x)[axis] = bad; // a corner of faces 0 to 3, the first part
            ASSERT_NE(compileMeshList(mesh, 4), 0u);
            const Box3& box = mesh.listParts[0];
            EXPECT_TRUE(box.low.x == -INFINITY && box.high.z == INFINITY) << bad << " " << axis;
            EXPECT_TRUE(std::isfinite(mesh.listParts[1].low.x));
            glDeleteLists(mesh.displayList, GLsizei(mesh.listParts.size() + 1));
        }
    }
}
