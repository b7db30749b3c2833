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

// A bumpy n x n grid of triangles from (x0, lift, z0), with slanted normals and uv coordinates
// that run over the texture twice; textured with `texture` unless it is 0.
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

// Draws a scene frame from the path camera's start state, then reads the pixels into `pixels`
// and returns the state the next frame starts from.
std::vector<float> drawFrame(const std::function<void()>& startState,
                             std::vector<unsigned char>& pixels) {
    resetRenderState();
    glMatrixMode(GL_PROJECTION);
    gluPerspective(60.0, 640.0 / 480.0, 0.1, 4000.0);
    gluLookAt(0, 6, 4, 0, -1, -14, 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
    startState();
    drawSceneFrame(clockAt(50)); // the scene, before the particles start
    pixels.assign(640 * 480 * 4, 0);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    std::vector<float> state(44);
    glGetFloatv(GL_CURRENT_COLOR, &state[0]);
    glGetFloatv(GL_CURRENT_NORMAL, &state[4]);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, &state[8]);
    glGetFloatv(GL_MODELVIEW_MATRIX, &state[12]);
    glGetFloatv(GL_PROJECTION_MATRIX, &state[28]);
    GLint binding = -1;
    GLboolean mask = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    state.insert(state.end(), {float(binding), float(mask)});
    for (GLenum cap : {GL_TEXTURE_2D, GL_CULL_FACE, GL_LIGHTING, GL_DEPTH_TEST, GL_LIGHT0}) {
        state.push_back(glIsEnabled(cap));
    }
    return state;
}

int drawnPixels(const std::vector<unsigned char>& pixels) {
    int drawn = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        drawn += (pixels[i] | pixels[i + 1] | pixels[i + 2]) != 0;
    }
    return drawn;
}

// A black sky; world: a textured ground, an untextured hill, a textured wall after it (tinted
// by its colour), a mesh whose counts run past its arrays; two turned objects; one tree.
void buildScene(unsigned int patterned, unsigned int plain, unsigned int black) {
    for (unsigned int& texture : skyTextures) {
        texture = black;
    }
    worldList = {grid(-20, -30, 40, 24, {1, 1, 1}, -2, patterned),
                 grid(-8, -22, 14, 10, {0.2f, 0.7f, 0.4f}, -1.2f, 0),
                 grid(-12, -28, 10, 6, {1, 1, 1}, 0, plain),
                 grid(8, -16, 3, 2, {0.9f, 0.1f, 0.8f}, 1, 0)};
    for (Vec3& v : worldList[2].vertices) {
        std::swap(v.y, v.z); // stand the wall up
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

// Compiles the lists of the world and object meshes, partFaces faces to a list part.
void compileWithParts(int partFaces) {
    for (Mesh& mesh : worldList) {
        compileMeshList(mesh, partFaces);
    }
    for (SceneObject& object : objectList) {
        compileMeshList(object.mesh, partFaces);
    }
}

} // namespace

// Whole meshes in one part each, then parts of 16 faces: the ground's rows behind the camera and
// beside the view are skipped, the rest called; the frame is the same either way.
TEST(MeshLists, SamePixelsAndStateAsImmediateModeAndCompilingDrawsNothing) {
    const unsigned int patterned = makeTexture(
        {{250, 40, 40, 255}, {40, 250, 40, 255}, {40, 40, 250, 255}, {250, 250, 40, 255}});
    const unsigned int plain = makeSolidTexture(200, 160, 255), black = makeSolidTexture(0, 0, 0);
    useTestFont();
    // Plain, then lit (the recorded normals decide the pixels) with a colour and a texture left
    // from before the frame.
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
            glColor4f(0.25f, 0.5f, 0.75f, 1);
            compileWithParts(partFaces);
            std::vector<unsigned char> afterCompile(640 * 480 * 4);
            glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, afterCompile.data());
            EXPECT_EQ(drawnPixels(afterCompile), 0);
            GLfloat colour[4];
            glGetFloatv(GL_CURRENT_COLOR, colour);
            EXPECT_TRUE(colour[0] == 0.25f && colour[1] == 0.5f && colour[2] == 0.75f);
            std::vector<unsigned int> lists;
            for (Mesh& mesh : worldList) {
                lists.push_back(mesh.displayList);
                mesh.vertices.clear(); // the frame from the lists no longer reads the arrays
            }
            for (SceneObject& object : objectList) {
                lists.push_back(object.mesh.displayList);
                object.mesh.vertices.clear();
            }
            EXPECT_EQ(treeList[0].displayList, 0u); // trees keep their per-frame order

            const MeshListCounts before = meshListCounts;
            const std::vector<float> listedState = drawFrame(start, listed);
            if (partFaces == 16) {
                EXPECT_GT(meshListCounts.partsSkipped, before.partsSkipped);
                EXPECT_GT(meshListCounts.partsDrawn, before.partsDrawn + 20);
            }
            int differing = 0;
            for (size_t i = 0; i < immediate.size(); i++) {
                differing += immediate[i] != listed[i];
            }
            EXPECT_EQ(differing, 0) << "pixels differ";
            EXPECT_EQ(immediateState, listedState);

            // A second compile keeps the lists; releasing deletes them and sets 0 again.
            compileWithParts(partFaces);
            for (size_t i = 0; i < lists.size(); i++) {
                const Mesh& mesh = i < 4 ? worldList[i] : objectList[i - 4].mesh;
                EXPECT_TRUE(lists[i] != 0 && mesh.displayList == lists[i] && glIsList(lists[i]))
                    << i;
            }
            releaseMeshLists();
            for (size_t i = 0; i < lists.size(); i++) {
                const Mesh& mesh = i < 4 ? worldList[i] : objectList[i - 4].mesh;
                EXPECT_TRUE(!glIsList(lists[i]) && mesh.displayList == 0 && mesh.listParts.empty())
                    << i;
            }
            glDisable(GL_LIGHT0);
        }
    worldList.clear();
    objectList.clear();
    treeList.clear();
    for (unsigned int& texture : skyTextures) {
        texture = 0;
    }
    for (unsigned int texture : {patterned, plain, black}) {
        glDeleteTextures(1, &texture);
    }
}

