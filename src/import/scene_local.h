// Helpers shared by the files of the scene conversion (meshes, and the paths, camera and
// lamps). Import side; internal to src/import.
#pragma once

#include <assimp/scene.h>
#include <string>
#include <vector>

#include "import/scene_convert.h"
#include "import/scene_motion.h"

// The conversion under way: the scene, its motion and the frame every position is put in.
struct ConvertState {
    const aiScene* scene = nullptr;
    ImportOptions options;
    SceneMotion motion;
    aiMatrix4x4 axes; // scene root frame -> player frame: up axis to y, times --scale
    ImportedScene* out = nullptr;
    bool boxEmpty = true;     // no vertex has widened out->low/high yet
    bool gltf = false;        // the scene file is glTF (.gltf, .glb)
    std::vector<size_t> uses; // mesh -> nodes that show it (counted when meshes are spent)
};

// What a material gives a mesh.
struct Look {
    float color[3] = {1, 1, 1};
    int picture = -1;
    bool blended = false;
    bool opaqueMode = false;
};

// What the material of that index gives a mesh; its picture is added to the scene's list once.
Look lookOf(ConvertState& state, unsigned index);

// A node's transform into the player's frame at `seconds`.
aiMatrix4x4 placeAt(const ConvertState& state, const aiNode* node, double seconds);

// Widens the scene's box by one point when it is finite.
void widenBox(ConvertState& state, const aiVector3D& point);

// The path of a moving node: once a second through its keys, with the end points an open curve
// needs, the two angles on track 2. `rest` is the node's linear part at 0 s (baked into its
// vertices). Notes a turn about the vertical axis or a changing scale.
PathOut objectPath(ConvertState& state, const aiNode* node, const aiMatrix3x3& rest,
                   const std::string& name);

// The camera section and flight, and the lamps; after the meshes, which make the scene's box.
void convertCamera(ConvertState& state);
void convertLamps(ConvertState& state);

// Whole seconds that samples of a span of `seconds` cover: at least 1, at most a day.
int sampleSeconds(double seconds);
