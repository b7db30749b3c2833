// The image library's version check: 151 is the lowest accepted answer of each library.
#include <gtest/gtest.h>

#include "scene/texture.h"

TEST(ImageLibraryVersion, AnyLibraryAt150StopsWithTheMessage) {
    const char* message = "Probl\xe8"
                          "me de version de DevIL ... sortie !\n";
    int answers[3][3] = {{150, 178, 178}, {178, 150, 178}, {178, 178, 150}};
    for (auto& a : answers) {
        const char* problem = imageLibraryVersionProblem(a[0], a[1], a[2]);
        ASSERT_NE(problem, nullptr) << a[0] << " " << a[1] << " " << a[2];
        EXPECT_STREQ(problem, message);
    }
    EXPECT_NE(imageLibraryVersionProblem(0, 0, 0), nullptr);
    EXPECT_NE(imageLibraryVersionProblem(-1, 151, 151), nullptr);
}

TEST(ImageLibraryVersion, AllAtLeast151Pass) {
    EXPECT_EQ(imageLibraryVersionProblem(151, 151, 151), nullptr);
    EXPECT_EQ(imageLibraryVersionProblem(178, 178, 178), nullptr);
}
