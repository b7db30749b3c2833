// The JSON of a glTF 2.0 file read into plain records (import/gltf_doc.h). Import side.
// The parse is iterative (a hostile nesting depth cannot exhaust the stack); whatever this
// reader does not carry over itself is named in doc.toAssimp so that assimp reads the file.
#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#include <cmath>
#include <cstring>

#include "import/gltf_doc.h"

namespace {

using Value = rapidjson::Value;

// Extensions whose only effect is on what the converter does not read.
const char* const HARMLESS[] = {"KHR_lights_punctual",     "KHR_materials_emissive_strength",
                                "KHR_texture_transform",   "KHR_materials_unlit",
                                "KHR_materials_clearcoat", "KHR_materials_transmission",
                                "KHR_materials_sheen",     "KHR_materials_volume",
                                "KHR_materials_ior",       "KHR_materials_specular"};

// Reads the document's arrays; `bad` names the first field that is not what glTF allows.
struct Reader {
    GltfDoc& doc;
    std::string bad;

    const Value* member(const Value& object, const char* key) {
        if (!object.IsObject())
            return nullptr;
        auto found = object.FindMember(key);
        return found == object.MemberEnd() ? nullptr : &found->value;
    }
    const Value& array(const Value& object, const char* key) {
        static const Value empty(rapidjson::kArrayType);
        const Value* v = member(object, key);
        if (v && !v->IsArray())
            fail(key);
        return v && v->IsArray() ? *v : empty;
    }
    void fail(const std::string& what) {
        if (bad.empty())
            bad = what;
    }
    int index(const Value& object, const char* key) {
        const Value* v = member(object, key);
        if (!v)
            return -1;
        if (!v->IsUint() || v->GetUint() > (1u << 30))
            fail(key);
        return v->IsUint() && v->GetUint() <= (1u << 30) ? (int)v->GetUint() : -1;
    }
    uint64_t size(const Value& object, const char* key, uint64_t fallback) {
        const Value* v = member(object, key);
        if (v && !v->IsUint64())
            fail(key);
        return v && v->IsUint64() ? v->GetUint64() : fallback;
    }
    float number(const Value& object, const char* key, float fallback) {
        const Value* v = member(object, key);
        if (v && !v->IsNumber())
            fail(key);
        return v && v->IsNumber() ? (float)v->GetDouble() : fallback;
    }
    std::string text(const Value& object, const char* key) {
        const Value* v = member(object, key);
        if (v && !v->IsString())
            fail(key);
        return v && v->IsString() ? std::string(v->GetString(), v->GetStringLength()) : "";
    }
    // Reads `count` numbers of an array member into `out`; false when it is missing.
    bool numbers(const Value& object, const char* key, float* out, unsigned count) {
        const Value* v = member(object, key);
        if (!v)
            return false;
        if (!v->IsArray() || v->Size() != count) {
            fail(key);
            return false;
        }
        for (unsigned i = 0; i < count; i++) {
            if (!(*v)[i].IsNumber()) {
                fail(key);
                return false;
            }
            out[i] = (float)(*v)[i].GetDouble();
        }
        return true;
    }
    void toAssimp(const std::string& why) {
        if (doc.toAssimp.empty())
            doc.toAssimp = why;
    }

    void extensions(const Value& root) {
        for (const char* list : {"extensionsUsed", "extensionsRequired"}) {
            for (const Value& name : array(root, list).GetArray()) {
                bool known = false;
                for (const char* harmless : HARMLESS)
                    known =
                        known || (name.IsString() && std::strcmp(name.GetString(), harmless) == 0);
                if (!known)
                    toAssimp(std::string("extension ") +
                             (name.IsString() ? name.GetString() : "?"));
            }
        }
    }

    void accessors(const Value& root) {
        static const char* const TYPES[] = {"SCALAR", "VEC2", "VEC3", "VEC4",
                                            "MAT2",   "MAT3", "MAT4"};
        static const int WIDTHS[] = {1, 2, 3, 4, 4, 9, 16};
        for (const Value& a : array(root, "accessors").GetArray()) {
            GltfAccessor out;
            out.view = index(a, "bufferView");
            out.offset = size(a, "byteOffset", 0);
            out.count = size(a, "count", 0);
            out.componentType = index(a, "componentType");
            std::string type = text(a, "type");
            for (int k = 0; k < 7; k++)
                out.width = type == TYPES[k] ? WIDTHS[k] : out.width;
            if (member(a, "sparse"))
                toAssimp("sparse accessors");
            doc.accessors.push_back(out);
        }
        for (const Value& v : array(root, "bufferViews").GetArray()) {
            GltfView out;
            out.buffer = index(v, "buffer");
            out.offset = size(v, "byteOffset", 0);
            out.length = size(v, "byteLength", 0);
            out.stride = size(v, "byteStride", 0);
            doc.views.push_back(out);
        }
        for (const Value& b : array(root, "buffers").GetArray()) {
            GltfBuffer out;
            out.length = size(b, "byteLength", 0);
            out.hasUri = member(b, "uri") != nullptr;
            out.uri = text(b, "uri");
            doc.buffers.push_back(out);
        }
    }

