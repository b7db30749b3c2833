// Helpers of the render GL tests: a known GL state, solid and patterned textures, pixel reads,
// feedback capture of drawn polygons, and running code from a test data directory.
#pragma once

#include <GL/gl.h>

#include <functional>
#include <string>
#include <vector>

struct Rgba {
    int r, g, b, a;
};

// The state the application sets before any frame (blending, depth test, no culling, no
// lighting or fog), identity matrices, a 640 x 480 viewport, white colour, black clear colour.
void resetRenderState();

// A 2 x 2 texture with nearest filtering; texels in GL order (row 0 is t = 0).
unsigned int makeTexture(const Rgba texels[4]);

// A texture of one colour with nearest filtering.
unsigned int makeSolidTexture(int r, int g, int b, int a = 255);

// The colour at window pixel (x, y), y counted from the bottom row.
Rgba pixelAt(int x, int y);

// The colour at overlay position (x, y) of the 640 x 480 top-left system.
Rgba overlayPixel(int x, int y);

// True when each channel is within `tolerance` of the expected value.
bool near(const Rgba& got, int r, int g, int b, int tolerance = 3);

// One vertex of a polygon returned by feedback: window coordinates and colour.
struct FeedbackVertex {
    float x, y, z;
    float r, g, b, a;
};

// The polygons that `draw` sends to the rasteriser, in drawing order, as feedback reports them.
std::vector<std::vector<FeedbackVertex>> capturePolygons(const std::function<void()>& draw);

// Runs `body` with the working directory `dir` (relative to the test data directory).
void inDirectory(const std::string& dir, const std::function<void()>& body);

// Builds, once per process, a font whose glyph g is a cell of colour (g, 255 - g, 200), and
// makes it the current font; returns its texture.
unsigned int useTestFont();

// Starts the image library once per process.
void ensureImageLibrary();
