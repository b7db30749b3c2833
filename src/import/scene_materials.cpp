// Materials of an imported scene: the colour, the picture and whether it is see-through.
// Import side: reads assimp's material keys, names pictures (import/pictures converts them).
#include <algorithm>
#include <cstdlib>
#include <cmath>

#include <assimp/GltfMaterial.h>
#include <assimp/material.h>

#include "import/pictures.h"
#include "import/scene_local.h"

namespace {

// The picture a material names, added once to the scene's list.
int pictureOf(ConvertState& state, const aiString& named) {
    std::string file = named.C_Str();
    int embedded = -1;
    const aiScene& scene = *state.scene;
    if (!file.empty() && file[0] == '*') {
        embedded = std::atoi(file.c_str() + 1);
    } else {
        for (unsigned i = 0; scene.mTextures && i < scene.mNumTextures; i++) {
            const aiTexture* t = scene.mTextures[i];
            if (t && file == t->mFilename.C_Str())
                embedded = (int)i;
        }
    }
    if (embedded >= 0 &&
        (embedded >= (int)scene.mNumTextures || !scene.mTextures || !scene.mTextures[embedded])) {
        state.out->notes.push_back("picture " + file + " is not in the scene file: left out");
        return -1;
    }
    std::vector<PictureSource>& pictures = state.out->pictures;
    for (size_t i = 0; i < pictures.size(); i++) {
        if (pictures[i].embedded == embedded && (embedded >= 0 || pictures[i].file == file)) {
            return (int)i;
        }
    }
    PictureSource source;
    source.embedded = embedded;
    std::string stem =
        embedded >= 0 ? std::string(scene.mTextures[embedded]->mFilename.C_Str()) : file;
    if (embedded < 0)
        source.file = file;
    stem = uriDecoded(stem);
    stem = stem.substr(
        stem.find_last_of("/\\") == std::string::npos ? 0 : stem.find_last_of("/\\") + 1);
    stem = stem.substr(0, stem.find_last_of('.'));
    if (stem.empty())
        stem = state.options.mapName + "_picture" + std::to_string(pictures.size() + 1);
    source.stem = safeName(stem, 24);
    pictures.push_back(source);
    return (int)pictures.size() - 1;
}

} // namespace

Look lookOf(ConvertState& state, unsigned index) {
    Look look;
    const aiScene& scene = *state.scene;
    if (!scene.mMaterials || index >= scene.mNumMaterials || !scene.mMaterials[index]) {
        return look;
    }
    const aiMaterial& m = *scene.mMaterials[index];
    aiColor4D c(1, 1, 1, 1);
    if (m.Get(AI_MATKEY_BASE_COLOR, c) != AI_SUCCESS) {
        m.Get(AI_MATKEY_COLOR_DIFFUSE, c);
    }
    float values[3] = {c.r, c.g, c.b};
    for (int k = 0; k < 3; k++) {
        look.color[k] = std::isfinite(values[k]) ? std::clamp(values[k], 0.0f, 1.0f) : 1.0f;
    }
    float opacity = 1;
    m.Get(AI_MATKEY_OPACITY, opacity);
    aiString mode;
    if (m.Get(AI_MATKEY_GLTF_ALPHAMODE, mode) == AI_SUCCESS) {
        std::string text = mode.C_Str();
        look.blended = (text == "BLEND" || text == "MASK");
        look.opaqueMode = (text == "OPAQUE");
    }
    look.blended = look.blended || opacity < 1 || c.a < 1;
    aiString named;
    if (m.GetTexture(aiTextureType_BASE_COLOR, 0, &named) == AI_SUCCESS ||
        m.GetTexture(aiTextureType_DIFFUSE, 0, &named) == AI_SUCCESS) {
        look.picture = pictureOf(state, named);
    }
    return look;
}
