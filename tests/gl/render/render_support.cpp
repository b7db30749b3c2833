// Helpers of the render GL tests: a known GL state, solid and patterned textures, pixel reads,
// feedback capture of drawn polygons, and running code from a test data directory.
#include "render_support.h"

#include <gtest/gtest.h>

#define ILUT_USE_OPENGL
#include <IL/il.h>
#include <IL/ilut.h>
#include <unistd.h>

#include <cstdlib>

#include "render/font.h"

void resetRenderState() {
    glViewport(0, 0, 640, 480);
    glClearColor(0, 0, 0, 0);
    glShadeModel(GL_SMOOTH);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_2D);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

unsigned int makeTexture(const Rgba texels[4]) {
    unsigned char bytes[16];
    for (int i = 0; i < 4; i++) {
        bytes[4 * i] = (unsigned char)texels[i].r;
        bytes[4 * i + 1] = (unsigned char)texels[i].g;
        bytes[4 * i + 2] = (unsigned char)texels[i].b;
        bytes[4 * i + 3] = (unsigned char)texels[i].a;
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

unsigned int makeSolidTexture(int r, int g, int b, int a) {
    const Rgba texels[4] = {{r, g, b, a}, {r, g, b, a}, {r, g, b, a}, {r, g, b, a}};
    return makeTexture(texels);
}

Rgba pixelAt(int x, int y) {
    unsigned char p[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

Rgba overlayPixel(int x, int y) {
    return pixelAt(x, 479 - y);
}

bool near(const Rgba& got, int r, int g, int b, int tolerance) {
    return std::abs(got.r - r) <= tolerance && std::abs(got.g - g) <= tolerance &&
           std::abs(got.b - b) <= tolerance;
}

std::vector<std::vector<FeedbackVertex>> capturePolygons(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<std::vector<FeedbackVertex>> polygons;
    const int vertexSize = 7; // x, y, z, then r, g, b, a
    for (GLint i = 0; i < used;) {
        const int token = int(buffer[i++]);
        int vertices = 0;
        if (token == GL_POLYGON_TOKEN) {
            vertices = int(buffer[i++]);
            std::vector<FeedbackVertex> polygon;
            for (int v = 0; v < vertices; v++, i += vertexSize) {
                const float* f = &buffer[i];
                polygon.push_back({f[0], f[1], f[2], f[3], f[4], f[5], f[6]});
            }
            polygons.push_back(polygon);
            continue;
        }
        if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
            continue;
        }
        vertices = (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) ? 2 : 1;
        i += vertices * vertexSize;
    }
    return polygons;
}

void inDirectory(const std::string& dir, const std::function<void()>& body) {
    char* cwd = getcwd(nullptr, 0);
    const std::string previous = cwd ? cwd : ".";
    free(cwd);
    ASSERT_EQ(chdir(dir.c_str()), 0) << dir;
    body();
    ASSERT_EQ(chdir(previous.c_str()), 0);
}

unsigned int useTestFont() {
    static unsigned int texture = 0;
    static unsigned int lists = 0;
    if (texture == 0) {
        // 16 x 16 cells of 4 x 4 texels; texel row 0 is t = 0, the bottom row of glyphs (15).
        std::vector<unsigned char> bytes(64 * 64 * 4);
        for (int row = 0; row < 64; row++) {
            for (int column = 0; column < 64; column++) {
                const int glyph = (15 - row / 4) * 16 + column / 4;
                unsigned char* p = &bytes[4 * (row * 64 + column)];
                p[0] = (unsigned char)glyph;
                p[1] = (unsigned char)(255 - glyph);
                p[2] = 200;
                p[3] = 255;
            }
        }
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        buildFontLists(texture);
        lists = fontListBase;
    }
    fontTexture = texture;
    fontListBase = lists;
    return texture;
}

void ensureImageLibrary() {
    static bool started = false;
    if (!started) {
        ilInit();
        started = true;
    }
}
