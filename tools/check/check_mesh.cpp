// Map checker: mesh files, their colour and their texture section.
#include <cstring>

#include "check_local.h"
#include "scene/mesh_file.h"

// Warns about colour values outside 0 to 1.
static void checkColour(CheckRun& run, const std::string& file, const Mesh& mesh, int64_t line) {
    const float values[3] = {mesh.color.r, mesh.color.g, mesh.color.b};
    static const char* channels[3] = {"red", "green", "blue"};
    for (int c = 0; c < 3; ++c) {
        if (!(values[c] >= 0.0f && values[c] <= 1.0f)) {
            addWarning(run, file, line,
                       std::string("colour ") + channels[c] + " " + numberText(values[c]) +
                           " is outside 0 to 1");
        }
    }
}

// Warns about a texture name in a format the show is not made for.
static void checkTextureFormat(CheckRun& run, const std::string& file, const std::string& name,
                               int64_t line) {
    if (!isPictureFormatKnown(name)) {
        addWarning(run, file, line,
                   "texture \"" + name + "\" is neither JPEG nor Targa (.jpg, .jpeg or .tga)");
    }
}

// Errors on text after the last section: more uv lines than announced, or a texture section
// that the option does not ask for.
static void checkTrailingText(CheckRun& run, TextReader& reader, const Mesh& mesh) {
    if (readerAtEnd(reader)) {
        return;
    }
    std::string found = readerFoundText(reader);
    if (mesh.textured) {
        addError(run, reader.path, reader.line,
                 "more uv lines than \"uv mapping (" + std::to_string(mesh.faceUVs.size() / 6) +
                     ")\" announces: " + found + " is never read");
    } else if (found == "\"texture\"") {
        addError(run, reader.path, reader.line,
                 "a texture section, but the option lacks the texture bit (16): it is never read");
    } else {
        addError(run, reader.path, reader.line,
                 "text after the option line: " + found + " is never read");
    }
}

MeshSummary checkMeshFile(CheckRun& run, const std::string& path, const std::string& namedAt) {
    auto known = run.meshes.find(path);
    if (known != run.meshes.end()) {
        return known->second;
    }
    MeshSummary summary = {false, false};
    TextReader reader;
    int err = openChecked(run, path, reader);
    if (err != 0) {
        addError(run, path, 0,
                 "cannot open the mesh file, named at " + namedAt + ": " + fileErrorText(err));
        run.meshes[path] = summary;
        return summary;
    }
    size_t first = run.findings.size();
    Mesh mesh;
    std::string textureName;
    MeshFileDetails details;
    details.keepGoing = true;
    bool whole = parseMesh(reader, mesh, textureName, details);
    for (const MeshFault& fault : details.faults) {
        addError(run, path, fault.line, fault.message);
    }
    if (details.faultCount > (int)details.faults.size()) {
        addError(run, path, details.faults.back().line,
                 std::to_string(details.faultCount - (int)details.faults.size()) +
                     " more faults like the ones above");
    }
    if (!whole) {
        addReaderError(run, reader);
    } else {
        checkColour(run, path, mesh, details.colorLine);
        if (mesh.textured) {
            checkTextureFormat(run, path, textureName, details.textureLine);
        }
        checkTrailingText(run, reader, mesh);
        summary = {true, mesh.textured != 0};
    }
    sortFindingsFrom(run, first);
    // The picture's own findings follow the mesh's.
    if (whole && mesh.textured) {
        checkPicture(run, "textures/" + textureName,
                     "named at " + placeText(path, details.textureLine));
    }
    run.meshes[path] = summary;
    return summary;
}
