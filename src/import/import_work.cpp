// The part of an import that touches the scene, run inside the reader's child. Import side.
// It writes only into the two scratch folders it is given; the parent moves them into place
// once this work has said it is done, so a crash here leaves the show as it was.
#include "import/import_work.h"

#include <algorithm>
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "import/mesh_merge.h"
#include "import/pictures.h"
#include "import/reader_child.h"
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

// Writes the map's files one by one, stopping once they pass the byte limit.
struct MapWriter {
    std::string folder;
    size_t limit = 0, written = 0;
    bool over = false;
    bool put(const std::string& name, const std::string& text) {
        written += text.size();
        over = written > limit;
        return !over && writeText(folder + "/" + name, text);
    }
    // A mesh's text goes out a megabyte at a time: it is the bulk of a large map.
    bool putMesh(const std::string& name, const MeshOut& mesh) {
        std::ofstream file(folder + "/" + name, std::ios::binary);
        auto spill = [&](std::string& text) {
            written += text.size();
            over = written > limit;
            file.write(text.data(), (std::streamsize)text.size());
            text.clear();
            return !over && file.good();
        };
        std::string text;
        bool done = meshTextTo(mesh, text, spill) && spill(text);
        file.close();
        return done && file.good();
    }
};

// Writes every file of the map; lines say what each holds. Empty, or why it failed.
// Each mesh's arrays are freed once its file is written: the texts are the larger part.
std::string writeMap(const ImportRequest& request, ImportedScene& scene, MapWriter& out,
                     std::vector<std::string>& lines) {
    std::string shown = "map/" + request.mapName + "/";
    std::string failed = "map/" + request.mapName + ": a file could not be written";
    const MapOut& map = scene.map;
    if (!out.put(request.mapName + ".mde", mapText(map)))
        return failed;
    lines.push_back("wrote " + shown + request.mapName +
                    ".mde: " + plural(map.worlds.size(), "world mesh") + ", " +
                    plural(map.objects.size(), "object") + ", " + plural(map.trees.size(), "tree") +
                    ", " + plural(map.lamps.size(), "lamp"));
    for (ImportedMesh& m : scene.meshes) {
        if (!out.putMesh(m.name + ".msh", m.mesh))
            return failed;
        size_t triangles = m.mesh.faces.size() / 3;
        std::string texture = m.mesh.texture;
        m.mesh = MeshOut();
        m.mesh.texture = texture;
        const char* list =
            m.moves ? "object"
                    : (std::count(map.trees.begin(), map.trees.end(), m.name) ? "tree" : "world");
        std::string line = "wrote " + shown + m.name + ".msh: " + plural(triangles, "triangle") +
                           " (" + list +
                           (m.mesh.texture.empty() ? "" : ", textures/" + m.mesh.texture) + ")";
        if (m.moves && !out.put(m.name + ".dpl", pathText(m.path)))
            return failed;
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
    if (!out.put("camera.dpl", pathText(scene.cameraPath)))
        return failed;
    lines.push_back("wrote " + shown + "camera.dpl");
    return "";
}

std::string tooMany(const std::string& map, const std::string& what, size_t limit,
                    const char* variable) {
    return map + ": the map would take " + what + ", more than the " + std::to_string(limit) +
           " allowed (" + variable + ")";
}

// The work itself; empty, or the line that says why it failed.
std::string work(const ImportRequest& request, const WorkFolders& folders,
                 const ImportLimits& limits, int fd) {
    const std::string& file = request.sceneFile;
    childSend(fd, WORK_STAGE, "reading");
    SceneHold hold;
    std::string why;
    const aiScene* scene = readScene(hold, file, limits, why);
    if (!scene)
        return file + ": " + why;
    if (scene->mNumMeshes == 0)
        return file + ": the scene has no mesh";
    childSend(fd, WORK_STAGE, "converting");
    ImportOptions options;
    options.scale = request.scale;
    options.mapName = request.mapName;
    options.sceneFile = fs::path(file).filename().string();
    options.spendMeshes = hold.own != nullptr; // read by a reader of ours: no one else holds it
    ImportedScene imported;
    if (!convertScene(*scene, options, imported, why)) {
        for (const std::string& note : imported.notes) // what was left out may be the reason
            why += (&note == &imported.notes[0] ? " (" : "; ") + note;
        return file + ": " + why + (imported.notes.empty() ? "" : ")");
    }
    std::string sceneDir = fs::path(file).parent_path().string();
    std::vector<PictureOut> pictures =
        convertPictures(*scene, imported, sceneDir.empty() ? "." : sceneDir, folders.textures,
                        folders.staging, imported.notes);
    std::vector<std::string> names;
    std::vector<bool> alpha;
    size_t files = 2; // the map file and the camera's path
    for (const PictureOut& p : pictures) {
        names.push_back(p.name);
        alpha.push_back(p.alpha);
        files += !p.scratch.empty();
    }
    freeScene(hold); // the converted records hold all that is written from here on
    mergeStillMeshes(imported);
    placeMeshes(imported, names, alpha);
    noteSize(imported, imported.notes);
    for (const ImportedMesh& m : imported.meshes)
        files += m.moves ? 2 : 1;
    std::string map = "map/" + request.mapName;
    if (files > limits.mapFiles)
        return tooMany(map, std::to_string(files) + " files", limits.mapFiles,
                       "SKARN_IMPORT_MAP_FILES");
    childSend(fd, WORK_STAGE, "writing");
    MapWriter out{folders.scratch, limits.mapMB << 20};
    std::vector<std::string> lines;
    why = writeMap(request, imported, out, lines);
    if (out.over)
        return map + ": the map would take more than the " + std::to_string(limits.mapMB) +
               " MB allowed (SKARN_IMPORT_MAP_MB)";
    if (!why.empty())
        return why;
    for (const std::string& line : lines)
        childSend(fd, WORK_LINE, line);
    for (const PictureOut& p : pictures) {
        if (!p.name.empty())
            childSend(fd, WORK_PICTURE, p.name + '\0' + p.scratch);
    }
    for (const std::string& note : imported.notes)
        childSend(fd, WORK_NOTE, note);
    return "";
}

} // namespace

void importWork(const ImportRequest& request, const WorkFolders& folders,
                const ImportLimits& limits, int fd) {
    std::string why = work(request, folders, limits, fd);
    childSend(fd, why.empty() ? WORK_DONE : WORK_ERROR, why);
}
