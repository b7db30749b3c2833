// Pictures of an imported scene converted with DevIL, named without overwriting anything.
// Import side: reads the scene's pictures (files beside it, or embedded), writes only into the
// scratch folder it is given.
#include "import/pictures.h"

#include <IL/il.h>
#include <algorithm>
#include <cctype>
#include <assimp/scene.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace fs = std::filesystem;

namespace {

#define JPEG_QUALITY 92 // high enough that converted pictures show no blocks on screen

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string lower(std::string text) {
    for (char& c : text)
        c = (char)std::tolower((unsigned char)c);
    return text;
}

// `path` with each part that is not there taken in another letter case when one is.
std::string anyCase(const fs::path& path) {
    fs::path out;
    std::error_code error;
    for (const fs::path& part : path) {
        fs::path wanted = out / part;
        if (out.empty() || fs::exists(wanted, error) || part == ".." || part == ".") {
            out = wanted;
            continue;
        }
        std::string name = lower(part.string());
        fs::path found;
        for (fs::directory_iterator it(out, error), end; !error && it != end; it.increment(error)) {
            if (lower(it->path().filename().string()) == name) {
                found = it->path();
                break;
            }
        }
        out = found.empty() ? wanted : found;
    }
    return out.string();
}

// Loads the picture into the bound DevIL image; `path` is where it was found. False with `why`.
bool loadSource(const aiScene& scene, const PictureSource& source, const std::string& sceneDir,
                std::string& path, std::string& why) {
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
    path = findPicture(sceneDir, source.file);
    std::error_code error;
    if (path.empty()) {
        why = "no such file beside the scene (" + sceneDir + "/" + source.file + ")";
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

std::string uriDecoded(const std::string& text) {
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

std::string findPicture(const std::string& sceneDir, const std::string& named) {
    std::string text = named;
    if (lower(text.substr(0, 7)) == "file://") {
        text = text.substr(7);
        text = text.substr(text[0] == '/' ? 0 : std::min(text.find('/'), text.size())); // host
    }
    std::string decoded = uriDecoded(text);
    std::replace(decoded.begin(), decoded.end(), '\\', '/');
    std::error_code error;
    auto beside = [&](const std::string& name) {
        fs::path p(name);
        return p.is_absolute() ? p : fs::path(sceneDir) / p;
    };
    std::vector<std::string> tries = {beside(named).string(), beside(decoded).string(),
                                      anyCase(beside(decoded))};
    // A folder that is not there: the picture beside the scene.
    tries.push_back(anyCase(fs::path(sceneDir) / fs::path(decoded).filename()));
    for (const std::string& path : tries) {
        if (!decoded.empty() && fs::is_regular_file(path, error))
            return path;
    }
    return "";
}

bool outsideFolder(const std::string& path, const std::string& folder) {
    std::error_code error;
    fs::path inside =
        fs::weakly_canonical(path, error).lexically_relative(fs::weakly_canonical(folder, error));
    return inside.empty() || *inside.begin() == "..";
}

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
        std::string why, path;
        if (!loadSource(scene, source, sceneDir, path, why)) {
            notes.push_back("picture " + label + " left out: " + why);
            continue;
        }
        if (!path.empty() && outsideFolder(path, sceneDir))
            notes.push_back("picture " + label + " is read from outside the scene's folder (" +
                            path + "): ship it with the scene if you mean to");
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
