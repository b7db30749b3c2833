// Mesh files read for the map checker: the lines of the colour and the texture name, and the
// faults a parse asked to keep going steps over.
#include <algorithm>

#include <gtest/gtest.h>

#include "scene/mesh_file.h"

// A textured two-triangle mesh; `faces`, `normals` and `uvs` replace their sections' lines.
static std::string meshText(const std::string& faces, const std::string& normals,
                            const std::string& uvs) {
    return "vertices (4) :\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n" + faces + normals +
           "couleur :\n\n0.5 0.5 0.5\noption : 16\ntexture :  mur.jpg\n" + uvs;
}

static const std::string FACES = "faces (2) :\n0 1 2\n0 2 3\n";
static const std::string NORMALS = "normales (4) :\n0 0 1\n0 0 1\n0 0 1\n0 0 1\n";
static const std::string UVS = "uv mapping (2) :\n0,0 1,0 1,1\n0,0 1,1 0,1\n";

// 1-based line of the first occurrence of `needle` in `text`.
static int lineOf(const std::string& text, const std::string& needle) {
    size_t at = text.find(needle);
    return 1 + (int)std::count(text.begin(), text.begin() + (long)at, '\n');
}

static bool parseDetails(const std::string& text, MeshFileDetails& details, Mesh& mesh,
                         TextReader& reader) {
    std::string texture;
    readerFromText(reader, "m.msh", text);
    return parseMesh(reader, mesh, texture, details);
}

TEST(MeshDetails, ColourAndTextureLines) {
    MeshFileDetails details;
    Mesh mesh;
    TextReader reader;
    ASSERT_TRUE(parseDetails(meshText(FACES, NORMALS, UVS), details, mesh, reader));
    // Lines: 1-5 vertices, 6-8 faces, 9-13 normals, "couleur :" 14, values 16, texture 18.
    EXPECT_EQ(details.colorLine, 16);
    EXPECT_EQ(details.textureLine, 18);
    EXPECT_EQ(details.faultCount, 0);
}

TEST(MeshDetails, FaultsStopThePlayersParseButNotTheCheckersOne) {
    struct Case {
        std::string text;
        std::vector<int> lines; // of the faults, in order
        std::string firstWords; // in the first fault's message
    } cases[] = {
        {meshText("faces (2) :\n0 1 4\n-1 2 3\n", NORMALS, UVS), {7, 8}, "face index 4"},
        {meshText(FACES, "normales (3) :\n0 0 1\n0 0 1\n0 0 1\n", UVS), {9}, "3 normals for 4"},
        {meshText(FACES, NORMALS, "uv mapping (1) :\n0,0 1,0 1,1\n"), {19}, "1 uv lines for 2"},
    };
    for (const Case& c : cases) {
        MeshFileDetails strict;
        Mesh mesh;
        TextReader reader;
        EXPECT_FALSE(parseDetails(c.text, strict, mesh, reader)) << c.text;
        EXPECT_EQ(reader.errorLine, c.lines[0]) << c.text;
        EXPECT_NE(reader.error.find(c.firstWords), std::string::npos) << reader.error;

        MeshFileDetails lenient;
        lenient.keepGoing = true;
        Mesh checked;
        ASSERT_TRUE(parseDetails(c.text, lenient, checked, reader)) << readerErrorText(reader);
        ASSERT_EQ(lenient.faults.size(), c.lines.size()) << c.text;
        for (size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(lenient.faults[i].line, c.lines[i]) << c.text;
        }
        EXPECT_NE(lenient.faults[0].message.find(c.firstWords), std::string::npos);
        // The rest of the file is still read: the texture line comes after every fault.
        EXPECT_EQ(lenient.textureLine, lineOf(c.text, "texture :"));
    }
}

TEST(MeshDetails, ManyFaultsAreCountedButKeptToTheLimit) {
    std::string faces = "faces (30) :\n";
    for (int i = 0; i < 30; ++i) {
        faces += "0 1 9\n";
    }
    MeshFileDetails details;
    details.keepGoing = true;
    Mesh mesh;
    TextReader reader;
    ASSERT_TRUE(
        parseDetails(meshText(faces, NORMALS, "uv mapping (0) :\n"), details, mesh, reader));
    EXPECT_EQ(details.faultCount, 31); // thirty bad corners, and no uv lines for 30 faces
    EXPECT_EQ(details.faults.size(), (size_t)MESH_FAULT_LIMIT);
}
