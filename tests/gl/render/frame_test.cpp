// Scene frame and mesh drawing: the phases on screen, the scene's order and transforms, trees,
// particles by emitter and time, the state a frame leaves, and the colour rules of meshes.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

#include "path/camera.h"
#include "render/font.h"
#include "render/frame.h"
#include "render/particles.h"
#include "render/screens.h"
#include "render/skybox.h"
#include "render_support.h"
#include "scene/scene_state.h"

namespace {

// A one-triangle mesh in its colour; `clockwise` reverses the corners as seen from +z.
Mesh triangle(Vec3 a, Vec3 b, Vec3 c, Color3 colour, bool clockwise = false) {
    Mesh mesh;
    mesh.vertexCount = 3;
    mesh.faceCount = 1;
    mesh.vertices = {a, b, c};
    mesh.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    mesh.faces = clockwise ? std::vector<int>{0, 2, 1} : std::vector<int>{0, 1, 2};
    mesh.color = colour;
    return mesh;
}

ShowClock sceneClock(float now) {
    ShowClock clock;
    clock.now = now;
    clock.logoEnd = 13;
    clock.introEnd = 28;
    clock.particleStart = 91;
    clock.sceneEnd = 125;
    clock.showEnd = 143;
    clock.shownFps = 7;
    return clock;
}

class Frame : public testing::Test {
  protected:
    void SetUp() override {
        resetRenderState();
        for (int i = 0; i < 6; i++) {
            savedSky[i] = skyTextures[i];
        }
        sky = makeSolidTexture(0, 0, 255);
        for (unsigned int& texture : skyTextures) {
            texture = sky;
        }
        savedPictures[0] = logoPicture;
        savedPictures[1] = introPicture;
        savedPictures[2] = endPicture;
        logoPicture = makeSolidTexture(255, 0, 0);
        introPicture = makeSolidTexture(0, 255, 0);
        endPicture = makeSolidTexture(255, 255, 0);
        savedFontTexture = fontTexture;
        savedFontBase = fontListBase;
        worldList.clear();
        objectList.clear();
        treeList.clear();
        camera.cameraPath.position = {0, 10, 0};
    }
    void TearDown() override {
        worldList.clear();
        objectList.clear();
        treeList.clear();
        for (int i = 0; i < 6; i++) {
            skyTextures[i] = savedSky[i];
        }
        glDeleteTextures(1, &sky);
        glDeleteTextures(1, &logoPicture);
        glDeleteTextures(1, &introPicture);
        glDeleteTextures(1, &endPicture);
        logoPicture = savedPictures[0];
        introPicture = savedPictures[1];
        endPicture = savedPictures[2];
        fontTexture = savedFontTexture;
        fontListBase = savedFontBase;
        resetRenderState();
    }
    // Perspective camera in the projection matrix, as the path camera leaves it.
    void lookFrom(Vec3 eye, Vec3 centre) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 640.0 / 480.0, 0.1, 4000.0);
        gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0, 1, 0);
        glMatrixMode(GL_MODELVIEW);
        camera.cameraPath.position = eye;
    }
    // Orthographic view of x in [-10, 10], y in [-7.5, 7.5], z in [-100, 100]: the sky box lies
    // wholly outside it, and a world point maps to window ((x + 10) * 32, (y + 7.5) * 32).
    void orthographic() {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-10, 10, -7.5, 7.5, -100, 100);
        glMatrixMode(GL_MODELVIEW);
    }
    unsigned int sky = 0;
    unsigned int savedSky[6];
    unsigned int savedPictures[3];
    unsigned int savedFontTexture = 0;
    unsigned int savedFontBase = 0;
};

void expectSceneStateLeft() {
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_EQ(mask, GL_TRUE);
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; i++) {
        EXPECT_EQ(modelview[i], (i % 5 == 0) ? 1.0f : 0.0f);
    }
}

