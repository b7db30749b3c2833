// Malformed trajectory files: every prefix of a valid file and every byte damaged in turn. Each
// is refused with a message naming the file and nothing allocated, or read into a list of
// max(POSITIONS, 1) points that is a ring exactly when LOOP is 1.
#include <string>

#include <gtest/gtest.h>

#include "path/trajectory_file.h"
#include "scene/text_reader.h"

static const std::string VALID = "chemin\nPOSITIONS 3\nCURVES 3\nLOOP 1\nSPEED 2.5\nSTART 1e1\n\n"
                                 "1 2 3\n4 5 6\n0 1 0\n\n-1.5 2 0x1p3\n4 5 6\n0 2 0\n\n"
                                 "7 8 9\n1 1 1\n7 9 9\n";

static void expectTrajectoryOutcome(const std::string& text, const std::string& what) {
    TextReader reader;
    Trajectory trajectory;
    readerFromText(reader, "bad.dpl", text);
    if (!parseTrajectory(reader, trajectory)) {
        EXPECT_EQ(readerErrorText(reader).rfind("bad.dpl:", 0), 0u) << what;
        EXPECT_FALSE(reader.error.empty()) << what;
        EXPECT_EQ(trajectory.firstPoint, nullptr) << what;
        return;
    }
    ASSERT_NE(trajectory.firstPoint, nullptr) << what;
    int points = trajectory.positions > 0 ? trajectory.positions : 1;
    TrajectoryPoint* p = trajectory.firstPoint;
    for (int i = 1; i < points; ++i) {
        ASSERT_NE(p->next, nullptr) << what << ": list ends at point " << i;
        p = p->next;
    }
    EXPECT_EQ(p->next, trajectory.loop == 1 ? trajectory.firstPoint : nullptr) << what;
    freeTrajectory(&trajectory);
}

TEST(MalformedTrajectory, EveryPrefixIsRefusedOrReadIntoAWholeList) {
    for (size_t cut = 0; cut <= VALID.size(); ++cut) {
        expectTrajectoryOutcome(VALID.substr(0, cut), "prefix of " + std::to_string(cut));
    }
    // The whole file: a ring of three points, hexadecimal and exponent forms read.
    TextReader reader;
    Trajectory trajectory;
    readerFromText(reader, "whole.dpl", VALID);
    ASSERT_TRUE(parseTrajectory(reader, trajectory)) << readerErrorText(reader);
    EXPECT_EQ(trajectory.start, 10.0f);
    EXPECT_EQ(trajectory.firstPoint->next->position.z, 8.0f);
    EXPECT_EQ(trajectory.firstPoint->next->next->next, trajectory.firstPoint);
    freeTrajectory(&trajectory);
}

TEST(MalformedTrajectory, EveryByteReplacedByEachKindOfDamage) {
    const char damage[] = {'9', '-', '.', ' ', '\n', 'x', 'e', '\0', '\xff', '+'};
    for (size_t at = 0; at < VALID.size(); ++at) {
        for (char d : damage) {
            std::string text = VALID;
            text[at] = d;
            expectTrajectoryOutcome(text, "byte " + std::to_string(at) + " made " +
                                              std::to_string((int)d));
        }
    }
}
