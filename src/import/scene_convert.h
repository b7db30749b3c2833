// An assimp scene turned into the records of a map: meshes with their lists, paths, camera and
// lamps, and what could not be carried over. Import side: pure conversion, no files written,
// pictures only named (import/pictures reads and converts them).
#pragma once

#include <string>
#include <vector>

#include "base/show_files.h"
#include "base/show_layout.h"
#include "import/map_writers.h"

struct aiScene;

// A scene fits in the sky box this far from its centre: 10 units inside its walls.
#define SKY_REACH (SHOW_SKY_SIZE / 2 - 10.0f)
#define MESH_NAME_LIMIT 40           // longest mesh name written; keeps map/<map>/<name>.msh short
#define PARTICLE_SUFFIX "_particles" // a node name ending so marks a particle emitter
#define PARTICLE_PROPERTY "skarn_particles" // or a node property (glTF extras) set true
#define WHITE_OBJECT "skarn-white" // the invisible object the importer adds (see placeMeshes)

struct ImportOptions {
    float scale = 1;          // multiplies every length
    std::string mapName;      // for the map's title and embedded pictures' names
    std::string sceneFile;    // path of the scene file, for pictures named relative to it
    bool spendMeshes = false; // the scene is the importer's own: a mesh's arrays go once baked
};

// A picture a material names: a file next to the scene, or one embedded in it.
struct PictureSource {
    std::string file;  // path as the scene names it (empty for an embedded picture)
    int embedded = -1; // index into the scene's textures, or -1
    std::string stem;  // wanted base name, safe, without extension
};

// One mesh of the map, before it is put into a list.
struct ImportedMesh {
    std::string name;        // safe and unique: base name of its .msh (and .dpl)
    std::string node;        // the scene node it hangs on, for messages
    MeshOut mesh;            // vertices baked as the player will draw them
    int picture = -1;        // index into ImportedScene::pictures, or -1
    bool blended = false;    // the material blends or masks with alpha
    bool opaqueMode = false; // the material says its alpha is ignored (glTF OPAQUE)
    bool moves = false;      // on an animated node: an object with `path`
    bool particles = false;  // marked as a particle emitter
    PathOut path;            // objects: position on track 1, the two angles on track 2
};

struct ImportedScene {
    std::vector<ImportedMesh> meshes;
    std::vector<PictureSource> pictures;
    MapOut map;                     // camera section and lamps; lists filled by placeMeshes
    PathOut cameraPath;             // always written: the show needs a flight to run
    std::vector<std::string> notes; // what was not carried over, one line each
    float low[3] = {0, 0, 0}, high[3] = {0, 0, 0}; // box of the scene as placed
};

// Converts the scene. Returns false with `reason` when it has no triangle mesh to show.
bool convertScene(const aiScene& scene, const ImportOptions& options, ImportedScene& out,
                  std::string& reason);

// Chooses each mesh's list (objects, trees, world) and finishes its option bits and texture
// name, given the picture names written (empty when a picture failed) and which have alpha.
// Adds the invisible white object WHITE_OBJECT when the map has untextured meshes or would have
// neither object nor tree (the player would show only the logo).
void placeMeshes(ImportedScene& scene, const std::vector<std::string>& pictureNames,
                 const std::vector<bool>& pictureAlpha);

// True for the white object placeMeshes adds.
bool addedByImporter(const ImportedMesh& mesh);

// A name made of letters, digits, '_' and '-' only, at most `limit` characters, never empty.
std::string safeName(const std::string& name, size_t limit);
