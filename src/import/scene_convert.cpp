// An assimp scene turned into the records of a map: node walk, materials, mesh baking, lists.
// Import side. Whatever assimp hands over is checked here: faces that are not triangles or
// name missing vertices, positions that are not finite and empty meshes are left out, counted
// and reported, so the writers only ever see sound records.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>

#include <assimp/GltfMaterial.h>
#include <assimp/material.h>

#include "base/map_format.h"
#include "import/gltf_reader.h"
#include "import/scene_local.h"

namespace {

#define MAX_NODE_DEPTH 1000 // deeper node chains are not walked (and reported)

// Faces and values left out of one mesh.
struct Dropped {
    size_t notTriangles = 0, badIndices = 0, badPositions = 0;
};

bool finite3(const aiVector3D& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

std::string lower(std::string text) {
    for (char& c : text)
        c = (char)std::tolower((unsigned char)c);
    return text;
}

// Length of the file's unit in metres over 1 (FBX's UnitScaleFactor is centimetres per unit).
float unitLength(const aiScene& scene) {
    float factor = 0;
    double wide = 0;
    if (!scene.mMetaData)
        return 1;
    if (!scene.mMetaData->Get("UnitScaleFactor", factor) &&
        scene.mMetaData->Get("UnitScaleFactor", wide))
        factor = (float)wide;
    return std::isfinite(factor) && factor > 0 ? factor / 100 : 1;
}

// True when the node's transform is usable: numbers, and not squashed flat to nothing.
bool usableTransform(const aiMatrix4x4& m) {
    for (int r = 0; r < 4; r++)
        for (int c = 0; c < 4; c++)
            if (!std::isfinite(m[r][c]))
                return false;
    return aiMatrix3x3(m).Determinant() != 0;
}

// Normals from the faces, each vertex the sum of its faces' (area-weighted) normals.
void faceNormals(MeshOut& out) {
    std::vector<float>& n = out.normals;
    n.assign(out.vertices.size(), 0);
    const float* v = out.vertices.data();
    for (size_t f = 0; f + 2 < out.faces.size(); f += 3) {
        const int* c = &out.faces[f];
        aiVector3D a(v[3 * c[0]], v[3 * c[0] + 1], v[3 * c[0] + 2]);
        aiVector3D b(v[3 * c[1]], v[3 * c[1] + 1], v[3 * c[1] + 2]);
        aiVector3D d(v[3 * c[2]], v[3 * c[2] + 1], v[3 * c[2] + 2]);
        aiVector3D cross = (b - a) ^ (d - a);
        for (int k = 0; k < 3 && finite3(cross); k++) {
            n[3 * c[k]] += cross.x;
            n[3 * c[k] + 1] += cross.y;
            n[3 * c[k] + 2] += cross.z;
        }
    }
}

// Frees one of a spent mesh's arrays.
template <typename T> void spend(T*& array) {
    delete[] array;
    array = nullptr;
}

// Bakes one assimp mesh with `place` into `out`; false when no triangle is left. A mesh given
// as `spent` (the same one, no other node's) gives back each array once it is baked, so a
// large scene is not held twice.
bool bakeMesh(const aiMesh& mesh, const aiMatrix4x4& place, bool withUV, MeshOut& out,
              Dropped& dropped, aiMesh* spent) {
    unsigned vertexCount = mesh.mVertices ? mesh.mNumVertices : 0;
    if (vertexCount == 0 || vertexCount > (unsigned)INT32_MAX / 3 || !mesh.mFaces) {
        return false;
    }
    aiMatrix3x3 normalPlace = aiMatrix3x3(place);
    bool mirrored = normalPlace.Determinant() < 0;
    normalPlace.Inverse().Transpose();
    std::vector<char> usable(vertexCount);
    out.vertices.resize(3 * (size_t)vertexCount);
    for (unsigned i = 0; i < vertexCount; i++) {
        aiVector3D p = place * mesh.mVertices[i];
        usable[i] = finite3(mesh.mVertices[i]) && finite3(p);
        dropped.badPositions += !usable[i];
        out.vertices[3 * i] = usable[i] ? p.x : 0;
        out.vertices[3 * i + 1] = usable[i] ? p.y : 0;
        out.vertices[3 * i + 2] = usable[i] ? p.z : 0;
    }
    if (spent)
        spend(spent->mVertices);
    const aiVector3D* uv = withUV ? mesh.mTextureCoords[0] : nullptr;
    out.faces.reserve(3 * (size_t)mesh.mNumFaces); // no copies left behind as they grow
    for (unsigned f = 0; f < mesh.mNumFaces; f++) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices != 3 || !face.mIndices) {
            dropped.notTriangles++;
            continue;
        }
        unsigned c[3] = {face.mIndices[0], face.mIndices[mirrored ? 2 : 1],
                         face.mIndices[mirrored ? 1 : 2]};
        if (c[0] >= vertexCount || c[1] >= vertexCount || c[2] >= vertexCount) {
            dropped.badIndices++;
            continue;
        }
        if (!usable[c[0]] || !usable[c[1]] || !usable[c[2]]) {
            continue;
        }
        for (int k = 0; k < 3; k++)
            out.faces.push_back((int)c[k]);
    }
    if (spent) {
        releaseIndexBlock(*spent);
        spend(spent->mFaces);
        spent->mNumFaces = 0;
    }
    out.faceUVs.reserve(uv ? 2 * out.faces.size() : 0);
    for (size_t k = 0; uv && k < out.faces.size(); k++) { // the uv of each corner kept
        const aiVector3D& at = uv[out.faces[k]];
        bool good = std::isfinite(at.x) && std::isfinite(at.y);
        out.faceUVs.push_back(good ? at.x : 0);
        out.faceUVs.push_back(good ? at.y : 0);
    }
    if (spent)
        spend(spent->mTextureCoords[0]);
    if (out.faces.empty()) {
        return false;
    }
    faceNormals(out);
    for (unsigned i = 0; i < vertexCount; i++) {
        aiVector3D n(out.normals[3 * i], out.normals[3 * i + 1], out.normals[3 * i + 2]);
        if (mesh.mNormals && finite3(mesh.mNormals[i])) {
            aiVector3D given = normalPlace * mesh.mNormals[i];
            n = given.SquareLength() > 0 ? given : n;
        }
        float length = n.Length();
        n = (length > 0 && std::isfinite(length)) ? n / length : aiVector3D(0, 1, 0);
        std::copy(&n.x, &n.x + 3, &out.normals[3 * i]);
    }
    if (spent)
        spend(spent->mNormals);
    return true;
}