TEST_F(Frame, EmptyListsDrawOnlyTheSkyAndTheTwoTextLines) {
    useTestFont();
    lookFrom({0, 10, 0}, {0, 10, -1});
    drawSceneFrame(sceneClock(50));
    std::vector<unsigned char> rgba(640 * 480 * 4);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int notSky = 0;
    for (int y = 0; y < 480; y++) {
        for (int x = 0; x < 640; x++) {
            const int top = 479 - y;
            const bool title = x >= 16 && x < 66 && top >= 16 && top < 32;
            const bool fps = x >= 500 && x < 550 && top >= 16 && top < 32;
            const unsigned char* p = &rgba[4 * (y * 640 + x)];
            if (!title && !fps && !(p[0] == 0 && p[1] == 0 && p[2] == 255)) {
                notSky++;
            }
        }
    }
    EXPECT_EQ(notSky, 0);
    EXPECT_TRUE(near(overlayPixel(20, 24), 'S' - 32, 255 - ('S' - 32), 200, 1));
    EXPECT_TRUE(near(overlayPixel(504, 24), '7' - 32, 255 - ('7' - 32), 200, 1));
    EXPECT_TRUE(near(overlayPixel(524, 24), 'F' - 32, 255 - ('F' - 32), 200, 1));
    expectSceneStateLeft();
}

TEST_F(Frame, EachPhaseShowsItsPictureWithoutTextAndLogoEndStaysCleared) {
    useTestFont();
    lookFrom({0, 10, 0}, {0, 10, -1});
    const struct {
        float now;
        int r, g, b;
    } cases[] = {{0, 255, 0, 0},      {12.9f, 255, 0, 0}, {13.0f, 51, 51, 51},
                 {13.1f, 0, 255, 0},  {27.9f, 0, 255, 0}, {28.0f, 0, 0, 255},
                 {124.9f, 0, 0, 255}, {125, 255, 255, 0}, {143, 255, 255, 0}};
    for (const auto& c : cases) {
        // Leave a picture behind so that a frame which does not clear would show it.
        drawEndScreen();
        glClearColor(0.2f, 0.2f, 0.2f, 1);
        drawSceneFrame(sceneClock(c.now));
        glClearColor(0, 0, 0, 0);
        EXPECT_TRUE(near(pixelAt(320, 240), c.r, c.g, c.b, 1)) << "now " << c.now;
        if (c.b != 255) { // no text over a picture or the cleared frame
            EXPECT_TRUE(near(overlayPixel(20, 24), c.r, c.g, c.b, 1)) << "now " << c.now;
        }
    }
}

// Object corner (x, y, z) turned by -30 about y, then z degrees about z, x about x, then moved.
Vec3 placed(Vec3 v, Vec3 position, float ax, float az) {
    const double k = 3.1415926535898 / 180.0;
    const double y30 = -30 * k;
    double x = v.x * std::cos(y30) + v.z * std::sin(y30);
    double y = v.y;
    double z = -v.x * std::sin(y30) + v.z * std::cos(y30);
    const double x2 = x * std::cos(az * k) - y * std::sin(az * k);
    const double y2 = x * std::sin(az * k) + y * std::cos(az * k);
    x = x2;
    y = y2;
    const double y3 = y * std::cos(ax * k) - z * std::sin(ax * k);
    const double z3 = y * std::sin(ax * k) + z * std::cos(ax * k);
    return {float(x + position.x), float(y3 + position.y), float(z3 + position.z)};
}

