// Map files read for the map checker: the lines of the lamp values and of the lamp count, and
// how many sections a broken file got through.
#include <gtest/gtest.h>

#include "scene/map_file.h"

static const char* const CAMERA = "title\nposition : 0 0 0\ncible : 0 0 0\nanime : 0\n";

static bool parseText(const std::string& text, MapFile& map) {
    TextReader reader;
    readerFromText(reader, "m.mde", text);
    return parseMapFile(reader, map);
}

TEST(MapLines, LampValueLinesAndTheCountLine) {
    MapFile map;
    ASSERT_TRUE(parseText(std::string(CAMERA) +
                              "\nlampes (2) :\n"                                   // 6
                              "position : 1 2 3\ncouleur : 1 1 1\nintensite : 1\n" // 7-9
                              "position : 1 2 3\ncouleur :\n0.5\n0.5 0.5\n\nintensite :\n\n0.5\n"
                              "monde (0) : objets (0) : arbres (0) :\n",
                          map));
    EXPECT_EQ(map.lampLine, 6);
    ASSERT_EQ(map.lamps.size(), 2u);
    EXPECT_EQ(map.lamps[0].line, 7);
    EXPECT_EQ(map.lamps[0].colourLine, 8);
    EXPECT_EQ(map.lamps[0].intensityLine, 9);
    EXPECT_EQ(map.lamps[1].line, 10);
    // The values may sit on lines of their own: the first value's line counts.
    EXPECT_EQ(map.lamps[1].colourLine, 12);
    EXPECT_EQ(map.lamps[1].intensityLine, 17);
    EXPECT_EQ(map.lamps[1].colour[3], 0.5f);
    EXPECT_EQ(map.sectionsRead, 5);
}

TEST(MapLines, SectionsReadStopsAtTheBrokenSection) {
    const std::string lamps = "lampes (0) :\n";
    struct Case {
        std::string text;
        int sections;
    } cases[] = {
        {"title\nposition : 0 0\n", 0},
        {std::string(CAMERA) + "lampe (0) :\n", 1},
        {std::string(CAMERA) + "lampes (1) :\nposition : 0 0 0\n", 1},
        {std::string(CAMERA) + lamps + "monde (2) :\nsol\n", 2},
        {std::string(CAMERA) + lamps + "monde (1) :\nsol\nobjet (0) :\n", 3},
        {std::string(CAMERA) + lamps + "monde (1) :\nsol\nobjets (0) :\narbres (-1) :\n", 4},
    };
    for (const Case& c : cases) {
        MapFile map;
        EXPECT_FALSE(parseText(c.text, map)) << c.text;
        EXPECT_EQ(map.sectionsRead, c.sections) << c.text;
    }
}
