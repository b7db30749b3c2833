// One import from start to end. Import side: reads the scene with assimp, writes into a
// scratch folder under map/ and moves the finished map into place last, so a failure or a
// crash in between leaves the show's folder as it was (the scratch folder aside).
#include "import/import_run.h"

#include <algorithm>
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "import/pictures.h"
#include "import/scene_convert.h"

namespace fs = std::filesystem;

namespace {

bool writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out.write(text.data(), (std::streamsize)text.size());
    out.close();
    return out.good();
}

std::string plural(size_t n, const char* word) {
    std::string many = word;
    many += many.back() == 'h' ? "es" : "s"; // mesh, meshes
    return std::to_string(n) + " " + (n == 1 ? std::string(word) : many);
}

// A note when the scene does not fit in the sky box, with the scale that would fit it.
void noteSize(const ImportedScene& scene, std::vector<std::string>& notes) {
    const float centre[3] = {SHOW_SKY_CENTRE_X, SHOW_SKY_CENTRE_Y, SHOW_SKY_CENTRE_Z};
    float reach = 0;
    for (int k = 0; k < 3; k++) {
        reach = std::max(reach, std::max(std::fabs(scene.low[k] - centre[k]),
                                         std::fabs(scene.high[k] - centre[k])));
    }
    float across = 0;
    for (int k = 0; k < 3; k++)
        across = std::max(across, scene.high[k] - scene.low[k]);
    if (across > 0 && across < 0.5f) { // the camera sees nothing nearer than 0.1
        notes.push_back("the scene is only " + writtenNumber(across) +
                        " units across (a unit is a metre): --scale " + writtenNumber(10 / across) +
                        " makes it 10 units wide");
    }
    if (reach > SKY_REACH) {
        notes.push_back("the scene reaches " + writtenNumber(reach) +
                        " units from the sky box centre, which holds " + writtenNumber(SKY_REACH) +
                        ": --scale " + writtenNumber(SKY_REACH / reach) +
                        " (times the scale given) fits it in");
    }
}

// Writes every file of the map into `folder`; lines say what each holds.
bool writeMap(const ImportRequest& request, const ImportedScene& scene, const std::string& folder,
              std::vector<std::string>& lines) {
    std::string shown = "map/" + request.mapName + "/";
    const MapOut& map = scene.map;
    if (!writeText(folder + "/" + request.mapName + ".mde", mapText(map)))
        return false;
    lines.push_back("wrote " + shown + request.mapName +
                    ".mde: " + plural(map.worlds.size(), "world mesh") + ", " +
                    plural(map.objects.size(), "object") + ", " + plural(map.trees.size(), "tree") +
                    ", " + plural(map.lamps.size(), "lamp"));
    for (const ImportedMesh& m : scene.meshes) {
        if (!writeText(folder + "/" + m.name + ".msh", meshText(m.mesh)))
            return false;
        const char* list =
            m.moves ? "object"
                    : (std::count(map.trees.begin(), map.trees.end(), m.name) ? "tree" : "world");
        std::string line = "wrote " + shown + m.name +
                           ".msh: " + plural(m.mesh.faces.size() / 3, "triangle") + " (" + list +
                           (m.mesh.texture.empty() ? "" : ", textures/" + m.mesh.texture) + ")";
        if (m.moves && !writeText(folder + "/" + m.name + ".dpl", pathText(m.path))) {
            return false;
        }
        if (addedByImporter(m)) {
            line = "wrote " + shown + m.name +
                   ".msh and .dpl: an invisible white object the "
                   "player needs (docs/maps.md, From a 3D tool)";
        } else if (m.moves) {
            size_t seconds = m.path.values.size() / 6 - 3;
            line += " and " + m.name + ".dpl: a path of " + std::to_string(seconds) +
                    " s against the " + std::to_string(SHOW_SCENE_SECONDS) + " s scene";
        }
        lines.push_back(line);
    }
    if (!writeText(folder + "/camera.dpl", pathText(scene.cameraPath)))
        return false;
    lines.push_back("wrote " + shown + "camera.dpl");
    return true;
}

