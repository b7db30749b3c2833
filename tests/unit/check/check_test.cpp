// Map checker: finding lines, the summary and status, and the order of the findings of a file.
#include <gtest/gtest.h>

#include "check.h"
#include "unit/scene/test_files.h"

TEST(CheckText, LinesSummaryAndStatus) {
    std::vector<Finding> findings = {{"map/a/a.mde", 12, true, "bad"},
                                     {"textures/x.jpg", 0, false, "missing"}};
    EXPECT_EQ(findingText(findings[0]), "map/a/a.mde:12: error: bad");
    EXPECT_EQ(findingText(findings[1]), "textures/x.jpg: warning: missing");
    EXPECT_EQ(summaryText(findings), "1 errors, 1 warnings");
    EXPECT_EQ(checkStatus(findings), 1);
    findings.erase(findings.begin());
    EXPECT_EQ(checkStatus(findings), 0);
    EXPECT_EQ(summaryText({}), "0 errors, 0 warnings");
}

TEST(CheckMap, FindingsOfAFileComeByLineAndPathsStayRelative) {
    std::string root = makeScratchDir();
    ASSERT_EQ(system(("mkdir -p '" + root + "/map/m'").c_str()), 0);
    std::string text = "t\nposition : 0 0 0\ncible : 0 0 0\nanime : 0\nlampes (8) :\n";
    for (int i = 0; i < 8; ++i) {
        text += "position : 0 0 0\ncouleur : 1 1 1\nintensite : 1\n";
    }
    // Line 30: the lamp count is refused and a later section word is misspelt.
    text += "monde (0) :\nobjets (0) :\narbre (0) :\n";
    writeTextFile(root + "/map/m/m.mde", text);

    std::vector<Finding> findings = checkMap(root, "m");
    ASSERT_GE(findings.size(), 2u);
    EXPECT_EQ(findings[0].file, "map/m/m.mde");
    EXPECT_EQ(findings[0].line, 5);
    EXPECT_TRUE(findings[0].error);
    EXPECT_EQ(findings[1].file, "map/m/m.mde");
    EXPECT_EQ(findings[1].line, 32);
    EXPECT_NE(findings[1].message.find("arbres"), std::string::npos) << findings[1].message;
    // The rest are the show's own files, missing from the scratch directory.
    for (size_t i = 2; i < findings.size(); ++i) {
        EXPECT_FALSE(findings[i].error) << findingText(findings[i]);
        EXPECT_EQ(findings[i].file.find(root), std::string::npos);
    }
    EXPECT_EQ(findings.size(), 2u + 11u + 1u); // eleven pictures and the music
    removeScratchDir(root);
}
