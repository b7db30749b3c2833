// Pictures without a GL context: the image library's version check, and damaged pictures refused
// before the library reads them (a miss hangs until the CTest timeout or asks for gigabytes).
#include <IL/il.h>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "scene/jpeg_check.h"
#include "scene/picture_check.h"
#include "support/test_files.h"

// A bottom-up uncompressed 24-bit Targa of the given sides with `pixels` pixels of data.
static std::string targa(int width, int height, int pixels) {
    std::string t(18, '\0');
    t[2] = 2;
    t[12] = (char)(width & 0xff), t[13] = (char)(width >> 8);
    t[14] = (char)(height & 0xff), t[15] = (char)(height >> 8);
    t[16] = 24;
    return t + std::string((size_t)pixels * 3, '\x7f');
}

TEST(ImageLibraryVersion, AnyAnswerBelow151StopsWithTheMessage) {
    const char* message = "Probl\xe8me de version de DevIL ... sortie !\n";
    const int answers[][4] = {{150, 178, 178, 1},
                              {178, 150, 178, 1},
                              {178, 178, 150, 1},
                              {-1, 151, 151, 1},
                              {151, 151, 151, 0}};
    for (auto& a : answers) {
        EXPECT_STREQ(imageLibraryVersionProblem(a[0], a[1], a[2]), a[3] ? message : nullptr)
            << a[0];
    }
}

TEST(PictureGuard, DamagedPicturesAreRefusedUnderEveryNameAndWholeOnesPass) {
    std::ostringstream read;
    read << std::ifstream("../../textures/bottom.jpg", std::ios::binary).rdbuf();
    const std::string good = read.str();
    ASSERT_GT(good.size(), 1000u);
    std::string badMarker = good, hugeJpeg = "\xff\xd8\xff\xc0", mapped = targa(8, 10, 11);
    badMarker[3] = (char)0xda; // a scan before any frame
    hugeJpeg += std::string("\x00\x11\x08\xea\x60\xea\x60\x03", 8) + std::string(40, '\x01');
    mapped[1] = 1, mapped[5] = 0x06, mapped[6] = (char)0x8d, mapped[7] = 24; // 36102 entries
    const std::string negativeMap( // colour-mapped without a map: its length read as negative
        "\x00\x00\x09\xff\xff\xff\xf6\x10\x00\x00\x00\x00\xe4\x00\x06\x00\x18\x00", 18);
    // Found by fuzzing: the JPEGs below made the library's reader spin for ever, the Targas made it
    // ask for gigabytes.
    const std::string frameThenEnd(
        "\xff\xd8\xff\xc0\x00\x11\x08\x00\x06\x00\x08\x03\x01\x22\x00\x03\xfc\xfc\x07\xef\x02\x3b"
        "\xff\xea\xfc\x07",
        26);
    const std::string jpegs[] = {
        frameThenEnd,
        std::string(1, '\0') + frameThenEnd,
        std::string("\xff\xd8\xfd\xfd\x03\x03\x10\x13\x0f\x10\x10\x10\xff\xc0\x00\x0b\x08\x00\x06"
                    "\x00\x08\x01\x01\x11\x00\xff\xc4\x00\x14\x00\x01\x00\x00\x00\x00\x00\x00\x00"
                    "\x00\x00\x00\x00\x00\x00\x00\x00\x01\xff\xc4\x00\x19\x10\x00\x01\x05\x00\x00"
                    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\xfc\xe9\xae\x6e\x00\x25"
                    "\xff\xed\x01\xaf\x01\x00\x00\x3f\x00\x3f\xff\xff\xff\x0f\x00\xff\xe5\x3f\x01",
                    95),
        std::string("\xff\xd8\xe3\xff\xe0\x3a\x01\x01\x34\x33\x00\xff\xff\xff\xff\x10\x0a\x0c\x12"
                    "\xff\xdb",
                    21), // a first segment claiming 14849 bytes
        std::string("\xff\xd8\xff\xe0\x00\x00\x23\x00\x29\x19\x1f\xf6\xff\xfe\x2d\x27", 16),
        hugeJpeg, // a frame of 60000 x 60000
        std::string(1, '\0') + good,
        badMarker,
        good.substr(0, 2),
        good.substr(0, 600),
        good.substr(0, good.size() - 2), // everything but the end marker
        std::string("\xff\xd8", 2) + std::string(50, '\xff')};
    const std::pair<std::string, int> targas[] = {
        // with the GL's limit on sides
        {std::string("\x00\x00\x0a\x00\x00\x00\x00\x00\x00\xff\x33\x00\xcc\x66\x00\x99\x18\x00\x87"
                     "\x00\x00\xff\x87\x33\x00\xcc\x87\x66\x00\x99\x87\x99\x00\x66\x87\xcc\x00\x33"
                     "\x87\xff\x00\x00",
                     42),
         65535}, // claims 26316 x 39168
        {targa(16000, 16000, 27), 16384},
        {mapped, 65535},
        {negativeMap, 65535},
        {negativeMap + std::string(70000, '\0'), 65535},
        {targa(65, 1, 65), 64},
        {targa(1, 65, 65), 64},
        {targa(0, 3, 0), 64}};
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    const std::string dir = makeScratchDir();
    int n = 0;
    for (const std::string& bad : jpegs) {
        writeTextFile(dir + "/bad", bad);
        EXPECT_FALSE(jpegCheckDecodes(dir + "/bad", 65535)) << "jpeg " << n;
        // The library picks its JPEG reader by these names, and by the start marker for others.
        for (const char* ext : {".jpg", ".JPEG", ".jfif", ".dat"}) {
            const std::string path = dir + "/bad" + std::to_string(n) + ext;
            writeTextFile(path, bad);
            EXPECT_FALSE(loadPictureChecked(path, 65535)) << "jpeg " << n << ext;
        }
        ++n;
    }
    for (const auto& [bad, limit] : targas) {
        writeTextFile(dir + "/bad.tga", bad);
        EXPECT_FALSE(loadPictureChecked(dir + "/bad.tga", limit)) << "targa " << n++;
    }
    writeTextFile(dir + "/ok.tga", targa(4, 3, 12));
    EXPECT_TRUE(loadPictureChecked(dir + "/ok.tga", 64));
    writeTextFile(dir + "/good.jpg", good);
    EXPECT_TRUE(jpegCheckDecodes(dir + "/good.jpg", 512) &&
                loadPictureChecked(dir + "/good.jpg", 512) && ilGetInteger(IL_IMAGE_WIDTH) == 512);
    EXPECT_FALSE(jpegCheckDecodes(dir + "/good.jpg", 511)); // a side above the GL's limit
    ilDeleteImages(1, &image);
    removeScratchDir(dir);
}
