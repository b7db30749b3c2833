// Paths of moving nodes, the camera flight and the lamps of an imported scene.
// Import side: from assimp records to the map's records, no files.
#include <algorithm>
#include <cmath>

#include "base/map_format.h"
#include "import/scene_local.h"

namespace {

#define AHEAD_DISTANCE 10.0f     // how far ahead of the eye the camera's look-at point is put
#define MAX_SAMPLE_SECONDS 86400 // a day of keys at most; longer spans are cut (and noted)
#define TURN_NOTE_DEGREES 1.0f   // a turn about the vertical axis beyond this is reported
#define SPAN_TOLERANCE 0.05      // seconds of key span that make no sample of their own

bool finite3(const aiVector3D& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

void putPoint(std::vector<float>& values, const aiVector3D& v) {
    values.push_back(finite3(v) ? v.x : 0);
    values.push_back(finite3(v) ? v.y : 0);
    values.push_back(finite3(v) ? v.z : 0);
}

// Adds the first and last points an open Catmull-Rom curve needs to start on the first sample
// and end on the last: each mirrors its neighbour through the end sample.
void addEndPoints(std::vector<float>& values, size_t stride) {
    size_t count = values.size() / stride;
    std::vector<float> out;
    out.reserve(values.size() + 2 * stride);
    for (size_t k = 0; k < stride; k++) {
        out.push_back(count > 1 ? 2 * values[k] - values[stride + k] : values[k]);
    }
    out.insert(out.end(), values.begin(), values.end());
    const float* last = &values[(count - 1) * stride];
    const float* before = count > 1 ? last - stride : last;
    for (size_t k = 0; k < stride; k++) {
        out.push_back(count > 1 ? 2 * last[k] - before[k] : last[k]);
    }
    values.swap(out);
}

aiVector3D column(const aiMatrix3x3& m, int c) {
    return c == 0 ? aiVector3D(m.a1, m.b1, m.c1)
                  : (c == 1 ? aiVector3D(m.a2, m.b2, m.c2) : aiVector3D(m.a3, m.b3, m.c3));
}

aiVector3D centre(const ImportedScene& out) {
    return aiVector3D((out.low[0] + out.high[0]) / 2, (out.low[1] + out.high[1]) / 2,
                      (out.low[2] + out.high[2]) / 2);
}

float radius(const ImportedScene& out) {
    aiVector3D d(out.high[0] - out.low[0], out.high[1] - out.low[1], out.high[2] - out.low[2]);
    return std::max(1.0f, d.Length() / 2);
}

// How far from `from` along `way` the eye stays inside the sky box (any distance from outside).
float insideSky(const aiVector3D& from, const aiVector3D& way) {
    const float low[3] = {SHOW_SKY_CENTRE_X - SKY_REACH, SHOW_SKY_CENTRE_Y - SKY_REACH,
                          SHOW_SKY_CENTRE_Z - SKY_REACH};
    const float high[3] = {SHOW_SKY_CENTRE_X + SKY_REACH, SHOW_SKY_CENTRE_Y + SKY_REACH,
                           SHOW_SKY_CENTRE_Z + SKY_REACH};
    float reach = INFINITY;
    for (int k = 0; k < 3; k++) {
        if (from[k] < low[k] || from[k] > high[k]) {
            return INFINITY;
        }
        if (way[k] != 0) {
            reach = std::min(reach, ((way[k] > 0 ? high[k] : low[k]) - from[k]) / way[k]);
        }
    }
    return reach;
}

// A still view held for the whole scene: the show then runs, and objects move.
void holdView(ImportedScene& out, const aiVector3D& eye, const aiVector3D& ahead) {
    out.cameraPath.values.clear();
    for (int i = 0; i < SHOW_SCENE_SECONDS + 3; i++) {
        putPoint(out.cameraPath.values, eye);
        putPoint(out.cameraPath.values, ahead);
    }
}

// Seconds of sample k of `count`: the last takes the last key when the span is a little past
// whole seconds (a span cut at a day stops there).
double sampleTime(double span, int k, int count) {
    return (k == count && span < k + 1) ? span : std::min((double)k, span);
}

} // namespace

int sampleSeconds(double seconds) {
    if (!(seconds > 0)) {
        return 1;
    }
    // Key times written as floats by other tools land a little past a whole second.
    return seconds >= MAX_SAMPLE_SECONDS ? MAX_SAMPLE_SECONDS
                                         : std::max(1, (int)std::ceil(seconds - SPAN_TOLERANCE));
}

PathOut objectPath(ConvertState& state, const aiNode* node, const aiMatrix3x3& rest,
                   const std::string& name) {
    PathOut path;
    path.title = "skarn-import: " + name;
    path.curves = 2;
    int seconds = sampleSeconds(state.motion.seconds);
    aiMatrix3x3 restInverse = rest;
    restInverse.Inverse();
    float previousX = 0, previousZ = 0, widestYaw = 0, scaleChange = 0;
    aiVector3D held; // the last good position: a sample that is not a number holds it
    bool heldAny = false;
    size_t bad = 0;
    for (int k = 0; k <= seconds; k++) {
        double at = sampleTime(state.motion.seconds, k, seconds);
        aiMatrix4x4 place = placeAt(state, node, at);
        aiMatrix3x3 turn = aiMatrix3x3(place) * restInverse;
        aiVector3D where(place.a4, place.b4, place.c4);
        bool good = finite3(where) && std::isfinite(turn.Determinant()) && turn.Determinant() != 0;
        if (!good) {
            bad++;
            putPoint(path.values, held);
            putPoint(path.values, aiVector3D(previousX, 0, previousZ));
            continue;
        }
        for (int c = 0; c < 3; c++) {
            float length = column(turn, c).Length();
            scaleChange = std::max(scaleChange, std::fabs(length - 1));
        }
        aiVector3D a = column(turn, 0).NormalizeSafe(), b = column(turn, 1).NormalizeSafe(),
                   c = column(turn, 2).NormalizeSafe();
        aiMatrix3x3 unit(a.x, b.x, c.x, a.y, b.y, c.y, a.z, b.z, c.z);
        float x, z, yaw;
        splitTurn(unit, previousX, previousZ, x, z, yaw);
        previousX = x;
        previousZ = z;
        widestYaw = std::max(widestYaw, std::fabs(yaw));
        for (size_t i = 0; !heldAny && i < path.values.size(); i += 6) // bad samples before
            std::copy(&where.x, &where.x + 3, &path.values[i]);
        held = where;
        heldAny = true;
        putPoint(path.values, where);
        putPoint(path.values, aiVector3D(x, 0, z));
    }
    addEndPoints(path.values, 6);
    std::vector<std::string>& notes = state.out->notes;
    if (widestYaw > TURN_NOTE_DEGREES) {
        notes.push_back("node " + std::string(node->mName.C_Str()) + " turns up to " +
                        writtenNumber(widestYaw) +
                        " degrees about the vertical axis, which the player cannot show: " + name +
                        " keeps its heading");
    }
    if (bad > 0) {
        notes.push_back("node " + std::string(node->mName.C_Str()) + ": " + std::to_string(bad) +
                        " samples of its motion are not numbers: the last good place is held");
    }
    if (scaleChange > 0.01f) {
        notes.push_back("node " + std::string(node->mName.C_Str()) +
                        " changes size: objects keep the size they have at the start");
    }
    if (state.motion.seconds > MAX_SAMPLE_SECONDS) {
        notes.push_back("the animation is longer than a day: paths stop after a day");
    }
    return path;
}

// Frames the whole box from the front and a little above, from inside the sky box.
void frameScene(ImportedScene& out, const std::string& why) {
    aiVector3D c = centre(out), way = aiVector3D(0, 0.4f, 1).Normalize();
    aiVector3D eye = c + way * std::min(radius(out) * 2.5f, insideSky(c, way));
    holdView(out, eye, c);
    std::copy(&eye.x, &eye.x + 3, out.map.eye);
    std::copy(&c.x, &c.x + 3, out.map.target);
    out.notes.push_back(why + ": a still camera frames the whole scene");
}

void convertCamera(ConvertState& state) {
    ImportedScene& out = *state.out;
    MapOut& map = out.map;
    out.cameraPath.title = "skarn-import: camera";
    out.cameraPath.curves = 2;
    map.anime = 1;
    const aiScene& scene = *state.scene;
    const aiCamera* camera =
        (scene.mCameras && scene.mNumCameras > 0) ? scene.mCameras[0] : nullptr;
    if (!camera) {
        frameScene(out, "the scene has no camera");
        return;
    }
    if (scene.mNumCameras > 1) {
        out.notes.push_back("only the first camera is used (" + std::to_string(scene.mNumCameras) +
                            " in the scene)");
    }
    std::string name = camera->mName.C_Str();
    const aiNode* node = scene.mRootNode ? scene.mRootNode->FindNode(camera->mName) : nullptr;
    bool moves = node && nodeMoves(state.motion, node);
    int seconds = moves ? sampleSeconds(state.motion.seconds) : 0;
    // glTF puts a camera at its node's origin; assimp also copies the node's translation into
    // the camera's position, which would apply it twice.
    aiVector3D own = state.gltf ? aiVector3D() : camera->mPosition;
    std::vector<float>& values = out.cameraPath.values;
    aiVector3D heldEye, heldLook;
    size_t bad = 0, good = 0;
    for (int k = 0; k <= seconds; k++) {
        double at = sampleTime(state.motion.seconds, k, seconds);
        aiMatrix4x4 place = node ? placeAt(state, node, at) : state.axes;
        aiVector3D eye = place * own;
        aiVector3D look = (aiMatrix3x3(place) * camera->mLookAt).NormalizeSafe();
        if (finite3(look) && look.SquareLength() < 0.5f)
            look = aiVector3D(0, 0, -1); // a camera without a view direction looks down -z
        if (!finite3(eye) || !finite3(look)) {
            bad++;
            putPoint(values, heldEye);
            putPoint(values, heldEye + heldLook * AHEAD_DISTANCE);
            continue;
        }
        for (size_t i = 0; good == 0 && i < values.size(); i += 6) { // bad samples before
            std::copy(&eye.x, &eye.x + 3, &values[i]);
            aiVector3D ahead = eye + look * AHEAD_DISTANCE;
            std::copy(&ahead.x, &ahead.x + 3, &values[i + 3]);
        }
        if (good++ == 0) {
            aiVector3D target = eye + look * AHEAD_DISTANCE;
            std::copy(&eye.x, &eye.x + 3, map.eye);
            std::copy(&target.x, &target.x + 3, map.target);
        }
        heldEye = eye;
        heldLook = look;
        putPoint(values, eye);
        putPoint(values, eye + look * AHEAD_DISTANCE);
    }
    if (good == 0) {
        values.clear();
        frameScene(out, "camera " + name + " is at a place or looks a way that is not a number");
        return;
    }
    if (bad > 0) {
        out.notes.push_back("camera " + name + ": " + std::to_string(bad) +
                            " samples of its flight are not numbers: the last good view is held");
    }
    if (!moves) {
        holdView(out, aiVector3D(map.eye[0], map.eye[1], map.eye[2]),
                 aiVector3D(map.target[0], map.target[1], map.target[2]));
        return;
    }
    // The flight covers the scene: after its last key the camera holds its last view.
    addEndPoints(values, 6);
    std::vector<float> last(values.end() - 12, values.end() - 6);
    values.resize(values.size() - 6);
    while (values.size() / 6 < (size_t)SHOW_SCENE_SECONDS + 3) {
        values.insert(values.end(), last.begin(), last.end());
    }
    out.notes.push_back("the camera flight lasts " + std::to_string(seconds) + " s of the " +
                        std::to_string(SHOW_SCENE_SECONDS) + " s scene" +
                        (seconds < SHOW_SCENE_SECONDS ? "; then it holds its last view" : ""));
}

void convertLamps(ConvertState& state) {
    struct Found {
        LampOut lamp;
        float strength;
        std::string name;
    };
    std::vector<Found> found;
    const aiScene& scene = *state.scene;
    ImportedScene& out = *state.out;
    for (unsigned i = 0; scene.mLights && i < scene.mNumLights; i++) {
        const aiLight* light = scene.mLights[i];
        if (!light) {
            continue;
        }
        std::string name = light->mName.C_Str();
        if (light->mType != aiLightSource_POINT && light->mType != aiLightSource_SPOT &&
            light->mType != aiLightSource_DIRECTIONAL) {
            out.notes.push_back("light " + name + ": only point, spot and sun lights are carried");
            continue;
        }
        const aiNode* node = scene.mRootNode ? scene.mRootNode->FindNode(light->mName) : nullptr;
        aiMatrix4x4 place = node ? placeAt(state, node, 0) : state.axes;
        aiColor3D c = light->mColorDiffuse;
        float strength = std::max(c.r, std::max(c.g, c.b));
        if (!(strength > 0) || !std::isfinite(strength)) {
            out.notes.push_back("light " + name + " gives no light: left out");
            continue;
        }
        Found f{{}, strength, name};
        aiVector3D at = place * light->mPosition;
        if (light->mType == aiLightSource_DIRECTIONAL) {
            // The player's lamps are points: a sun becomes one far away against its direction.
            aiVector3D way = (aiMatrix3x3(place) * light->mDirection).NormalizeSafe();
            at = centre(out) - way * (radius(out) * 4 + 10);
        }
        if (!finite3(at)) {
            out.notes.push_back("light " + name + " is at a place that is not a number: left out");
            continue;
        }
        std::copy(&at.x, &at.x + 3, f.lamp.position);
        f.lamp.color[0] = c.r > 0 ? c.r / strength : 0;
        f.lamp.color[1] = c.g > 0 ? c.g / strength : 0;
        f.lamp.color[2] = c.b > 0 ? c.b / strength : 0;
        f.lamp.intensity = std::min(1.0f, strength);
        found.push_back(f);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Found& a, const Found& b) { return a.strength > b.strength; });
    for (size_t i = 0; i < found.size(); i++) {
        if (i < MAX_LAMPS) {
            out.map.lamps.push_back(found[i].lamp);
        } else {
            out.notes.push_back("light " + found[i].name + " left out: the player lights at most " +
                                std::to_string(MAX_LAMPS) + " lamps (the strongest are kept)");
        }
    }
}