// Moves the finished map into place; an old one goes only once the new one is there.
bool moveIntoPlace(const std::string& scratch, const std::string& mapDir, std::error_code& error) {
    std::string old = mapDir + ".old-" + std::to_string(getpid());
    bool hadOne = fs::exists(mapDir, error);
    if (hadOne)
        fs::rename(mapDir, old, error);
    if (error)
        return false;
    fs::rename(scratch, mapDir, error);
    if (error) {
        if (hadOne)
            fs::rename(old, mapDir, error);
        return false;
    }
    if (hadOne)
        fs::remove_all(old, error);
    return true;
}

int failIn(const std::string& scratch, std::string& error, const std::string& why) {
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    error = why;
    return 1;
}

} // namespace

int importScene(const ImportRequest& request, std::vector<std::string>& lines, std::string& error) {
    const std::string& name = request.mapName;
    if (name.empty() || name.size() > MAP_NAME_LIMIT || safeName(name, MAP_NAME_LIMIT) != name) {
        error = name + ": a map name is 1 to 34 letters, digits, '_' or '-'";
        return 1;
    }
    std::string mapDir = request.root + "/map/" + name;
    std::error_code fsError;
    if (fs::exists(mapDir, fsError) && !request.force) {
        error = "map/" + name + ": the map exists already (--force replaces it)";
        return 1;
    }
    if (!fs::is_regular_file(request.sceneFile, fsError)) {
        error = request.sceneFile + ": no such file";
        return 1;
    }
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(
        request.sceneFile, aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                               aiProcess_GenSmoothNormals | aiProcess_SortByPType);
    if (!scene) {
        error = request.sceneFile + ": " + importer.GetErrorString();
        return 1;
    }
    if (scene->mNumMeshes == 0) {
        error = request.sceneFile + ": the scene has no mesh";
        return 1;
    }
    ImportOptions options;
    options.scale = request.scale;
    options.mapName = name;
    options.sceneFile = fs::path(request.sceneFile).filename().string();
    ImportedScene imported;
    std::string reason;
    if (!convertScene(*scene, options, imported, reason)) {
        error = request.sceneFile + ": " + reason;
        return 1;
    }
    std::string scratch = request.root + "/map/." + name + ".import-" + std::to_string(getpid());
    std::string textures = request.root + "/textures";
    std::string sceneDir = fs::path(request.sceneFile).parent_path().string();
    std::string pictureScratch = scratch + "/pictures"; // emptied before the map moves in
    for (const std::string& folder : {pictureScratch, textures}) {
        if (!fs::is_directory(folder, fsError) && !fs::create_directories(folder, fsError)) {
            return failIn(scratch, error, folder + ": cannot write here: " + fsError.message());
        }
    }
    std::vector<PictureOut> pictures =
        convertPictures(*scene, imported, sceneDir.empty() ? "." : sceneDir, textures,
                        pictureScratch, imported.notes);
    std::vector<std::string> names;
    std::vector<bool> alpha;
    for (const PictureOut& p : pictures) {
        names.push_back(p.name);
        alpha.push_back(p.alpha);
    }
    placeMeshes(imported, names, alpha);
    noteSize(imported, imported.notes);
    if (!writeMap(request, imported, scratch, lines))
        return failIn(scratch, error, "map/" + name + ": a file could not be written");
    for (const PictureOut& p : pictures) {
        if (p.name.empty())
            continue;
        if (!p.scratch.empty())
            fs::rename(p.scratch, textures + "/" + p.name, fsError);
        if (fsError)
            return failIn(scratch, error, "textures/" + p.name + ": " + fsError.message());
        lines.push_back((p.scratch.empty() ? "uses textures/" : "wrote textures/") + p.name +
                        (p.scratch.empty() ? " (already there)" : ""));
    }
    fs::remove_all(pictureScratch, fsError); // pictures reused or not written
    if (!moveIntoPlace(scratch, mapDir, fsError))
        return failIn(scratch, error, "map/" + name + ": " + fsError.message());
    for (const std::string& note : imported.notes)
        lines.push_back("not carried over: " + note);
    lines.push_back("next step: skarn " + name);
    return 0;
}
