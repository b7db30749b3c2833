// Small assimp scenes built in memory for the importer's tests: nodes, triangle meshes,
// key frames, cameras; and their conversion. The scene owns everything it is given (assimp's
// destructors free it).
#pragma once

#include <algorithm>
#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "import/scene_convert.h"
#include "import/scene_motion.h"

static const float DEG = 3.1415926535898f / 180;

// A mesh of `triangles` triangles over the given positions (three indices each).
inline aiMesh* makeMesh(const std::vector<aiVector3D>& positions,
                        const std::vector<unsigned>& corners) {
    aiMesh* mesh = new aiMesh();
    mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    mesh->mNumVertices = (unsigned)positions.size();
    mesh->mVertices = new aiVector3D[positions.size()];
    std::copy(positions.begin(), positions.end(), mesh->mVertices);
    mesh->mNumFaces = (unsigned)corners.size() / 3;
    mesh->mFaces = new aiFace[mesh->mNumFaces];
    for (unsigned f = 0; f < mesh->mNumFaces; f++) {
        mesh->mFaces[f].mNumIndices = 3;
        mesh->mFaces[f].mIndices =
            new unsigned[3]{corners[3 * f], corners[3 * f + 1], corners[3 * f + 2]};
    }
    return mesh;
}

// One triangle of size 1 in the xy plane, at the origin.
inline aiMesh* unitTriangle() {
    return makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2});
}

// A scene of meshes, each on its own child node of the root named as given.
inline std::unique_ptr<aiScene>
makeScene(const std::vector<std::pair<const char*, aiMesh*>>& parts) {
    auto scene = std::make_unique<aiScene>();
    scene->mRootNode = new aiNode("root");
    scene->mNumMeshes = (unsigned)parts.size();
    scene->mMeshes = new aiMesh*[parts.size()];
    std::vector<aiNode*> children;
    for (size_t i = 0; i < parts.size(); i++) {
        scene->mMeshes[i] = parts[i].second;
        aiNode* node = new aiNode(parts[i].first);
        node->mNumMeshes = 1;
        node->mMeshes = new unsigned[1]{(unsigned)i};
        children.push_back(node);
    }
    scene->mRootNode->addChildren((unsigned)children.size(), children.data());
    return scene;
}

// Keys of one node: places and turns at whole ticks (one tick a second).
struct Keys {
    const char* node;
    std::vector<aiVector3D> places;  // at 0, 1, 2, ... s
    std::vector<aiQuaternion> turns; // at 0, 1, 2, ... s
};

// Keys of `values` at first, first + 1, ... s, at `ticksPerSecond` (none for no values).
template <typename Key, typename Value>
Key* keysAt(const std::vector<Value>& values, double first, double ticksPerSecond,
            unsigned& count) {
    count = (unsigned)values.size();
    Key* keys = count ? new Key[count] : nullptr;
    for (unsigned k = 0; k < count; k++)
        keys[k] = Key((first + k) * ticksPerSecond, values[k]);
    return keys;
}

// Adds an animation of the nodes' keys, the first at `first` s, at `ticksPerSecond`.
inline void animate(aiScene& scene, const std::vector<Keys>& nodes, double first = 0,
                    double ticksPerSecond = 1) {
    aiAnimation* animation = new aiAnimation();
    animation->mTicksPerSecond = ticksPerSecond;
    animation->mNumChannels = (unsigned)nodes.size();
    animation->mChannels = new aiNodeAnim*[nodes.size()];
    for (size_t c = 0; c < nodes.size(); c++) {
        aiNodeAnim* channel = animation->mChannels[c] = new aiNodeAnim();
        channel->mNodeName = nodes[c].node;
        channel->mPositionKeys =
            keysAt<aiVectorKey>(nodes[c].places, first, ticksPerSecond, channel->mNumPositionKeys);
        channel->mRotationKeys =
            keysAt<aiQuatKey>(nodes[c].turns, first, ticksPerSecond, channel->mNumRotationKeys);
    }
    aiAnimation** all = new aiAnimation*[scene.mNumAnimations + 1];
    std::copy(scene.mAnimations, scene.mAnimations + scene.mNumAnimations, all);
    all[scene.mNumAnimations++] = animation;
    delete[] scene.mAnimations;
    scene.mAnimations = all;
}

// A camera "eye" on a node of its own placed by `place`, looking down -z as glTF's do.
inline void addCamera(aiScene& scene, const aiMatrix4x4& place, const aiVector3D& position) {
    aiNode* eye = new aiNode("eye");
    eye->mTransformation = place;
    scene.mRootNode->addChildren(1, &eye);
    scene.mNumCameras = 1;
    scene.mCameras = new aiCamera* [1] { new aiCamera() };
    scene.mCameras[0]->mName = "eye";
    scene.mCameras[0]->mLookAt = {0, 0, -1};
    scene.mCameras[0]->mPosition = position;
}

// The scene converted as read from `file`, its meshes placed in the map's lists if `place`.
inline ImportedScene convert(const aiScene& scene, const std::string& file = "", float scale = 1,
                             bool place = true) {
    ImportOptions options;
    options.scale = scale;
    options.mapName = "m";
    options.sceneFile = file;
    ImportedScene out;
    std::string reason;
    EXPECT_TRUE(convertScene(scene, options, out, reason)) << reason;
    if (place)
        placeMeshes(out, {}, {});
    return out;
}

inline bool noted(const ImportedScene& scene, const std::string& part) {
    return std::any_of(scene.notes.begin(), scene.notes.end(), [&](const std::string& note) {
        return note.find(part) != std::string::npos;
    });
}

// Point `point` of an array of points `stride` floats apart.
inline aiVector3D at(const float* v, size_t point, size_t stride = 6) {
    return aiVector3D(v[stride * point], v[stride * point + 1], v[stride * point + 2]);
}
