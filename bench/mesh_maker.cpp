// Generated meshes for the benchmarks and the writer of their mesh file text.
#include "mesh_maker.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>

Mesh terrainMesh(int across, int along, float x0, float z0, float width, float depth, float height,
                 unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> phase(0.0f, 6.2831853f);
    const float p1 = phase(random), p2 = phase(random), p3 = phase(random);
    Mesh mesh;
    mesh.vertexCount = across * along;
    mesh.vertices.resize(size_t(mesh.vertexCount));
    mesh.normals.resize(size_t(mesh.vertexCount));
    const float dx = width / float(across - 1), dz = depth / float(along - 1);
    auto heightAt = [&](float x, float z) {
        return height * (0.5f * std::sin(0.05f * x + p1) * std::cos(0.04f * z + p2) +
                         0.3f * std::sin(0.13f * (x + z) + p3) + 0.2f * std::cos(0.31f * x));
    };
    for (int j = 0; j < along; j++) {
        for (int i = 0; i < across; i++) {
            const float x = x0 + dx * float(i), z = z0 + dz * float(j);
            const float y = heightAt(x, z);
            // Normal from the slope of the height field.
            const float sx = (heightAt(x + dx, z) - heightAt(x - dx, z)) / (2 * dx);
            const float sz = (heightAt(x, z + dz) - heightAt(x, z - dz)) / (2 * dz);
            const float length = std::sqrt(sx * sx + 1 + sz * sz);
            const size_t v = size_t(j) * size_t(across) + size_t(i);
            mesh.vertices[v] = {x, y, z};
            mesh.normals[v] = {-sx / length, 1 / length, -sz / length};
        }
    }
    mesh.faceCount = 2 * (across - 1) * (along - 1);
    mesh.faces.resize(size_t(mesh.faceCount) * 3);
    mesh.faceUVs.resize(size_t(mesh.faceCount) * 6);
    int* f = mesh.faces.data();
    float* uv = mesh.faceUVs.data();
    for (int j = 0; j + 1 < along; j++) {
        for (int i = 0; i + 1 < across; i++) {
            const int a = j * across + i, b = a + 1, c = a + across, d = c + 1;
            const float u0 = float(i % 8) / 8, u1 = float(i % 8 + 1) / 8;
            const float v0 = float(j % 8) / 8, v1 = float(j % 8 + 1) / 8;
            const int corners[6] = {a, c, b, b, c, d};
            const float uvs[12] = {u0, v0, u0, v1, u1, v0, u1, v0, u0, v1, u1, v1};
            for (int k = 0; k < 6; k++) {
                *f++ = corners[k];
            }
            for (int k = 0; k < 12; k++) {
                *uv++ = uvs[k];
            }
        }
    }
    mesh.color = {0.4f, 0.6f, 0.3f};
    return mesh;
}

Mesh leafMesh(int faceCount, Vec3 centre, float radius, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> spread(-1.0f, 1.0f);
    Mesh mesh;
    mesh.faceCount = faceCount;
    mesh.vertexCount = 3 * faceCount;
    for (int i = 0; i < faceCount; i++) {
        const Vec3 at = {centre.x + radius * spread(random),
                         centre.y + radius * spread(random) * 1.5f,
                         centre.z + radius * spread(random)};
        const float s = 0.08f * radius;
        const Vec3 corners[3] = {{at.x - s, at.y, at.z},
                                 {at.x + s, at.y + spread(random) * s, at.z + s},
                                 {at.x, at.y + 2 * s, at.z - s}};
        for (int k = 0; k < 3; k++) {
            mesh.vertices.push_back(corners[k]);
            mesh.normals.push_back({0, 1, 0});
            mesh.faces.push_back(3 * i + k);
        }
        mesh.faceUVs.insert(mesh.faceUVs.end(), {0, 0, 1, 0, 0.5f, 1});
    }
    mesh.color = {0.2f, 0.5f, 0.2f};
    return mesh;
}

void sizeWorkArrays(Mesh& mesh) {
    mesh.faceDistance.resize(size_t(mesh.faceCount));
    mesh.faceOrder.resize(size_t(mesh.faceCount));
}

// Buffered text output with fast number formatting.
struct TextOut {
    FILE* file;
    std::string buffer;
};

static void flushText(TextOut& out) {
    fwrite(out.buffer.data(), 1, out.buffer.size(), out.file);
    out.buffer.clear();
}

static void putText(TextOut& out, const char* text) {
    out.buffer += text;
    if (out.buffer.size() > (1 << 20)) {
        flushText(out);
    }
}

static void putFloat(TextOut& out, float value, int decimals) {
    char text[48];
    const auto r =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    out.buffer.append(text, r.ptr);
}

static void putInt(TextOut& out, int value) {
    char text[16];
    const auto r = std::to_chars(text, text + sizeof text, value);
    out.buffer.append(text, r.ptr);
}

// "<keyword> (<count>) :" and its line end.
static void putCountLine(TextOut& out, const char* keyword, int count) {
    putText(out, keyword);
    putText(out, " (");
    putInt(out, count);
    putText(out, ") :\n");
}

static void putTriples(TextOut& out, const std::vector<Vec3>& values, int decimals) {
    for (const Vec3& v : values) {
        putFloat(out, v.x, decimals);
        out.buffer += ' ';
        putFloat(out, v.y, decimals);
        out.buffer += ' ';
        putFloat(out, v.z, decimals);
        putText(out, "\n");
    }
}

bool writeMeshFile(const std::string& path, const Mesh& mesh, const std::string& textureName,
                   bool emitsParticles) {
    TextOut out{fopen(path.c_str(), "wb"), {}};
    if (out.file == nullptr) {
        return false;
    }
    putCountLine(out, "vertices", mesh.vertexCount);
    putTriples(out, mesh.vertices, 3);
    putCountLine(out, "faces", mesh.faceCount);
    for (size_t i = 0; i < mesh.faces.size(); i += 3) {
        putInt(out, mesh.faces[i]);
        out.buffer += ' ';
        putInt(out, mesh.faces[i + 1]);
        out.buffer += ' ';
        putInt(out, mesh.faces[i + 2]);
        putText(out, "\n");
    }
    putCountLine(out, "normales", int(mesh.normals.size()));
    putTriples(out, mesh.normals, 4);
    putText(out, "couleur : ");
    putFloat(out, mesh.color.r, 3);
    out.buffer += ' ';
    putFloat(out, mesh.color.g, 3);
    out.buffer += ' ';
    putFloat(out, mesh.color.b, 3);
    putText(out, "\noption : ");
    putInt(out, (textureName.empty() ? 0 : MESH_OPTION_TEXTURED) |
                    (emitsParticles ? MESH_OPTION_PARTICLES : 0));
    putText(out, "\n");
    if (!textureName.empty()) {
        putText(out, ("texture : " + textureName + "\n").c_str());
        putCountLine(out, "uv mapping", mesh.faceCount);
        for (size_t i = 0; i < mesh.faceUVs.size(); i += 6) {
            for (int k = 0; k < 3; k++) {
                putFloat(out, mesh.faceUVs[i + 2 * k], 4);
                out.buffer += ',';
                putFloat(out, mesh.faceUVs[i + 2 * k + 1], 4);
                out.buffer += (k == 2) ? '\n' : ' ';
            }
            if (out.buffer.size() > (1 << 20)) {
                flushText(out);
            }
        }
    }
    flushText(out);
    const bool written = ferror(out.file) == 0;
    return fclose(out.file) == 0 && written;
}
