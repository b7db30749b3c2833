// The fixed-function pipeline as one WebGL 2 shader program: per-vertex lighting of up to eight
// lights with attenuation, texture modulation, exponential and linear fog per fragment, flat or
// smooth colours, filled, wireframe or point polygons. Draws the immediate batch (eye
// coordinates) and the lists' vertex buffers (object coordinates). Web back end only.
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "web/fixed_state.h"
#include "web/webgl.h"

//----------------------------------------------------------------------------------
// Shaders
//----------------------------------------------------------------------------------
static const char* const VERTEX_SHADER = R"(#version 300 es
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aUv;
layout(location = 3) in vec4 aColor;
uniform mat4 uModelview;
uniform mat3 uNormalMatrix;
uniform mat4 uProjection;
uniform bool uVertexColor;
uniform vec4 uColor;
uniform bool uLighting;
uniform bool uLightOn[8];
uniform vec4 uLightPosition[8];
uniform vec4 uLightDiffuse[8];
uniform vec4 uLightSpecular[8];
uniform vec4 uLightAmbient[8];
uniform vec3 uLightAttenuation[8];
uniform vec4 uMaterialAmbient, uMaterialDiffuse, uMaterialSpecular, uMaterialEmission;
uniform vec4 uSceneAmbient;
uniform float uShininess;
uniform float uPointSize;
out vec4 vColor;
flat out vec4 vFlatColor;
out vec2 vUv;
out float vFogDepth;
void main() {
    vec4 eye = uModelview * vec4(aPosition, 1.0);
    vec4 color = uVertexColor ? aColor : uColor;
    if (uLighting) {
        vec3 n = uNormalMatrix * aNormal;
        vec4 c = uMaterialEmission + uSceneAmbient * uMaterialAmbient;
        for (int i = 0; i < 8; i++) {
            if (!uLightOn[i]) continue;
            vec3 l;
            float attenuation = 1.0;
            if (uLightPosition[i].w == 0.0) {
                l = normalize(uLightPosition[i].xyz);
            } else {
                vec3 d = uLightPosition[i].xyz / uLightPosition[i].w - eye.xyz / eye.w;
                float distance = length(d);
                l = d / distance;
                vec3 k = uLightAttenuation[i];
                attenuation = 1.0 / (k.x + k.y * distance + k.z * distance * distance);
            }
            float diffuse = max(dot(n, l), 0.0);
            vec4 term = uLightAmbient[i] * uMaterialAmbient + diffuse * uLightDiffuse[i] * uMaterialDiffuse;
            if (diffuse > 0.0) {
                float h = max(dot(n, normalize(l + vec3(0.0, 0.0, 1.0))), 0.0);
                term += pow(h, uShininess) * uLightSpecular[i] * uMaterialSpecular;
            }
            c += attenuation * term;
        }
        color = vec4(clamp(c.rgb, 0.0, 1.0), clamp(uMaterialDiffuse.a, 0.0, 1.0));
    }
    vColor = color;
    vFlatColor = color;
    vUv = aUv;
    vFogDepth = abs(eye.z);
    gl_PointSize = uPointSize;
    gl_Position = uProjection * eye;
}
)";

static const char* const FRAGMENT_SHADER = R"(#version 300 es
precision highp float;
in vec4 vColor;
flat in vec4 vFlatColor;
in vec2 vUv;
in float vFogDepth;
uniform bool uFlat;
uniform bool uTexture;
uniform sampler2D uSampler;
uniform int uFogMode;
uniform float uFogDensity, uFogStart, uFogEnd;
uniform vec4 uFogColor;
out vec4 fragColor;
void main() {
    vec4 color = uFlat ? vFlatColor : vColor;
    if (uTexture) color *= texture(uSampler, vUv);
    if (uFogMode != 0) {
        float f;
        if (uFogMode == 1) f = exp(-uFogDensity * vFogDepth);
        else if (uFogMode == 2) f = exp(-(uFogDensity * vFogDepth) * (uFogDensity * vFogDepth));
        else f = (uFogEnd - vFogDepth) / (uFogEnd - uFogStart);
        color.rgb = mix(uFogColor.rgb, color.rgb, clamp(f, 0.0, 1.0));
    }
    fragColor = color;
}
)";

//----------------------------------------------------------------------------------
// Local state
//----------------------------------------------------------------------------------
struct Pipeline {
    unsigned int program = 0;
    unsigned int batchArray = 0, batchBuffer = 0;
    unsigned int edgeBuffer = 0; // indices of each triangle's three edges, shared by all draws
    int edgeVertices = 0;        // vertices the edge indices cover
    std::vector<float> batch;    // eye-coordinate vertices not yet drawn
    std::unordered_map<const char*, int> uniforms; // locations by name
};
static Pipeline pipeline; // written by this file only

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
static unsigned int compileShader(GLenum type, const char* text) {
    unsigned int shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &text, nullptr);
    emscripten_glCompileShader(shader);
    char log[1024] = "";
    emscripten_glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    if (log[0] != '\0') {
        fprintf(stderr, "shader: %s\n", log);
    }
    return shader;
}