TEST_F(Frame, ObjectsAreTurnedThenMovedEachFromTheWorldFrameAndCulled) {
    fontListBase = 0; // no text in the capture
    orthographic();
    const Vec3 a = {0, 0, 0}, b = {2, 0, 0}, c = {0, 2, 0};
    worldList.push_back(triangle(a, b, c, {0, 0, 1}, true)); // back-facing, world: not culled

    SceneObject turned;
    turned.mesh = triangle(a, b, c, {1, 0, 0});
    turned.path.position = {-4, 1, 0};
    turned.path.target = {20, 999, 40}; // y is not an angle
    SceneObject plain;
    plain.mesh = triangle(a, b, c, {0, 1, 0});
    plain.path.position = {4, -3, 0};
    SceneObject away;
    away.mesh = triangle(a, b, c, {1, 1, 1}, true);
    objectList = {turned, plain, away};
    treeList.push_back(triangle(a, b, c, {1, 1, 0}, true)); // back-facing tree: not culled

    const auto polygons = capturePolygons([] { drawSceneFrame(sceneClock(50)); });
    ASSERT_EQ(polygons.size(), 4u);
    const float colours[4][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(polygons[i][0].r, colours[i][0]) << i;
        EXPECT_EQ(polygons[i][0].g, colours[i][1]) << i;
        EXPECT_EQ(polygons[i][0].b, colours[i][2]) << i;
    }
    const struct {
        int polygon;
        Vec3 position;
        float ax, az;
    } objects[] = {{1, {-4, 1, 0}, 20, 40}, {2, {4, -3, 0}, 0, 0}};
    for (const auto& o : objects) {
        const auto& polygon = polygons[o.polygon];
        ASSERT_EQ(polygon.size(), 3u);
        const Vec3 corners[3] = {a, b, c};
        for (int k = 0; k < 3; k++) {
            const Vec3 w = placed(corners[k], o.position, o.ax, o.az);
            EXPECT_NEAR(polygon[k].x, (w.x + 10) * 32, 0.05f) << o.polygon << " corner " << k;
            EXPECT_NEAR(polygon[k].y, (w.y + 7.5f) * 32, 0.05f) << o.polygon << " corner " << k;
        }
    }
    expectSceneStateLeft();
}

TEST_F(Frame, ParticlesFromTheirStartTimeOncePerEmittingObject) {
    fontListBase = 0;
    orthographic();
    ensureImageLibrary();
    inDirectory("render/pictures", [] { initParticles(particleSystem, 0, 0, 0, 0, 200, 0, 1); });
    SceneObject first;
    first.mesh = triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 0, 0});
    first.mesh.emitsParticles = 1;
    first.path.position = {-5, 2, 1};
    SceneObject second = first;
    second.path.position = {6, -2, 3};
    SceneObject still = first;
    still.mesh.emitsParticles = 0;
    objectList = {first, second, still};
    camera.cameraPath.position = {0, 0, 50};

    drawSceneFrame(sceneClock(90.9f));
    for (const Particle& p : particleSystem.particles) {
        ASSERT_FLOAT_EQ(p.life, 0.1f) << "updated before the particle start time";
    }
    // Two emitters: reborn at the first in its call, then advanced once more by the second.
    drawSceneFrame(sceneClock(91.0f));
    for (const Particle& p : particleSystem.particles) {
        ASSERT_EQ(p.life, 1.0f - (p.fade + p.fade));
        ASSERT_NEAR(p.position[0], -5.0f, 0.05f);
        ASSERT_NEAR(p.position[1], 2.0f, 0.05f);
    }
    // One emitter: every particle only reborn, at that emitter.
    objectList = {second, still};
    for (Particle& p : particleSystem.particles) {
        p.life = 0.01f;
        p.fade = 0.5f;
    }
    drawSceneFrame(sceneClock(100.0f));
    for (const Particle& p : particleSystem.particles) {
        ASSERT_EQ(p.life, 1.0f);
        ASSERT_EQ(p.position[0], 6.0f);
    }
    expectSceneStateLeft();
}

