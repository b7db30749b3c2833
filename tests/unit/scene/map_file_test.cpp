// Map files: the sections in order, lamps up to and past the limit, empty lists, broken files.
#include <gtest/gtest.h>

#include "scene/map_file.h"

static const char* const SAMPLE = "Ma petite map\n"
                                  "position : 0 5 20\n"
                                  "cible : 0 0 -1.5\n"
                                  "anime : 1\n"
                                  "lampes (1) :\n"
                                  "position : 10 20 10\n"
                                  "couleur : 1 0 0\n"
                                  "intensite : 0.5\n"
                                  "monde (2) :\n"
                                  "sol\n"
                                  "maison\n"
                                  "objets (1) :\n"
                                  "oiseau\n"
                                  "arbres (1) :\n"
                                  "sapin\n";

// A lamp record whose x is `i`, three lines as map authors write them.
static std::string lampRecord(int i) {
    return "position : " + std::to_string(i) + " 1 2\ncouleur : 0.1 0.2 0.3\nintensite : 1\n";
}

// A map with `lamps` lamp records and one name in each list.
static std::string mapWithLamps(int lamps) {
    std::string text = "title\nposition : 0 0 0\ncible : 0 0 0\nanime : 0\nlampes (" +
                       std::to_string(lamps) + ") :\n";
    for (int i = 0; i < lamps; ++i) {
        text += lampRecord(i);
    }
    return text + "monde (1) :\nsol\nobjets (1) :\navion\narbres (1) :\npin\n";
}

static bool parseText(const std::string& text, MapFile& map, TextReader& reader) {
    readerFromText(reader, "map/m/m.mde", text);
    return parseMapFile(reader, map);
}

static std::vector<std::string> names(const std::vector<MapEntry>& entries) {
    std::vector<std::string> out;
    for (const MapEntry& e : entries) {
        out.push_back(e.name);
    }
    return out;
}

TEST(MapFile, SampleMapReadsEverySectionInOrder) {
    MapFile map;
    TextReader reader;
    ASSERT_TRUE(parseText(SAMPLE, map, reader)) << readerErrorText(reader);
    EXPECT_EQ(map.camera.eye.y, 5.0f);
    EXPECT_EQ(map.camera.eye.z, 20.0f);
    EXPECT_EQ(map.camera.target.z, -1.5f);
    EXPECT_EQ(map.camera.anime, 1);
    EXPECT_EQ(map.lampCount, 1);
    ASSERT_EQ(map.lamps.size(), 1u);
    const Lamp& lamp = map.lamps[0];
    EXPECT_EQ(lamp.index, 0);
    EXPECT_EQ(lamp.line, 6);
    EXPECT_EQ(std::vector<float>(lamp.position, lamp.position + 4),
              (std::vector<float>{10, 20, 10, 1}));
    EXPECT_EQ(std::vector<float>(lamp.colour, lamp.colour + 4),
              (std::vector<float>{1, 0, 0, 0.5f}));
    EXPECT_EQ(names(map.worlds), (std::vector<std::string>{"sol", "maison"}));
    EXPECT_EQ(map.worlds[1].line, 11);
    EXPECT_EQ(names(map.objects), (std::vector<std::string>{"oiseau"}));
    EXPECT_EQ(names(map.trees), (std::vector<std::string>{"sapin"}));
}

TEST(MapFile, TitleLineIsNeverInterpreted) {
    std::string text = SAMPLE;
    text.replace(0, text.find('\n'), "lampes (9) : monde (0) : position : x");
    MapFile map;
    TextReader reader;
    ASSERT_TRUE(parseText(text, map, reader)) << readerErrorText(reader);
    EXPECT_EQ(map.lampCount, 1);
    EXPECT_EQ(map.worlds.size(), 2u);
}

TEST(MapFile, SevenLampsAreAllRead) {
    MapFile map;
    TextReader reader;
    ASSERT_TRUE(parseText(mapWithLamps(7), map, reader)) << readerErrorText(reader);
    ASSERT_EQ(map.lamps.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(map.lamps[i].index, i);
        EXPECT_EQ(map.lamps[i].position[0], (float)i);
    }
}

TEST(MapFile, LampsPastTheLimitAreReadPastSoLaterSectionsStillLoad) {
    for (int count : {8, 12}) {
        MapFile map;
        TextReader reader;
        ASSERT_TRUE(parseText(mapWithLamps(count), map, reader)) << readerErrorText(reader);
        EXPECT_EQ(map.lampCount, count);
        EXPECT_EQ(names(map.worlds), (std::vector<std::string>{"sol"}));
        EXPECT_EQ(names(map.objects), (std::vector<std::string>{"avion"}));
        EXPECT_EQ(names(map.trees), (std::vector<std::string>{"pin"}));
    }
}

TEST(MapFile, EmptySectionsGiveEmptyLists) {
    std::string text = "t\nposition:0 0 0 cible:0 0 0 anime:0\nlampes (0) :\nmonde (0) :\n"
                       "objets (0) :\narbres (0) :";
    MapFile map;
    TextReader reader;
    ASSERT_TRUE(parseText(text, map, reader)) << readerErrorText(reader);
    EXPECT_TRUE(map.lamps.empty());
    EXPECT_TRUE(map.worlds.empty());
    EXPECT_TRUE(map.objects.empty());
    EXPECT_TRUE(map.trees.empty());
}

TEST(MapFile, BrokenMapsNameTheLineAndTheFault) {
    struct Bad {
        const char* what;
        std::string text;
        int line;
        const char* message;
    };
    std::string camera = "t\nposition : 0 0 0\ncible : 0 0 0\nanime : 0\n";
    std::vector<Bad> cases = {
        {"title only, no line end", "Ma map", 1, "expected \"position\", found end of file"},
        {"camera keyword", "t\nposition : 0 0 0\ntarget : 0 0 0\n", 3,
         "expected \"cible\", found \"target\""},
        {"anime not a number", "t\nposition : 0 0 0\ncible : 0 0 0\nanime : oui\n", 4,
         "expected an integer, found \"oui\""},
        {"negative lamps", camera + "lampes (-1) :\n", 5, "negative lamp count -1"},
        {"lamps beyond file", camera + "lampes (3) :\n" + lampRecord(0) + "monde (0) :\n", 5,
         "lamp count 3 is larger than the rest of the file can hold"},
        {"lamp record broken",
         camera + "lampes (1) :\nposition : 1 2 3\ncouleur : 1 1\n"
                  "intensite : 1\nmonde (0) :\n",
         8, "expected a number, found \"intensite\""},
        {"section misspelt", camera + "lampes (0) :\nmondes (0) :\n", 6,
         "expected \"monde (\", found \"mondes\""},
        {"negative names", camera + "lampes (0) :\nmonde (-3) :\n", 6,
         "negative world mesh count -3"},
        {"names beyond file", camera + "lampes (0) :\nmonde (0) :\nobjets (5) :\na\nb\n", 7,
         "object count 5 is larger than the rest of the file can hold"},
        {"names run out", camera + "lampes (0) :\nmonde (0) :\nobjets (0) :\narbres (2) :\na\n  ",
         10, "expected a name, found end of file"},
        {"count not a number", camera + "lampes (0) :\nmonde (deux) :\n", 6,
         "expected an integer, found \"deux)\""},
    };
    for (const Bad& c : cases) {
        MapFile map;
        TextReader reader;
        EXPECT_FALSE(parseText(c.text, map, reader)) << c.what;
        EXPECT_EQ(reader.errorLine, c.line) << c.what;
        EXPECT_EQ(reader.error, c.message) << c.what;
    }
}
