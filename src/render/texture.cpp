// Textures: the image library's start-up and the upload of checked pictures into OpenGL
// textures. Render side: calls GL and the image library's GL part.
#define ILUT_USE_OPENGL // declares ilutGLBindTexImage
#include <IL/il.h>
#include <IL/ilu.h>
#include <IL/ilut.h>
#include <GL/gl.h>

#include "render/texture.h"
#include "scene/picture_check.h"

#define IMAGE_VERSION_QUERY 0x0DE2 // IL_VERSION_NUM, ILU_VERSION_NUM, ILUT_VERSION_NUM

// Asks IL, ILU and ILUT for their versions in that order, stopping at the first one too old;
// then starts IL.
const char* initImageLibrary() {
    const int ok = IMAGE_LIBRARY_MIN_VERSION;
    const char* problem = imageLibraryVersionProblem(ilGetInteger(IMAGE_VERSION_QUERY), ok, ok);
    if (problem == nullptr) {
        problem = imageLibraryVersionProblem(ok, iluGetInteger(IMAGE_VERSION_QUERY), ok);
    }
    if (problem == nullptr) {
        problem = imageLibraryVersionProblem(ok, ok, ilutGetInteger(IMAGE_VERSION_QUERY));
    }
    if (problem != nullptr) {
        return problem;
    }
    ilInit();
    return nullptr;
}

// Loads and checks the picture against the GL's largest texture, then uploads it.
unsigned int loadPictureTexture(const std::string& path) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (!loadPictureChecked(path, maxSize)) {
        return 0;
    }
    // This DevIL uploads an empty texture until its OpenGL renderer has been selected.
    ilutRenderer(ILUT_OPENGL);
    return ilutGLBindTexImage();
}

unsigned int bindNewImage() {
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    return image;
}

unsigned int loadPictureOrReport(const std::string& path) {
    const unsigned int texture = loadPictureTexture(path);
    if (texture == 0) {
        printTextureFailure(path);
    }
    return texture;
}

// A mesh's picture in a new image name of its own, uploaded (the scene load reports a failure).
unsigned int uploadMeshPicture(const std::string& path) {
    const unsigned int image = bindNewImage();
    const unsigned int texture = loadPictureTexture(path);
    // The GL texture holds its own copy and nothing reads the image library's afterwards: kept,
    // it would cost one decoded picture per mention of the file.
    ilBindImage(0);
    ilDeleteImages(1, &image);
    return texture;
}