bool truthy(const aiNode& node) {
    const aiMetadata* data = node.mMetaData;
    if (!data)
        return false;
    bool b = false;
    int i = 0;
    aiString s;
    if (data->Get(PARTICLE_PROPERTY, b))
        return b;
    if (data->Get(PARTICLE_PROPERTY, i))
        return i != 0;
    if (data->Get(PARTICLE_PROPERTY, s))
        return lower(s.C_Str()) == "true" || std::string(s.C_Str()) == "1";
    return false;
}

bool marksParticles(const aiNode& node) {
    std::string name = lower(node.mName.C_Str());
    std::string suffix = PARTICLE_SUFFIX;
    return truthy(node) || (name.size() > suffix.size() &&
                            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0);
}

// A name no other mesh has, and not "camera" (its path would be the camera's).
std::string uniqueName(std::set<std::string>& taken, const std::string& wanted) {
    std::string base = safeName(wanted, MESH_NAME_LIMIT), name = base;
    for (int n = 2;
         taken.count(lower(name)) || lower(name) == "camera" || lower(name) == WHITE_OBJECT; n++) {
        std::string tail = std::string("_").append(std::to_string(n)); // GCC 12 misreads a prepend
        name = base.substr(0, MESH_NAME_LIMIT - tail.size()) + tail;
    }
    taken.insert(lower(name));
    return name;
}

