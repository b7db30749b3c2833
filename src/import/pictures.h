// Pictures of an imported scene converted to what the player reads: JPEG when opaque, Targa
// when some pixel is see-through. Import side; the only code of the importer that names DevIL.
#pragma once

#include <string>
#include <vector>

#include "base/map_format.h"
#include "import/scene_convert.h"

struct aiScene;

// One converted picture, waiting in the scratch folder.
struct PictureOut {
    std::string name;    // file name under textures/; empty when the picture failed
    std::string scratch; // converted file, to be moved in (empty when reused)
    bool alpha = false;  // some pixel is not fully opaque
};

// Converts every picture of `scene` into `scratchDir` and names it for `texturesDir`: a name
// already there with the same bytes is reused, with other bytes another name is taken, so
// nothing there is overwritten. Failures are noted and leave the picture's name empty.
std::vector<PictureOut> convertPictures(const aiScene& scene, const ImportedScene& imported,
                                        const std::string& sceneDir, const std::string& texturesDir,
                                        const std::string& scratchDir,
                                        std::vector<std::string>& notes);

// A URI's %XX escapes decoded (glTF names files as URIs).
std::string uriDecoded(const std::string& text);

// Where the picture a scene names is on disk: as named (beside the scene, or absolute, or a
// file:// URI; %-escapes decoded, backslashes read as '/'), in another letter case, or, when its
// folder is not there, by its base name beside the scene. Empty when it is nowhere.
std::string findPicture(const std::string& sceneDir, const std::string& named);

// True when `path` is not inside `folder` (after following "..").
bool outsideFolder(const std::string& path, const std::string& folder);
