// Node motion of an imported scene: transforms at a given time, the once-a-second samples of
// a moving node, and the split of a turn into the player's two angles. Import side; names assimp.
#pragma once

#include <assimp/scene.h>
#include <string>
#include <unordered_map>
#include <vector>

// The keys of one node, and the rate of their times.
struct NodeKeys {
    const aiNodeAnim* keys = nullptr;
    double ticksPerSecond = 25;
};

// The motion that drives the map: every animation's channels by node name (tools write one
// animation per object; a node named by several takes the first), on one time base whose 0 is
// the earliest key of the whole scene, so every node keeps its offset from the others.
struct SceneMotion {
    std::unordered_map<std::string, NodeKeys> channels; // node name -> its keys
    double startSeconds = 0;                            // earliest key of the scene
    double seconds = 0;                                 // from the earliest to the last key
    std::vector<std::string> badKeys; // nodes with keys that are not numbers (values held)
    bool perObjectTakes = false;      // one FBX take per object: each starts at its own 0
    size_t repeated = 0;              // channels of nodes an earlier animation keys (unused)
};

// Gathers the scene's animations; key times that are not finite are left out of its span.
SceneMotion sceneMotion(const aiScene& scene);

// Translation . rotation . scale (assimp's aiMatrix4x4(scale, rotation, position) is S . R).
aiMatrix4x4 composeTRS(const aiVector3D& place, const aiQuaternion& turn, const aiVector3D& scale);

// True when the node or one of its parents has keys: its place in the world changes.
bool nodeMoves(const SceneMotion& motion, const aiNode* node);

// The node's transform into the scene's root frame, `seconds` after the animation starts
// (its rest pose for nodes without keys).
aiMatrix4x4 nodeWorldAt(const SceneMotion& motion, const aiNode* node, double seconds);

// Splits a turn R into R = Rx(x) Rz(z) Ry(yaw), angles in degrees: the player turns objects by
// x about x after z about z, and has no turn about the vertical axis (yaw). Of the two splits
// every turn has, the one whose x and z are nearest `previousX` and `previousZ` (unwrapped to
// them), so that angles run on from sample to sample and a pure spin keeps x = z = 0.
void splitTurn(const aiMatrix3x3& turn, float previousX, float previousZ, float& x, float& z,
               float& yaw);

// The rotation of `degrees` about the y axis.
aiMatrix3x3 turnAboutY(float degrees);

// Brings `angle` within 180 degrees of `previous`, so interpolation takes the short way.
float nearestAngle(float angle, float previous);