// A mesh whose last faces lie behind the camera leaves the current normal and uv of its last
// vertex, as drawing it vertex by vertex does; an untextured one leaves its colour too.
TEST(MeshLists, SkippedLastPartLeavesTheLastVertexState) {
    for (const unsigned int texture : {0u, 7u}) {
        Mesh mesh = grid(-4, -12, 8, 4, {0.2f, 0.4f, 0.6f}, -1, texture); // rows run towards +z
        mesh.normals.back() = {0, 0, 1};
        mesh.faceUVs.end()[-2] = 0.125f;
        std::vector<float> states[2];
        for (int way = 0; way < 2; way++) {
            resetRenderState();
            glMatrixMode(GL_PROJECTION);
            gluPerspective(60.0, 640.0 / 480.0, 0.1, 100.0);
            gluLookAt(0, 2, -6, 0, -1, -14, 0, 1, 0); // the last rows, near z = -4, are behind
            glMatrixMode(GL_MODELVIEW);
            if (way == 1) {
                ASSERT_NE(compileMeshList(mesh, 4), 0u);
            }
            const MeshListCounts before = meshListCounts;
            drawMesh(mesh);
            if (way == 1) {
                EXPECT_GT(meshListCounts.partsSkipped, before.partsSkipped);
            }
            states[way].resize(12);
            glGetFloatv(GL_CURRENT_COLOR, &states[way][0]);
            glGetFloatv(GL_CURRENT_NORMAL, &states[way][4]);
            glGetFloatv(GL_CURRENT_TEXTURE_COORDS, &states[way][8]);
        }
        EXPECT_EQ(states[0], states[1]) << "texture " << texture;
        glDeleteLists(mesh.displayList, GLsizei(mesh.listParts.size() + 1));
    }
}
