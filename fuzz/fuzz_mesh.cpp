// Fuzz target: the mesh reader on arbitrary bytes. It must fail with a message or succeed with
// arrays that agree with the counts it read.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "scene/mesh_file.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    TextReader reader;
    readerFromText(reader, "fuzz.msh", std::string((const char*)data, size));
    Mesh mesh;
    std::string textureName;
    if (!parseMesh(reader, mesh, textureName)) {
        if (reader.error.empty() || reader.errorLine < 1) {
            fprintf(stderr, "failed without a message\n");
            abort();
        }
        return 0;
    }
    // Every face corner names a vertex that exists; the arrays hold what the counts say.
    if (mesh.vertices.size() != (size_t)mesh.vertexCount ||
        mesh.faces.size() != (size_t)mesh.faceCount * 3 ||
        mesh.normals.size() < (size_t)mesh.vertexCount ||
        (mesh.textured && mesh.faceUVs.size() < (size_t)mesh.faceCount * 6)) {
        abort();
    }
    for (int corner : mesh.faces) {
        if (corner < 0 || corner >= mesh.vertexCount) {
            abort();
        }
    }
    return 0;
}
