// Helpers of the render GL tests: a known GL state, small textures, pixel reads, feedback capture,
// a test font, and running code from a test data directory.
#pragma once

#include <GL/gl.h>
#include <IL/il.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "path/show_clock.h"
#include "render/font.h"
#include "support/test_files.h"

struct Rgba {
    int r, g, b, a;
};

// The state the application sets before any frame, identity matrices, a 640 x 480 viewport.
inline void resetRenderState() {
    glViewport(0, 0, 640, 480);
    glClearColor(0, 0, 0, 0);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    for (GLenum cap : {GL_CULL_FACE, GL_LIGHTING, GL_FOG, GL_TEXTURE_2D}) {
        glDisable(cap);
    }
    for (GLenum matrix : {GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(matrix);
        glLoadIdentity();
    }
    glColor4f(1, 1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// A w x h RGBA texture with nearest filtering; texel row 0 is t = 0.
inline unsigned int makeTexture(const std::vector<Rgba>& texels, int w = 2, int h = 2) {
    std::vector<unsigned char> bytes;
    for (const Rgba& t : texels) {
        bytes.insert(bytes.end(), {(unsigned char)t.r, (unsigned char)t.g, (unsigned char)t.b,
                                   (unsigned char)t.a});
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

inline unsigned int makeSolidTexture(int r, int g, int b) {
    return makeTexture(std::vector<Rgba>(4, {r, g, b, 255}));
}

// True when window pixel (x, y), y from the bottom row, is within `tolerance` of (r, g, b).
inline bool pixelNear(int x, int y, int r, int g, int b, int tolerance = 3) {
    unsigned char p[4] = {0, 0, 0, 0};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance &&
           std::abs(p[2] - b) <= tolerance;
}

// The first n values of a glGetFloatv query, and one glGetIntegerv value.
inline std::vector<float> glFloats(GLenum what, int n = 4) {
    std::vector<float> v(16, -1);
    glGetFloatv(what, v.data());
    v.resize(n);
    return v;
}
inline int glInt(GLenum what) {
    GLint v = 0;
    glGetIntegerv(what, &v);
    return v;
}

// Depth test, texturing, culling, lighting enabled; depth writes on.
inline std::vector<int> glFlags() {
    GLboolean mask = 0;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    return {glIsEnabled(GL_DEPTH_TEST), glIsEnabled(GL_TEXTURE_2D), glIsEnabled(GL_CULL_FACE),
            glIsEnabled(GL_LIGHTING), mask};
}

inline std::vector<unsigned char> readWindow() {
    std::vector<unsigned char> rgba(640 * 480 * 4);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

// The clock of a show started at 3.7 s, at `now`, showing 7 frames per second.
inline ShowClock clockAt(float now) {
    return ShowClock{now, 0, 0, 0, 13, 28, 91, 125, 143, 7};
}

// The window x, y and colour (r, a) of each vertex of the triangles `draw` rasterises, in order.
struct FeedbackVertex {
    float x, y, z, r, g, b, a;
};
inline std::vector<std::vector<FeedbackVertex>> capturePolygons(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<std::vector<FeedbackVertex>> polygons;
    for (GLint i = 0; i < used && int(buffer[i++]) == GL_POLYGON_TOKEN;) {
        polygons.emplace_back(int(buffer[i++]));
        for (FeedbackVertex& v : polygons.back()) {
            v = {buffer[i],     buffer[i + 1], buffer[i + 2], buffer[i + 3],
                 buffer[i + 4], buffer[i + 5], buffer[i + 6]};
            i += 7;
        }
    }
    return polygons;
}

// Runs `body` in directory `dir` (relative to the test data directory), the image library started.
inline void inDirectory(const std::string& dir, const std::function<void()>& body) {
    static const bool started = (ilInit(), true);
    (void)started;
    char* cwd = getcwd(nullptr, 0);
    const std::string previous = cwd ? cwd : ".";
    free(cwd);
    ASSERT_EQ(chdir(dir.c_str()), 0) << dir;
    body();
    ASSERT_EQ(chdir(previous.c_str()), 0);
}

// Makes current a font, built once, whose glyph g is a cell of colour (g, 255 - g, 200).
inline void useTestFont() {
    static unsigned int texture = 0, lists = 0;
    if (texture == 0) {
        std::vector<Rgba> texels; // 16 x 16 cells of 4 x 4; texel row 0 is glyph row 15
        for (int i = 0; i < 64 * 64; i++) {
            const int glyph = (15 - i / 256) * 16 + i % 64 / 4;
            texels.push_back({glyph, 255 - glyph, 200, 255});
        }
        texture = makeTexture(texels, 64, 64);
        buildFontLists(texture);
        lists = fontListBase;
    }
    fontTexture = texture;
    fontListBase = lists;
}

// True when the overlay point (x, y) of the 640 x 480 top-left system shows glyph g.
inline bool showsGlyph(int x, int y, int glyph) {
    return pixelNear(x, 479 - y, glyph, 255 - glyph, 200, 1);
}
