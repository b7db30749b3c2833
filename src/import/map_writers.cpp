// Writers of a map's files: the exact inverse of the mesh, map and trajectory readers.
// Import side: formats text only. A million-triangle mesh is tens of megabytes of text, so
// numbers go through std::to_chars into one growing string, never through streams.
#include "import/map_writers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "base/map_format.h"

namespace {

#define DIGITS 6        // significant digits of positions, uv, colours
#define NORMAL_DIGITS 4 // of unit normals: 1e-4 of a turn is finer than any shading shows

// Appends one number as the readers expect it: plain decimal where it fits in `digits` digits.
void putNumber(std::string& out, float value, int digits = DIGITS);

// Numbers a mesh writes again: each vertex's uv once per face around it, coordinates on a
// grid. Their text is kept by their bits (formatting a float is most of a mesh's writing).
class NumberCache {
  public:
    void put(std::string& out, float value, int digits) {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        Entry& e = entries[(bits * 0x9E3779B1u ^ (uint32_t)digits) >> 20];
        if (e.length == 0 || e.bits != bits || e.digits != digits) {
            std::string text;
            putNumber(text, value, digits);
            if (text.size() > sizeof e.text)
                return (void)out.append(text);
            e.bits = bits, e.digits = (uint8_t)digits, e.length = (uint8_t)text.size();
            std::memcpy(e.text, text.data(), text.size());
        }
        out.append(e.text, e.length);
    }

  private:
    struct Entry {
        uint32_t bits = 0;
        uint8_t digits = 0, length = 0; // length 0: empty
        char text[18];
    };
    std::vector<Entry> entries = std::vector<Entry>(4096);
};

void putNumber(std::string& out, float value, int digits) {
    if (!std::isfinite(value)) {
        value = 0;
    }
    if (value == 0) {
        out += '0'; // also -0, which reads back the same
        return;
    }
    char buffer[32];
    std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    out.append(buffer, r.ptr);
}

void putInt(std::string& out, long value) {
    char buffer[24];
    std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, r.ptr);
}

void putTriples(std::string& out, const float* values, size_t count, int digits = DIGITS,
                NumberCache* cache = nullptr) {
    for (size_t i = 0; i < 3 * count; i++) {
        if (cache)
            cache->put(out, values[i], digits);
        else
            putNumber(out, values[i], digits);
        out += i % 3 < 2 ? ' ' : '\n';
    }
}

void putHeader(std::string& out, const char* word, size_t count) {
    out += word;
    out += " (";
    putInt(out, (long)count);
    out += ") :\n";
}

void putNames(std::string& out, const char* word, const std::vector<std::string>& names) {
    putHeader(out, word, names.size());
    for (const std::string& name : names) {
        out += name;
        out += '\n';
    }
}

} // namespace

std::string writtenNumber(float value) {
    std::string out;
    putNumber(out, value);
    return out;
}

bool meshTextTo(const MeshOut& mesh, std::string& out,
                const std::function<bool(std::string& text)>& spill) {
    // Spills the text so far once it passes a megabyte; false when the spill failed.
    auto full = [&]() { return out.size() < ((size_t)1 << 20) || spill(out); };
    size_t vertexCount = mesh.vertices.size() / 3;
    size_t faceCount = mesh.faces.size() / 3;
    NumberCache cache;
    putHeader(out, "vertices", vertexCount);
    for (size_t i = 0; i < vertexCount; i++) {
        putTriples(out, &mesh.vertices[3 * i], 1, DIGITS, &cache);
        if (!full())
            return false;
    }
    putHeader(out, "faces", faceCount);
    for (size_t i = 0; i < faceCount; i++) {
        putInt(out, mesh.faces[3 * i]);
        out += ' ';
        putInt(out, mesh.faces[3 * i + 1]);
        out += ' ';
        putInt(out, mesh.faces[3 * i + 2]);
        out += '\n';
        if (!full())
            return false;
    }
    size_t normalCount = mesh.normals.size() / 3;
    putHeader(out, "normales", normalCount);
    for (size_t i = 0; i < normalCount; i++) {
        putTriples(out, &mesh.normals[3 * i], 1, NORMAL_DIGITS, &cache);
        if (!full())
            return false;
    }
    out += "couleur : ";
    putTriples(out, mesh.color, 1);
    out += "option : ";
    putInt(out, mesh.option);
    out += '\n';
    if (mesh.option & MESH_OPTION_TEXTURED) {
        out += "texture : " + mesh.texture + "\n";
        size_t uvCount = mesh.faceUVs.size() / 6;
        putHeader(out, "uv mapping", uvCount);
        for (size_t i = 0; i < uvCount; i++) {
            const float* uv = &mesh.faceUVs[6 * i];
            for (int k = 0; k < 3; k++) {
                cache.put(out, uv[2 * k], DIGITS);
                out += ',';
                cache.put(out, uv[2 * k + 1], DIGITS);
                out += k < 2 ? ' ' : '\n';
            }
            if (!full())
                return false;
        }
    }
    return true;
}

std::string meshText(const MeshOut& mesh) {
    size_t vertexCount = mesh.vertices.size() / 3;
    size_t faceCount = mesh.faces.size() / 3;
    std::string out;
    out.reserve(vertexCount * 60 + faceCount * (mesh.faceUVs.empty() ? 24 : 80) + 128);
    meshTextTo(mesh, out, [](std::string&) { return true; });
    return out;
}

std::string pathText(const PathOut& path) {
    size_t tracks = path.curves < 1 ? 1 : (size_t)path.curves;
    size_t pointCount = path.values.size() / (3 * tracks);
    std::string out = path.title + "\nPOSITIONS ";
    putInt(out, (long)pointCount);
    out += "\nCURVES ";
    putInt(out, (long)tracks);
    out += "\nLOOP ";
    putInt(out, path.loop);
    out += "\nSPEED 1.0\nSTART 0.0\n";
    for (size_t i = 0; i < pointCount; i++) {
        out += '\n';
        putTriples(out, &path.values[3 * tracks * i], tracks);
    }
    return out;
}

std::string mapText(const MapOut& map) {
    std::string out = map.title + "\nposition : ";
    putTriples(out, map.eye, 1);
    out += "cible : ";
    putTriples(out, map.target, 1);
    out += "anime : ";
    putInt(out, map.anime);
    out += '\n';
    putHeader(out, "lampes", map.lamps.size());
    for (const LampOut& lamp : map.lamps) {
        out += "position : ";
        putTriples(out, lamp.position, 1);
        out += "couleur : ";
        putTriples(out, lamp.color, 1);
        out += "intensite : ";
        putNumber(out, lamp.intensity);
        out += '\n';
    }
    putNames(out, "monde", map.worlds);
    putNames(out, "objets", map.objects);
    putNames(out, "arbres", map.trees);
    return out;
}