// The location of a uniform, asked of WebGL once per name (each question crosses into
// JavaScript with a string): names are the literals of this file, so their addresses are keys.
static int uniform(const char* name) {
    auto found = pipeline.uniforms.find(name);
    if (found != pipeline.uniforms.end()) {
        return found->second;
    }
    const int location = emscripten_glGetUniformLocation(pipeline.program, name);
    pipeline.uniforms[name] = location;
    return location;
}

// Attribute layout of FIXED_VERTEX_FLOATS floats for the bound buffer.
static void describeVertices() {
    const int stride = FIXED_VERTEX_FLOATS * sizeof(float);
    const int sizes[4] = {3, 3, 2, 4};
    int offset = 0;
    for (int i = 0; i < 4; i++) {
        emscripten_glEnableVertexAttribArray(i);
        emscripten_glVertexAttribPointer(i, sizes[i], GL_FLOAT, GL_FALSE, stride,
                                         (const void*)(long)(offset * sizeof(float)));
        offset += sizes[i];
    }
}

static void ensurePipeline() {
    if (pipeline.program != 0) {
        return;
    }
    pipeline.program = emscripten_glCreateProgram();
    emscripten_glAttachShader(pipeline.program, compileShader(GL_VERTEX_SHADER, VERTEX_SHADER));
    emscripten_glAttachShader(pipeline.program, compileShader(GL_FRAGMENT_SHADER, FRAGMENT_SHADER));
    emscripten_glLinkProgram(pipeline.program);
    emscripten_glUseProgram(pipeline.program);
    emscripten_glGenVertexArrays(1, &pipeline.batchArray);
    emscripten_glBindVertexArray(pipeline.batchArray);
    emscripten_glGenBuffers(1, &pipeline.batchBuffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, pipeline.batchBuffer);
    describeVertices();
    emscripten_glGenBuffers(1, &pipeline.edgeBuffer);
}

// Uniforms of everything but the modelview; lighting and fog only when they are on.
static void sendState(const Matrix4& modelview, bool vertexColor) {
    const FixedState& s = fixedState;
    emscripten_glUniformMatrix4fv(uniform("uModelview"), 1, GL_FALSE, modelview.m);
    emscripten_glUniformMatrix4fv(uniform("uProjection"), 1, GL_FALSE, s.projection.back().m);
    float normalMatrix[9];
    for (int c = 0; c < 3; c++) {
        float axis[3] = {c == 0 ? 1.0f : 0.0f, c == 1 ? 1.0f : 0.0f, c == 2 ? 1.0f : 0.0f};
        transformNormal(modelview, axis, normalMatrix + 3 * c);
    }
    emscripten_glUniformMatrix3fv(uniform("uNormalMatrix"), 1, GL_FALSE, normalMatrix);
    emscripten_glUniform1i(uniform("uVertexColor"), vertexColor);
    emscripten_glUniform4fv(uniform("uColor"), 1, s.color);
    emscripten_glUniform1i(uniform("uLighting"), s.lighting);
    if (s.lighting) {
        int on[FIXED_MAX_LIGHTS];
        float position[4 * FIXED_MAX_LIGHTS], diffuse[4 * FIXED_MAX_LIGHTS];
        float specular[4 * FIXED_MAX_LIGHTS], ambient[4 * FIXED_MAX_LIGHTS];
        float attenuation[3 * FIXED_MAX_LIGHTS];
        for (int i = 0; i < FIXED_MAX_LIGHTS; i++) {
            const FixedLight& light = s.lights[i];
            on[i] = light.enabled;
            for (int k = 0; k < 4; k++) {
                position[4 * i + k] = light.position[k];
                diffuse[4 * i + k] = light.diffuse[k];
                specular[4 * i + k] = light.specular[k];
                ambient[4 * i + k] = light.ambient[k];
            }
            for (int k = 0; k < 3; k++) {
                attenuation[3 * i + k] = light.attenuation[k];
            }
        }
        emscripten_glUniform1iv(uniform("uLightOn"), FIXED_MAX_LIGHTS, on);
        emscripten_glUniform4fv(uniform("uLightPosition"), FIXED_MAX_LIGHTS, position);
        emscripten_glUniform4fv(uniform("uLightDiffuse"), FIXED_MAX_LIGHTS, diffuse);
        emscripten_glUniform4fv(uniform("uLightSpecular"), FIXED_MAX_LIGHTS, specular);
        emscripten_glUniform4fv(uniform("uLightAmbient"), FIXED_MAX_LIGHTS, ambient);
        emscripten_glUniform3fv(uniform("uLightAttenuation"), FIXED_MAX_LIGHTS, attenuation);
        emscripten_glUniform4fv(uniform("uMaterialAmbient"), 1, s.materialAmbient);
        emscripten_glUniform4fv(uniform("uMaterialDiffuse"), 1, s.materialDiffuse);
        emscripten_glUniform4fv(uniform("uMaterialSpecular"), 1, s.materialSpecular);
        emscripten_glUniform4fv(uniform("uMaterialEmission"), 1, s.materialEmission);
        emscripten_glUniform4fv(uniform("uSceneAmbient"), 1, s.sceneAmbient);
        emscripten_glUniform1f(uniform("uShininess"), s.shininess);
    }
    emscripten_glUniform1f(uniform("uPointSize"), s.pointSize);
    emscripten_glUniform1i(uniform("uFlat"), s.flat);
    const bool textured = s.texture2D && s.texture != 0;
    emscripten_glUniform1i(uniform("uTexture"), textured);
    emscripten_glUniform1i(uniform("uSampler"), 0);
    int fogMode = 0;
    if (s.fog) {
        fogMode = s.fogMode == GL_EXP ? 1 : s.fogMode == GL_EXP2 ? 2 : 3;
    }
    emscripten_glUniform1i(uniform("uFogMode"), fogMode);
    emscripten_glUniform1f(uniform("uFogDensity"), s.fogDensity);
    emscripten_glUniform1f(uniform("uFogStart"), s.fogStart);
    emscripten_glUniform1f(uniform("uFogEnd"), s.fogEnd);
    emscripten_glUniform4fv(uniform("uFogColor"), 1, s.fogColor);
}

