// The recorder's command line and the output file's life (temporary name, rename, removal).
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "record/output_file.h"
#include "record/record_options.h"
#include "support/test_files.h"

namespace {

struct OptionCase {
    std::vector<const char*> args; // after the program name
    bool ok;
    int fps;
    const char* map;
    const char* out;
    const char* errorPart; // a piece of the message when refused
};

TEST(RecordOptions, AcceptsAndRefusesCommandLines) {
    const OptionCase cases[] = {
        {{"demo", "out.mp4"}, true, 60, "demo", "out.mp4", ""},
        {{"--fps", "30", "demo", "a/b.MP4"}, true, 30, "demo", "a/b.MP4", ""},
        {{"demo", "--fps=1", "x.mp4"}, true, 1, "demo", "x.mp4", ""},
        {{"--fps", "240", "demo", "x.mp4"}, true, 240, "demo", "x.mp4", ""},
        {{"--", "-odd", "x.mp4"}, true, 60, "-odd", "x.mp4", ""},
        {{"--", "--times", "x.mp4"}, true, 60, "--times", "x.mp4", ""},
        {{"--", "--help", "--fps"}, false, 0, "", "", "doit finir par .mp4"},
        {{"--fps", "0", "demo", "x.mp4"}, false, 0, "", "", "--fps \"0\""},
        {{"--fps", "241", "demo", "x.mp4"}, false, 0, "", "", "--fps \"241\""},
        {{"--fps", "12a", "demo", "x.mp4"}, false, 0, "", "", "--fps \"12a\""},
        {{"--fps", "-5", "demo", "x.mp4"}, false, 0, "", "", "--fps \"-5\""},
        {{"--fps=", "demo", "x.mp4"}, false, 0, "", "", "--fps \"\""},
        {{"demo", "x.mp4", "--fps"}, false, 0, "", "", "--fps attend"},
        {{"--speed", "demo", "x.mp4"}, false, 0, "", "", "option inconnue \"--speed\""},
        {{"-f", "demo", "x.mp4"}, false, 0, "", "", "option inconnue \"-f\""},
        {{"demo"}, false, 0, "", "", "il manque le fichier"},
        {{}, false, 0, "", "", "il manque le nom"},
        {{"demo", "x.mp4", "y.mp4"}, false, 0, "", "", "trop d'arguments"},
        {{"demo", "x.mkv"}, false, 0, "", "", "doit finir par .mp4"},
        {{"demo", "x.mp4.txt"}, false, 0, "", "", "doit finir par .mp4"},
        {{"demo", "dir/.mp4"}, false, 0, "", "", "doit finir par .mp4"},
        {{"demo", "mp4"}, false, 0, "", "", "doit finir par .mp4"},
        {{"", "x.mp4"}, false, 0, "", "", "vide"},
    };
    for (const OptionCase& c : cases) {
        std::vector<const char*> argv = {"skarn-record"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        RecordOptions options;
        std::string error;
        bool ok = parseRecordOptions((int)argv.size(), argv.data(), options, error);
        std::string line;
        for (const char* a : c.args) {
            line += std::string(a) + " ";
        }
        SCOPED_TRACE(line);
        ASSERT_EQ(ok, c.ok) << error;
        if (ok) {
            EXPECT_EQ(options.fps, c.fps);
            EXPECT_EQ(options.mapName, c.map);
            EXPECT_EQ(options.outputPath, c.out);
        } else {
            EXPECT_NE(error.find(c.errorPart), std::string::npos) << error;
        }
    }
}

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(OutputFile, TemporaryNameLivesBesideTheOutput) {
    EXPECT_EQ(outputFileFor("capture/demo.mp4", 42).tempPath, "capture/.demo.mp4.42.part");
    EXPECT_EQ(outputFileFor("demo.mp4", 7).tempPath, ".demo.mp4.7.part");
    EXPECT_EQ(outputFileFor("/v.mp4", 7).tempPath, "/.v.mp4.7.part");
    EXPECT_EQ(outputFolder("demo.mp4"), ".");
    EXPECT_EQ(outputFolder("/v.mp4"), "/");
    EXPECT_EQ(outputFolder("a/b/c.mp4"), "a/b");
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
