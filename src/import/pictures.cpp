// Pictures of an imported scene converted with DevIL, named without overwriting anything.
// Import side: reads the scene's pictures (files beside it, or embedded), writes only into the
// scratch folder it is given.
#include "import/pictures.h"

#include <IL/il.h>
#include <assimp/scene.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace {

#define JPEG_QUALITY 92 // high enough that converted pictures show no blocks on screen

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A URI's %XX escapes decoded (glTF names files as URIs).
std::string unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '%' && i + 2 < text.size() && isxdigit((unsigned char)text[i + 1]) &&
            isxdigit((unsigned char)text[i + 2])) {
            out += (char)std::stoi(text.substr(i + 1, 2), nullptr, 16);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Loads the picture into the bound DevIL image; false with `why` on failure.
bool loadSource(const aiScene& scene, const PictureSource& source, const std::string& sceneDir,
                std::string& why) {
    if (source.embedded >= 0) {
        const aiTexture& t = *scene.mTextures[source.embedded];
        if (t.mHeight == 0) {
            if (!t.pcData || t.mWidth == 0 ||
                ilLoadL(IL_TYPE_UNKNOWN, t.pcData, t.mWidth) != IL_TRUE) {
                why = "the image library can't read it";
                return false;
            }
            return true;
        }
        if (!t.pcData || t.mWidth > MAX_PICTURE_SIDE || t.mHeight > MAX_PICTURE_SIDE ||
            ilTexImage(t.mWidth, t.mHeight, 1, 4, IL_BGRA, IL_UNSIGNED_BYTE, t.pcData) != IL_TRUE) {
            why = "its size is not one the player takes";
            return false;
        }
        return true;
    }
    std::string path = sceneDir + "/" + source.file;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        path = sceneDir + "/" + unescape(source.file);
    }
    if (!std::filesystem::is_regular_file(path, error)) {
        why = "no such file beside the scene (" + path + ")";
        return false;
    }
    if (ilLoadImage(path.c_str()) != IL_TRUE) {
        why = "the image library can't read " + path;
        return false;
    }
    return true;
}

// True when some pixel of the bound image (RGBA bytes) is not fully opaque.
bool hasAlpha() {
    const ILubyte* data = ilGetData();
    size_t count = (size_t)ilGetInteger(IL_IMAGE_WIDTH) * ilGetInteger(IL_IMAGE_HEIGHT);
    for (size_t i = 0; data && i < count; i++) {
        if (data[4 * i + 3] != 255)
            return true;
    }
    return false;
}

// A name under texturesDir for `bytes`: the wanted one when free or already holding the same
// bytes, else the wanted stem with _2, _3, ...; `reused` tells that the file is there already.
std::string freeName(const std::string& texturesDir, const std::string& stem,
                     const std::string& extension, const std::string& bytes,
                     std::set<std::string>& taken, bool& reused) {
    for (int n = 1;; n++) {
        std::string name = stem;
        if (n > 1) {
            name.append("_").append(std::to_string(n)); // appends: GCC 12 misreads a prepend
        }
        name += extension;
        if (taken.count(name))
            continue;
        std::string there = texturesDir + "/" + name;
        std::error_code error;
        if (!std::filesystem::exists(there, error)) {
            taken.insert(name);
            reused = false;
            return name;
        }
        if (std::filesystem::is_regular_file(there, error) && fileBytes(there) == bytes) {
            taken.insert(name);
            reused = true;
            return name;
        }
    }
}

} // namespace

std::vector<PictureOut> convertPictures(const aiScene& scene, const ImportedScene& imported,
                                        const std::string& sceneDir, const std::string& texturesDir,
                                        const std::string& scratchDir,
                                        std::vector<std::string>& notes) {
    std::vector<PictureOut> out(imported.pictures.size());
    if (out.empty())
        return out;
    ilInit();
    ilEnable(IL_FILE_OVERWRITE);
    ilSetInteger(IL_JPG_QUALITY, JPEG_QUALITY);
    ILuint image = ilGenImage();
    ilBindImage(image);
    std::set<std::string> taken;
    for (size_t i = 0; i < out.size(); i++) {
        const PictureSource& source = imported.pictures[i];
        std::string label = source.embedded >= 0 ? "embedded picture " + source.stem : source.file;
        std::string why;
        if (!loadSource(scene, source, sceneDir, why)) {
            notes.push_back("picture " + label + " left out: " + why);
            continue;
        }
        int width = ilGetInteger(IL_IMAGE_WIDTH), height = ilGetInteger(IL_IMAGE_HEIGHT);
        if (width <= 0 || height <= 0 || width > MAX_PICTURE_SIDE || height > MAX_PICTURE_SIDE ||
            ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE) != IL_TRUE) {
            notes.push_back("picture " + label + " left out: its size is not one the player takes");
            continue;
        }
        out[i].alpha = hasAlpha();
        std::string extension = out[i].alpha ? ".tga" : ".jpg";
        std::string scratch = scratchDir + "/picture" + std::to_string(i) + extension;
        if ((!out[i].alpha && ilConvertImage(IL_RGB, IL_UNSIGNED_BYTE) != IL_TRUE) ||
            ilSave(out[i].alpha ? IL_TGA : IL_JPG, scratch.c_str()) != IL_TRUE) {
            notes.push_back("picture " + label + " left out: it could not be written");
            continue;
        }
        bool reused = false;
        out[i].name =
            freeName(texturesDir, source.stem, extension, fileBytes(scratch), taken, reused);
        out[i].scratch = reused ? "" : scratch;
    }
    ilDeleteImage(image);
    return out;
}
