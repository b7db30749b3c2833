// A glTF file's materials and the pictures they name, built as assimp's glTF 2 reader builds
// them: base colour (diffuse and base colour keys), opacity, alpha mode, the base colour
// picture as "*N" (held in the file, an aiTexture) or its URI. Import side.
#include <assimp/GltfMaterial.h>
#include <assimp/material.h>
#include <cstring>
#include <memory>

#include "import/gltf_build.h"

namespace {

// The picture a material names: "*N" for one held in the file, else its URI.
bool pictureOf(GltfBuild& b, int texture, aiString& out) {
    const GltfDoc& doc = b.doc;
    int image = (size_t)texture < doc.textureSources.size() ? doc.textureSources[texture] : -2;
    if (image < -1 || image >= (int)doc.images.size()) {
        b.error = "a material names a texture or picture that is not in the file";
        return false;
    }
    if (image == -1)
        return false; // a texture without a source (an extension's picture): none
    const GltfImage& img = doc.images[image];
    bool inData = img.uri.compare(0, 5, "data:") == 0;
    if (!inData && img.view < 0) {
        out = aiString(img.uri);
        return true;
    }
    if (b.imageTexture[image] < 0) {
        std::vector<unsigned char> bytes;
        std::string mime = img.mime;
        if (inData) {
            size_t comma = img.uri.find(',');
            size_t semi = img.uri.find(';');
            mime = img.uri.substr(5, std::min(comma, semi) - 5);
            if (comma == std::string::npos || semi > comma ||
                img.uri.compare(semi, 8, ";base64,") != 0 ||
                !base64Decoded(img.uri.substr(comma + 1), bytes)) {
                b.toAssimp = "a picture in a data: URI that is not base64";
                return false;
            }
        } else if (!readView(doc, b.files, img.view, bytes, b.error)) {
            return false;
        }
        std::unique_ptr<aiTexture> t(new aiTexture());
        t->mFilename = aiString(img.name);
        t->mWidth = (unsigned)bytes.size();
        t->mHeight = 0;
        t->pcData = new aiTexel[bytes.size() / sizeof(aiTexel) + 1];
        std::memcpy(t->pcData, bytes.data(), bytes.size());
        size_t slash = mime.find('/');
        std::string hint = slash == std::string::npos ? "" : mime.substr(slash + 1);
        hint = hint == "jpeg" ? "jpg" : hint;
        if (!hint.empty() && hint.size() <= 3)
            std::strcpy(t->achFormatHint, hint.c_str());
        b.imageTexture[image] = (int)b.textures.size();
        b.textures.push_back(t.release());
    }
    out = aiString(std::string("*").append(std::to_string(b.imageTexture[image])));
    return true;
}

} // namespace

int materialOf(GltfBuild& b, int index) {
    if (index >= (int)b.doc.materials.size()) {
        b.error = "a mesh names material " + std::to_string(index) + ", which is not in the file";
        return -1;
    }
    size_t slot = index < 0 ? b.doc.materials.size() : (size_t)index;
    if (b.materials[slot])
        return (int)slot;
    static const GltfMaterial plain;
    const GltfMaterial& m = index < 0 ? plain : b.doc.materials[index];
    std::unique_ptr<aiMaterial> out(new aiMaterial());
    if (!m.name.empty()) {
        aiString name(m.name);
        out->AddProperty(&name, AI_MATKEY_NAME);
    }
    aiColor4D color(m.color[0], m.color[1], m.color[2], m.color[3]);
    out->AddProperty(&color, 1, AI_MATKEY_COLOR_DIFFUSE);
    out->AddProperty(&color, 1, AI_MATKEY_BASE_COLOR);
    aiString picture;
    if (m.texture >= 0 && pictureOf(b, m.texture, picture)) {
        out->AddProperty(&picture, AI_MATKEY_TEXTURE(aiTextureType_DIFFUSE, 0));
        out->AddProperty(&picture, AI_MATKEY_TEXTURE(aiTextureType_BASE_COLOR, 0));
    }
    if (!b.error.empty() || !b.toAssimp.empty())
        return -1;
    float opacity = m.color[3], cutoff = m.alphaCutoff;
    out->AddProperty(&opacity, 1, AI_MATKEY_OPACITY);
    aiString mode(m.alphaMode);
    out->AddProperty(&mode, AI_MATKEY_GLTF_ALPHAMODE);
    out->AddProperty(&cutoff, 1, AI_MATKEY_GLTF_ALPHACUTOFF);
    b.materials[slot] = out.release();
    return (int)slot;
}