// Converts the meshes hanging on one node.
void convertNode(ConvertState& state, const aiNode& node, std::set<std::string>& taken) {
    const aiScene& scene = *state.scene;
    bool moves = nodeMoves(state.motion, &node);
    aiMatrix4x4 rest = placeAt(state, &node, 0);
    if (node.mNumMeshes > 0 && !usableTransform(rest)) {
        state.out->notes.push_back("node " + std::string(node.mName.C_Str()) +
                                   " has a transform that is zero or not numbers: left out");
        return;
    }
    aiMatrix4x4 bake = rest;
    if (moves) {
        // Objects: vertices hold the rest turn, and the player's fixed last turn undone.
        aiMatrix4x4 linear(turnAboutY(-SHOW_OBJECT_TURN_DEGREES) * aiMatrix3x3(rest));
        bake = linear;
    }
    for (unsigned i = 0; node.mMeshes && i < node.mNumMeshes; i++) {
        unsigned index = node.mMeshes[i];
        if (!scene.mMeshes || index >= scene.mNumMeshes || !scene.mMeshes[index]) {
            continue;
        }
        const aiMesh& mesh = *scene.mMeshes[index];
        std::string label = node.mName.length ? node.mName.C_Str() : mesh.mName.C_Str();
        if (node.mNumMeshes > 1)
            label += "_" + std::string(mesh.mName.length ? mesh.mName.C_Str()
                                                         : std::to_string(i + 1).c_str());
        ImportedMesh out;
        Look look = lookOf(state, mesh.mMaterialIndex);
        Dropped dropped;
        bool withUV = look.picture >= 0 && mesh.mTextureCoords[0];
        // A mesh of the importer's own scene that no other node shows is spent as it is baked.
        aiMesh* spent = state.options.spendMeshes && state.uses[index] == 1
                            ? const_cast<aiMesh*>(&mesh) // the scene is ours to change
                            : nullptr;
        if (!bakeMesh(mesh, bake, withUV, out.mesh, dropped, spent)) {
            state.out->notes.push_back("mesh " + label +
                                       (dropped.notTriangles ? " has only points or lines: skipped"
                                                             : " has no usable triangle: skipped"));
            continue;
        }
        if (dropped.notTriangles + dropped.badIndices + dropped.badPositions > 0) {
            state.out->notes.push_back(
                "mesh " + label + ": " + std::to_string(dropped.notTriangles) +
                " points or lines, " + std::to_string(dropped.badIndices) +
                " faces naming missing vertices and " + std::to_string(dropped.badPositions) +
                " positions that are not numbers left out");
        }
        if (mesh.mNumBones > 0) {
            state.out->notes.push_back("mesh " + label +
                                       " is skinned to bones: drawn in its rest pose");
        }
        if (mesh.mNumAnimMeshes > 0) {
            state.out->notes.push_back("mesh " + label +
                                       " has shape keys: drawn in its base shape");
        }
        if (look.picture >= 0 && !withUV) {
            state.out->notes.push_back("mesh " + label +
                                       " has a picture but no uv: drawn in its colour");
            look.picture = -1;
        }
        for (size_t v = 0; v + 2 < out.mesh.vertices.size(); v += 3) {
            aiVector3D p(out.mesh.vertices[v], out.mesh.vertices[v + 1], out.mesh.vertices[v + 2]);
            if (moves)
                p = turnAboutY(SHOW_OBJECT_TURN_DEGREES) * p +
                    aiVector3D(rest.a4, rest.b4, rest.c4);
            widenBox(state, p);
        }
        out.name = uniqueName(taken, label);
        out.node = node.mName.C_Str();
        std::copy(look.color, look.color + 3, out.mesh.color);
        out.picture = look.picture;
        out.blended = look.blended;
        out.opaqueMode = look.opaqueMode;
        out.moves = moves;
        out.particles = marksParticles(node);
        if (moves)
            out.path = objectPath(state, &node, aiMatrix3x3(rest), out.name);
        state.out->meshes.push_back(std::move(out));
    }
}

std::string extensionOf(const std::string& file) {
    size_t dot = file.find_last_of('.');
    return dot == std::string::npos ? "" : lower(file.substr(dot));
}

// The scene's up axis, as its file tells it (FBX), or as its tool has it (Blender: z), turned
// into y.
aiMatrix4x4 upToY(const aiScene& scene, const std::string& sceneFile) {
    int axis = 1, sign = 1;
    aiMatrix4x4 out;
    if (extensionOf(sceneFile) == ".blend")
        axis = 2;
    else if (!scene.mMetaData || !scene.mMetaData->Get("UpAxis", axis))
        return out;
    if (scene.mMetaData)
        scene.mMetaData->Get("UpAxisSign", sign);
    if (axis == 2)
        out = aiMatrix4x4(1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1);
    if (axis == 0)
        out = aiMatrix4x4(0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    if (sign < 0)
        out = aiMatrix4x4(1, 0, 0, 0, 0, -1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1) * out;
    return out;
}

} // namespace

