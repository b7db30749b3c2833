// Display lists of world and object meshes: a frame drawn from the lists gives the same pixels
// and leaves the same GL state as the frame drawn vertex by vertex; compiling draws nothing.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "path/camera.h"
#include "render/font.h"
#include "render/frame.h"
#include "render/mesh_lists.h"
#include "render/skybox.h"
#include "render_support.h"
#include "scene/scene_state.h"

namespace {

// A bumpy n x n grid of triangles over [x0, x0 + size] x [z0, z0 + size], with slanted normals,
// per-corner uv coordinates that run over the texture twice, and a colour.
Mesh grid(float x0, float z0, float size, int n, Color3 colour, float lift) {
    Mesh mesh;
    for (int j = 0; j <= n; j++) {
        for (int i = 0; i <= n; i++) {
            const float x = x0 + size * float(i) / float(n);
            const float z = z0 + size * float(j) / float(n);
            const float y = lift + 0.6f * std::sin(0.9f * float(i)) * std::cos(0.7f * float(j));
            mesh.vertices.push_back({x, y, z});
            const float nx = 0.3f * std::cos(float(i + j));
            const float length = std::sqrt(nx * nx + 1.0f);
            mesh.normals.push_back({nx / length, 1.0f / length, 0});
        }
    }
    for (int j = 0; j < n; j++) {
        for (int i = 0; i < n; i++) {
            const int a = j * (n + 1) + i, b = a + 1, c = a + n + 1, d = c + 1;
            mesh.faces.insert(mesh.faces.end(), {a, c, b, b, c, d});
            const float u0 = 2.0f * float(i) / float(n), u1 = 2.0f * float(i + 1) / float(n);
            const float v0 = 2.0f * float(j) / float(n), v1 = 2.0f * float(j + 1) / float(n);
            mesh.faceUVs.insert(mesh.faceUVs.end(), {u0, v0, u0, v1, u1, v0});
            mesh.faceUVs.insert(mesh.faceUVs.end(), {u1, v0, u0, v1, u1, v1});
        }
    }
    mesh.vertexCount = int(mesh.vertices.size());
    mesh.faceCount = int(mesh.faces.size() / 3);
    mesh.color = colour;
    return mesh;
}

// A box of 12 faces around the origin, half size `h`, outward corners as normals.
Mesh box(float h, Color3 colour) {
    Mesh mesh;
    for (int k = 0; k < 8; k++) {
        const Vec3 v = {(k & 1) ? h : -h, (k & 2) ? h : -h, (k & 4) ? h : -h};
        mesh.vertices.push_back(v);
        const float s = 1.0f / std::sqrt(3.0f);
        mesh.normals.push_back({v.x > 0 ? s : -s, v.y > 0 ? s : -s, v.z > 0 ? s : -s});
    }
    mesh.faces = {0, 2, 1, 1, 2, 3, 4, 5, 6, 5, 7, 6, 0, 1, 4, 1, 5, 4,
                  2, 6, 3, 3, 6, 7, 0, 4, 2, 2, 4, 6, 1, 3, 5, 3, 7, 5};
    for (int f = 0; f < 12; f++) {
        mesh.faceUVs.insert(mesh.faceUVs.end(), {0, 0, 1, 0, 0.5f, 1});
    }
    mesh.vertexCount = 8;
    mesh.faceCount = 12;
    mesh.color = colour;
    return mesh;
}

void makeTextured(Mesh& mesh, unsigned int texture) {
    mesh.textured = 1;
    mesh.texture = texture;
}

ShowClock sceneClock() {
    ShowClock clock;
    clock.now = 50; // scene phase, before the particles start
    clock.logoEnd = 13;
    clock.introEnd = 28;
    clock.particleStart = 91;
    clock.sceneEnd = 125;
    clock.showEnd = 143;
    clock.shownFps = 42;
    return clock;
}

// What a frame leaves behind: its pixels and the state the next frame starts from.
struct FrameResult {
    std::vector<unsigned char> pixels;
    GLfloat colour[4], normal[4], texCoord[4];
    GLint binding = -1;
    GLboolean texture2D = 0, cull = 0, lighting = 0, depthTest = 0, depthMask = 0;
    GLfloat modelview[16], projection[16];
};

// The render state of a new frame, with the path camera looking down over the scene.
void startFrame() {
    resetRenderState();
    glMatrixMode(GL_PROJECTION);
    gluPerspective(60.0, 640.0 / 480.0, 0.1, 4000.0);
    gluLookAt(0, 6, 4, 0, -1, -14, 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
}

FrameResult drawAndRead() {
    drawSceneFrame(sceneClock());
    glFinish();
    FrameResult r;
    r.pixels.resize(640 * 480 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, r.pixels.data());
    glGetFloatv(GL_CURRENT_COLOR, r.colour);
    glGetFloatv(GL_CURRENT_NORMAL, r.normal);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, r.texCoord);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &r.binding);
    r.texture2D = glIsEnabled(GL_TEXTURE_2D);
    r.cull = glIsEnabled(GL_CULL_FACE);
    r.lighting = glIsEnabled(GL_LIGHTING);
    r.depthTest = glIsEnabled(GL_DEPTH_TEST);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &r.depthMask);
    glGetFloatv(GL_MODELVIEW_MATRIX, r.modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, r.projection);
    return r;
}

