// The folder watch by polling and by inotify: a change is told once, after it has been quiet for
// the period asked, and editors' scratch files are no change.
#include <gtest/gtest.h>

#include "base/file_watch.h"
#include "support/test_files.h"

TEST(FileWatch, TellsAChangeOnceAfterItsQuietPeriodAndIgnoresScratchFiles) {
    for (bool poll : {true, false}) {
        const std::string dir = makeScratchDir();
        writeTextFile(dir + "/a.msh", "1");
        FileWatch watch;
        ASSERT_TRUE(startFileWatch(watch, {dir, dir + "/missing"}, poll));
        EXPECT_EQ(watch.folders.size(), 1u);
        EXPECT_FALSE(fileWatchSettled(watch, 0, 100)) << poll; // nothing changed yet
        writeTextFile(dir + "/.a.msh.swp", "x");
        writeTextFile(dir + "/a.msh~", "x");
        EXPECT_FALSE(fileWatchSettled(watch, 1000, 100)) << poll;
        EXPECT_FALSE(fileWatchSettled(watch, 2000, 100)) << poll;
        writeTextFile(dir + "/a.msh", "22");
        // Seen at 3000; still changing at 3150; quiet from then on.
        const struct {
            int64_t ms;
            bool settled;
        } steps[] = {{3000, false}, {3099, false}, {3150, false},
                     {3249, false}, {3250, true},  {3400, false}};
        for (const auto& step : steps) {
            if (step.ms == 3150) {
                writeTextFile(dir + "/a.msh", "333");
            }
            EXPECT_EQ(fileWatchSettled(watch, step.ms, 100), step.settled) << poll << step.ms;
        }
        EXPECT_NE(fileIdentity(dir + "/a.msh"), fileIdentity(dir + "/a.msh~"));
        EXPECT_EQ(fileIdentity(dir + "/none"), "");
        stopFileWatch(watch);
        removeScratchDir(dir);
    }
}
