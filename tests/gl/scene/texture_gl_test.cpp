// Picture loading in a real GL context: Targa and JPEG files made here become textures of the
// right size; missing, damaged and oversized pictures are refused with the failure line.
#include <IL/il.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "scene/texture.h"

namespace {

const char* failureTail = " : probl\xe8"
                          "me lors du chargement de la texture --> texture d\xe9sactiv\xe9"
                          "e !\n";

// Writes a Targa file: 18-byte header, then the given data bytes as they are.
void writeTarga(const std::string& path, int type, int width, int height, int bitsPerPixel,
                const std::vector<unsigned char>& data) {
    unsigned char header[18] = {0};
    header[2] = static_cast<unsigned char>(type); // 2: true colour, 10: run-length true colour
    header[12] = width & 0xff;
    header[13] = (width >> 8) & 0xff;
    header[14] = height & 0xff;
    header[15] = (height >> 8) & 0xff;
    header[16] = static_cast<unsigned char>(bitsPerPixel);
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fwrite(header, 1, sizeof header, file);
    fwrite(data.data(), 1, data.size(), file);
    fclose(file);
}

// Pixels of a picture in one colour, in Targa's blue-green-red order.
std::vector<unsigned char> solidBgr(int width, int height, unsigned char r, unsigned char g,
                                    unsigned char b) {
    std::vector<unsigned char> data;
    for (int i = 0; i < width * height; ++i) {
        data.insert(data.end(), {b, g, r});
    }
    return data;
}

// Writes a JPEG of one colour through the image library's own encoder, in a scratch image.
void writeJpeg(const std::string& path, int width, int height, unsigned char r, unsigned char g,
               unsigned char b) {
    std::vector<unsigned char> rgb;
    for (int i = 0; i < width * height; ++i) {
        rgb.insert(rgb.end(), {r, g, b});
    }
    ILuint scratch = 0;
    ilGenImages(1, &scratch);
    ilBindImage(scratch);
    ASSERT_TRUE(ilTexImage(width, height, 1, 3, IL_RGB, IL_UNSIGNED_BYTE, rgb.data()));
    ASSERT_TRUE(ilSave(IL_JPG, path.c_str()));
    ilDeleteImages(1, &scratch);
}

struct TextureSize {
    int width, height;
};

// Size of level 0 of a texture.
TextureSize textureSize(unsigned int texture) {
    TextureSize size = {0, 0};
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size.height);
    return size;
}

