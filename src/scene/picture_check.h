// Picture checks: one picture loaded into the image library and checked before anything is
// uploaded, the version check's message and the failure line. Scene side: no GL.
#pragma once

#include <string>

#define IMAGE_LIBRARY_MIN_VERSION 151 // lowest version of IL, ILU and ILUT accepted

// Returns the message of the version check for the three answers, or null when they pass.
// Split from initImageLibrary so that the check can be tested without the library.
const char* imageLibraryVersionProblem(int ilVersion, int iluVersion, int ilutVersion);

// Loads one picture into the image already bound and checks it, without uploading: false when
// the picture is not a regular file (a FIFO, a device) or can't be read, the library reports an error after the load, or a side is not in
// 1..maxSize. A header that claims a side above maxSize, or far more pixels than the file could
// hold, is refused before the library allocates for it; so is a file the library would read as a
// JPEG that does not decode cleanly with libjpeg (its reader hangs on some). Needs no GL context.
bool loadPictureChecked(const std::string& path, int maxSize);

// Prints "<path> : probl\xe8me lors du chargement de la texture --> texture d\xe9sactiv\xe9e !".
void printTextureFailure(const std::string& path);
