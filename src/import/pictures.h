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
