// Node motion of an imported scene: key interpolation, world transforms at a time, turn split.
// Import side. Keys come straight from assimp: counts may be zero, times unsorted or not
// finite, so every lookup is bounded and never trusts the order for more than a bisection.
#include "import/scene_motion.h"

#include <cmath>
#include <string>

namespace {

const double PI = 3.1415926535898;

// Index of the last key at or before `time` (0 when none is), by bisection.
template <typename Key> unsigned keyBefore(const Key* keys, unsigned count, double time) {
    unsigned low = 0, high = count;
    while (high - low > 1) {
        unsigned middle = low + (high - low) / 2;
        if (keys[middle].mTime <= time) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return low;
}

// Fraction of `time` between two key times, within 0 to 1.
double between(double a, double b, double time) {
    double f = (b > a) ? (time - a) / (b - a) : 0.0;
    return (f >= 0 && f <= 1) ? f : (f > 1 ? 1.0 : 0.0);
}

bool usable(const aiVector3D& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool usable(const aiQuaternion& q) {
    double length = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
    return std::isfinite(length) && length > 1e-6;
}

// The keys' value at `time`: a key's own value before the first key, after the last and on a
// key; `blend` of the two keys around it otherwise. A value that is not a number is passed
// over: the last good one before it is held (the first good one when none is before).
template <typename Key, typename Value, typename Blend>
Value keyedAt(const Key* keys, unsigned count, double time, Value rest, Blend blend) {
    if (!keys || count == 0) {
        return rest;
    }
    unsigned i = keyBefore(keys, count, time), good = i;
    while (good > 0 && !usable(keys[good].mValue))
        good--;
    while (good < count && !usable(keys[good].mValue))
        good++;
    if (good >= count)
        return rest;
    if (good != i || i + 1 >= count || time <= keys[i].mTime || !usable(keys[i + 1].mValue)) {
        return keys[good].mValue;
    }
    return blend(keys[i].mValue, keys[i + 1].mValue,
                 (float)between(keys[i].mTime, keys[i + 1].mTime, time));
}

aiVector3D lineBetween(const aiVector3D& a, const aiVector3D& b, float f) {
    return a + (b - a) * f;
}

aiQuaternion turnBetween(const aiQuaternion& a, const aiQuaternion& b, float f) {
    aiQuaternion out;
    aiQuaternion::Interpolate(out, a, b, f);
    return out.Normalize();
}

// The node's own transform at `seconds` of the scene's time: its keys where it has some, its
// rest transform otherwise.
aiMatrix4x4 nodeLocalAt(const SceneMotion& motion, const aiNode* node, double seconds) {
    auto found = motion.channels.find(node->mName.C_Str());
    if (found == motion.channels.end()) {
        return node->mTransformation;
    }
    const aiNodeAnim* keys = found->second.keys;
    double ticks = seconds * found->second.ticksPerSecond;
    aiVector3D restScale, restPlace;
    aiQuaternion restTurn;
    node->mTransformation.Decompose(restScale, restTurn, restPlace);
    aiVector3D place =
        keyedAt(keys->mPositionKeys, keys->mNumPositionKeys, ticks, restPlace, lineBetween);
    aiQuaternion turn =
        keyedAt(keys->mRotationKeys, keys->mNumRotationKeys, ticks, restTurn, turnBetween);
    aiVector3D scale =
        keyedAt(keys->mScalingKeys, keys->mNumScalingKeys, ticks, restScale, lineBetween);
    return composeTRS(place, turn, scale);
}

// Widens [low, high] (seconds) by the keys' times; true when some key's value is no number.
// A single key is a constant, not a moment: assimp's glTF reader gives every node it animates
// one at 0 s for the parts the file does not key, which would start the scene too early.
template <typename Key>
bool widenSpan(const Key* keys, unsigned count, double tps, double& low, double& high) {
    bool bad = false;
    for (unsigned i = 0; keys && i < count; i++) {
        double t = keys[i].mTime / tps;
        if (std::isfinite(t) && count > 1) {
            low = std::fmin(low, t);
            high = std::fmax(high, t);
        }
        bad = bad || !usable(keys[i].mValue);
    }
    return bad;
}

} // namespace

// Blender's FBX export writes one take per object and action, named "object|action"; the
// object's own action is named "<object>Action" unless its author renamed it.
bool ownTake(const aiAnimation& animation, const aiNodeAnim& channel) {
    std::string node = channel.mNodeName.C_Str();
    return std::string(animation.mName.C_Str()) == node + "|" + node + "Action";
}

bool perObjectTakes(const aiScene& scene) {
    for (unsigned a = 0; a < scene.mNumAnimations; a++) {
        const aiAnimation* animation = scene.mAnimations[a];
        if (!animation || std::string(animation->mName.C_Str()).find('|') == std::string::npos)
            return false;
    }
    return scene.mNumAnimations > 1;
}

SceneMotion sceneMotion(const aiScene& scene) {
    SceneMotion motion;
    double low = INFINITY, high = -INFINITY;
    bool takes = scene.mAnimations && perObjectTakes(scene);
    motion.perObjectTakes = takes;
    // With takes, a node's own take first, then any other take of that node.
    for (int pass = takes ? 0 : 1; pass < 2; pass++) {
        for (unsigned a = 0; scene.mAnimations && a < scene.mNumAnimations; a++) {
            const aiAnimation* animation = scene.mAnimations[a];
            if (!animation)
                continue;
            double tps = animation->mTicksPerSecond;
            tps = (std::isfinite(tps) && tps > 1e-6) ? tps : 25.0;
            for (unsigned c = 0; animation->mChannels && c < animation->mNumChannels; c++) {
                const aiNodeAnim* channel = animation->mChannels[c];
                if (!channel || (pass == 0 && !ownTake(*animation, *channel)))
                    continue;
                if (motion.channels.count(channel->mNodeName.C_Str())) {
                    motion.repeated += pass == 1 && !takes;
                    continue;
                }
                motion.channels[channel->mNodeName.C_Str()] = NodeKeys{channel, tps};
                bool bad =
                    widenSpan(channel->mPositionKeys, channel->mNumPositionKeys, tps, low, high);
                bad =
                    widenSpan(channel->mRotationKeys, channel->mNumRotationKeys, tps, low, high) ||
                    bad;
                bad = widenSpan(channel->mScalingKeys, channel->mNumScalingKeys, tps, low, high) ||
                      bad;
                if (bad)
                    motion.badKeys.push_back(channel->mNodeName.C_Str());
            }
        }
    }
    if (low <= high) {
        motion.startSeconds = low;
        motion.seconds = high - low;
    }
    return motion;
}

aiMatrix4x4 composeTRS(const aiVector3D& place, const aiQuaternion& turn, const aiVector3D& scale) {
    aiMatrix3x3 r = turn.GetMatrix();
    return aiMatrix4x4(r.a1 * scale.x, r.a2 * scale.y, r.a3 * scale.z, place.x, //
                       r.b1 * scale.x, r.b2 * scale.y, r.b3 * scale.z, place.y, //
                       r.c1 * scale.x, r.c2 * scale.y, r.c3 * scale.z, place.z, //
                       0, 0, 0, 1);
}

bool nodeMoves(const SceneMotion& motion, const aiNode* node) {
    for (int depth = 0; node && depth < 10000; node = node->mParent, depth++) {
        if (motion.channels.count(node->mName.C_Str())) {
            return true;
        }
    }
    return false;
}

aiMatrix4x4 nodeWorldAt(const SceneMotion& motion, const aiNode* node, double seconds) {
    aiMatrix4x4 world;
    for (int depth = 0; node && depth < 10000; node = node->mParent, depth++) {
        world = nodeLocalAt(motion, node, motion.startSeconds + seconds) * world;
    }
    return world;
}

void splitTurn(const aiMatrix3x3& r, float previousX, float previousZ, float& x, float& z,
               float& yaw) {
    // Rx(x) Rz(z) Ry(y): r.b1 = -sin z, r.c2 / r.b2 = tan x, r.a3 / r.a1 = tan y.
    double sz = -r.a2;
    sz = sz > 1 ? 1 : (sz < -1 ? -1 : sz);
    double zr = std::asin(sz), xr, yr;
    if (std::fabs(sz) < 0.99999) {
        xr = std::atan2(r.c2, r.b2);
        yr = std::atan2(r.a3, r.a1);
    } else {
        // Turned a quarter about z: x and yaw act about the same axis; give it all to x.
        yr = 0;
        xr = std::atan2(-r.b3, r.c3);
    }
    float x1 = nearestAngle((float)(xr * 180 / PI), previousX);
    float z1 = nearestAngle((float)(zr * 180 / PI), previousZ);
    float yaw1 = (float)(yr * 180 / PI);
    // The same turn is also Rx(x + 180) Rz(180 - z) Ry(yaw + 180): the one nearer the previous
    // sample keeps the angles continuous (less yaw breaks a tie).
    float x2 = nearestAngle(x1 + 180, previousX), z2 = nearestAngle(180 - z1, previousZ);
    float yaw2 = yaw1 > 0 ? yaw1 - 180 : yaw1 + 180;
    float away1 = std::fabs(x1 - previousX) + std::fabs(z1 - previousZ);
    float away2 = std::fabs(x2 - previousX) + std::fabs(z2 - previousZ);
    bool second =
        away2 < away1 - 1e-3f || (away2 < away1 + 1e-3f && std::fabs(yaw2) < std::fabs(yaw1));
    x = second ? x2 : x1;
    z = second ? z2 : z1;
    yaw = second ? yaw2 : yaw1;
    if (!std::isfinite(x) || !std::isfinite(z) || !std::isfinite(yaw)) {
        x = z = yaw = 0;
    }
}

aiMatrix3x3 turnAboutY(float degrees) {
    aiMatrix3x3 out;
    return aiMatrix3x3::Rotation((float)(degrees * PI / 180), aiVector3D(0, 1, 0), out);
}

float nearestAngle(float angle, float previous) {
    if (!std::isfinite(angle) || !std::isfinite(previous)) {
        return angle;
    }
    double turns = std::round((previous - angle) / 360.0);
    return (float)(angle + 360.0 * turns);
}
