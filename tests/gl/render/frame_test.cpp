// Scene frame and mesh drawing: the phases on screen, the colour rule of meshes, the particles of
// emitting objects, and the state a frame leaves. (The order of a frame's calls is checked end to
// end with apitrace.)
#include <GL/glu.h>

#include <algorithm>

#include "path/camera.h"
#include "render/frame.h"
#include "render/particles.h"
#include "render/screens.h"
#include "render/skybox.h"
#include "render_support.h"
#include "scene/scene_state.h"

namespace {

// A one-triangle mesh in its colour, counter-clockwise seen from +z.
Mesh triangle(Vec3 a, Vec3 b, Vec3 c, Color3 colour) {
    Mesh mesh;
    mesh.vertexCount = 3;
    mesh.faceCount = 1;
    mesh.vertices = {a, b, c};
    mesh.normals.assign(3, {0, 0, 1});
    mesh.faces = {0, 1, 2};
    mesh.color = colour;
    return mesh;
}

// Empty lists, a blue sky, logo red, intro green, end yellow, the camera at `eye` looking along
// -z.
void startScene(const Vec3& eye) {
    static const unsigned int sky = makeSolidTexture(0, 0, 255), logo = makeSolidTexture(255, 0, 0),
                              intro = makeSolidTexture(0, 255, 0),
                              end = makeSolidTexture(255, 255, 0);
    resetRenderState();
    std::fill(skyTextures, skyTextures + 6, sky);
    logoPicture = logo, introPicture = intro, endPicture = end;
    worldList.clear();
    objectList.clear();
    treeList.clear();
    useTestFont();
    glMatrixMode(GL_PROJECTION);
    gluPerspective(60.0, 640.0 / 480.0, 0.1, 4000.0);
    gluLookAt(eye.x, eye.y, eye.z, eye.x, eye.y, eye.z - 1, 0, 1, 0);
    camera.cameraPath.position = eye;
    glMatrixMode(GL_MODELVIEW);
}

} // namespace