// Two faces over the screen centre, the farther listed first. Drawn nearest first without depth
// writes, the farther face ends on top, and the depth buffer keeps its cleared value.
TEST_F(Frame, TreeFacesNearestFirstWithoutDepthWrites) {
    fontListBase = 0;
    lookFrom({0, 0, 10}, {0, 0, 0});
    const Rgba texels[4] = {{255, 0, 0, 255},
                            {0, 0, 255, 255},
                            {255, 0, 0, 255},
                            {0, 0, 255, 255}}; // s < 0.5 red, s >= 0.5 blue
    const unsigned int leaves = makeTexture(texels);
    Mesh tree;
    tree.vertexCount = 6;
    tree.faceCount = 2;
    tree.vertices = {{-3, -3, 0}, {3, -3, 0}, {0, 3, 0}, {-3, -3, 5}, {3, -3, 5}, {0, 3, 5}};
    tree.normals.assign(6, {0, 0, 1});
    tree.faces = {0, 1, 2, 3, 4, 5};
    tree.faceUVs = {0.75f, 0.5f, 0.75f, 0.5f, 0.75f, 0.5f, 0.25f, 0.5f, 0.25f, 0.5f, 0.25f, 0.5f};
    tree.textured = 1;
    tree.texture = leaves;
    treeList.push_back(tree);
    drawSceneFrame(sceneClock(50));
    EXPECT_TRUE(near(pixelAt(320, 240), 0, 0, 255));
    GLfloat depth = 0;
    glReadPixels(320, 240, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f);
    ASSERT_EQ(treeList[0].faceOrder.size(), 2u);
    EXPECT_EQ(treeList[0].faceOrder[0], 1);
    expectSceneStateLeft();
    glDeleteTextures(1, &leaves);
}

// A tree without uv coordinates is drawn in its colour; a world mesh does write depth.
TEST_F(Frame, UntexturedTreeInItsColourAndWorldWritesDepth) {
    fontListBase = 0;
    lookFrom({0, 0, 10}, {0, 0, 0});
    treeList.push_back(triangle({-3, -3, 0}, {3, -3, 0}, {0, 3, 0}, {0, 1, 0}));
    drawSceneFrame(sceneClock(50));
    EXPECT_TRUE(near(pixelAt(320, 240), 0, 255, 0));
    treeList.clear();
    worldList.push_back(triangle({-3, -3, 0}, {3, -3, 0}, {0, 3, 0}, {1, 0, 1}));
    drawSceneFrame(sceneClock(50));
    EXPECT_TRUE(near(pixelAt(320, 240), 255, 0, 255));
    GLfloat depth = 1;
    glReadPixels(320, 240, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_LT(depth, 1.0f);
    expectSceneStateLeft();
}

TEST_F(Frame, UntexturedMeshSetsItsColourAndTintsTheNextTexturedOne) {
    orthographic();
    glEnable(GL_TEXTURE_2D); // left as found by the untextured case
    drawMesh(triangle({-9, -7, 0}, {-1, -7, 0}, {-9, 7, 0}, {1, 0, 0}));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    glDisable(GL_TEXTURE_2D);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[1], 0.0f);
    EXPECT_EQ(colour[2], 0.0f);
    EXPECT_TRUE(near(pixelAt(40, 240), 255, 0, 0));

    const unsigned int white = makeSolidTexture(255, 255, 255);
    Mesh textured = triangle({1, -7, 0}, {9, -7, 0}, {9, 7, 0}, {0, 1, 0});
    textured.textured = 1;
    textured.texture = white;
    textured.faceUVs = {0, 0, 1, 0, 1, 1};
    drawMesh(textured);
    EXPECT_TRUE(near(pixelAt(600, 240), 255, 0, 0)); // white picture tinted red
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[1], 0.0f);
    glDeleteTextures(1, &white);
}

// Counts that disagree with the arrays, and indices outside them, draw only the sound faces.
TEST_F(Frame, MeshArraysShorterThanTheirCountsAreNeverReadPast) {
    orthographic();
    Mesh mesh = triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 1});
    mesh.faceCount = 4;
    mesh.faces = {0, 1, 2, 0, 1, 7};
    EXPECT_EQ(capturePolygons([&] { drawMesh(mesh); }).size(), 1u);
    mesh.textured = 1;
    mesh.faceUVs = {0, 0, 1, 0}; // not even one face's worth
    EXPECT_EQ(capturePolygons([&] { drawMesh(mesh); }).size(), 0u);
    mesh.faceUVs = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
    EXPECT_EQ(capturePolygons([&] { drawMesh(mesh); }).size(), 1u);
}

} // namespace