void expectSameFrame(const FrameResult& a, const FrameResult& b) {
    int differing = 0;
    for (size_t i = 0; i < a.pixels.size(); i += 4) {
        differing += (a.pixels[i] != b.pixels[i] || a.pixels[i + 1] != b.pixels[i + 1] ||
                      a.pixels[i + 2] != b.pixels[i + 2] || a.pixels[i + 3] != b.pixels[i + 3]);
    }
    EXPECT_EQ(differing, 0) << "pixels differ";
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(a.colour[i], b.colour[i]) << "current colour " << i;
        EXPECT_EQ(a.normal[i], b.normal[i]) << "current normal " << i;
        EXPECT_EQ(a.texCoord[i], b.texCoord[i]) << "current texture coordinate " << i;
    }
    EXPECT_EQ(a.binding, b.binding);
    EXPECT_EQ(a.texture2D, b.texture2D);
    EXPECT_EQ(a.cull, b.cull);
    EXPECT_EQ(a.lighting, b.lighting);
    EXPECT_EQ(a.depthTest, b.depthTest);
    EXPECT_EQ(a.depthMask, b.depthMask);
    for (int i = 0; i < 16; i++) {
        EXPECT_EQ(a.modelview[i], b.modelview[i]) << "modelview " << i;
        EXPECT_EQ(a.projection[i], b.projection[i]) << "projection " << i;
    }
}

// Counts the pixels that are not the clear colour (black).
int drawnPixels(const std::vector<unsigned char>& pixels) {
    int drawn = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        drawn += (pixels[i] | pixels[i + 1] | pixels[i + 2]) != 0;
    }
    return drawn;
}

class MeshLists : public testing::Test {
  protected:
    void SetUp() override {
        resetRenderState();
        sky = makeSolidTexture(0, 0, 0); // a black sky: only the meshes show
        for (int i = 0; i < 6; i++) {
            savedSky[i] = skyTextures[i];
            skyTextures[i] = sky;
        }
        const Rgba checker[4] = {
            {250, 40, 40, 255}, {40, 250, 40, 255}, {40, 40, 250, 255}, {250, 250, 40, 255}};
        patterned = makeTexture(checker);
        plain = makeSolidTexture(200, 160, 255);
        useTestFont();
        worldList.clear();
        objectList.clear();
        treeList.clear();

        // World: a textured ground, an untextured hill over part of it, a textured wall drawn
        // after the untextured mesh (so it is tinted by that colour), and one mesh whose counts
        // run past its arrays.
        Mesh ground = grid(-20, -30, 40, 24, {1, 1, 1}, -2);
        makeTextured(ground, patterned);
        worldList.push_back(ground);
        worldList.push_back(grid(-8, -22, 14, 10, {0.2f, 0.7f, 0.4f}, -1.2f));
        Mesh wall = grid(-12, -28, 10, 6, {1, 1, 1}, 0);
        for (Vec3& v : wall.vertices) {
            std::swap(v.y, v.z); // stand it up
            v.z -= 26;
        }
        makeTextured(wall, plain);
        worldList.push_back(wall);
        Mesh broken = box(1, {0.9f, 0.1f, 0.8f});
        broken.faceCount = 40;
        broken.faces[5] = 99;
        for (Vec3& v : broken.vertices) {
            v.x += 9;
            v.z -= 15;
        }
        worldList.push_back(broken);

        // Objects, each turned and moved: a textured box, an untextured one last.
        SceneObject spinning;
        spinning.mesh = box(1.5f, {1, 1, 1});
        makeTextured(spinning.mesh, patterned);
        spinning.path.position = {4, 1, -12};
        spinning.path.target = {25, 0, 60};
        SceneObject tilted;
        tilted.mesh = box(1, {0.95f, 0.6f, 0.1f});
        tilted.path.position = {-5, 2, -10};
        tilted.path.target = {-40, 0, 15};
        objectList = {spinning, tilted};

        // A tree keeps its per-frame order and is never compiled.
        Mesh tree = grid(-3, -9, 6, 4, {1, 1, 1}, 0.5f);
        makeTextured(tree, plain);
        tree.faceOrder.resize(size_t(tree.faceCount));
        tree.faceDistance.resize(size_t(tree.faceCount));
        treeList.push_back(tree);

        camera.cameraPath.position = {0, 6, 4};
    }
    void TearDown() override {
        releaseMeshLists();
        worldList.clear();
        objectList.clear();
        treeList.clear();
        for (int i = 0; i < 6; i++) {
            skyTextures[i] = savedSky[i];
        }
        glDeleteTextures(1, &patterned);
        glDeleteTextures(1, &plain);
        glDeleteTextures(1, &sky);
        glDisable(GL_LIGHT0);
        resetRenderState();
    }
    // Draws the frame the immediate way, then from the lists, each from the same start state.
    void compareBothWays(const std::function<void()>& startState) {
        startFrame();
        startState();
        const FrameResult immediate = drawAndRead();
        ASSERT_GT(drawnPixels(immediate.pixels), 640 * 480 / 4) << "the scene is not in view";

        compileMeshLists();
        for (const Mesh& mesh : worldList) {
            ASSERT_NE(mesh.displayList, 0u);
        }
        for (const SceneObject& object : objectList) {
            ASSERT_NE(object.mesh.displayList, 0u);
        }
        EXPECT_EQ(treeList[0].displayList, 0u);

        startFrame();
        startState();
        expectSameFrame(immediate, drawAndRead());
    }
    unsigned int patterned = 0, plain = 0, sky = 0;
    unsigned int savedSky[6];
};

