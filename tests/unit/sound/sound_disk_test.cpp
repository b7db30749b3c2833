// The sound layer on the real SDL2_mixer back end, with SDL's disk driver for a sound card.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "sound/sound_library.h"

TEST(RealMixer, VersionFileCodesAndSignals) {
    EXPECT_GE(soundGetVersion(), 3.5f);
    char pattern[] = "/tmp/skarn-sound-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string dir = pattern;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir + "/out.raw").c_str(), 1);
    ASSERT_NE(soundInit(44100, 32, 2), 0);
    mkdir((dir + "/folder.mp3").c_str(), 0755);
    std::ofstream(dir + "/text.mp3") << "this is not music\n";
    std::ofstream(dir + "/empty.mp3").flush();
    std::pair<const char*, int> cases[] = {
        {"/missing.mp3", 9}, {"/folder.mp3", 11}, {"/text.mp3", 10}, {"/empty.mp3", 10}};
    for (auto [name, code] : cases) {
        EXPECT_EQ(soundStreamOpenFile((dir + name).c_str(), 0x22029, 0), nullptr) << name;
        EXPECT_EQ(soundGetError(), code) << name;
    }
    // The mixer must leave the termination signals to the process.
    for (int signal : {SIGTERM, SIGINT}) {
        struct sigaction action;
        ASSERT_EQ(sigaction(signal, nullptr, &action), 0);
        EXPECT_EQ(action.sa_handler, SIG_DFL) << signal;
    }
    soundClose();
    EXPECT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
}
