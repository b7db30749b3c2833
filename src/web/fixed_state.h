// The fixed-function state that OpenGL 1.1 keeps and WebGL 2 has not: matrix stacks, lights,
// material, fog, shading and polygon modes, the current vertex attributes, and the batch of
// vertices not yet drawn. Web back end only: render/'s GL calls land here.
#pragma once

#include <GL/gl.h>
#include <vector>

#define FIXED_MAX_LIGHTS 8     // GL_LIGHT0 .. GL_LIGHT7
#define FIXED_STACK_DEPTH 32   // matrices per stack
#define FIXED_VERTEX_FLOATS 12 // position 3, normal 3, uv 2, colour 4

struct Matrix4 {
    float m[16]; // column-major, as OpenGL keeps it
};

struct FixedLight {
    bool enabled;
    float position[4]; // eye coordinates, as transformed when it was given
    float diffuse[4];
    float specular[4];
    float ambient[4];
    float attenuation[3]; // constant, linear, quadratic
};

struct FixedState {
    std::vector<Matrix4> modelview;  // stack, back() current
    std::vector<Matrix4> projection; // stack, back() current
    GLenum matrixMode;
    bool lighting, fog, texture2D, depthTest;
    FixedLight lights[FIXED_MAX_LIGHTS];
    float materialAmbient[4], materialDiffuse[4], materialSpecular[4], materialEmission[4];
    float shininess;
    float sceneAmbient[4];
    GLint fogMode;
    float fogDensity, fogStart, fogEnd, fogColor[4];
    bool flat;          // glShadeModel(GL_FLAT)
    GLenum polygonMode; // GL_FILL, GL_LINE or GL_POINT
    float pointSize;
    float color[4], normal[3], uv[2]; // current attributes
    GLuint texture;                   // bound 2D texture, 0 none
};

extern FixedState fixedState; // written by this folder's GL entry points only

Matrix4 identityMatrix();
Matrix4 multiplyMatrix(const Matrix4& a, const Matrix4& b);
// Current modelview applied to a point (w = 1) and, by its inverse transpose, to a normal.
void transformPoint(const Matrix4& m, const float in[3], float out[3]);
void transformNormal(const Matrix4& m, const float in[3], float out[3]);
Matrix4& currentMatrix();

// The batch of immediate vertices, already in eye coordinates, drawn as triangles, lines or
// points at the next state change; recorded display lists append here too when they are small.
void addEyeVertex(const float position[3], const float normal[3], const float uv[2],
                  const float color[4]);
void flushBatch();

// Draws `count` object-space vertices of a list's buffer with the current modelview.
struct ListBuffer {
    unsigned int vertexArray = 0; // 0 until uploaded
    unsigned int buffer = 0;
    unsigned int lineIndices = 0; // edges of each triangle, built on the first wireframe draw
    int lineCount = 0;
};
void drawListBuffer(ListBuffer& buffer, const float* vertices, int count);

// While a list is recorded, keeps a matrix change in it and returns true.
bool recordMatrix(const Matrix4& m);

// Sends the fog, lighting and material state that changes the pixels of later draws.
void stateChanged();
