// Node motion of an imported scene: transforms at a given time, the once-a-second samples of
// a moving node, and the split of a turn into the player's two angles. Import side; names assimp.
#pragma once

#include <assimp/scene.h>
#include <string>
#include <unordered_map>

// The one animation that drives the map (the scene's first), with its channels by node name.
struct SceneMotion {
    const aiAnimation* animation = nullptr;                      // null: nothing moves
    std::unordered_map<std::string, const aiNodeAnim*> channels; // node name -> its keys
    double ticksPerSecond = 25;                                  // of the animation's key times
    double startTicks = 0;                                       // earliest key
    double seconds = 0; // from the earliest to the last key
};

// Gathers the scene's first animation; key times that are not finite are left out of its span.
SceneMotion sceneMotion(const aiScene& scene);

// True when the node or one of its parents has keys: its place in the world changes.
bool nodeMoves(const SceneMotion& motion, const aiNode* node);

// The node's transform into the scene's root frame, `seconds` after the animation starts
// (its rest pose for nodes without keys).
aiMatrix4x4 nodeWorldAt(const SceneMotion& motion, const aiNode* node, double seconds);

// Splits a turn R into R = Rx(x) Rz(z) Ry(yaw), angles in degrees: the player turns objects by
// x about x after z about z, and has no turn about the vertical axis (yaw).
void splitTurn(const aiMatrix3x3& turn, float& x, float& z, float& yaw);

// The rotation of `degrees` about the y axis.
aiMatrix3x3 turnAboutY(float degrees);

// Brings `angle` within 180 degrees of `previous`, so interpolation takes the short way.
float nearestAngle(float angle, float previous);
