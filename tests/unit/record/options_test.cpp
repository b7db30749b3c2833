// The recorder's command line and the output file's life (temporary name, rename, removal).
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <string>
#include <vector>

#include "record/output_file.h"
#include "record/record_options.h"
#include "support/test_files.h"

namespace {

// Each case: the arguments after the program name, split at '|', then after " > " what they give:
// "fps map output" when accepted, else a piece of the message.
TEST(RecordOptions, AcceptsAndRefusesCommandLines) {
    const std::string cases[] = {"demo|out.mp4 > 60 demo out.mp4",
                                 "--fps|30|demo|a/b.MP4 > 30 demo a/b.MP4",
                                 "demo|--fps=1|x.mp4 > 1 demo x.mp4",
                                 "--fps|240|demo|x.mp4 > 240 demo x.mp4",
                                 "--|-odd|x.mp4 > 60 -odd x.mp4",
                                 "--|--times|x.mp4 > 60 --times x.mp4",
                                 "--|--help|--fps > doit finir par .mp4",
                                 "--fps|0|demo|x.mp4 > --fps \"0\"",
                                 "--fps|241|demo|x.mp4 > --fps \"241\"",
                                 "--fps|12a|demo|x.mp4 > --fps \"12a\"",
                                 "--fps|-5|demo|x.mp4 > --fps \"-5\"",
                                 "--fps=|demo|x.mp4 > --fps \"\"",
                                 "demo|x.mp4|--fps > --fps attend",
                                 "--speed|demo|x.mp4 > option inconnue \"--speed\"",
                                 "-f|demo|x.mp4 > option inconnue \"-f\"",
                                 "demo > il manque le fichier",
                                 " > il manque le nom",
                                 "demo|x.mp4|y.mp4 > trop d'arguments",
                                 "demo|x.mkv > doit finir par .mp4",
                                 "demo|x.mp4.txt > doit finir par .mp4",
                                 "demo|dir/.mp4 > doit finir par .mp4",
                                 "demo|mp4 > doit finir par .mp4",
                                 "|x.mp4 > vide"};
    for (const std::string& c : cases) {
        std::vector<std::string> args;
        const std::string line = c.substr(0, c.find(" > ")), expected = c.substr(line.size() + 3);
        for (size_t from = 0, bar = 0; !line.empty() && bar != std::string::npos; from = bar + 1) {
            bar = line.find('|', from);
            args.push_back(line.substr(from, bar - from));
        }
        std::vector<const char*> argv = {"skarn-record"};
        for (const std::string& a : args) {
            argv.push_back(a.c_str());
        }
        RecordOptions options;
        std::string error;
        const bool ok = parseRecordOptions((int)argv.size(), argv.data(), options, error);
        const std::string got =
            ok ? std::to_string(options.fps) + " " + options.mapName + " " + options.outputPath
               : error;
        EXPECT_EQ(ok, std::isdigit((unsigned char)expected[0]) != 0) << c << ": " << got;
        EXPECT_NE(got.find(expected), std::string::npos) << c << ": " << got;
    }
}

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(OutputFile, TemporaryNameLivesBesideTheOutput) {
    const char* cases[][3] = {{"capture/demo.mp4", "capture/.demo.mp4.42.part", "capture"},
                              {"demo.mp4", ".demo.mp4.42.part", "."},
                              {"/v.mp4", "/.v.mp4.42.part", "/"},
                              {"a/b/c.mp4", "a/b/.c.mp4.42.part", "a/b"}};
    for (const auto& c : cases) {
        EXPECT_EQ(outputFileFor(c[0], 42).tempPath, c[1]);
        EXPECT_EQ(outputFolder(c[0]), c[2]);
    }
}

TEST(OutputFile, RefusesFoldersThatCannotHoldTheOutput) {
    const std::string dir = makeScratchDir();
    writeTextFile(dir + "/plain", "x");
    mkdir((dir + "/taken.mp4").c_str(), 0755);
    std::string error;
    EXPECT_TRUE(checkOutputPath(dir + "/ok.mp4", error)) << error;
    const char* refused[][2] = {{"/missing/x.mp4", "No such file"},
                                {"/plain/x.mp4", "Not a directory"},
                                {"/taken.mp4", "Is a directory"}};
    for (auto& r : refused) {
        error.clear();
        EXPECT_FALSE(checkOutputPath(dir + r[0], error)) << r[0];
        EXPECT_NE(error.find(r[1]), std::string::npos) << error;
    }
    removeScratchDir(dir);
}

TEST(OutputFile, ReplacesTheOldFileOnlyWhenCommitted) {
    const std::string dir = makeScratchDir(), path = dir + "/show.mp4";
    writeTextFile(path, "old");
    OutputFile file = outputFileFor(path, 99);
    std::string error;
    ASSERT_TRUE(createTemporary(file, error)) << error;
    EXPECT_FALSE(createTemporary(file, error)); // never writes over another run's file
    writeTextFile(file.tempPath, "new");
    discardOutput(file);
    EXPECT_EQ(readAll(path), "old");
    EXPECT_NE(access(file.tempPath.c_str(), F_OK), 0);

    ASSERT_TRUE(createTemporary(file, error)) << error;
    writeTextFile(file.tempPath, "new");
    ASSERT_TRUE(commitOutput(file, error)) << error;
    EXPECT_EQ(readAll(path), "new");
    EXPECT_NE(access(file.tempPath.c_str(), F_OK), 0);
    EXPECT_EQ(fileSize(path), 3);

    // A commit that can't rename leaves no temporary file behind.
    OutputFile lost{dir + "/gone/x.mp4", dir + "/.x.part"};
    writeTextFile(lost.tempPath, "x");
    EXPECT_FALSE(commitOutput(lost, error));
    EXPECT_NE(access(lost.tempPath.c_str(), F_OK), 0);
    removeScratchDir(dir);
}

} // namespace