TEST_F(MeshLists, SamePixelsAndStateAsImmediateMode) {
    compareBothWays([] {});
}

// Lit, the recorded normals decide the pixels; a texture left bound and enabled before the frame
// and a colour set before it must end the same way.
TEST_F(MeshLists, SamePixelsAndStateLitAndFromAnotherStartState) {
    compareBothWays([this] {
        const GLfloat position[4] = {3, 10, 2, 0};
        const GLfloat diffuse[4] = {0.9f, 0.8f, 0.7f, 1};
        glLightfv(GL_LIGHT0, GL_POSITION, position);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
        glEnable(GL_LIGHT0);
        glEnable(GL_LIGHTING);
        glColor3f(0.3f, 0.9f, 0.6f);
        glBindTexture(GL_TEXTURE_2D, plain);
    });
}

// The frame from the lists no longer reads the mesh arrays, and compiling draws nothing and
// changes no state.
TEST_F(MeshLists, CompilingRecordsWithoutDrawingAndTheListIsWhatIsDrawn) {
    startFrame();
    const FrameResult before = drawAndRead();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor4f(0.25f, 0.5f, 0.75f, 1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);

    compileMeshLists();
    glFinish();
    std::vector<unsigned char> pixels(640 * 480 * 4);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    EXPECT_EQ(drawnPixels(pixels), 0);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 0.25f);
    EXPECT_EQ(colour[1], 0.5f);
    EXPECT_EQ(colour[2], 0.75f);
    GLint binding = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding);
    EXPECT_EQ(binding, 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    for (Mesh& mesh : worldList) {
        mesh.vertices.clear();
        mesh.faces.clear();
    }
    for (SceneObject& object : objectList) {
        object.mesh.vertices.clear();
        object.mesh.faces.clear();
    }
    startFrame();
    const FrameResult after = drawAndRead();
    expectSameFrame(before, after);
}

// A second compile keeps the lists it made; releasing deletes them and draws immediate again.
TEST_F(MeshLists, CompilingTwiceKeepsTheListsAndReleaseDeletesThem) {
    compileMeshLists();
    std::vector<unsigned int> first;
    for (const Mesh& mesh : worldList) {
        first.push_back(mesh.displayList);
    }
    for (const SceneObject& object : objectList) {
        first.push_back(object.mesh.displayList);
    }
    compileMeshLists();
    std::vector<unsigned int> second;
    for (const Mesh& mesh : worldList) {
        second.push_back(mesh.displayList);
    }
    for (const SceneObject& object : objectList) {
        second.push_back(object.mesh.displayList);
    }
    EXPECT_EQ(first, second);
    for (unsigned int list : first) {
        EXPECT_TRUE(glIsList(list)) << list;
    }

    releaseMeshLists();
    for (unsigned int list : first) {
        EXPECT_FALSE(glIsList(list)) << list;
    }
    for (const Mesh& mesh : worldList) {
        EXPECT_EQ(mesh.displayList, 0u);
    }
    for (const SceneObject& object : objectList) {
        EXPECT_EQ(object.mesh.displayList, 0u);
    }
}

// A mesh with no faces at all still gets a list, and calling it changes nothing but what the
// immediate drawing changes (its colour).
TEST_F(MeshLists, EmptyMeshListSetsOnlyItsColour) {
    Mesh empty;
    empty.color = {0.5f, 0.25f, 1};
    ASSERT_NE(compileMeshList(empty), 0u);
    glColor3f(0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    drawMesh(empty);
    glFinish();
    EXPECT_TRUE(near(pixelAt(320, 240), 0, 0, 0, 0));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 0.5f);
    EXPECT_EQ(colour[1], 0.25f);
    EXPECT_EQ(colour[2], 1.0f);
    glDeleteLists(empty.displayList, 1);
}

} // namespace
