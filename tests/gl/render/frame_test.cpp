// Scene frame and mesh drawing: the phases on screen, the colour rule of meshes, and the state
// a frame leaves. (The order of a frame's calls is checked end to end with apitrace.)
#include <GL/glu.h>

#include <cmath>
#include <cstdlib>

#include "path/camera.h"
#include "render/frame.h"
#include "render/particle_motion.h"
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
    for (unsigned int& texture : skyTextures) {
        texture = sky;
    }
    logoPicture = logo;
    introPicture = intro;
    endPicture = end;
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

// One moment of each phase (the cleared gap in grey, no text over pictures); the scene last,
// which shows only the sky, the title and the frame rate.
TEST(Frame, EachPhaseShowsItsPictureAndAnEmptySceneOnlySkyAndText) {
    startScene({0, 10, 0});
    const float cases[][4] = {{12.9f, 255, 0, 0},
                              {13.0f, 51, 51, 51},
                              {13.1f, 0, 255, 0},
                              {125, 255, 255, 0},
                              {28, 0, 0, 255}};
    for (const auto& c : cases) {
        drawEndScreen(); // a frame which does not clear would show it
        glClearColor(0.2f, 0.2f, 0.2f, 1);
        drawSceneFrame(clockAt(c[0]));
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
    // The state every frame leaves.
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_TRUE(mask);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(!glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(!glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(std::vector<float>(m, m + 16),
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
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_TRUE(colour[0] == 1);
    EXPECT_TRUE(colour[1] == 0);
    EXPECT_TRUE(colour[2] == 0);
    EXPECT_TRUE(!glIsEnabled(GL_TEXTURE_2D));
    glDeleteTextures(1, &textured.texture);
}

// An emitting object trails its particles after the particle start: each one is reborn at the
// object with its velocity about the object's last step (previous minus new position), and none
// before the start.
TEST(Frame, ParticlesAreRebornAboutTheObjectsDrift) {
    startScene({0, 0, 10});
    objectList.assign(1, SceneObject());
    SceneObject& object = objectList[0];
    object.mesh = triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 1});
    object.mesh.emitsParticles = 1;
    object.path.position = {2, 3, -4};
    object.motionDelta = {0, 500, -300};
    for (float now : {90.5f, 91.5f}) { // particles start at 91
        for (Particle& particle : particleSystem.particles) {
            seedParticle(particle, 0, 0, 0, 0, 0, 0); // reborn at their first update
        }
        particleSystem.slowdown = 1.0f;
        drawSceneFrame(clockAt(now));
        const Particle& first = particleSystem.particles[0];
        if (now < 91) {
            EXPECT_EQ(first.life, 0.1f) << "updated before the particle start";
            continue;
        }
        for (const Particle& particle : particleSystem.particles) {
            ASSERT_EQ(particle.life, 1.0f);
            EXPECT_EQ(particle.position[0], 2.0f);
            EXPECT_EQ(particle.position[1], 3.0f);
            EXPECT_EQ(particle.position[2], -4.0f);
            EXPECT_NEAR(particle.velocity[0], 0.0f, 30.0f);
            EXPECT_NEAR(particle.velocity[1], 500.0f, 30.0f);
            EXPECT_NEAR(particle.velocity[2], -300.0f, 30.0f);
        }
    }
    objectList.clear();
}

// Two emitting objects in one frame: the one pool advances once per object, each particle aging
// twice, and a particle that fades out during the second object's pass is reborn at that object.
TEST(Frame, TwoEmittingObjectsAdvanceThePoolTwice) {
    startScene({0, 0, 30});
    const Vec3 emitters[2] = {{-5, 1, 0}, {5, 2, 0}};
    for (const Vec3& at : emitters) {
        SceneObject object;
        object.mesh = triangle({0, 0, 0}, {0.1f, 0, 0}, {0, 0.1f, 0}, {1, 1, 1});
        object.mesh.emitsParticles = 1;
        object.motionDelta = {0, 0, 0};
        object.path.position = at;
        objectList.push_back(object);
    }
    for (int i = 0; i < MAX_PARTICLES; i++) {
        Particle& p = particleSystem.particles[i];
        p = Particle{1, 1.0f, 0.01f, 0.1f, 0.9f, 0.9f, 0.9f, {0, 0, 0}, {10, 20, 30}, {0, 0, 0}};
    }
    particleSystem.slowdown = 1.0f;
    particleSystem.particles[0].life = 0.05f; // fades in the first pass: reborn at the first
    particleSystem.particles[0].fade = 0.03f;
    particleSystem.particles[1].life = 0.1f; // fades in the second pass: reborn at the second
    particleSystem.particles[1].fade = 0.03f;
    ParticleSystem expected = particleSystem;
    srand(11);
    for (const Vec3& at : emitters) {
        for (Particle& p : expected.particles) {
            advanceParticle(p, 1.0f, at.x, at.y, at.z, 0, 0, 0);
        }
    }
    srand(11);
    drawSceneFrame(clockAt(100));
    for (int i = 0; i < MAX_PARTICLES; i++) {
        const Particle& p = particleSystem.particles[i];
        const Particle& e = expected.particles[i];
        ASSERT_EQ(p.life, e.life) << i;
        ASSERT_EQ(p.size, e.size) << i;
        ASSERT_EQ(p.position[0], e.position[0]) << i;
        ASSERT_EQ(p.position[1], e.position[1]) << i;
        ASSERT_EQ(p.velocity[2], e.velocity[2]) << i;
    }
    const Particle* p = particleSystem.particles;
    EXPECT_FLOAT_EQ(p[2].life, 1.0f - 4 * 0.01f); // two updates of twice the fade
    EXPECT_FLOAT_EQ(p[2].size, 0.1f + 2 * (0.01f + 0.04f));
    EXPECT_LT(p[0].life, 1.0f);
    EXPECT_NEAR(p[0].position[0], -5.0f, 0.05f);
    EXPECT_EQ(p[1].position[0], 5.0f);
    EXPECT_EQ(p[1].position[1], 2.0f);
    EXPECT_EQ(p[1].life, 1.0f);
    objectList.clear();
}
