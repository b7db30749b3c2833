// Textures: the image library's start-up and the upload of checked pictures. Render side.
#pragma once

#include <string>

// Checks the versions of IL, ILU and ILUT, then starts IL. Returns null, or the console text of
// the version problem (the player prints it and ends with status 1) when one is below 151.
const char* initImageLibrary();

// Loads one picture into the image already bound and uploads it. Returns the OpenGL texture
// name, or 0 when the picture can't be read, the library reports an error after the load,
// or the picture is larger than the GL accepts (nothing is uploaded then).
unsigned int loadPictureTexture(const std::string& path);

// A new image name of the image library, bound for the pictures that follow. Returns the name.
unsigned int bindNewImage();

// Loads the picture into the bound image and uploads it; a refused picture gets the failure line
// and 0.
unsigned int loadPictureOrReport(const std::string& path);

// A mesh's picture: a new image name, the picture loaded and uploaded, the image name released
// (each mesh keeps its own GL texture). Returns the texture name, or 0 when it is refused.
unsigned int uploadMeshPicture(const std::string& path);
