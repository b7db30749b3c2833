// The map's three lists from the converted meshes, in the order the player draws them well.
// Import side. The player sets the drawing colour only for untextured meshes and never resets
// it, so textured things drawn later are tinted; and it shows the scene only when the map has
// an object or a tree. Both are met here: untextured meshes come last in their list, an
// invisible white object ends the objects whenever one is needed, and another starts them when
// the world's last mesh leaves a colour for a textured object.
#include <algorithm>
#include <cmath>

#include "import/scene_convert.h"
#include "base/map_format.h"

namespace {

enum MeshList { LIST_WORLD, LIST_OBJECT, LIST_TREE };

const char* const ADDED_NODE = "(added by the importer)";

// Squared distance from `eye` to the middle of the mesh's vertices.
float distanceFrom(const MeshOut& mesh, const float* eye) {
    double sum[3] = {0, 0, 0};
    size_t count = mesh.vertices.size() / 3;
    for (size_t i = 0; i < count; i++) {
        for (int k = 0; k < 3; k++)
            sum[k] += mesh.vertices[3 * i + k];
    }
    double d = 0;
    for (int k = 0; k < 3 && count > 0; k++)
        d += std::pow(sum[k] / count - eye[k], 2);
    return (float)d;
}

// A triangle of no area in white on a path that stays at the origin: draws nothing, but sets
// the colour back to white, and makes the player show the scene.
ImportedMesh whiteObject(const ImportedScene& scene) {
    ImportedMesh white;
    white.name = WHITE_OBJECT;
    for (int n = 2; std::any_of(scene.meshes.begin(), scene.meshes.end(),
                                [&](const ImportedMesh& m) { return m.name == white.name; });
         n++) {
        white.name = std::string(WHITE_OBJECT) + "-" + std::to_string(n);
    }
    white.node = ADDED_NODE;
    white.mesh.vertices.assign(9, 0);
    white.mesh.normals = {0, 1, 0, 0, 1, 0, 0, 1, 0};
    white.mesh.faces = {0, 1, 2};
    white.moves = true;
    white.path.title = "skarn-import: still";
    white.path.curves = 2;
    white.path.values.assign(4 * 6, 0);
    return white;
}

} // namespace

bool addedByImporter(const ImportedMesh& mesh) {
    return mesh.node == ADDED_NODE;
}

void placeMeshes(ImportedScene& scene, const std::vector<std::string>& pictureNames,
                 const std::vector<bool>& pictureAlpha) {
    // A second placing starts again: the white object of the first goes.
    scene.meshes.erase(std::remove_if(scene.meshes.begin(), scene.meshes.end(), addedByImporter),
                       scene.meshes.end());
    std::vector<int> lists;
    bool untextured = false;
    for (ImportedMesh& m : scene.meshes) {
        int p = m.picture;
        bool named = p >= 0 && (size_t)p < pictureNames.size() && !pictureNames[p].empty();
        bool alpha = named && (size_t)p < pictureAlpha.size() && pictureAlpha[p];
        m.mesh.option = named ? MESH_OPTION_TEXTURED : 0;
        m.mesh.texture = named ? pictureNames[p] : "";
        if (!named)
            m.mesh.faceUVs.clear();
        untextured = untextured || !named;
        bool seeThrough = m.blended || (alpha && !m.opaqueMode);
        if (m.particles && m.moves)
            m.mesh.option |= MESH_OPTION_PARTICLES;
        if (m.particles && !m.moves) {
            scene.notes.push_back("mesh " + m.name +
                                  " is marked as a particle emitter but does not move: only moving "
                                  "objects trail particles");
        }
        if (m.moves && seeThrough) {
            scene.notes.push_back("object " + m.name +
                                  " is see-through in the scene: drawn opaque (objects are)");
        }
        if (!m.moves && seeThrough && !named) {
            scene.notes.push_back("mesh " + m.name +
                                  " is see-through without a picture: drawn opaque in the world");
        }
        lists.push_back(m.moves ? LIST_OBJECT : (seeThrough && named ? LIST_TREE : LIST_WORLD));
    }
    bool shown = std::count(lists.begin(), lists.end(), LIST_OBJECT) +
                     std::count(lists.begin(), lists.end(), LIST_TREE) >
                 0;
    bool tintedWorld = false, texturedObject = false;
    for (size_t i = 0; i < lists.size(); i++) {
        bool textured = scene.meshes[i].mesh.option & MESH_OPTION_TEXTURED;
        tintedWorld = tintedWorld || (lists[i] == LIST_WORLD && !textured);
        texturedObject = texturedObject || (lists[i] == LIST_OBJECT && textured);
    }
    if (untextured || !shown) {
        scene.meshes.push_back(whiteObject(scene));
        lists.push_back(LIST_OBJECT);
    }
    std::string firstWhite;
    if (tintedWorld && texturedObject) {
        scene.meshes.push_back(whiteObject(scene));
        lists.push_back(LIST_OBJECT);
        firstWhite = scene.meshes.back().name;
    }
    // Textured meshes before untextured ones in each list; trees farthest from the eye first.
    std::vector<size_t> order(scene.meshes.size());
    for (size_t i = 0; i < order.size(); i++)
        order[i] = i;
    std::vector<float> away(order.size());
    for (size_t i = 0; i < order.size(); i++)
        away[i] = lists[i] == LIST_TREE ? distanceFrom(scene.meshes[i].mesh, scene.map.eye) : 0;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        bool ta = scene.meshes[a].mesh.option & MESH_OPTION_TEXTURED,
             tb = scene.meshes[b].mesh.option & MESH_OPTION_TEXTURED;
        return ta != tb ? ta : away[a] > away[b];
    });
    MapOut& map = scene.map;
    map.worlds.clear();
    map.objects.clear();
    map.trees.clear();
    for (size_t i : order) {
        std::vector<std::string>& list = lists[i] == LIST_OBJECT
                                             ? map.objects
                                             : (lists[i] == LIST_TREE ? map.trees : map.worlds);
        list.push_back(scene.meshes[i].name);
    }
    // The white object is drawn last of all objects, after every untextured one; the second
    // first of all, after the world.
    auto white = std::find_if(map.objects.begin(), map.objects.end(), [&](const std::string& n) {
        return n.rfind(WHITE_OBJECT, 0) == 0 && n != firstWhite;
    });
    if (white != map.objects.end())
        std::rotate(white, white + 1, map.objects.end());
    auto first = std::find(map.objects.begin(), map.objects.end(), firstWhite);
    if (first != map.objects.end())
        std::rotate(map.objects.begin(), first, first + 1);
}
