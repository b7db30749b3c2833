// Image textures: the image library's start-up and the loading of pictures into textures.
#pragma once

#include <string>

#include "scene/mesh.h"

// Checks the versions of IL, ILU and ILUT, then starts IL. Returns null, or the console text of
// the version problem (the player prints it and ends with status 1) when one is below 151.
const char* initImageLibrary();

// Returns the message of the version check for the three answers, or null when they pass.
// Split from initImageLibrary so that the check can be tested without the library.
const char* imageLibraryVersionProblem(int ilVersion, int iluVersion, int ilutVersion);

// Loads one picture into the image already bound and checks it, without uploading: false when
// the picture is not a regular file (a FIFO, a device) or can't be read, the library reports an
// error after the load, or a side is not in 1..maxSize. A header that claims a side above maxSize,
// or far more pixels than the file could hold, is refused before the library allocates for it; so
// is a file the library would read as a JPEG that does not decode cleanly with libjpeg (its reader
// hangs on some). Needs no GL context.
bool loadPictureChecked(const std::string& path, int maxSize);

// Loads one picture into the image already bound and uploads it. Returns the OpenGL texture
// name, or 0 when the picture can't be read, the library reports an error after the load,
// or the picture is larger than the GL accepts (nothing is uploaded then).
unsigned int loadPictureTexture(const std::string& path);

// Prints "<path> : problème lors du chargement de la texture --> texture désactivée !".
void printTextureFailure(const std::string& path);

// A mesh's picture: a new image name, the picture loaded and uploaded, the image name released
// (each mesh keeps its own GL texture). Returns the texture name,
// or 0 when it is refused.
unsigned int uploadMeshPicture(const std::string& path);
