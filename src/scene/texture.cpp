// Image textures: the image library's version check and start-up, and the loading of one
// picture into an OpenGL texture, refusing the loads that the library gets wrong.
#define ILUT_USE_OPENGL // declares ilutGLBindTexImage
#include <IL/il.h>
#include <IL/ilu.h>
#include <IL/ilut.h>
#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>

#include "scene/texture.h"

//----------------------------------------------------------------------------------
// Defines
//----------------------------------------------------------------------------------
#define IMAGE_LIBRARY_MIN_VERSION 151 // lowest version of IL, ILU and ILUT accepted
#define IMAGE_VERSION_QUERY 0x0DE2    // IL_VERSION_NUM, ILU_VERSION_NUM, ILUT_VERSION_NUM

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------

// The version message when one of the three answers is too low, else null.
const char* imageLibraryVersionProblem(int ilVersion, int iluVersion, int ilutVersion) {
    if (ilVersion < IMAGE_LIBRARY_MIN_VERSION || iluVersion < IMAGE_LIBRARY_MIN_VERSION ||
        ilutVersion < IMAGE_LIBRARY_MIN_VERSION) {
        return "Probl\xe8"
               "me de version de DevIL ... sortie !\n";
    }
    return nullptr;
}

// Asks IL, ILU and ILUT for their versions in that order, stopping the process at the first
// one too old; then starts IL.
void initImageLibrary() {
    const int ok = IMAGE_LIBRARY_MIN_VERSION;
    const char* problem = imageLibraryVersionProblem(ilGetInteger(IMAGE_VERSION_QUERY), ok, ok);
    if (problem == nullptr) {
        problem = imageLibraryVersionProblem(ok, iluGetInteger(IMAGE_VERSION_QUERY), ok);
    }
    if (problem == nullptr) {
        problem = imageLibraryVersionProblem(ok, ok, ilutGetInteger(IMAGE_VERSION_QUERY));
    }
    if (problem != nullptr) {
        printf("%s", problem);
        fflush(stdout);
        exit(1);
    }
    ilInit();
}

// Empties the image library's error stack; true when it held an error.
static bool drainImageErrors() {
    bool any = false;
    while (ilGetError() != IL_NO_ERROR) {
        any = true;
    }
    return any;
}

// Loads the picture into the bound image and uploads it; 0 when the load failed, left an
// error behind, or gave a size the GL can't take (the Targa reader answers "loaded" for some
// damaged files with an absurd size, and uploading those crashes inside the library).
unsigned int loadPictureTexture(const std::string& path) {
    drainImageErrors(); // an earlier caller's error must not fail this load
    if (!ilLoadImage(path.c_str())) {
        drainImageErrors();
        return 0;
    }
    if (drainImageErrors()) {
        return 0;
    }
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    int width = ilGetInteger(IL_IMAGE_WIDTH);
    int height = ilGetInteger(IL_IMAGE_HEIGHT);
    if (width <= 0 || height <= 0 || width > maxSize || height > maxSize) {
        return 0;
    }
    // This DevIL uploads an empty texture until its OpenGL renderer has been selected.
    ilutRenderer(ILUT_OPENGL);
    return ilutGLBindTexImage();
}

// Prints the failure line of a picture.
void printTextureFailure(const std::string& path) {
    printf("%s : probl\xe8"
           "me lors du chargement de la texture --> texture d\xe9sactiv\xe9"
           "e !\n",
           path.c_str());
}

// Loads a mesh's picture into a new image name; on failure the mesh goes untextured and its
// texture field is left as it was.
void loadMeshTexture(const std::string& path, Mesh& mesh) {
    printf("\t\tChargement de la texture %s ...\n", path.c_str());
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    unsigned int texture = loadPictureTexture(path);
    if (texture == 0) {
        printTextureFailure(path);
        mesh.textured = 0;
        return;
    }
    mesh.texture = texture;
}