// The edge indices for `vertices` triangle-list vertices, grown as needed, bound.
static void bindEdges(int vertices) {
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, pipeline.edgeBuffer);
    if (vertices <= pipeline.edgeVertices) {
        return;
    }
    std::vector<unsigned int> edges;
    edges.reserve(2 * vertices);
    for (int v = 0; v + 2 < vertices; v += 3) {
        const unsigned int a = v, b = v + 1, c = v + 2;
        edges.insert(edges.end(), {a, b, b, c, c, a});
    }
    emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER, edges.size() * sizeof(unsigned int),
                            edges.data(), GL_STATIC_DRAW);
    pipeline.edgeVertices = vertices;
}

// Triangles of the bound vertex array as the polygon mode asks.
static void drawTriangles(int vertices) {
    if (fixedState.polygonMode == GL_LINE) {
        bindEdges(vertices);
        emscripten_glDrawElements(GL_LINES, 2 * (vertices / 3 * 3), GL_UNSIGNED_INT, nullptr);
    } else if (fixedState.polygonMode == GL_POINT) {
        emscripten_glDrawArrays(GL_POINTS, 0, vertices);
    } else {
        emscripten_glDrawArrays(GL_TRIANGLES, 0, vertices);
    }
}

void addEyeVertex(const float position[3], const float normal[3], const float uv[2],
                  const float color[4]) {
    std::vector<float>& b = pipeline.batch;
    b.insert(b.end(), position, position + 3);
    b.insert(b.end(), normal, normal + 3);
    b.insert(b.end(), uv, uv + 2);
    b.insert(b.end(), color, color + 4);
}

void flushBatch() {
    if (pipeline.batch.empty()) {
        return;
    }
    ensurePipeline();
    emscripten_glUseProgram(pipeline.program);
    sendState(identityMatrix(), true);
    emscripten_glBindVertexArray(pipeline.batchArray);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, pipeline.batchBuffer);
    emscripten_glBufferData(GL_ARRAY_BUFFER, pipeline.batch.size() * sizeof(float),
                            pipeline.batch.data(), GL_STREAM_DRAW);
    drawTriangles(int(pipeline.batch.size() / FIXED_VERTEX_FLOATS));
    pipeline.batch.clear();
}

void drawListBuffer(ListBuffer& buffer, const float* vertices, int count) {
    if (count == 0) {
        return;
    }
    flushBatch();
    ensurePipeline();
    if (buffer.vertexArray == 0) {
        emscripten_glGenVertexArrays(1, &buffer.vertexArray);
        emscripten_glBindVertexArray(buffer.vertexArray);
        emscripten_glGenBuffers(1, &buffer.buffer);
        emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer.buffer);
        emscripten_glBufferData(GL_ARRAY_BUFFER, count * FIXED_VERTEX_FLOATS * sizeof(float),
                                vertices, GL_STATIC_DRAW);
        describeVertices();
    }
    emscripten_glUseProgram(pipeline.program);
    sendState(fixedState.modelview.back(), false);
    emscripten_glBindVertexArray(buffer.vertexArray);
    drawTriangles(count);
}

void stateChanged() {
    flushBatch();
}
