// Map files that are accepted: the sections in order with their lines, lamps up to and past the
// limit, empty lists.
#include <gtest/gtest.h>

#include "scene/map_file.h"

// A map with `lamps` lamp records (lamp i at x = i) and the given lists; the title line holds
// words that must never be read as sections.
static std::string mapWithLamps(int lamps, const char* lists = "monde (2) :\nsol\nmaison\n"
                                                               "objets (1) :\navion\n"
                                                               "arbres (1) :\npin\n") {
    std::string text = "lampes (9) : monde (0) : x\nposition : 0 5 20\ncible : 0 0 -1.5\n"
                       "anime : 1\nlampes (" +
                       std::to_string(lamps) + ") :\n";
    for (int i = 0; i < lamps; ++i) {
        text += "position : " + std::to_string(i) + " 1 2\ncouleur : 1 0 0\nintensite : 0.5\n";
    }
    return text + lists;
}

static std::vector<std::string> names(const std::vector<MapEntry>& entries) {
    std::vector<std::string> out;
    for (const MapEntry& e : entries) {
        out.push_back(e.name);
    }
    return out;
}

static MapFile parseGood(const std::string& text) {
    MapFile map;
    TextReader reader;
    readerFromText(reader, "map/m/m.mde", text);
    EXPECT_TRUE(parseMapFile(reader, map)) << readerErrorText(reader);
    return map;
}

TEST(MapFile, SectionsInOrderAndLampsUpToAndPastTheLimit) {
    // Past seven lamps the records are read past, so the later sections still load.
    for (int count : {0, 1, 7, 8, 12}) {
        MapFile map = parseGood(mapWithLamps(count));
        EXPECT_EQ(map.camera.eye.y, 5.0f);
        EXPECT_EQ(map.camera.eye.z, 20.0f);
        EXPECT_EQ(map.camera.target.z, -1.5f);
        EXPECT_EQ(map.camera.anime, 1);
        EXPECT_EQ(map.lampCount, count);
        ASSERT_EQ(map.lamps.size(), (size_t)count);
        for (int i = 0; i < (int)map.lamps.size(); ++i) {
            EXPECT_EQ(map.lamps[i].index, i);
            EXPECT_EQ(std::vector<float>(map.lamps[i].position, map.lamps[i].position + 4),
                      (std::vector<float>{(float)i, 1, 2, 1}));
            EXPECT_EQ(std::vector<float>(map.lamps[i].colour, map.lamps[i].colour + 4),
                      (std::vector<float>{1, 0, 0, 0.5f}));
        }
        EXPECT_EQ(names(map.worlds), (std::vector<std::string>{"sol", "maison"})) << count;
        EXPECT_EQ(map.worlds[1].line, 8 + 3 * count);
        EXPECT_EQ(names(map.objects), (std::vector<std::string>{"avion"})) << count;
        EXPECT_EQ(names(map.trees), (std::vector<std::string>{"pin"})) << count;
        EXPECT_EQ(map.sectionsRead, 5);
    }
}

TEST(MapFile, EmptySectionsGiveEmptyLists) {
    MapFile map = parseGood("t\nposition:0 0 0 cible:0 0 0 anime:0\nlampes (0) :\nmonde (0) :\n"
                            "objets (0) :\narbres (0) :");
    EXPECT_TRUE(map.lamps.empty() && map.worlds.empty() && map.objects.empty() &&
                map.trees.empty());
}

TEST(MapFile, LampValueLinesAreTheFirstValuesLines) {
    // Lines 5 "lampes", 6-8 the first lamp, 9-16 the second with values on lines of their own.
    std::string text =
        mapWithLamps(1, "position : 1 2 3\ncouleur :\n0.5\n0.5 0.5\n\n"
                        "intensite :\n\n0.25\nmonde (0) : objets (0) : arbres (0) :");
    MapFile map = parseGood(text.replace(text.find("lampes (1)"), 10, "lampes (2)"));
    EXPECT_EQ(map.lampLine, 5);
    ASSERT_EQ(map.lamps.size(), 2u);
    EXPECT_EQ(map.lamps[0].line, 6);
    EXPECT_EQ(map.lamps[0].colourLine, 7);
    EXPECT_EQ(map.lamps[0].intensityLine, 8);
    EXPECT_EQ(map.lamps[1].line, 9);
    EXPECT_EQ(map.lamps[1].colourLine, 11);
    EXPECT_EQ(map.lamps[1].intensityLine, 16);
    EXPECT_EQ(map.lamps[1].colour[3], 0.25f);
}
