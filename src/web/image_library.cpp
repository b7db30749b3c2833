// Pictures for the web build: the image library's calls that render/ and scene/ make, answered
// with stb_image (JPEG, Targa, PNG) and a WebGL upload. Each image name holds one decoded picture,
// bottom row first as the desktop's library keeps it. Web back end only.
#include <GL/gl.h>
#include <IL/il.h>
#include <IL/ilu.h>
#include <IL/ilut.h>
#include <map>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_ONLY_TGA
#define STBI_ONLY_PNG
#define STBI_NO_STDIO_WARNINGS
#include <stb_image.h>

#include "scene/jpeg_check.h"
#include "web/webgl.h"

extern "C" void glGenTextures(GLsizei n, GLuint* textures);

//----------------------------------------------------------------------------------
// Local state
//----------------------------------------------------------------------------------
struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba; // bottom row first
};

struct ImageLibrary {
    std::map<ILuint, Picture> images;
    ILuint nextImage = 1;
    ILuint bound = 0;
    ILenum error = IL_NO_ERROR;
};
static ImageLibrary library; // written by this file only

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
ILint ilGetInteger(ILenum mode) {
    if (mode == IL_VERSION_NUM) {
        return IL_WEB_VERSION;
    }
    auto found = library.images.find(library.bound);
    if (found == library.images.end()) {
        return 0;
    }
    return mode == IL_IMAGE_WIDTH    ? found->second.width
           : mode == IL_IMAGE_HEIGHT ? found->second.height
                                     : 0;
}

ILint iluGetInteger(ILenum mode) {
    return mode == IL_VERSION_NUM ? IL_WEB_VERSION : 0;
}

ILint ilutGetInteger(ILenum mode) {
    return mode == IL_VERSION_NUM ? IL_WEB_VERSION : 0;
}

void ilInit() {
    stbi_set_flip_vertically_on_load(1);
}

ILboolean ilEnable(ILenum mode) {
    (void)mode; // palettes are always expanded
    return 1;
}

ILboolean ilutEnable(ILenum mode) {
    (void)mode;
    return 1;
}

ILboolean ilutRenderer(ILenum renderer) {
    return renderer == ILUT_OPENGL;
}

void ilGenImages(int count, ILuint* images) {
    for (int i = 0; i < count; i++) {
        images[i] = library.nextImage++;
        library.images[images[i]] = Picture{};
    }
}

void ilBindImage(ILuint image) {
    library.bound = image;
}

void ilDeleteImages(int count, const ILuint* images) {
    for (int i = 0; i < count; i++) {
        library.images.erase(images[i]);
    }
}

ILenum ilGetError() {
    const ILenum error = library.error;
    library.error = IL_NO_ERROR;
    return error;
}

ILboolean ilLoadImage(const char* path) {
    if (library.bound == 0) {
        library.error = IL_INVALID_VALUE;
        return 0;
    }
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(path, &width, &height, &channels, 4);
    if (pixels == nullptr) {
        library.error = IL_COULD_NOT_OPEN_FILE;
        return 0;
    }
    Picture& picture = library.images[library.bound];
    picture.width = width;
    picture.height = height;
    picture.rgba.assign(pixels, pixels + size_t(width) * size_t(height) * 4);
    stbi_image_free(pixels);
    return 1;
}

ILuint ilutGLBindTexImage() {
    auto found = library.images.find(library.bound);
    if (found == library.images.end() || found->second.rgba.empty()) {
        return 0;
    }
    const Picture& picture = found->second;
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    emscripten_glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.width, picture.height, 0, GL_RGBA,
                            GL_UNSIGNED_BYTE, picture.rgba.data());
    emscripten_glGenerateMipmap(GL_TEXTURE_2D);
    return texture;
}

// The desktop checks JPEGs with libjpeg before its library reads them; stb_image reads a damaged
// file to a clean failure, so a JPEG here only has to decode within the size limit.
bool jpegCheckDecodes(const std::string& path, int maxSize) {
    int width = 0, height = 0, channels = 0;
    if (!stbi_info(path.c_str(), &width, &height, &channels)) {
        return false;
    }
    return width >= 1 && height >= 1 && width <= maxSize && height <= maxSize;
}
