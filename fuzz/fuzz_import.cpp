// Fuzz target: the importer's conversion of a scene on whatever assimp could hand over. The
// bytes build an assimp scene in memory (meshes with positions that may not be numbers, faces
// of any size naming any vertex, nodes, key frames of any time, lights, a camera, materials
// naming missing pictures); the converted map's texts must hold only numbers and sound indices.
// Bytes starting "Fg", "Fb" or "Fo" are a glTF, binary glTF or OBJ file instead, read by
// assimp in the importer's child as skarn-import reads it: a crash, a hang or a swelling there
// is the child's status; only a fault of the conversion fails the target.
#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "fuzz_scratch.h"
#include "import/map_writers.h"
#include "import/reader_child.h"
#include "import/scene_convert.h"
#include "import/scene_reader.h"

namespace {

// Reads the fuzz input front to back; past its end everything reads as zero.
struct Bytes {
    const unsigned char* data;
    size_t size, pos = 0;
    unsigned byte() {
        return pos < size ? data[pos++] : 0;
    }
    unsigned u16() {
        return byte() | byte() << 8;
    }
    float number() {
        unsigned bits = u16() | u16() << 16;
        float f;
        std::memcpy(&f, &bits, 4);
        return (bits >> 28) == 0xA ? (float)(int)(bits & 0xff) - 128 : f; // often plain numbers
    }
    aiVector3D vector() {
        float x = number(), y = number();
        return aiVector3D(x, y, number());
    }
};

const char* const NAMES[] = {"a", "b", "smoke_particles", "cam", "lamp", "a", "camera", ""};

aiMesh* makeMesh(Bytes& in) {
    aiMesh* mesh = new aiMesh();
    mesh->mNumVertices = in.u16() % 200;
    mesh->mVertices = mesh->mNumVertices ? new aiVector3D[mesh->mNumVertices] : nullptr;
    bool normals = in.byte() & 1, uv = in.byte() & 1;
    mesh->mNormals = normals && mesh->mNumVertices ? new aiVector3D[mesh->mNumVertices] : nullptr;
    mesh->mTextureCoords[0] =
        uv && mesh->mNumVertices ? new aiVector3D[mesh->mNumVertices] : nullptr;
    for (unsigned i = 0; i < mesh->mNumVertices; i++) {
        mesh->mVertices[i] = in.vector();
        if (mesh->mNormals)
            mesh->mNormals[i] = in.vector();
        if (mesh->mTextureCoords[0])
            mesh->mTextureCoords[0][i] = in.vector();
    }
    mesh->mNumFaces = in.u16() % 200;
    mesh->mFaces = mesh->mNumFaces ? new aiFace[mesh->mNumFaces] : nullptr;
    for (unsigned f = 0; f < mesh->mNumFaces; f++) {
        aiFace& face = mesh->mFaces[f];
        face.mNumIndices = in.byte() % 5;
        face.mIndices = face.mNumIndices ? new unsigned[face.mNumIndices] : nullptr;
        for (unsigned k = 0; k < face.mNumIndices; k++) {
            unsigned raw = in.u16();
            face.mIndices[k] = raw & 0x8000 ? raw : raw % (mesh->mNumVertices + 1);
        }
    }
    mesh->mMaterialIndex = in.byte() % 4;
    return mesh;
}

aiNodeAnim* makeChannel(Bytes& in) {
    aiNodeAnim* channel = new aiNodeAnim();
    channel->mNodeName = NAMES[in.byte() % 8];
    channel->mNumPositionKeys = in.byte() % 6;
    channel->mPositionKeys =
        channel->mNumPositionKeys ? new aiVectorKey[channel->mNumPositionKeys] : nullptr;
    for (unsigned k = 0; k < channel->mNumPositionKeys; k++) {
        channel->mPositionKeys[k] = aiVectorKey(in.number(), in.vector());
    }
    channel->mNumRotationKeys = in.byte() % 6;
    channel->mRotationKeys =
        channel->mNumRotationKeys ? new aiQuatKey[channel->mNumRotationKeys] : nullptr;
    for (unsigned k = 0; k < channel->mNumRotationKeys; k++) {
        float t = in.number(), w = in.number(), x = in.number(), y = in.number();
        channel->mRotationKeys[k] = aiQuatKey(t, aiQuaternion(w, x, y, in.number()));
    }
    channel->mNumScalingKeys = in.byte() % 3;
    channel->mScalingKeys =
        channel->mNumScalingKeys ? new aiVectorKey[channel->mNumScalingKeys] : nullptr;
    for (unsigned k = 0; k < channel->mNumScalingKeys; k++) {
        channel->mScalingKeys[k] = aiVectorKey(in.number(), in.vector());
    }
    return channel;
}

void makeScene(Bytes& in, aiScene& scene) {
    scene.mNumMeshes = in.byte() % 5;
    scene.mMeshes = scene.mNumMeshes ? new aiMesh*[scene.mNumMeshes] : nullptr;
    for (unsigned i = 0; i < scene.mNumMeshes; i++)
        scene.mMeshes[i] = makeMesh(in);
    scene.mNumMaterials = in.byte() % 3;
    scene.mMaterials = scene.mNumMaterials ? new aiMaterial*[scene.mNumMaterials] : nullptr;
    for (unsigned i = 0; i < scene.mNumMaterials; i++) {
        scene.mMaterials[i] = new aiMaterial();
        aiString picture(std::string(in.byte() & 1 ? "*" : "") + std::to_string(in.byte() % 3));
        scene.mMaterials[i]->AddProperty(&picture, AI_MATKEY_TEXTURE_DIFFUSE(0));
        float opacity = in.number();
        scene.mMaterials[i]->AddProperty(&opacity, 1, AI_MATKEY_OPACITY);
    }
    std::vector<aiNode*> nodes{new aiNode("root")};
    scene.mRootNode = nodes[0];
    unsigned count = in.byte() % 8;
    for (unsigned i = 0; i < count; i++) {
        aiNode* node = new aiNode(NAMES[in.byte() % 8]);
        if (in.byte() & 1)
            node->mTransformation = aiMatrix4x4(
                aiVector3D(in.number()), aiQuaternion(in.vector(), in.number()), in.vector());
        node->mNumMeshes = in.byte() % 3;
        node->mMeshes = node->mNumMeshes ? new unsigned[node->mNumMeshes] : nullptr;
        for (unsigned k = 0; k < node->mNumMeshes; k++)
            node->mMeshes[k] = in.byte() % (scene.mNumMeshes + 2);
        nodes[in.byte() % nodes.size()]->addChildren(1, &node);
        nodes.push_back(node);
    }
    if (in.byte() & 1) {
        aiAnimation* animation = new aiAnimation();
        animation->mTicksPerSecond = in.number();
        animation->mNumChannels = in.byte() % 4;
        animation->mChannels =
            animation->mNumChannels ? new aiNodeAnim*[animation->mNumChannels] : nullptr;
        for (unsigned c = 0; c < animation->mNumChannels; c++)
            animation->mChannels[c] = makeChannel(in);
        scene.mNumAnimations = 1;
        scene.mAnimations = new aiAnimation* [1] { animation };
    }
    scene.mNumLights = in.byte() % 10;
    scene.mLights = scene.mNumLights ? new aiLight*[scene.mNumLights] : nullptr;
    for (unsigned i = 0; i < scene.mNumLights; i++) {
        aiLight* light = new aiLight();
        light->mName = NAMES[in.byte() % 8];
        light->mType = (aiLightSourceType)(in.byte() % 6);
        light->mPosition = in.vector();
        light->mDirection = in.vector();
        aiVector3D c = in.vector();
        light->mColorDiffuse = aiColor3D(c.x, c.y, c.z);
        scene.mLights[i] = light;
    }
    if (in.byte() & 1) {
        aiCamera* camera = new aiCamera();
        camera->mName = NAMES[in.byte() % 8];
        camera->mPosition = in.vector();
        camera->mLookAt = in.vector();
        scene.mNumCameras = 1;
        scene.mCameras = new aiCamera* [1] { camera };
    }
    if (in.byte() & 1) {
        scene.mMetaData = aiMetadata::Alloc(2);
        scene.mMetaData->Set(0, "UpAxis", (int)(in.byte() % 4));
        scene.mMetaData->Set(1, "UpAxisSign", (int)(in.byte() & 1 ? 1 : -1));
    }
}

// Only digits, signs, points, exponents and the format's words: no "nan", no "inf".
void expectNumbers(const std::string& text) {
    if (text.find("nan") != std::string::npos || text.find("inf") != std::string::npos)
        abort();
}

// Converts `scene` and checks the map's texts: only numbers, sound indices.
void convertAndCheck(const aiScene& scene, const ImportOptions& options, bool alphaPictures) {
    ImportedScene out;
    std::string reason;
    if (!convertScene(scene, options, out, reason)) {
        if (reason.empty() || !out.meshes.empty())
            abort();
        return;
    }
    std::vector<std::string> names(out.pictures.size(), "p.jpg");
    std::vector<bool> alpha(out.pictures.size(), alphaPictures);
    placeMeshes(out, names, alpha);
    for (const ImportedMesh& m : out.meshes) {
        size_t vertices = m.mesh.vertices.size() / 3;
        if (m.mesh.normals.size() != m.mesh.vertices.size() || m.mesh.faces.empty())
            abort();
        for (int corner : m.mesh.faces) {
            if (corner < 0 || (size_t)corner >= vertices)
                abort();
        }
        if ((m.mesh.option & 16) && m.mesh.faceUVs.size() != 2 * m.mesh.faces.size())
            abort();
        expectNumbers(meshText(m.mesh));
        if (m.moves)
            expectNumbers(pathText(m.path));
    }
    expectNumbers(mapText(out.map));
    expectNumbers(pathText(out.cameraPath));
}

#define CONVERSION_FAULT 77 // the child's status when the conversion's checks fail

// The bytes as a scene file, read and converted in the reader's child.
void fuzzFile(const unsigned char* data, size_t size, const char* extension) {
    std::string file = scratchDir() + "scene" + extension;
    if (!writeScratchFile(file, data, size))
        abort();
    ImportLimits limits;
    limits.seconds = 5;
    limits.memoryMB = 1024;
    limits.fileMB = 1;
    std::vector<ChildMessage> messages;
    std::string why = runInChild(
        limits,
        [&](int) {
            for (int s : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) // assimp's own crashes: a signal
                signal(s, SIG_DFL);
            SceneHold hold;
            std::string error;
            const aiScene* scene = readScene(hold, file, limits, error);
            signal(SIGABRT, [](int) { _exit(CONVERSION_FAULT); });
            ImportOptions options;
            options.mapName = "fuzz";
            if (scene)
                convertAndCheck(*scene, options, false);
        },
        messages, [](const ChildMessage&) {}, [](double) {}, nullptr);
    // A sanitizer's report or a failed check in the conversion ends the child with a status.
    if (why.find("stopped (status") != std::string::npos)
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    if (size >= 2 && data[0] == 'F' && (data[1] == 'g' || data[1] == 'b' || data[1] == 'o')) {
        fuzzFile(data + 2, size - 2, data[1] == 'g' ? ".gltf" : data[1] == 'b' ? ".glb" : ".obj");
        return 0;
    }
    Bytes in{data, size};
    ImportOptions options;
    options.scale = (in.byte() & 1) ? in.number() : 1;
    options.mapName = "fuzz";
    aiScene scene;
    makeScene(in, scene);
    convertAndCheck(scene, options, in.byte() & 1);
    return 0;
}
