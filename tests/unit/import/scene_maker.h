// Small assimp scenes built in memory for the importer's tests: nodes, triangle meshes,
// key frames, lights. The scene owns everything it is given (assimp's destructors free it).
#pragma once

#include <assimp/scene.h>
#include <memory>
#include <vector>

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

// Adds an animation of the nodes' keys, the first at `first` s, at `ticksPerSecond`.
inline void animate(aiScene& scene, const std::vector<Keys>& nodes, double first = 0,
                    double ticksPerSecond = 1) {
    aiAnimation* animation = new aiAnimation();
    animation->mTicksPerSecond = ticksPerSecond;
    animation->mNumChannels = (unsigned)nodes.size();
    animation->mChannels = new aiNodeAnim*[nodes.size()];
    for (size_t c = 0; c < nodes.size(); c++) {
        aiNodeAnim* channel = new aiNodeAnim();
        channel->mNodeName = nodes[c].node;
        channel->mNumPositionKeys = (unsigned)nodes[c].places.size();
        channel->mPositionKeys =
            channel->mNumPositionKeys ? new aiVectorKey[channel->mNumPositionKeys] : nullptr;
        for (unsigned k = 0; k < channel->mNumPositionKeys; k++) {
            channel->mPositionKeys[k] =
                aiVectorKey((first + k) * ticksPerSecond, nodes[c].places[k]);
        }
        channel->mNumRotationKeys = (unsigned)nodes[c].turns.size();
        channel->mRotationKeys =
            channel->mNumRotationKeys ? new aiQuatKey[channel->mNumRotationKeys] : nullptr;
        for (unsigned k = 0; k < channel->mNumRotationKeys; k++) {
            channel->mRotationKeys[k] = aiQuatKey((first + k) * ticksPerSecond, nodes[c].turns[k]);
        }
        animation->mChannels[c] = channel;
    }
    aiAnimation** all = new aiAnimation*[scene.mNumAnimations + 1];
    std::copy(scene.mAnimations, scene.mAnimations + scene.mNumAnimations, all);
    all[scene.mNumAnimations++] = animation;
    delete[] scene.mAnimations;
    scene.mAnimations = all;
}
