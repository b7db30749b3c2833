// Picture loading without a GL context: the image library's version check, whole pictures pass
// the guard, damaged ones whose headers claim huge sides are refused before the library allocates.
#include <IL/il.h>
#include <string>

#include <gtest/gtest.h>

#include "scene/texture.h"
#include "unit/scene/test_files.h"

// A bottom-up uncompressed 24-bit Targa of the given sides with `pixels` pixels of data.
static std::string targa(int width, int height, int pixels) {
    std::string t(18, '\0');
    t[2] = 2;
    t[12] = (char)(width & 0xff);
    t[13] = (char)(width >> 8);
    t[14] = (char)(height & 0xff);
    t[15] = (char)(height >> 8);
    t[16] = 24;
    return t + std::string((size_t)pixels * 3, '\x7f');
}

// Loads `bytes` saved as `name` in a scratch directory through the guard.
static bool loadBytes(const std::string& name, const std::string& bytes, int maxSize) {
    static bool started = false;
    if (!started) {
        ilInit();
        started = true;
    }
    std::string dir = makeScratchDir();
    writeTextFile(dir + "/" + name, bytes);
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    bool ok = loadPictureChecked(dir + "/" + name, maxSize);
    ilDeleteImages(1, &image);
    removeScratchDir(dir);
    return ok;
}

TEST(ImageLibraryVersion, AnyAnswerBelow151StopsWithTheMessage) {
    const char* message = "Probl\xe8"
                          "me de version de DevIL ... sortie !\n";
    int answers[][4] = {{150, 178, 178, 1},
                        {178, 150, 178, 1},
                        {178, 178, 150, 1},
                        {-1, 151, 151, 1},
                        {151, 151, 151, 0}};
    for (auto& a : answers) {
        EXPECT_STREQ(imageLibraryVersionProblem(a[0], a[1], a[2]), a[3] ? message : nullptr)
            << a[0] << " " << a[1] << " " << a[2];
    }
}

TEST(PictureGuard, WholeTargaPassesAndSidesAboveTheLimitAreRefused) {
    EXPECT_TRUE(loadBytes("ok.tga", targa(4, 3, 12), 64));
    for (std::string bad : {targa(65, 1, 65), targa(1, 65, 65), targa(0, 3, 0)}) {
        EXPECT_FALSE(loadBytes("bad.tga", bad, 64));
    }
}

TEST(PictureGuard, HeadersClaimingGigabytesAreRefusedBeforeLoading) {
    // Found by fuzzing: a 42-byte Targa whose header claims 26316 x 39168 pixels made the
    // library ask for 3 GB.
    const unsigned char found[] = {0x00, 0x00, 0x0a, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0x33,
                                   0x00, 0xcc, 0x66, 0x00, 0x99, 0x18, 0x00, 0x87, 0x00, 0x00, 0xff,
                                   0x87, 0x33, 0x00, 0xcc, 0x87, 0x66, 0x00, 0x99, 0x87, 0x99, 0x00,
                                   0x66, 0x87, 0xcc, 0x00, 0x33, 0x87, 0xff, 0x00, 0x00};
    std::string bytes((const char*)found, sizeof found);
    EXPECT_FALSE(loadBytes("found.tga", bytes, 65535));
    // Within the GL's limit but far more pixels than 100 bytes could hold.
    EXPECT_FALSE(loadBytes("sparse.tga", targa(16000, 16000, 27), 16384));
    // A JPEG frame header claiming 60000 x 60000 pixels.
    std::string jpeg = "\xff\xd8\xff\xc0";
    jpeg += std::string("\x00\x11\x08\xea\x60\xea\x60\x03", 8) + std::string(40, '\x01');
    EXPECT_FALSE(loadBytes("huge.jpg", jpeg, 65535));

    // Found by fuzzing: a 21-byte JPEG whose first segment claims 14849 bytes hung the
    // library's reader.
    const unsigned char hung[] = {0xff, 0xd8, 0xe3, 0xff, 0xe0, 0x3a, 0x01, 0x01, 0x34, 0x33, 0x00,
                                  0xff, 0xff, 0xff, 0xff, 0x10, 0x0a, 0x0c, 0x12, 0xff, 0xdb};
    EXPECT_FALSE(loadBytes("hung.jpg", std::string((const char*)hung, sizeof hung), 65535));
    // Also found by fuzzing: a segment of length 0 after the start marker hung it too, and a
    // Targa colour map of 36102 entries in a 53-byte file made it ask for 4 GB.
    const unsigned char zero[] = {0xff, 0xd8, 0xff, 0xe0, 0x00, 0x00, 0x23, 0x00,
                                  0x29, 0x19, 0x1f, 0xf6, 0xff, 0xfe, 0x2d, 0x27};
    EXPECT_FALSE(loadBytes("zero.jpg", std::string((const char*)zero, sizeof zero), 65535));
    std::string mapped = targa(8, 10, 11);
    mapped[1] = 1; // colour-mapped, map of 0x8d06 entries of 24 bits
    mapped[5] = 0x06;
    mapped[6] = (char)0x8d;
    mapped[7] = 24;
    EXPECT_FALSE(loadBytes("mapped.tga", mapped, 65535));
}
