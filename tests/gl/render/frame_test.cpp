// Scene frame and mesh drawing: the phases on screen, trees, the colour rule of meshes, and the
// state a frame leaves. (The order of a frame's calls is checked end to end with apitrace.)
#include <GL/glu.h>

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

// Empty lists, a blue sky, logo red, intro green, end yellow, and the camera at `eye` looking
// along -z; with `eye` null, an orthographic view of x in [-10, 10], y in [-7.5, 7.5] with the
// sky box wholly outside it, world (x, y) at window ((x + 10) * 32, (y + 7.5) * 32).
void startScene(const Vec3* eye) {
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
    if (eye) {
        gluPerspective(60.0, 640.0 / 480.0, 0.1, 4000.0);
        gluLookAt(eye->x, eye->y, eye->z, eye->x, eye->y, eye->z - 1, 0, 1, 0);
        camera.cameraPath.position = *eye;
    } else {
        glOrtho(-10, 10, -7.5, 7.5, -100, 100);
        fontListBase = 0; // no text
    }
    glMatrixMode(GL_MODELVIEW);
}

void expectSceneStateLeft() {
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_TRUE(mask && glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(!glIsEnabled(GL_TEXTURE_2D) && !glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(std::vector<float>(m, m + 16),
              (std::vector<float>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
}

} // namespace

TEST(Frame, EachPhaseShowsItsPictureAndAnEmptySceneOnlySkyAndText) {
    const Vec3 eye = {0, 10, 0};
    startScene(&eye);
    // One moment of each phase, the cleared frame in the grey clear colour; the scene last.
    const float cases[][4] = {{12.9f, 255, 0, 0},
                              {13.0f, 51, 51, 51},
                              {13.1f, 0, 255, 0},
                              {125, 255, 255, 0},
                              {28.0f, 0, 0, 255}};
    for (const auto& c : cases) {
        drawEndScreen(); // a frame which does not clear would show it
        glClearColor(0.2f, 0.2f, 0.2f, 1);
        drawSceneFrame(clockAt(c[0]));
        glClearColor(0, 0, 0, 0);
        EXPECT_TRUE(pixelNear(320, 240, c[1], c[2], c[3], 1)) << c[0];
        if (c[3] != 255) { // no text over a picture or the cleared frame
            EXPECT_TRUE(pixelNear(20, 479 - 24, c[1], c[2], c[3], 1)) << c[0];
        }
    }
    // The last frame was the scene: only the sky, the title and the frame rate.
    std::vector<unsigned char> rgba(640 * 480 * 4);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int notSky = 0;
    for (int y = 0; y < 480; y++) {
        for (int x = 0; x < 640; x++) {
            const bool text =
                479 - y >= 16 && 479 - y < 32 && ((x >= 16 && x < 66) || (x >= 500 && x < 550));
            const unsigned char* p = &rgba[4 * (y * 640 + x)];
            notSky += !text && !(p[0] == 0 && p[1] == 0 && p[2] == 255);
        }
    }
    EXPECT_EQ(notSky, 0);
    EXPECT_TRUE(showsGlyph(20, 24, 'S' - 32) && showsGlyph(504, 24, '7' - 32) &&
                showsGlyph(524, 24, 'F' - 32));
    expectSceneStateLeft();
}

// Two tree faces over the centre, the farther listed first, drawn nearest first without depth
// writes: the farther one ends on top. A tree without uv coordinates is drawn in its colour.
TEST(Frame, TreeFacesNearestFirstWithoutDepthWritesWorldWritesDepth) {
    const Vec3 eye = {0, 0, 10};
    startScene(&eye);
    fontListBase = 0;
    Mesh tree;
    tree.vertexCount = 6;
    tree.faceCount = 2;
    tree.vertices = {{-3, -3, 0}, {3, -3, 0}, {0, 3, 0}, {-3, -3, 5}, {3, -3, 5}, {0, 3, 5}};
    tree.normals.assign(6, {0, 0, 1});
    tree.faces = {0, 1, 2, 3, 4, 5};
    tree.faceUVs = {0.75f, 0.5f, 0.75f, 0.5f, 0.75f, 0.5f, 0.25f, 0.5f, 0.25f, 0.5f, 0.25f, 0.5f};
    tree.textured = 1; // s < 0.5 red, s >= 0.5 blue
    tree.texture =
        makeTexture({{255, 0, 0, 255}, {0, 0, 255, 255}, {255, 0, 0, 255}, {0, 0, 255, 255}});
    treeList = {tree};
    drawSceneFrame(clockAt(50));
    EXPECT_TRUE(pixelNear(320, 240, 0, 0, 255));
    EXPECT_EQ(depthAt(320, 240), 1.0f);
    EXPECT_EQ(treeList[0].faceOrder, (std::vector<int>{1, 0}));
    expectSceneStateLeft();
    glDeleteTextures(1, &tree.texture);

    treeList = {triangle({-3, -3, 0}, {3, -3, 0}, {0, 3, 0}, {0, 1, 0})};
    drawSceneFrame(clockAt(50));
    EXPECT_TRUE(pixelNear(320, 240, 0, 255, 0));
    treeList.clear();
    worldList = {triangle({-3, -3, 0}, {3, -3, 0}, {0, 3, 0}, {1, 0, 1})};
    drawSceneFrame(clockAt(50));
    EXPECT_TRUE(pixelNear(320, 240, 255, 0, 255) && depthAt(320, 240) < 1.0f);
    expectSceneStateLeft();
}

// An untextured mesh sets its colour, which tints the next textured one. (Counts that disagree
// with the arrays are drawn in the display list tests.)
TEST(Frame, UntexturedMeshColourTintsTheNextTexturedOne) {
    startScene(nullptr);
    glEnable(GL_TEXTURE_2D); // left as found by the untextured case
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
    EXPECT_TRUE(colour[0] == 1 && colour[1] == 0 && colour[2] == 0 && !glIsEnabled(GL_TEXTURE_2D));
    glDeleteTextures(1, &textured.texture);
}