    void materials(const Value& root) {
        for (const Value& i : array(root, "images").GetArray())
            doc.images.push_back(
                {text(i, "name"), text(i, "uri"), text(i, "mimeType"), index(i, "bufferView")});
        for (const Value& t : array(root, "textures").GetArray()) {
            doc.textureSources.push_back(index(t, "source"));
            if (member(t, "extensions"))
                toAssimp("texture extensions");
        }
        for (const Value& m : array(root, "materials").GetArray()) {
            GltfMaterial out;
            out.name = text(m, "name");
            if (const Value* pbr = member(m, "pbrMetallicRoughness")) {
                numbers(*pbr, "baseColorFactor", out.color, 4);
                if (const Value* t = member(*pbr, "baseColorTexture")) {
                    out.texture = index(*t, "index");
                    if (index(*t, "texCoord") > 0)
                        toAssimp("a picture on a second uv set");
                }
            }
            if (member(m, "alphaMode"))
                out.alphaMode = text(m, "alphaMode");
            out.alphaCutoff = number(m, "alphaCutoff", 0.5f);
            const Value* ext = member(m, "extensions");
            if (ext && member(*ext, "KHR_materials_pbrSpecularGlossiness"))
                toAssimp("specular-glossiness materials");
            doc.materials.push_back(out);
        }
    }

    void meshes(const Value& root) {
        for (const Value& m : array(root, "meshes").GetArray()) {
            GltfMesh out;
            out.name = text(m, "name");
            for (const Value& p : array(m, "primitives").GetArray()) {
                GltfPrimitive prim;
                prim.mode = member(p, "mode") ? index(p, "mode") : 4;
                if (prim.mode < 4 || prim.mode > 6)
                    toAssimp("points or lines");
                prim.indices = index(p, "indices");
                prim.material = index(p, "material");
                const Value* attributes = member(p, "attributes");
                if (!attributes || !attributes->IsObject()) {
                    fail("attributes");
                    continue;
                }
                prim.position = index(*attributes, "POSITION");
                prim.normal = index(*attributes, "NORMAL");
                prim.uv = index(*attributes, "TEXCOORD_0");
                if (member(*attributes, "JOINTS_0") || member(p, "targets"))
                    toAssimp("skins or shape keys");
                if (member(p, "extensions"))
                    toAssimp("primitive extensions");
                out.primitives.push_back(prim);
            }
            doc.meshes.push_back(out);
        }
    }

    void extra(const Value& node, GltfNode& out) {
        const Value* extras = member(node, "extras");
        const Value* v = extras ? member(*extras, "skarn_particles") : nullptr;
        if (!v)
            return;
        if (v->IsBool())
            out.extraKind = EXTRA_BOOL, out.extraNumber = v->GetBool();
        else if (v->IsString())
            out.extraKind = EXTRA_STRING, out.extraText = v->GetString();
        else if (v->IsUint64())
            out.extraKind = EXTRA_UINT64, out.extraNumber = (double)v->GetUint64();
        else if (v->IsInt64())
            out.extraKind = EXTRA_INT, out.extraNumber = (double)(int32_t)v->GetInt64();
        else if (v->IsDouble())
            out.extraKind = EXTRA_DOUBLE, out.extraNumber = v->GetDouble();
    }

    void nodes(const Value& root) {
        for (const Value& n : array(root, "nodes").GetArray()) {
            GltfNode out;
            out.name = text(n, "name");
            for (const Value& c : array(n, "children").GetArray())
                out.children.push_back(c.IsUint() && c.GetUint() < (1u << 30) ? (int)c.GetUint()
                                                                              : -1);
            out.mesh = index(n, "mesh");
            out.camera = index(n, "camera");
            if (member(n, "skin") || member(n, "weights"))
                toAssimp("skins or shape keys");
            const Value* ext = member(n, "extensions");
            const Value* lamp = ext ? member(*ext, "KHR_lights_punctual") : nullptr;
            out.light = lamp ? index(*lamp, "light") : -1;
            out.hasMatrix = numbers(n, "matrix", out.matrix, 16);
            out.hasT = numbers(n, "translation", out.t, 3);
            out.hasR = numbers(n, "rotation", out.r, 4);
            out.hasS = numbers(n, "scale", out.s, 3);
            extra(n, out);
            doc.nodes.push_back(out);
        }
    }

