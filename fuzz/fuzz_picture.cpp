// Fuzz target: damaged pictures through the project's picture loading (load and size guard, no
// upload). The first byte chooses the kind: even a JPEG, odd a Targa; the rest is the file.
#include <IL/il.h>
#include <string>

#include "base/map_format.h"
#include "fuzz_scratch.h"
#include "scene/picture_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    static bool started = false;
    static ILuint image = 0;
    if (!started) {
        ilInit();
        ilGenImages(1, &image);
        started = true;
    }
    if (size == 0) {
        return 0;
    }
    std::string path = scratchDir() + ((data[0] & 1) ? "picture.tga" : "picture.jpg");
    if (!writeScratchFile(path, data + 1, size - 1)) {
        return 0;
    }
    ilBindImage(image);
    if (loadPictureChecked(path, MAX_PICTURE_SIDE)) {
        // A picture that passed is whole: its bytes can be read to the last one.
        const ILubyte* pixels = ilGetData();
        int bytes = ilGetInteger(IL_IMAGE_SIZE_OF_DATA);
        volatile unsigned sum = 0;
        for (int i = 0; pixels != nullptr && i < bytes; i += 97) {
            sum = sum + pixels[i];
        }
    }
    return 0;
}