// First texel of a texture as RGB.
std::vector<int> firstTexel(unsigned int texture, const TextureSize& size) {
    if (size.width <= 0 || size.height <= 0) {
        return {};
    }
    std::vector<unsigned char> pixels(size.width * size.height * 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return {pixels[0], pixels[1], pixels[2]};
}

// Loads a mesh texture and returns what it printed.
std::string loadPrinted(const std::string& path, Mesh& mesh) {
    testing::internal::CaptureStdout();
    loadMeshTexture(path, mesh);
    return testing::internal::GetCapturedStdout();
}

struct PictureTexture : testing::Test {
    std::string dir;
    static void SetUpTestSuite() {
        ilInit();
    }
    void SetUp() override {
        char pattern[] = "/tmp/skarn-texture-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::string command = "rm -rf '" + dir + "'";
        EXPECT_EQ(system(command.c_str()), 0);
    }
    Mesh texturedMesh() {
        Mesh mesh;
        mesh.textured = 1;
        mesh.texture = 77; // a value the loader must keep on failure
        return mesh;
    }
};

TEST_F(PictureTexture, TargaBecomesATextureOfItsSize) {
    writeTarga(dir + "/wall.tga", 2, 6, 4, 24, solidBgr(6, 4, 200, 40, 10));
    Mesh mesh = texturedMesh();
    std::string out = loadPrinted(dir + "/wall.tga", mesh);
    EXPECT_EQ(out, "\t\tChargement de la texture " + dir + "/wall.tga ...\n");
    EXPECT_EQ(mesh.textured, 1);
    ASSERT_NE(mesh.texture, 0u);
    ASSERT_NE(mesh.texture, 77u);
    TextureSize size = textureSize(mesh.texture);
    EXPECT_EQ(size.width, 6);
    EXPECT_EQ(size.height, 4);
    EXPECT_EQ(firstTexel(mesh.texture, size), (std::vector<int>{200, 40, 10}));
}

TEST_F(PictureTexture, JpegBecomesATextureOfItsSize) {
    writeJpeg(dir + "/sky.jpg", 16, 8, 30, 90, 220);
    Mesh mesh = texturedMesh();
    loadPrinted(dir + "/sky.jpg", mesh);
    EXPECT_EQ(mesh.textured, 1);
    ASSERT_NE(mesh.texture, 77u);
    ASSERT_NE(mesh.texture, 0u);
    TextureSize size = textureSize(mesh.texture);
    EXPECT_EQ(size.width, 16);
    EXPECT_EQ(size.height, 8);
    std::vector<int> texel = firstTexel(mesh.texture, size);
    ASSERT_EQ(texel.size(), 3u);
    EXPECT_NEAR(texel[0], 30, 8);
    EXPECT_NEAR(texel[1], 90, 8);
    EXPECT_NEAR(texel[2], 220, 8);
}

TEST_F(PictureTexture, MissingFilePrintsBothLinesAndDropsTheTexture) {
    Mesh mesh = texturedMesh();
    std::string path = dir + "/none.tga";
    std::string out = loadPrinted(path, mesh);
    EXPECT_EQ(out, "\t\tChargement de la texture " + path + " ...\n" + path + failureTail);
    EXPECT_EQ(mesh.textured, 0);
    EXPECT_EQ(mesh.texture, 77u);
}

TEST_F(PictureTexture, DamagedTargaIsRefusedAndTheNextLoadWorks) {
    // A true-colour header of 40000 x 40000 with a few bytes of data: the library answers
    // "loaded" with its error state set.
    writeTarga(dir + "/broken.tga", 2, 40000, 40000, 24, std::vector<unsigned char>(100, 0));
    Mesh mesh = texturedMesh();
    std::string out = loadPrinted(dir + "/broken.tga", mesh);
    EXPECT_EQ(out, "\t\tChargement de la texture " + dir + "/broken.tga ...\n" + dir +
                       "/broken.tga" + failureTail);
    EXPECT_EQ(mesh.textured, 0);
    EXPECT_EQ(mesh.texture, 77u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    writeTarga(dir + "/good.tga", 2, 2, 2, 24, solidBgr(2, 2, 1, 2, 3));
    Mesh good = texturedMesh();
    loadPrinted(dir + "/good.tga", good);
    EXPECT_EQ(good.textured, 1);
    EXPECT_NE(good.texture, 77u);
}

TEST_F(PictureTexture, TruncatedTargaOfSmallSizeIsRefusedByTheErrorState) {
    writeTarga(dir + "/short.tga", 2, 64, 64, 24, std::vector<unsigned char>(100, 0x40));
    Mesh mesh = texturedMesh();
    std::string out = loadPrinted(dir + "/short.tga", mesh);
    EXPECT_NE(out.find(failureTail), std::string::npos) << out;
    EXPECT_EQ(mesh.textured, 0);
}

TEST_F(PictureTexture, OversizedPictureWithoutErrorIsRefused) {
    // Run-length data: the library reports no error, but the size is beyond the GL's limit.
    writeTarga(dir + "/wide.tga", 10, 40000, 2, 24, std::vector<unsigned char>(100, 0xff));
    Mesh mesh = texturedMesh();
    std::string out = loadPrinted(dir + "/wide.tga", mesh);
    EXPECT_NE(out.find(failureTail), std::string::npos) << out;
    EXPECT_EQ(mesh.textured, 0);
    EXPECT_EQ(mesh.texture, 77u);
}

TEST_F(PictureTexture, EarlierLibraryErrorDoesNotFailALoad) {
    writeTarga(dir + "/wall.tga", 2, 2, 2, 24, solidBgr(2, 2, 9, 9, 9));
    ilGetInteger(0xFFFF); // leaves an invalid-enum error on the library's stack
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    EXPECT_NE(loadPictureTexture(dir + "/wall.tga"), 0u);
}

TEST_F(PictureTexture, TwoMeshesNamingOneFileGetTwoTextures) {
    writeTarga(dir + "/bark.tga", 2, 4, 4, 24, solidBgr(4, 4, 90, 60, 30));
    Mesh first = texturedMesh();
    Mesh second = texturedMesh();
    loadPrinted(dir + "/bark.tga", first);
    loadPrinted(dir + "/bark.tga", second);
    EXPECT_NE(first.texture, 0u);
    EXPECT_NE(second.texture, 0u);
    EXPECT_NE(first.texture, 77u);
    EXPECT_NE(first.texture, second.texture);
    EXPECT_EQ(glIsTexture(first.texture), GL_TRUE);
    EXPECT_EQ(glIsTexture(second.texture), GL_TRUE);
}

} // namespace
