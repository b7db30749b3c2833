// Map files that are accepted: the sections in order with their lines, lamps up to and past the
// limit, lamp values on lines of their own, empty lists.
#include <gtest/gtest.h>

#include "scene/map_file.h"

static MapFile parseGood(const std::string& text) {
    MapFile map;
    TextReader reader;
    readerFromText(reader, "map/m/m.mde", text);
    EXPECT_TRUE(parseMapFile(reader, map)) << readerErrorText(reader);
    return map;
}

static std::vector<std::string> names(const std::vector<MapEntry>& entries) {
    std::vector<std::string> out;
    for (const MapEntry& e : entries) {
        out.push_back(e.name);
    }
    return out;
}

TEST(MapFile, SectionsInOrderAndLampsUpToAndPastTheLimit) {
    // Past seven lamps the records are read past, so the later sections still load. The title
    // holds words that must never be read as sections.
    for (int count : {0, 1, 7, 8, 12}) {
        std::string text = "lampes (9) : monde (0) : x\nposition : 0 5 20\ncible : 0 0 -1.5\n"
                           "anime : 1\nlampes (" +
                           std::to_string(count) + ") :\n";
        for (int i = 0; i < count; ++i) {
            text += "position : " + std::to_string(i) + " 1 2\ncouleur : 1 0 0\nintensite : 0.5\n";
        }
        MapFile map = parseGood(text + "monde (2) :\nsol\nmaison\nobjets (1) :\navion\n"
                                       "arbres (1) :\npin\n");
        EXPECT_TRUE(map.camera.eye.z == 20 && map.camera.target.z == -1.5f &&
                    map.camera.anime == 1);
        ASSERT_EQ(map.lamps.size(), (size_t)count);
        EXPECT_EQ(map.lampCount, count);
        for (int i = 0; i < count; ++i) {
            const Lamp& lamp = map.lamps[i];
            EXPECT_EQ(std::vector<float>(lamp.position, lamp.position + 4),
                      (std::vector<float>{(float)i, 1, 2, 1}));
            EXPECT_EQ(std::vector<float>(lamp.colour, lamp.colour + 4),
                      (std::vector<float>{1, 0, 0, 0.5f}));
            EXPECT_TRUE(lamp.index == i && lamp.line == 6 + 3 * i &&
                        lamp.intensityLine == 8 + 3 * i);
        }
        EXPECT_EQ(names(map.worlds), (std::vector<std::string>{"sol", "maison"})) << count;
        EXPECT_EQ(map.worlds[1].line, 8 + 3 * count);
        EXPECT_EQ(names(map.objects), (std::vector<std::string>{"avion"})) << count;
        EXPECT_EQ(names(map.trees), (std::vector<std::string>{"pin"})) << count;
        EXPECT_EQ(map.sectionsRead, 5);
    }
    MapFile empty = parseGood("t\nposition:0 0 0 cible:0 0 0 anime:0\nlampes (0) :\nmonde (0) :\n"
                              "objets (0) :\narbres (0) :");
    EXPECT_TRUE(empty.lamps.empty() && empty.worlds.empty() && empty.objects.empty() &&
                empty.trees.empty());
}

TEST(MapFile, LampValueLinesAreTheFirstValuesLines) {
    // Line 5 "lampes", 6-13 one lamp with its values spread over lines of their own.
    MapFile map = parseGood("t\nposition : 0 0 0\ncible : 0 0 0\nanime : 0\nlampes (1) :\n"
                            "position : 1 2 3\ncouleur :\n0.5\n0.5 0.5\n\nintensite :\n\n0.25\n"
                            "monde (0) : objets (0) : arbres (0) :");
    ASSERT_EQ(map.lamps.size(), 1u);
    EXPECT_EQ(map.lampLine, 5);
    EXPECT_TRUE(map.lamps[0].line == 6 && map.lamps[0].colourLine == 8);
    EXPECT_TRUE(map.lamps[0].intensityLine == 13 && map.lamps[0].colour[3] == 0.25f);
}
