// Damaged pictures are refused before the image library reads them (a miss hangs this test until
// the CTest timeout, or asks for gigabytes); a whole demo picture still loads.
#include <IL/il.h>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "scene/jpeg_check.h"
#include "scene/texture.h"
#include "unit/scene/test_files.h"

TEST(JpegCheck, DamagedPicturesAreRefusedUnderEveryJpegNameAndAWholeOnePasses) {
    // Found by fuzzing: the first two made the library's JPEG reader spin for ever, the Targa (a
    // colour-mapped kind that says it has no map, length read as negative) asked for 4 GB.
    const std::string frameThenEnd(
        "\xff\xd8\xff\xc0\x00\x11\x08\x00\x06\x00\x08\x03\x01\x22\x00\x03\xfc\xfc\x07\xef\x02\x3b"
        "\xff\xea\xfc\x07",
        26);
    const std::string tablesThenScan(
        "\xff\xd8\xfd\xfd\x03\x03\x10\x13\x0f\x10\x10\x10\xff\xc0\x00\x0b\x08\x00\x06\x00\x08\x01"
        "\x01\x11\x00\xff\xc4\x00\x14\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
        "\x00\x00\x01\xff\xc4\x00\x19\x10\x00\x01\x05\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
        "\x00\x00\x00\x02\xfc\xe9\xae\x6e\x00\x25\xff\xed\x01\xaf\x01\x00\x00\x3f\x00\x3f\xff\xff"
        "\xff\x0f\x00\xff\xe5\x3f\x01",
        95);
    const std::string negativeMap(
        "\x00\x00\x09\xff\xff\xff\xf6\x10\x00\x00\x00\x00\xe4\x00\x06\x00\x18\x00", 18);
    std::ostringstream read;
    read << std::ifstream("../../textures/bottom.jpg", std::ios::binary).rdbuf();
    const std::string good = read.str();
    ASSERT_GT(good.size(), 1000u);
    std::string badMarker = good;
    badMarker[3] = (char)0xda; // a scan before any frame
    const std::string damaged[] = {frameThenEnd,
                                   std::string(1, '\0') + frameThenEnd,
                                   tablesThenScan,
                                   std::string(1, '\0') +
                                       good, // a stray byte before the start marker
                                   badMarker,
                                   good.substr(0, 2),
                                   good.substr(0, 600),
                                   good.substr(0, good.size() / 2),
                                   good.substr(0, good.size() - 2), // everything but the end marker
                                   std::string("\xff\xd8", 2) + std::string(50, '\xff')};
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    const std::string dir = makeScratchDir();
    int n = 0;
    for (const std::string& bad : damaged) {
        writeTextFile(dir + "/bad", bad);
        EXPECT_FALSE(jpegCheckDecodes(dir + "/bad", 16384)) << "case " << n;
        // The library picks its JPEG reader by these names, and by the start marker for others.
        for (const char* ext : {".jpg", ".JPEG", ".jfif", ".dat"}) {
            std::string path = dir + "/bad" + std::to_string(n) + ext;
            writeTextFile(path, bad);
            EXPECT_FALSE(loadPictureChecked(path, 16384)) << "case " << n << ext;
        }
        ++n;
    }
    std::string largeMap = negativeMap + std::string(70000, '\0'); // the map fits in the file
    for (const std::string& bad : {negativeMap, largeMap}) {
        writeTextFile(dir + "/bad.tga", bad);
        EXPECT_FALSE(loadPictureChecked(dir + "/bad.tga", 16384)) << bad.size() << " bytes";
    }
    writeTextFile(dir + "/good.jpg", good);
    EXPECT_TRUE(jpegCheckDecodes(dir + "/good.jpg", 512));
    EXPECT_TRUE(loadPictureChecked(dir + "/good.jpg", 512));
    EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), 512);
    EXPECT_FALSE(jpegCheckDecodes(dir + "/good.jpg", 511)); // a side above the GL's limit
    ilDeleteImages(1, &image);
    removeScratchDir(dir);
}