aiMatrix4x4 placeAt(const ConvertState& state, const aiNode* node, double seconds) {
    return state.axes * nodeWorldAt(state.motion, node, seconds);
}

void widenBox(ConvertState& state, const aiVector3D& p) {
    if (!finite3(p))
        return;
    ImportedScene& out = *state.out;
    for (int k = 0; k < 3; k++) {
        out.low[k] = state.boxEmpty ? p[k] : std::min(out.low[k], p[k]);
        out.high[k] = state.boxEmpty ? p[k] : std::max(out.high[k], p[k]);
    }
    state.boxEmpty = false;
}

std::string safeName(const std::string& name, size_t limit) {
    std::string out;
    for (char c : name) {
        if (out.size() >= limit)
            break;
        out += (std::isalnum((unsigned char)c) || c == '_' || c == '-') ? c : '_';
    }
    return out.empty() ? std::string("mesh") : out;
}

bool convertScene(const aiScene& scene, const ImportOptions& options, ImportedScene& out,
                  std::string& reason) {
    out = ImportedScene{};
    ConvertState state;
    state.scene = &scene;
    state.options = options;
    state.out = &out;
    state.motion = sceneMotion(scene);
    std::string extension = extensionOf(options.sceneFile);
    state.gltf = extension == ".gltf" || extension == ".glb";
    float scale = std::isfinite(options.scale) && options.scale > 0 ? options.scale : 1;
    scale *= unitLength(scene);
    state.axes = composeTRS(aiVector3D(), aiQuaternion(), aiVector3D(scale)) *
                 upToY(scene, options.sceneFile);
    out.map.title = "skarn-import of " + options.sceneFile;
    for (char& c : out.map.title)
        c = (c == '\n' || c == '\r') ? ' ' : c;
    std::set<std::string> taken;
    std::vector<std::pair<const aiNode*, int>> stack;
    if (scene.mRootNode)
        stack.push_back({scene.mRootNode, 0});
    state.uses.assign(scene.mNumMeshes, 0);
    for (size_t at = 0; options.spendMeshes && at < stack.size(); at++) { // nodes per mesh
        auto [node, depth] = stack[at];
        for (unsigned i = 0; node->mMeshes && i < node->mNumMeshes; i++)
            if (node->mMeshes[i] < scene.mNumMeshes)
                state.uses[node->mMeshes[i]]++;
        for (unsigned i = 0;
             node->mChildren && i < node->mNumChildren && depth + 1 < MAX_NODE_DEPTH; i++)
            if (node->mChildren[i])
                stack.push_back({node->mChildren[i], depth + 1});
    }
    stack.resize(scene.mRootNode ? 1 : 0);
    bool tooDeep = false;
    while (!stack.empty()) {
        auto [node, depth] = stack.back();
        stack.pop_back();
        convertNode(state, *node, taken);
        for (unsigned i = node->mNumChildren; node->mChildren && i-- > 0;) {
            if (!node->mChildren[i])
                continue;
            if (depth + 1 >= MAX_NODE_DEPTH)
                tooDeep = true;
            else
                stack.push_back({node->mChildren[i], depth + 1});
        }
    }
    if (tooDeep)
        out.notes.push_back("nodes nested deeper than " + std::to_string(MAX_NODE_DEPTH) +
                            " are left out");
    if (out.meshes.empty()) {
        reason = "the scene has no mesh of triangles";
        return false;
    }
    if (state.motion.repeated > 0)
        out.notes.push_back(std::to_string(state.motion.repeated) +
                            " keyed nodes of later animations are keyed by an earlier one too: "
                            "the earlier keys are used");
    if (state.motion.perObjectTakes)
        out.notes.push_back("the file holds one take per object and action (FBX \"All Actions\"): "
                            "each node plays its own from the scene's start, whatever its first "
                            "key (docs/maps.md)");
    for (const std::string& node : state.motion.badKeys)
        out.notes.push_back("node " + node +
                            " has keys that are not numbers: the last good value is held");
    convertCamera(state);
    convertLamps(state);
    return true;
}
