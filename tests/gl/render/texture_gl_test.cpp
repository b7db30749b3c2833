// Picture loading in a real GL context: a Targa file becomes a texture of its size and colour;
// missing, damaged and oversized pictures are refused with the failure line.
#include <IL/il.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "render/scene_upload.h"
#include "scene/mesh_file.h"
#include "render/texture.h"
#include "scene/picture_check.h"
#include "support/test_files.h"

namespace {

// Writes a 24-bit Targa file of the given type (2 true colour, 10 run-length), then data as is.
void writeTarga(const std::string& path, int type, int width, int height, const std::string& data) {
    char header[18] = {0, 0, static_cast<char>(type)};
    header[12] = width & 0xff, header[13] = width >> 8, header[14] = height & 0xff;
    header[15] = height >> 8, header[16] = 24;
    std::ofstream(path, std::ios::binary) << std::string(header, 18) << data;
}

// Loads dir/name as a mesh texture; checks the loading line and returns what followed it.
std::string load(const std::string& dir, const std::string& name, Mesh& mesh) {
    mesh.textured = 1;
    mesh.texture = 77; // a value the loader must keep on failure
    const std::string out =
        printedBy([&] { loadMeshTexture(dir + "/" + name, sceneUploadHooks(), mesh); });
    const std::string line = "\t\tChargement de la texture " + dir + "/" + name + " ...\n";
    EXPECT_EQ(out.substr(0, line.size()), line);
    return out.substr(std::min(line.size(), out.size()));
}

} // namespace

// 40000 x 40000 with a few bytes: the library answers "loaded" with its error state set; 64 x 64
// truncated likewise; run-length 40000 x 2 loads but is beyond the GL's limit. An error the
// library kept from before does not fail the next good load, and two meshes get two textures.
TEST(PictureTexture, RefusesMissingDamagedAndOversizedAndLoadsAGoodOne) {
    ilInit();
    const std::string dir = makeScratchDir();
    writeTarga(dir + "/broken.tga", 2, 40000, 40000, std::string(100, '\0'));
    writeTarga(dir + "/short.tga", 2, 64, 64, std::string(100, '\x40'));
    writeTarga(dir + "/wide.tga", 10, 40000, 2, std::string(100, '\xff'));
    for (const char* name : {"none.tga", "broken.tga", "short.tga", "wide.tga"}) {
        Mesh mesh;
        EXPECT_EQ(load(dir, name, mesh), textureFailure(dir + "/" + name));
        EXPECT_TRUE(mesh.textured == 0 && mesh.texture == 77u && glGetError() == GL_NO_ERROR)
            << name;
    }
    std::string bgr;
    for (int i = 0; i < 6 * 4; ++i) {
        bgr += "\x0a\x28\xc8"; // red 200, green 40, blue 10
    }
    writeTarga(dir + "/wall.tga", 2, 6, 4, bgr);
    ilGetInteger(0xFFFF);
    Mesh first, second;
    EXPECT_EQ(load(dir, "wall.tga", first) + load(dir, "wall.tga", second), "");
    ASSERT_TRUE(first.textured && second.textured && first.texture != 77u &&
                first.texture != second.texture);
    GLint size[2] = {0, 0};
    glBindTexture(GL_TEXTURE_2D, first.texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size[0]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size[1]);
    ASSERT_TRUE(size[0] == 6 && size[1] == 4);
    unsigned char pixels[6 * 4 * 4];
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    EXPECT_EQ(std::vector<int>(pixels, pixels + 3), (std::vector<int>{200, 40, 10}));
    removeScratchDir(dir);
}
