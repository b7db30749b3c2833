// Picture checks: the loading of one picture into the image library's bound image, refusing the
// loads that the library gets wrong, and the version check's message. Scene side: the image
// library only, no GL (the upload is render/texture).
#include <IL/il.h>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/file_map.h"
#include "scene/jpeg_check.h"
#include "scene/picture_check.h"

//----------------------------------------------------------------------------------
// Defines
//----------------------------------------------------------------------------------
#define PICTURE_HEADER_BYTES 65536 // where the sides of a picture are looked for
#define PIXELS_PER_FILE_BYTE 1024  // far more than any JPEG or Targa packs into one byte

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

// Empties the image library's error stack; true when it held an error.
static bool drainImageErrors() {
    bool any = false;
    while (ilGetError() != IL_NO_ERROR) {
        any = true;
    }
    return any;
}

// Big-endian and little-endian 16-bit values at p.
static int be16(const unsigned char* p) {
    return (p[0] << 8) | p[1];
}
static int le16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}

// The sides that a JPEG's frame header or a Targa's header claims, read before the library
// allocates for them. Returns false when the file can't be read or no header is found; sets
// `broken` for a JPEG whose segments run past the end of the file before its frame header (the
// library's reader skips past the end forever on those).
static bool pictureHeaderSides(const std::string& path, int& width, int& height, long& bytes,
                               bool& broken) {
    FILE* f = fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return false;
    }
    std::vector<unsigned char> head(PICTURE_HEADER_BYTES);
    size_t got = fread(head.data(), 1, head.size(), f);
    bool sized = fseek(f, 0, SEEK_END) == 0 && (bytes = ftell(f)) >= 0;
    fclose(f);
    const unsigned char* h = head.data();
    if (!sized || got < 2) {
        return false;
    }
    if (h[0] == 0xff && h[1] == 0xd8) {
        // JPEG: walk the marker segments to the first start of frame.
        size_t i = 2;
        while (i + 9 <= got) {
            if (h[i] != 0xff) {
                ++i; // the library's reader passes over stray bytes between segments too
                continue;
            }
            int marker = h[i + 1];
            bool frame = marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 &&
                         marker != 0xcc;
            if (frame) {
                height = be16(h + i + 5);
                width = be16(h + i + 7);
                return true;
            }
            if (marker == 0xff) {
                i += 1; // fill byte
            } else if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd8)) {
                i += 2;
            } else if (be16(h + i + 2) < 2) {
                broken = true; // a segment shorter than its own length field
                return false;
            } else {
                i += 2 + (size_t)be16(h + i + 2);
            }
        }
        broken = i + 9 > (size_t)bytes;
        return false;
    }
    if (got < 18) {
        return false;
    }
    size_t dot = path.rfind('.');
    if (dot != std::string::npos &&
        (path.compare(dot, 4, ".tga") == 0 || path.compare(dot, 4, ".TGA") == 0)) {
        // A colour map larger than the whole file makes the library allocate for it all the same.
        // The colour-mapped kinds (1, 9) read a map whatever byte 1 says, and the library keeps
        // the map length signed: from 0x8000 on it asks for gigabytes.
        const long mapBytes = (long)le16(h + 5) * ((h[7] + 7) / 8);
        const bool mapped = h[1] != 0 || h[2] == 1 || h[2] == 9;
        if (mapped && (mapBytes > bytes || le16(h + 5) >= 0x8000)) {
            broken = true;
            return false;
        }
        width = le16(h + 12);
        height = le16(h + 14);
        return true;
    }
    return false;
}

// True when the image library hands the file to its JPEG reader: always for its JPEG names (in
// any case), and by the start marker for the others (its fallback for names it doesn't know).
static bool readAsJpeg(const std::string& path) {
    size_t dot = path.rfind('.');
    std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
    for (char& c : ext) {
        c = (char)tolower((unsigned char)c);
    }
    if (ext == "jpg" || ext == "jpe" || ext == "jpeg" || ext == "jif" || ext == "jfif") {
        return true;
    }
    FILE* f = fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return false;
    }
    bool marked = fgetc(f) == 0xff && fgetc(f) == 0xd8;
    fclose(f);
    return marked;
}

// Loads the picture into the bound image and checks it: false when the load failed, left an
// error behind, or gave a size outside 1..maxSize (the Targa reader answers "loaded" for some
// damaged files with an absurd size, and uploading those crashes inside the library).
bool loadPictureChecked(const std::string& path, int maxSize) {
    // The image library would wait for ever on a FIFO and read /dev/zero to the end of memory.
    if (regularFileCheck(path) != 0) {
        return false;
    }
    // A damaged header can claim gigabytes of pixels that the library would try to allocate.
    int claimedWidth = 0;
    int claimedHeight = 0;
    long fileBytes = 0;
    bool broken = false;
    bool sided = pictureHeaderSides(path, claimedWidth, claimedHeight, fileBytes, broken);
    if (broken || (sided && (claimedWidth > maxSize || claimedHeight > maxSize ||
                             (uint64_t)claimedWidth * (uint64_t)claimedHeight >
                                 (uint64_t)fileBytes * PIXELS_PER_FILE_BYTE))) {
        return false;
    }
    if (readAsJpeg(path) && !jpegCheckDecodes(path, maxSize)) {
        return false;
    }
    drainImageErrors(); // an earlier caller's error must not fail this load
    if (!ilLoadImage(path.c_str())) {
        drainImageErrors();
        return false;
    }
    if (drainImageErrors()) {
        return false;
    }
    int width = ilGetInteger(IL_IMAGE_WIDTH);
    int height = ilGetInteger(IL_IMAGE_HEIGHT);
    return width > 0 && height > 0 && width <= maxSize && height <= maxSize;
}

// Prints the failure line of a picture.
void printTextureFailure(const std::string& path) {
    printf("%s : probl\xe8"
           "me lors du chargement de la texture --> texture d\xe9sactiv\xe9"
           "e !\n",
           path.c_str());
}
