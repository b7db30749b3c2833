// A glTF file's animations built as assimp's glTF 2 reader builds them: one aiAnimation per
// animation, one channel per keyed node, times in milliseconds (1000 ticks a second), a
// cubic spline's middle values as its keys. Import side.
#include <map>
#include <memory>

#include "import/gltf_build.h"

namespace {

// Reads the sampler's times and values (`width` floats each); false with build.error.
bool readKeys(GltfBuild& b, const GltfSampler& s, int width, std::vector<float>& times,
              std::vector<float>& values) {
    const GltfDoc& doc = b.doc;
    bool known = s.input >= 0 && (size_t)s.input < doc.accessors.size() && s.output >= 0 &&
                 (size_t)s.output < doc.accessors.size();
    if (!known) {
        b.error = "an animation names an accessor that is not in the file";
        return false;
    }
    const GltfAccessor& in = doc.accessors[s.input];
    const GltfAccessor& out = doc.accessors[s.output];
    if (out.componentType != 5126 || out.width != width) {
        b.toAssimp = "keys that are not floats";
        return false;
    }
    if (in.componentType != 5126 || in.width != 1 || out.count < in.count * (s.cubic ? 3 : 1) ||
        in.count >= (1u << 30)) {
        b.error = "an animation's times are not floats or it has fewer values than times";
        return false;
    }
    if (!accessorFits(doc, b.files, s.input, b.error) ||
        !accessorFits(doc, b.files, s.output, b.error) || !spendBudget(b, s.input) ||
        !spendBudget(b, s.output))
        return false;
    times.resize(in.count);
    values.resize(out.count * (size_t)width);
    return readPacked(doc, b.files, s.input, (unsigned char*)times.data(), b.error) &&
           readPacked(doc, b.files, s.output, (unsigned char*)values.data(), b.error);
}

template <typename Key, typename Make>
bool putKeys(GltfBuild& b, const GltfSampler* s, int width, Key*& keys, unsigned& count,
             Make make) {
    std::vector<float> times, values;
    if (!readKeys(b, *s, width, times, values))
        return false;
    count = (unsigned)times.size();
    keys = new Key[count];
    size_t at = s->cubic ? 1 : 0; // a cubic spline's values come in threes: in, value, out
    for (unsigned i = 0; i < count; i++, at += s->cubic ? 3 : 1) {
        keys[i].mTime = times[i] * 1000.f;
        keys[i].mValue = make(&values[at * width]);
    }
    return true;
}

// The channel of one node: keys where the file has some, else the node's own value where it
// states one, else one key of its rest transform (as assimp's scene preprocessing adds).
aiNodeAnim* channelOf(GltfBuild& b, int node, const GltfSampler* const paths[3]) {
    std::unique_ptr<aiNodeAnim> anim(new aiNodeAnim());
    const GltfNode& n = b.doc.nodes[node];
    anim->mNodeName = gltfNodeName(b.doc, node);
    auto vector = [](const float* v) { return aiVector3D(v[0], v[1], v[2]); };
    auto turn = [](const float* v) { return aiQuaternion(v[3], v[0], v[1], v[2]); };
    if (paths[0] ? !putKeys(b, paths[0], 3, anim->mPositionKeys, anim->mNumPositionKeys, vector)
                 : false)
        return nullptr;
    if (paths[1] ? !putKeys(b, paths[1], 4, anim->mRotationKeys, anim->mNumRotationKeys, turn)
                 : false)
        return nullptr;
    if (paths[2] ? !putKeys(b, paths[2], 3, anim->mScalingKeys, anim->mNumScalingKeys, vector)
                 : false)
        return nullptr;
    aiMatrix4x4 rest;
    if (n.hasMatrix) {
        const float* v = n.matrix;
        rest = aiMatrix4x4(v[0], v[4], v[8], v[12], v[1], v[5], v[9], v[13], v[2], v[6], v[10],
                           v[14], v[3], v[7], v[11], v[15]);
    } else {
        aiMatrix4x4 part;
        if (n.hasT)
            rest = rest * aiMatrix4x4::Translation(vector(n.t), part);
        if (n.hasR)
            rest = rest * aiMatrix4x4(turn(n.r).GetMatrix());
        if (n.hasS)
            rest = rest * aiMatrix4x4::Scaling(vector(n.s), part);
    }
    aiVector3D restScale, restPlace;
    aiQuaternion restTurn;
    rest.Decompose(restScale, restTurn, restPlace);
    if (!anim->mNumPositionKeys) {
        anim->mNumPositionKeys = 1;
        anim->mPositionKeys = new aiVectorKey[1];
        anim->mPositionKeys[0] = aiVectorKey(0, n.hasT && !n.hasMatrix ? vector(n.t) : restPlace);
    }
    if (!anim->mNumRotationKeys) {
        anim->mNumRotationKeys = 1;
        anim->mRotationKeys = new aiQuatKey[1];
        anim->mRotationKeys[0] = aiQuatKey(0, n.hasR && !n.hasMatrix ? turn(n.r) : restTurn);
    }
    if (!anim->mNumScalingKeys) {
        anim->mNumScalingKeys = 1;
        anim->mScalingKeys = new aiVectorKey[1];
        anim->mScalingKeys[0] = aiVectorKey(0, n.hasS && !n.hasMatrix ? vector(n.s) : restScale);
    }
    return anim.release();
}

template <typename Key> double lastTime(const Key* keys, unsigned count) {
    return count ? (double)keys[count - 1].mTime : 0.0;
}

} // namespace

bool buildAnimations(GltfBuild& b) {
    for (const GltfAnimation& a : b.doc.animations) {
        std::unique_ptr<aiAnimation> out(new aiAnimation());
        out->mName = aiString(a.name);
        struct Paths {
            const GltfSampler* p[3] = {nullptr, nullptr, nullptr}; // translation, rotation, scale
        };
        std::map<int, Paths> nodes;
        for (const GltfChannel& c : a.channels) {
            if (c.sampler < 0 || (size_t)c.sampler >= a.samplers.size())
                continue;
            if (c.node < 0 || (size_t)c.node >= b.doc.nodes.size()) {
                b.error = "an animation keys node " + std::to_string(c.node) +
                          ", which is not in the file";
                return false;
            }
            nodes[c.node].p[c.path] = &a.samplers[c.sampler];
        }
        double duration = 0;
        if (!nodes.empty()) {
            out->mChannels = new aiNodeAnim*[nodes.size()];
            for (const auto& [node, held] : nodes) {
                const GltfSampler* const* paths = held.p;
                aiNodeAnim* channel = channelOf(b, node, paths);
                if (!channel) {
                    if (out->mNumChannels ==
                        0) { // an animation frees its list only when it holds one
                        delete[] out->mChannels;
                        out->mChannels = nullptr;
                    }
                    return false;
                }
                out->mChannels[out->mNumChannels++] = channel;
                // Only keys the file holds make the length (assimp's rule, times in ms).
                if (paths[0])
                    duration = std::max(
                        duration, lastTime(channel->mPositionKeys, channel->mNumPositionKeys));
                if (paths[1])
                    duration = std::max(
                        duration, lastTime(channel->mRotationKeys, channel->mNumRotationKeys));
                if (paths[2])
                    duration = std::max(duration,
                                        lastTime(channel->mScalingKeys, channel->mNumScalingKeys));
            }
        }
        out->mDuration = duration;
        out->mTicksPerSecond = 1000;
        b.animations.push_back(out.release());
    }
    return true;
}
