// The image library's version check: 151 is the lowest accepted answer of each library.
#include <gtest/gtest.h>

#include "scene/texture.h"

TEST(ImageLibraryVersion, AnyAnswerBelow151StopsWithTheMessage) {
    const char* message = "Probl\xe8"
                          "me de version de DevIL ... sortie !\n";
    int answers[][4] = {{150, 178, 178, 1}, {178, 150, 178, 1}, {178, 178, 150, 1},
                        {-1, 151, 151, 1},  {151, 151, 151, 0}, {178, 178, 178, 0}};
    for (auto& a : answers) {
        const char* problem = imageLibraryVersionProblem(a[0], a[1], a[2]);
        EXPECT_STREQ(problem, a[3] ? message : nullptr) << a[0] << " " << a[1] << " " << a[2];
    }
}
