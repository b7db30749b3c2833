// The baseline mesh reader: one fscanf per line of the file.
#include "fscanf_mesh_reader.h"

#include <cstdio>

// Reads a count line; false unless the count is read and not negative.
static bool readCount(FILE* file, const char* format, int& count) {
    return fscanf(file, format, &count) == 1 && count >= 0;
}

static bool readTriples(FILE* file, std::vector<Vec3>& out) {
    for (Vec3& v : out) {
        if (fscanf(file, "%f %f %f\n", &v.x, &v.y, &v.z) != 3) {
            return false;
        }
    }
    return true;
}

// Everything after the vertex, face and normal sections.
static bool readTail(FILE* file, Mesh& mesh, std::string& textureName) {
    int option = 0;
    if (fscanf(file, "couleur : %f %f %f\n", &mesh.color.r, &mesh.color.g, &mesh.color.b) != 3 ||
        fscanf(file, "option : %d\n", &option) != 1) {
        return false;
    }
    mesh.depthTest = (option & MESH_OPTION_NO_DEPTH) ? 0 : 1;
    mesh.emitsParticles = (option & MESH_OPTION_PARTICLES) ? 1 : 0;
    mesh.textured = (option & MESH_OPTION_TEXTURED) ? 1 : 0;
    if (!mesh.textured) {
        return true;
    }
    char name[32];
    int uvCount = 0;
    if (fscanf(file, "texture : %31s\n", name) != 1 ||
        !readCount(file, "uv mapping (%d) :\n", uvCount)) {
        return false;
    }
    textureName = name;
    mesh.faceUVs.resize(size_t(uvCount) * 6);
    for (int i = 0; i < uvCount; i++) {
        float* uv = &mesh.faceUVs[size_t(i) * 6];
        if (fscanf(file, "%f,%f %f,%f %f,%f\n", &uv[0], &uv[1], &uv[2], &uv[3], &uv[4], &uv[5]) !=
            6) {
            return false;
        }
    }
    return true;
}

bool fscanfReadMesh(const std::string& path, Mesh& mesh, std::string& textureName) {
    FILE* file = fopen(path.c_str(), "r");
    if (file == nullptr) {
        return false;
    }
    textureName.clear();
    bool ok = readCount(file, "vertices (%d) :\n", mesh.vertexCount);
    if (ok) {
        mesh.vertices.resize(size_t(mesh.vertexCount));
        ok = readTriples(file, mesh.vertices);
    }
    ok = ok && readCount(file, "faces (%d) :\n", mesh.faceCount);
    if (ok) {
        mesh.faces.resize(size_t(mesh.faceCount) * 3);
        mesh.faceDistance.resize(size_t(mesh.faceCount));
        mesh.faceOrder.resize(size_t(mesh.faceCount));
        for (int i = 0; ok && i < mesh.faceCount; i++) {
            int* f = &mesh.faces[size_t(i) * 3];
            ok = fscanf(file, "%d %d %d\n", &f[0], &f[1], &f[2]) == 3;
        }
    }
    int normalCount = 0;
    ok = ok && readCount(file, "normales (%d) :\n", normalCount);
    if (ok) {
        mesh.normals.resize(size_t(normalCount));
        ok = readTriples(file, mesh.normals);
    }
    ok = ok && readTail(file, mesh, textureName);
    fclose(file);
    return ok;
}
