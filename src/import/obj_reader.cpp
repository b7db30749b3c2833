// Wavefront OBJ read by our own parser. Import side; runs inside the reader's child. The file is
// read once into a buffer and each face goes into the current mesh as it is read (import/
// obj_meshes), so the buffer is given back before the meshes are made. Objects, groups, meshes
// and materials follow as assimp's OBJ reader makes them, so the converter sees the scene it saw
// before; an index out of range, a number that is not finite or junk stops the reading with
// the line it is on.
#include "import/obj_reader.h"

#include <assimp/scene.h>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "import/obj_materials.h"
#include "import/obj_meshes.h"

namespace {

#define MAX_PARTS 65536   // objects, groups and meshes of one file: each costs kilobytes
#define NAME_LIMIT 1000   // aiString holds 1024 bytes
#define NO_MATERIAL (~0u) // a mesh no usemtl reached: the default material
#define DEFAULT_OBJECT "defaultobject"

struct Reader {
    const char* begin;
    const char* at;
    const char* end;
    size_t line = 1;
    std::string file, error;
    size_t limit = 0;
    ObjLists lists;
    std::vector<ObjObject> objects;
    std::vector<ObjPart> parts;
    std::unordered_map<std::string, unsigned> objectByName; // the first of each name
    int object = -1, part = -1, material = -1;
    std::string group; // the last g statement's name
    ObjMaterials materials;
    std::vector<ObjCorner> polygon;
    bool larger = false; // a face of more than four corners was met
};

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool fail(Reader& r, const std::string& why) {
    if (r.error.empty())
        r.error = why;
    return false;
}

std::string lineText(const Reader& r) {
    return "line " + std::to_string(r.line);
}

// Skips blanks and "\" line continuations.
void skipBlanks(Reader& r) {
    for (;;) {
        if (r.at < r.end && blank(*r.at)) {
            r.at++;
        } else if (r.at < r.end && *r.at == '\\' &&
                   (r.at[1] == '\n' || (r.at[1] == '\r' && r.at[2] == '\n'))) {
            r.at += r.at[1] == '\n' ? 2 : 3;
            r.line++;
        } else {
            return;
        }
    }
}

// True at the end of the statement (a comment ends it too).
bool statementEnd(Reader& r) {
    skipBlanks(r);
    return r.at >= r.end || *r.at == '\n' || *r.at == '#';
}

bool tokenEnd(const Reader& r, const char* p) {
    return p >= r.end || blank(*p) || *p == '\n' || *p == '#' || *p == '\\';
}

// Goes past the statement's line end, and past the lines a "\" at a line's end joins to it.
void nextStatement(Reader& r) {
    while (r.at < r.end) {
        const char* stop = (const char*)std::memchr(r.at, '\n', r.end - r.at);
        if (!stop) {
            r.at = r.end;
            return;
        }
        bool joined = (stop - r.begin >= 1 && stop[-1] == '\\') ||
                      (stop - r.begin >= 2 && stop[-1] == '\r' && stop[-2] == '\\');
        r.at = stop + 1;
        r.line++;
        if (!joined)
            return;
    }
}

std::string_view word(Reader& r) {
    skipBlanks(r);
    const char* start = r.at;
    while (!tokenEnd(r, r.at))
        r.at++;
    return std::string_view(start, r.at - start);
}

// The rest of the line without the blanks around it, cut to what an aiString holds.
std::string rest(Reader& r) {
    skipBlanks(r);
    const char* stop = (const char*)std::memchr(r.at, '\n', r.end - r.at);
    stop = stop ? stop : r.end;
    const char* last = stop;
    while (last > r.at && blank(last[-1]))
        last--;
    std::string text(r.at, std::min<size_t>(last - r.at, NAME_LIMIT));
    r.at = stop;
    return text;
}

// The statement's numbers into `values`, at most `most`; false with the error set when one is
// not a number or not finite.
bool numbers(Reader& r, float* values, int most, int& count, const char* what) {
    count = 0;
    while (!statementEnd(r)) {
        if (count == most)
            return fail(r, lineText(r) + ": the " + what + " has more than " +
                               std::to_string(most) + " numbers");
        const char* start = r.at + (*r.at == '+');
        float value = 0;
        auto [stop, problem] = std::from_chars(start, r.end, value);
        if (problem == std::errc::result_out_of_range) {
            double wide = 0; // a number too small for a float is 0
            auto [wideStop, wideProblem] = std::from_chars(start, r.end, wide);
            problem = wideProblem, stop = wideStop, value = (float)wide;
            if (problem == std::errc::result_out_of_range)
                return fail(r, lineText(r) + ": the " + what + " has a number that is not finite");
        }
        if (problem != std::errc() || stop == start)
            return fail(r, lineText(r) + ": the " + what + " has something that is not a number");
        while (!tokenEnd(r, stop)) // "3.1+e2" is 3.1, as other readers take it
            stop++;
        if (!std::isfinite(value))
            return fail(r, lineText(r) + ": the " + what + " has a number that is not finite");
        values[count++] = value;
        r.at = stop;
    }
    return true;
}

bool readVertex(Reader& r) {
    float v[7];
    int count;
    if (!numbers(r, v, 7, count, "vertex"))
        return false;
    if (count != 3 && count != 4 && count < 6)
        return fail(r, lineText(r) + ": a vertex has " + std::to_string(count) + " numbers");
    if (count == 4 && v[3] == 0)
        return fail(r, lineText(r) + ": a vertex has a weight of 0");
    float w = count == 4 ? v[3] : 1; // colours after the position are not used
    r.lists.positions.emplace_back(v[0] / w, v[1] / w, v[2] / w);
    return true;
}

bool readUV(Reader& r) {
    float v[3];
    int count;
    if (!numbers(r, v, 3, count, "texture coordinate"))
        return false;
    if (count < 2)
        return fail(r, lineText(r) + ": a texture coordinate has " + std::to_string(count) +
                           " number");
    r.lists.uvs.emplace_back(v[0], v[1]);
    return true;
}

bool readNormal(Reader& r) {
    float v[3];
    int count;
    if (!numbers(r, v, 3, count, "normal"))
        return false;
    if (count < 3)
        return fail(r, lineText(r) + ": a normal has " + std::to_string(count) + " numbers");
    r.lists.normals.emplace_back(v[0], v[1], v[2]);
    return true;
}

// One corner "v", "v/vt", "v//vn" or "v/vt/vn"; indices count from 1, or back from the last
// one read when negative.
bool readCorner(Reader& r, ObjCorner& c) {
    static const char* const KINDS[] = {"vertex", "texture coordinate", "normal"};
    int slot = 0;
    while (!tokenEnd(r, r.at)) {
        if (*r.at == '/') {
            if (++slot > 2)
                return fail(r, "the face at " + lineText(r) + " has a corner of four parts");
            r.at++;
            continue;
        }
        bool negative = *r.at == '-';
        const char *digits = r.at + negative, *stop = digits;
        long long value = 0;
        while (stop < r.end && (unsigned)(*stop - '0') < 10 && stop - digits < 18)
            value = 10 * value + (*stop++ - '0');
        if (stop == digits || (!tokenEnd(r, stop) && *stop != '/'))
            return fail(r, "the face at " + lineText(r) + " has something that is not an index");
        value = negative ? -value : value;
        r.at = stop;
        // As assimp: "v/vn" in a file with normals and no uv names a normal.
        int kind = slot == 1 && r.lists.uvs.empty() && !r.lists.normals.empty() ? 2 : slot;
        size_t count = kind == 0   ? r.lists.positions.size()
                       : kind == 1 ? r.lists.uvs.size()
                                   : r.lists.normals.size();
        long long index = value > 0 ? value - 1 : (long long)count + value;
        if (index < 0 || index >= (long long)count || index > INT32_MAX) // 0 is count too
            return fail(r, "the face at " + lineText(r) + " names " + KINDS[kind] + " " +
                               std::to_string(value) + " of " + std::to_string(count));
        (kind == 0 ? c.v : kind == 1 ? c.vt : c.vn) = (int)index;
    }
    if (c.v < 0)
        return fail(r, "the face at " + lineText(r) + " has a corner without a vertex");
    return true;
}

bool createPart(Reader& r, const std::string& name) {
    if (r.objects.size() + r.parts.size() >= MAX_PARTS)
        return fail(r, lineText(r) + ": more than " + std::to_string(MAX_PARTS) +
                           " objects, groups and meshes");
    if (r.part >= 0)
        finishPart(r.parts[r.part]);
    r.parts.emplace_back();
    r.parts.back().name = name;
    r.parts.back().id = (unsigned)r.parts.size() - 1;
    r.part = (int)r.parts.size() - 1;
    if (r.object >= 0)
        r.objects[r.object].parts.push_back(r.part);
    return true;
}

bool createObject(Reader& r, const std::string& name) {
    r.objects.push_back(ObjObject{name, {}});
    r.object = (int)r.objects.size() - 1;
    r.objectByName.emplace(name, r.object);
    if (!createPart(r, name))
        return false;
    if (r.material >= 0)
        r.parts[r.part].material = r.material;
    return true;
}

// A face, or a line or points ('l', 'p'): these are only marked on their mesh (assimp makes
// meshes of them that the converter says it leaves out).
bool readFace(Reader& r, char kind) {
    r.polygon.clear();
    size_t n = 0; // corners: only a face's are kept, and only up to five
    while (!statementEnd(r)) {
        ObjCorner c;
        if (!readCorner(r, c))
            return false;
        if (kind == 'f' && ++n > 4) { // assimp cuts these along their outline, concave ones too
            r.larger = true;
            return false;
        }
        if (kind == 'f' || n++ == 0)
            r.polygon.push_back(c);
    }
    if (n == 0 || (kind == 'l' && n < 2))
        return true;
    if ((r.object < 0 && !createObject(r, DEFAULT_OBJECT)) ||
        (r.part < 0 && !createPart(r, DEFAULT_OBJECT)))
        return false;
    ObjPart& part = r.parts[r.part];
    for (const ObjCorner& c : r.polygon) {
        part.hasNormals = part.hasNormals || c.vn >= 0;
        part.hasUV = part.hasUV || c.vt >= 0;
    }
    if (kind == 'p' || (kind == 'f' && n == 1))
        part.loose |= OBJ_POINTS;
    else if (kind == 'l' || n == 2)
        part.loose |= OBJ_LINES;
    else
        addPolygon(part, r.polygon, r.lists);
    return true;
}

// usemtl: a new mesh when the current one has faces of another material.
bool useMaterial(Reader& r) {
    std::string name = rest(r);
    if (name.empty() || (r.material >= 0 && r.materials.list[r.material].name == name))
        return true;
    if (r.materials.list.size() >= OBJ_MAX_MATERIALS && !r.materials.byName.count(name))
        return fail(r, lineText(r) + ": more than " + std::to_string(OBJ_MAX_MATERIALS) +
                           " materials");
    unsigned index = objMaterial(r.materials, name);
    r.material = (int)index;
    if (r.part < 0 ||
        (r.parts[r.part].material != NO_MATERIAL && r.parts[r.part].material != index &&
         (!r.parts[r.part].triangles.empty() || r.parts[r.part].loose))) {
        if (!createPart(r, name))
            return false;
    }
    r.parts[r.part].material = index;
    return true;
}

bool readStatement(Reader& r) {
    std::string_view key = word(r);
    if (key == "v")
        return readVertex(r);
    if (key == "vt")
        return readUV(r);
    if (key == "vn")
        return readNormal(r);
    if (key == "f" || key == "l" || key == "p")
        return readFace(r, key[0]);
    if (key == "usemtl")
        return useMaterial(r);
    if (key == "o") {
        std::string name(word(r).substr(0, NAME_LIMIT));
        auto found = r.objectByName.find(name);
        if (name.empty())
            return true;
        if (found == r.objectByName.end())
            return createObject(r, name);
        r.object = (int)found->second; // faces still go to the current mesh, as in assimp
        return true;
    }
    if (key == "g") {
        std::string name = rest(r);
        if (name == r.group)
            return true;
        r.group = name;
        return createObject(r, name);
    }
    if (key == "mtllib") {
        std::string name = rest(r);
        if (!name.empty())
            readMaterialLibrary(r.file, name, r.limit, r.materials);
    }
    return true; // anything else is skipped
}

} // namespace

std::unique_ptr<aiScene> readObj(const std::string& file, size_t limit, std::string& error) {
    Reader r;
    r.file = file;
    r.limit = limit;
    objMaterial(r.materials, OBJ_DEFAULT_MATERIAL);
    {
        FileText text;
        if (!readFileText(file, limit, text, error))
            return nullptr;
        r.begin = r.at = text.bytes.get();
        r.end = r.begin + text.size;
        if (text.size >= 3 && std::memcmp(r.at, "\xEF\xBB\xBF", 3) == 0)
            r.at += 3; // a byte order mark
        while (r.at < r.end) {
            if (!readStatement(r)) {
                error = r.larger ? "" : r.error;
                return nullptr;
            }
            nextStatement(r);
        }
    }
    if (r.part >= 0)
        finishPart(r.parts[r.part]);
    aiScene* scene = makeScene(r.file, r.objects, r.parts, r.lists);
    scene->mNumMaterials = (unsigned)r.materials.list.size();
    scene->mMaterials = new aiMaterial*[scene->mNumMaterials];
    for (unsigned i = 0; i < scene->mNumMaterials; i++)
        scene->mMaterials[i] = makeMaterial(r.materials.list[i]);
    return std::unique_ptr<aiScene>(scene);
}
