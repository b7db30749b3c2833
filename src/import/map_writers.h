// Writers of a map's files: the exact inverse of the mesh, map and trajectory readers.
// Import side: plain records in, text out; no file system, no GL, no scene library.
#pragma once

#include <functional>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Records of what is written
//----------------------------------------------------------------------------------

// One mesh file. Arrays hold three floats per vertex (or normal), three indices per face,
// six floats per face for the uv of its corners.
struct MeshOut {
    std::vector<float> vertices; // x y z per vertex
    std::vector<float> normals;  // x y z per vertex, same count as vertices
    std::vector<int> faces;      // three 0-based vertex indices per triangle
    std::vector<float> faceUVs;  // u,v of corners 0, 1, 2 per triangle; textured meshes only
    float color[3] = {1, 1, 1};  // couleur
    int option = 0;              // option bits (textured, no depth, particles)
    std::string texture;         // picture name under textures/ when textured
};

// One trajectory file: `curves` triples per point, points in playing order.
struct PathOut {
    std::string title = "skarn-import"; // free first line
    int curves = 1;                     // tracks per point, 1 to 3
    int loop = 0;                       // 1 closes the ring
    std::vector<float> values;          // 3 * curves floats per point
};

struct LampOut {
    float position[3] = {0, 0, 0}; // world position
    float color[3] = {1, 1, 1};    // r g b, 0 to 1
    float intensity = 1;           // alpha of the light's colours, 0 to 1
};

// One map file: camera section, lamps and the three name lists.
struct MapOut {
    std::string title = "skarn-import"; // free first line (no line end inside)
    float eye[3] = {0, 0, 0};           // position
    float target[3] = {0, 0, 0};        // cible
    int anime = 0;                      // 1: the camera flies along camera.dpl
    std::vector<LampOut> lamps;         // at most 7 for the player to light them
    std::vector<std::string> worlds;    // monde
    std::vector<std::string> objects;   // objets
    std::vector<std::string> trees;     // arbres
};

//----------------------------------------------------------------------------------
// Writers
//----------------------------------------------------------------------------------

// Numbers are printed with 6 significant digits (normals 4), within the readers' fast path;
// a value that is not finite is printed as 0 (callers clean their data first and report it).
std::string meshText(const MeshOut& mesh);
// The same text in pieces, for files too large to hold whole: `spill` is handed the text so
// far each time it passes a megabyte, to write out and clear; the rest is left in `out` at the
// end. False as soon as a spill returns false.
bool meshTextTo(const MeshOut& mesh, std::string& out,
                const std::function<bool(std::string& text)>& spill);
std::string pathText(const PathOut& path);
std::string mapText(const MapOut& map);

// The number as a writer prints it, for callers that compare against printed values.
std::string writtenNumber(float value);
