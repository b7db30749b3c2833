// Node motion of an imported scene: key interpolation, world transforms at a time, turn split.
// Import side. Keys come straight from assimp: counts may be zero, times unsorted or not
// finite, so every lookup is bounded and never trusts the order for more than a bisection.
#include "import/scene_motion.h"

#include <cmath>

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

// The keys' value at `time`: a key's own value before the first key, after the last and on a
// key; `blend` of the two keys around it otherwise.
template <typename Key, typename Value, typename Blend>
Value keyedAt(const Key* keys, unsigned count, double time, Value rest, Blend blend) {
    if (!keys || count == 0) {
        return rest;
    }
    unsigned i = keyBefore(keys, count, time);
    if (i + 1 >= count || time <= keys[i].mTime) {
        return keys[i].mValue;
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

// The node's own transform at `ticks`: its keys where it has some, its rest transform otherwise.
aiMatrix4x4 nodeLocalAt(const SceneMotion& motion, const aiNode* node, double ticks) {
    auto found = motion.channels.find(node->mName.C_Str());
    if (found == motion.channels.end()) {
        return node->mTransformation;
    }
    const aiNodeAnim* keys = found->second;
    aiVector3D restScale, restPlace;
    aiQuaternion restTurn;
    node->mTransformation.Decompose(restScale, restTurn, restPlace);
    aiVector3D place =
        keyedAt(keys->mPositionKeys, keys->mNumPositionKeys, ticks, restPlace, lineBetween);
    aiQuaternion turn =
        keyedAt(keys->mRotationKeys, keys->mNumRotationKeys, ticks, restTurn, turnBetween);
    aiVector3D scale =
        keyedAt(keys->mScalingKeys, keys->mNumScalingKeys, ticks, restScale, lineBetween);
    return aiMatrix4x4(scale, turn, place);
}

template <typename Key> void widenSpan(const Key* keys, unsigned count, double& low, double& high) {
    for (unsigned i = 0; keys && i < count; i++) {
        double t = keys[i].mTime;
        if (std::isfinite(t)) {
            low = std::fmin(low, t);
            high = std::fmax(high, t);
        }
    }
}

} // namespace

SceneMotion sceneMotion(const aiScene& scene) {
    SceneMotion motion;
    if (scene.mNumAnimations == 0 || !scene.mAnimations || !scene.mAnimations[0]) {
        return motion;
    }
    const aiAnimation* animation = scene.mAnimations[0];
    motion.animation = animation;
    double tps = animation->mTicksPerSecond;
    motion.ticksPerSecond = (std::isfinite(tps) && tps > 1e-6) ? tps : 25.0;
    double low = INFINITY, high = -INFINITY;
    for (unsigned c = 0; animation->mChannels && c < animation->mNumChannels; c++) {
        const aiNodeAnim* channel = animation->mChannels[c];
        if (!channel) {
            continue;
        }
        motion.channels[channel->mNodeName.C_Str()] = channel;
        widenSpan(channel->mPositionKeys, channel->mNumPositionKeys, low, high);
        widenSpan(channel->mRotationKeys, channel->mNumRotationKeys, low, high);
        widenSpan(channel->mScalingKeys, channel->mNumScalingKeys, low, high);
    }
    if (low <= high) {
        motion.startTicks = low;
        motion.seconds = (high - low) / motion.ticksPerSecond;
    }
    return motion;
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
    double ticks = motion.startTicks + seconds * motion.ticksPerSecond;
    aiMatrix4x4 world;
    for (int depth = 0; node && depth < 10000; node = node->mParent, depth++) {
        world = nodeLocalAt(motion, node, ticks) * world;
    }
    return world;
}

void splitTurn(const aiMatrix3x3& r, float& x, float& z, float& yaw) {
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
    x = (float)(xr * 180 / PI);
    z = (float)(zr * 180 / PI);
    yaw = (float)(yr * 180 / PI);
    // The same turn is also Rx(x + 180) Rz(180 - z) Ry(yaw + 180): keep the one with less yaw,
    // since the yaw is what the player cannot show (a half turn about z is no yaw at all).
    if (std::fabs(yaw) > 90) {
        x = x > 0 ? x - 180 : x + 180;
        z = z > 0 ? 180 - z : -180 - z;
        yaw = yaw > 0 ? yaw - 180 : yaw + 180;
    }
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
