// The aiScene being built from a glTF file's records, shared by the files that build its parts
// (gltf_scene: meshes, materials, nodes, cameras, lamps; gltf_motion: animations). Import side;
// internal to src/import.
#pragma once

#include <assimp/scene.h>
#include <string>
#include <vector>

#include "import/gltf_data.h"
#include "import/gltf_doc.h"

struct GltfBuild {
    const GltfDoc& doc;
    const GltfFiles& files;
    std::string error;    // why the file is refused
    std::string toAssimp; // why assimp reads it instead
    std::vector<aiMesh*> meshes;
    std::vector<aiMaterial*> materials; // the file's, then the default; null while not built
    std::vector<aiTexture*> textures;
    std::vector<aiCamera*> cameras;
    std::vector<aiLight*> lights;
    std::vector<aiAnimation*> animations;
    std::vector<int> meshFirst;    // glTF mesh -> its first aiMesh, -1 while not built
    std::vector<int> imageTexture; // glTF image -> embedded aiTexture, -1 while not built
    std::vector<int> cameraIndex, lightIndex; // glTF -> scene, -1 while not used
    aiNode* root = nullptr;
    // Bytes of accessors still to read before the file counts as one that reads the same data
    // over and over (meshes sharing one accessor): such a file goes to assimp.
    uint64_t budget = 0;
    GltfBuild(const GltfDoc& doc, const GltfFiles& files);
    ~GltfBuild(); // frees whatever was not handed over to a scene
};

// Takes the accessor's bytes from the budget; false (and the file to assimp) past it.
bool spendBudget(GltfBuild& build, int accessor);

// The scene's index of the glTF material, built on first use; -1 stands for assimp's default
// material, placed after the file's own. -1 with build.error or build.toAssimp.
int materialOf(GltfBuild& build, int index);

// Normals for a mesh of triangles without its own, as assimp's smooth normals step makes them:
// each vertex takes the normal of the last face that names it, then vertices nearer each other
// than 1/10000 of the mesh's diagonal share their normals' mean.
void smoothNormals(aiMesh& mesh);

// Builds the node tree and everything the nodes use. False with build.error or build.toAssimp.
bool buildNodes(GltfBuild& build);

// Builds the animations (after the nodes: keys the file leaves out take the node's values).
bool buildAnimations(GltfBuild& build);

// The name assimp gives a node: its own, or "nodes[<index>]".
std::string gltfNodeName(const GltfDoc& doc, int node);