    void views(const Value& root) {
        for (const Value& c : array(root, "cameras").GetArray()) {
            GltfCamera out;
            out.perspective = text(c, "type") != "orthographic";
            const Value* p = member(c, out.perspective ? "perspective" : "orthographic");
            if (p) {
                out.aspect = number(*p, "aspectRatio", 0), out.yfov = number(*p, "yfov", 0);
                out.znear = number(*p, "znear", 0), out.zfar = number(*p, "zfar", 0);
                out.xmag = number(*p, "xmag", 0), out.ymag = number(*p, "ymag", 0);
            }
            doc.cameras.push_back(out);
        }
        const Value* ext = member(root, "extensions");
        const Value* lamps = ext ? member(*ext, "KHR_lights_punctual") : nullptr;
        for (const Value& l : (lamps ? array(*lamps, "lights") : array(root, "")).GetArray()) {
            GltfLight out;
            std::string type = text(l, "type");
            out.type = type == "spot" ? 1 : type == "directional" ? 2 : 0;
            if (type != "spot" && type != "directional" && type != "point")
                fail("lights");
            numbers(l, "color", out.color, 3);
            out.intensity = number(l, "intensity", 1);
            if (const Value* spot = member(l, "spot")) {
                out.inner = number(*spot, "innerConeAngle", 0);
                out.outer = number(*spot, "outerConeAngle", 0.78539816f);
            }
            doc.lights.push_back(out);
        }
    }

    void animations(const Value& root) {
        for (const Value& a : array(root, "animations").GetArray()) {
            GltfAnimation out;
            out.name = text(a, "name");
            for (const Value& s : array(a, "samplers").GetArray())
                out.samplers.push_back({index(s, "input"), index(s, "output"),
                                        text(s, "interpolation") == "CUBICSPLINE"});
            for (const Value& c : array(a, "channels").GetArray()) {
                GltfChannel channel;
                channel.sampler = index(c, "sampler");
                const Value* target = member(c, "target");
                std::string path = target ? text(*target, "path") : "";
                channel.node = target ? index(*target, "node") : -1;
                channel.path = path == "translation" ? 0 : path == "rotation" ? 1 : 2;
                if (path == "weights")
                    toAssimp("skins or shape keys");
                else if (path != "translation" && path != "rotation" && path != "scale")
                    continue;
                out.channels.push_back(channel);
            }
            doc.animations.push_back(out);
        }
    }
};

} // namespace

bool parseGltf(const char* text, size_t size, GltfDoc& doc, std::string& error) {
    rapidjson::Document json;
    json.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseStopWhenDoneFlag>(text, size);
    if (json.HasParseError()) {
        error = std::string("its JSON is broken at byte ") + std::to_string(json.GetErrorOffset()) +
                ": " + rapidjson::GetParseError_En(json.GetParseError());
        return false;
    }
    Reader read{doc, ""};
    const Value* asset = read.member(json, "asset");
    std::string version = asset ? read.text(*asset, "version") : "";
    if (!json.IsObject() || version.empty()) {
        error = "it is not a glTF document (no asset version)";
        return false;
    }
    if (version[0] != '2') {
        doc.toAssimp = "glTF " + version;
        return true;
    }
    read.extensions(json);
    read.accessors(json);
    read.materials(json);
    read.meshes(json);
    read.nodes(json);
    read.views(json);
    read.animations(json);
    const Value& scenes = read.array(json, "scenes");
    int chosen = read.member(json, "scene") ? read.index(json, "scene") : 0;
    if (chosen >= 0 && (size_t)chosen < scenes.Size()) {
        doc.hasScene = true;
        for (const Value& n : read.array(scenes[chosen], "nodes").GetArray())
            doc.roots.push_back(n.IsUint() && n.GetUint() < (1u << 30) ? (int)n.GetUint() : -1);
    }
    if (!read.bad.empty()) {
        error = "its glTF field \"" + read.bad + "\" is not what glTF allows there";
        return false;
    }
    return true;
}
