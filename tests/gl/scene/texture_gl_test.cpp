// Picture loading in a real GL context: Targa and JPEG files made here become textures of the
// right size and colour; missing, damaged and oversized pictures are refused with the failure line.
#include <IL/il.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "scene/texture.h"
#include "unit/scene/test_files.h"

namespace {

// Writes a 24-bit Targa file of the given type (2 true colour, 10 run-length), then data as is.
void writeTarga(const std::string& path, int type, int width, int height, const std::string& data) {
    char header[18] = {0, 0, static_cast<char>(type)};
    header[12] = width & 0xff, header[13] = width >> 8, header[14] = height & 0xff;
    header[15] = height >> 8, header[16] = 24;
    std::ofstream(path, std::ios::binary) << std::string(header, 18) << data;
}

struct PictureTexture : testing::Test {
    std::string dir = makeScratchDir();
    static void SetUpTestSuite() {
        ilInit();
    }
    void TearDown() override {
        removeScratchDir(dir);
    }
    // Loads dir/name as a mesh texture; checks the loading line and returns what followed it.
    std::string load(const std::string& name, Mesh& mesh) {
        mesh.textured = 1;
        mesh.texture = 77; // a value the loader must keep on failure
        std::string out = printedBy([&] { loadMeshTexture(dir + "/" + name, mesh); });
        std::string line = "\t\tChargement de la texture " + dir + "/" + name + " ...\n";
        EXPECT_EQ(out.substr(0, line.size()), line);
        return out.substr(std::min(line.size(), out.size()));
    }
};

TEST_F(PictureTexture, TargaAndJpegBecomeTexturesOfTheirSizeAndColour) {
    std::string bgr;
    for (int i = 0; i < 6 * 4; ++i) {
        bgr += "\x0a\x28\xc8"; // red 200, green 40, blue 10
    }
    writeTarga(dir + "/wall.tga", 2, 6, 4, bgr);
    std::vector<unsigned char> rgb;
    for (int i = 0; i < 16 * 8; ++i) {
        rgb.insert(rgb.end(), {30, 90, 220});
    }
    ILuint scratch = 0;
    ilGenImages(1, &scratch);
    ilBindImage(scratch);
    ASSERT_TRUE(ilTexImage(16, 8, 1, 3, IL_RGB, IL_UNSIGNED_BYTE, rgb.data()));
    ASSERT_TRUE(ilSave(IL_JPG, (dir + "/sky.jpg").c_str()));
    ilDeleteImages(1, &scratch);
    struct Case {
        const char* name;
        int width, height, rgb[3], tolerance;
    } cases[] = {{"wall.tga", 6, 4, {200, 40, 10}, 0}, {"sky.jpg", 16, 8, {30, 90, 220}, 8}};
    for (const Case& c : cases) {
        Mesh first, second; // two meshes naming one file get two textures
        EXPECT_EQ(load(c.name, first) + load(c.name, second), "");
        ASSERT_EQ(first.textured + second.textured, 2) << c.name;
        EXPECT_TRUE(first.texture != 77u && first.texture != second.texture);
        EXPECT_EQ(glIsTexture(second.texture), GL_TRUE);
        GLint width = 0, height = 0;
        glBindTexture(GL_TEXTURE_2D, first.texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        ASSERT_EQ(width * 1000 + height, c.width * 1000 + c.height) << c.name;
        std::vector<unsigned char> pixels(width * height * 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(pixels[i], c.rgb[i], c.tolerance) << c.name << " channel " << i;
        }
    }
}

TEST_F(PictureTexture, MissingDamagedAndOversizedPicturesAreRefused) {
    // 40000 x 40000 with a few bytes: the library answers "loaded" with its error state set;
    // 64 x 64 truncated likewise; run-length 40000 x 2 loads without error but beyond the GL's
    // limit.
    writeTarga(dir + "/broken.tga", 2, 40000, 40000, std::string(100, '\0'));
    writeTarga(dir + "/short.tga", 2, 64, 64, std::string(100, '\x40'));
    writeTarga(dir + "/wide.tga", 10, 40000, 2, std::string(100, '\xff'));
    for (const char* name : {"none.tga", "broken.tga", "short.tga", "wide.tga"}) {
        Mesh mesh;
        EXPECT_EQ(load(name, mesh), textureFailure(dir + "/" + name));
        EXPECT_TRUE(mesh.textured == 0 && mesh.texture == 77u) << name;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << name;
    }
    // An error the library kept from before does not fail the next good load.
    writeTarga(dir + "/good.tga", 2, 2, 2, std::string(12, '\x09'));
    ilGetInteger(0xFFFF);
    Mesh good;
    EXPECT_TRUE(load("good.tga", good).empty() && good.textured == 1);
}

} // namespace
