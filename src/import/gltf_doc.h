// A glTF 2.0 file's JSON as plain records: what the importer's own glTF reader carries over
// (nodes, triangle meshes, base colours and pictures, cameras, lamps, node animation).
// Import side. Every index in the records is checked against its array when the scene is built.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct GltfAccessor {
    int view = -1;       // -1: all zeros (no buffer view)
    uint64_t offset = 0; // within the view
    uint64_t count = 0;
    int componentType = 0; // 5120 byte ... 5126 float
    int width = 0;         // components per element: SCALAR 1 ... MAT4 16
};

struct GltfView {
    int buffer = -1;
    uint64_t offset = 0, length = 0, stride = 0; // stride 0: packed
};

struct GltfBuffer {
    uint64_t length = 0;
    bool hasUri = false;
    std::string uri;
};

struct GltfImage {
    std::string name, uri, mime;
    int view = -1;
};

struct GltfMaterial {
    std::string name;
    float color[4] = {1, 1, 1, 1};
    int texture = -1; // base colour texture, index into textures
    std::string alphaMode = "OPAQUE";
    float alphaCutoff = 0.5f;
};

struct GltfPrimitive {
    int mode = 4; // 4 triangles, 5 strip, 6 fan
    int indices = -1, position = -1, normal = -1, uv = -1, material = -1;
};

struct GltfMesh {
    std::string name;
    std::vector<GltfPrimitive> primitives;
};

// A node property the converter reads (PARTICLE_PROPERTY), typed as assimp types extras.
enum GltfExtraKind { EXTRA_NONE, EXTRA_BOOL, EXTRA_STRING, EXTRA_UINT64, EXTRA_INT, EXTRA_DOUBLE };

struct GltfNode {
    std::string name;
    std::vector<int> children;
    int mesh = -1, camera = -1, light = -1;
    bool hasMatrix = false, hasT = false, hasR = false, hasS = false;
    float matrix[16] = {0};
    float t[3] = {0, 0, 0}, r[4] = {0, 0, 0, 1}, s[3] = {1, 1, 1};
    GltfExtraKind extraKind = EXTRA_NONE;
    std::string extraText;
    double extraNumber = 0;
};

struct GltfCamera {
    bool perspective = true;
    float aspect = 0, yfov = 0, znear = 0, zfar = 0, xmag = 0, ymag = 0;
};

struct GltfLight {
    int type = 0; // 0 point, 1 spot, 2 directional
    float color[3] = {1, 1, 1};
    float intensity = 1, inner = 0, outer = 0.78539816f;
};

struct GltfSampler {
    int input = -1, output = -1;
    bool cubic = false;
};

struct GltfChannel {
    int sampler = -1, node = -1;
    int path = 0; // 0 translation, 1 rotation, 2 scale
};

struct GltfAnimation {
    std::string name;
    std::vector<GltfSampler> samplers;
    std::vector<GltfChannel> channels;
};

struct GltfDoc {
    std::vector<GltfAccessor> accessors;
    std::vector<GltfView> views;
    std::vector<GltfBuffer> buffers;
    std::vector<GltfImage> images;
    std::vector<int> textureSources; // texture -> image, or -1
    std::vector<GltfMaterial> materials;
    std::vector<GltfMesh> meshes;
    std::vector<GltfNode> nodes;
    std::vector<GltfCamera> cameras;
    std::vector<GltfLight> lights;
    std::vector<GltfAnimation> animations;
    bool hasScene = false;
    std::vector<int> roots;
    // Why the file goes to assimp instead (glTF 1, skins, morphs, sparse data, ...); empty when
    // this reader takes it.
    std::string toAssimp;
};

// Reads the JSON text. False with `error` when it is not JSON or not a glTF document; a file
// that uses what this reader leaves to assimp comes back true with doc.toAssimp set.
bool parseGltf(const char* text, size_t size, GltfDoc& doc, std::string& error);