// The moments around each phase's edges (the instant of the logo's end cleared, in grey; no
// text over pictures), each frame without a GL error; the scene last, which shows only the sky,
// the title and the frame rate.
TEST(Frame, EachPhaseShowsItsPictureAndAnEmptySceneOnlySkyAndText) {
    startScene({0, 10, 0});
    const float cases[][4] = {{12.9f, 255, 0, 0}, {13.0f, 51, 51, 51}, {13.1f, 0, 255, 0},
                              {27.9f, 0, 255, 0}, {124.9f, 0, 0, 255}, {125, 255, 255, 0},
                              {500, 255, 255, 0}, {28, 0, 0, 255}};
    for (const auto& c : cases) {
        drawEndScreen(); // a frame which does not clear would show it
        glClearColor(0.2f, 0.2f, 0.2f, 1);
        glGetError();
        drawSceneFrame(clockAt(c[0]));
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << c[0];
        glClearColor(0, 0, 0, 0);
        EXPECT_TRUE(pixelNear(320, 240, c[1], c[2], c[3], 1)) << c[0];
        EXPECT_TRUE(c[3] == 255 || pixelNear(20, 479 - 24, c[1], c[2], c[3], 1)) << c[0];
    }
    const std::vector<unsigned char> rgba = readWindow();
    int notSky = 0;
    for (int i = 0, x = 0, top = 479; i < 640 * 480; i++, x = i % 640, top = 479 - i / 640) {
        const bool text = top >= 16 && top < 32 && ((x >= 16 && x < 66) || (x >= 500 && x < 550));
        notSky += !text && !(rgba[4 * i] == 0 && rgba[4 * i + 1] == 0 && rgba[4 * i + 2] == 255);
    }
    EXPECT_EQ(notSky, 0);
    EXPECT_TRUE(showsGlyph(20, 24, 'S' - 32));
    EXPECT_TRUE(showsGlyph(504, 24, '7' - 32));
    EXPECT_TRUE(showsGlyph(524, 24, 'F' - 32));
    // The state every frame leaves: depth test on, texturing and culling off, depth writes on.
    EXPECT_EQ(glFlags(), (std::vector<int>{1, 0, 0, 0, 1}));
    EXPECT_EQ(glFloats(GL_MODELVIEW_MATRIX, 16),
              (std::vector<float>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
}

// An untextured mesh sets its colour (leaving texturing as found), which tints the next textured
// one.
TEST(Frame, UntexturedMeshColourTintsTheNextTexturedOne) {
    startScene({0, 0, 10}); // x in [-7.7, 7.7] at window (x + 7.7) * 41.6
    glEnable(GL_TEXTURE_2D);
    drawMesh(triangle({-9, -7, 0}, {-1, -7, 0}, {-9, 7, 0}, {1, 0, 0}));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    glDisable(GL_TEXTURE_2D);
    EXPECT_TRUE(pixelNear(40, 240, 255, 0, 0));
    Mesh textured = triangle({1, -7, 0}, {9, -7, 0}, {9, 7, 0}, {0, 1, 0});
    textured.textured = 1;
    textured.texture = makeSolidTexture(255, 255, 255);
    textured.faceUVs = {0, 0, 1, 0, 1, 1};
    drawMesh(textured);
    EXPECT_TRUE(pixelNear(600, 240, 255, 0, 0)); // white picture tinted red
    EXPECT_EQ(glFloats(GL_CURRENT_COLOR, 3), (std::vector<float>{1, 0, 0}));
    EXPECT_TRUE(!glIsEnabled(GL_TEXTURE_2D));
    glDeleteTextures(1, &textured.texture);
}

// Emitting objects trail their particles from the particle start on, never before. The one pool
// advances once per object: a particle that fades out in the first object's pass is reborn at it
// with a velocity about its last step (previous minus new position) and moved in the second
// pass, one that fades in the second pass is reborn at the second, and the others age twice.
TEST(Frame, EmittingObjectsAdvanceThePoolOncePerObjectFromTheParticleStart) {
    startScene({0, 0, 30});
    const Vec3 emitters[2] = {{-5, 1, 0}, {5, 2, 0}}, drifts[2] = {{0, 500, -300}, {0, 0, 0}};
    for (int k = 0; k < 2; k++) {
        objectList.push_back(SceneObject());
        SceneObject& object = objectList.back();
        object.mesh = triangle({0, 0, 0}, {0.1f, 0, 0}, {0, 0.1f, 0}, {1, 1, 1});
        object.mesh.emitsParticles = 1;
        object.path.position = emitters[k];
        object.motionDelta = drifts[k];
    }
    Particle* p = particleSystem.particles;
    for (float now : {90.5f, 100.0f}) { // particles start at 91
        for (int i = 0; i < MAX_PARTICLES; i++) {
            p[i] = Particle{1, 1.0f, 0.01f, 0.1f, 0.9f, 0.9f, 0.9f, {0, 0, 0}, {10, 20, 30}, {}};
        }
        particleSystem.slowdown = 1.0f;
        p[0].life = 0.05f, p[0].fade = 0.03f; // fades in the first pass
        p[1].life = 0.1f, p[1].fade = 0.03f;  // fades in the second pass
        drawSceneFrame(clockAt(now));
        if (now < 91) {
            EXPECT_EQ(p[2].life, 1.0f) << "updated before the particle start";
            continue;
        }
        EXPECT_FLOAT_EQ(p[2].life, 1.0f - 4 * 0.01f); // two updates of twice the fade
        EXPECT_FLOAT_EQ(p[2].size, 0.1f + 2 * (0.01f + 0.04f));
        EXPECT_FLOAT_EQ(p[2].position[2], 2 * 30 / 1000.0f);
        const float first[3] = {-5, 1.5f, -0.3f}, velocity[3] = {0, 500, -300},
                    second[3] = {5, 2, 0};
        for (int k = 0; k < 3; k++) {
            EXPECT_NEAR(p[0].position[k], first[k], 0.031f) << k;
            EXPECT_NEAR(p[0].velocity[k], velocity[k], 30.0f) << k;
            EXPECT_EQ(p[1].position[k], second[k]) << k;
            EXPECT_NEAR(p[1].velocity[k], 0.0f, 32.0f) << k;
        }
        EXPECT_EQ(p[1].life, 1.0f);
    }
    objectList.clear();
}
