// Damaged JPEGs are refused before the image library reads them (a miss hangs this test until
// the CTest timeout); a whole demo picture still loads.
#include <IL/il.h>
#include <string>

#include <gtest/gtest.h>

#include "scene/jpeg_check.h"
#include "scene/texture.h"
#include "unit/scene/test_files.h"

static std::string bytes(const unsigned char* b, size_t n) {
    return std::string((const char*)b, n);
}

static std::string readFile(const std::string& path) {
    std::string out;
    FILE* f = fopen(path.c_str(), "rb");
    EXPECT_NE(f, nullptr) << path;
    for (int c; f != nullptr && (c = fgetc(f)) != EOF;) {
        out += (char)c;
    }
    if (f != nullptr) {
        fclose(f);
    }
    return out;
}

TEST(JpegCheck, DamagedPicturesAreRefusedUnderEveryJpegNameAndAWholeOnePasses) {
    // Found by fuzzing: each made the library's reader spin for ever.
    const unsigned char frameThenEnd[] = {0xff, 0xd8, 0xff, 0xc0, 0x00, 0x11, 0x08, 0x00, 0x06,
                                          0x00, 0x08, 0x03, 0x01, 0x22, 0x00, 0x03, 0xfc, 0xfc,
                                          0x07, 0xef, 0x02, 0x3b, 0xff, 0xea, 0xfc, 0x07};
    const unsigned char tablesThenScan[] = {
        0xff, 0xd8, 0xfd, 0xfd, 0x03, 0x03, 0x10, 0x13, 0x0f, 0x10, 0x10, 0x10, 0xff, 0xc0,
        0x00, 0x0b, 0x08, 0x00, 0x06, 0x00, 0x08, 0x01, 0x01, 0x11, 0x00, 0xff, 0xc4, 0x00,
        0x14, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x01, 0xff, 0xc4, 0x00, 0x19, 0x10, 0x00, 0x01, 0x05, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02,
        0xfc, 0xe9, 0xae, 0x6e, 0x00, 0x25, 0xff, 0xed, 0x01, 0xaf, 0x01, 0x00, 0x00, 0x3f,
        0x00, 0x3f, 0xff, 0xff, 0xff, 0x0f, 0x00, 0xff, 0xe5, 0x3f, 0x01};
    const std::string good = readFile("../../textures/bottom.jpg");
    ASSERT_GT(good.size(), 1000u);
    std::string badMarker = good;
    badMarker[3] = (char)0xda; // a scan before any frame
    std::string damaged[] = {
        bytes(frameThenEnd, sizeof frameThenEnd),
        std::string(1, '\0') + bytes(frameThenEnd, sizeof frameThenEnd),
        bytes(tablesThenScan, sizeof tablesThenScan),
        std::string(1, '\0') + good, // a stray byte before the start marker
        badMarker,
        good.substr(0, 2),
        good.substr(0, 600),
        good.substr(0, good.size() / 2),
        good.substr(0, good.size() - 2), // everything but the end marker
        std::string("\xff\xd8", 2) + std::string(50, '\xff'),
    };
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    const std::string dir = makeScratchDir();
    int n = 0;
    for (const std::string& bad : damaged) {
        writeTextFile(dir + "/bad", bad);
        EXPECT_FALSE(jpegCheckDecodes(dir + "/bad", 16384)) << "case " << n;
        // DevIL picks its JPEG reader by these names, and by the start marker for unknown ones.
        for (const char* ext : {".jpg", ".JPEG", ".jfif", ".dat"}) {
            std::string path = dir + "/bad" + std::to_string(n) + ext;
            writeTextFile(path, bad);
            EXPECT_FALSE(loadPictureChecked(path, 16384)) << "case " << n << ext;
        }
        ++n;
    }
    writeTextFile(dir + "/good.jpg", good);
    EXPECT_TRUE(jpegCheckDecodes(dir + "/good.jpg", 512));
    EXPECT_TRUE(loadPictureChecked(dir + "/good.jpg", 512));
    EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), 512);
    // Sides above the GL's limit are refused before decoding.
    EXPECT_FALSE(jpegCheckDecodes(dir + "/good.jpg", 511));
    ilDeleteImages(1, &image);
    removeScratchDir(dir);
}

TEST(JpegCheck, TargaColourMapReadAsNegativeIsRefusedToo) {
    // Found by fuzzing next to the JPEG hangs: a colour-mapped Targa that says it has no map,
    // with a map length the library reads as negative; it asked for 4 GB.
    const unsigned char found[] = {0x00, 0x00, 0x09, 0xff, 0xff, 0xff, 0xf6, 0x10, 0x00,
                                   0x00, 0x00, 0x00, 0xe4, 0x00, 0x06, 0x00, 0x18, 0x00};
    const std::string dir = makeScratchDir();
    writeTextFile(dir + "/found.tga", bytes(found, sizeof found));
    std::string large(70000, '\0');
    large.replace(0, 18, bytes(found, sizeof found));
    writeTextFile(dir + "/large.tga", large); // a map that fits in the file, still read as negative
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    EXPECT_FALSE(loadPictureChecked(dir + "/found.tga", 16384));
    EXPECT_FALSE(loadPictureChecked(dir + "/large.tga", 16384));
    ilDeleteImages(1, &image);
    removeScratchDir(dir);
}
