// The reader's child: its messages come back in order, and a crash, a runaway allocation, a
// hang or a stop request each end it with their own line.
#include <csignal>
#include <cstdlib>
#include <unistd.h>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "import/reader_child.h"

TEST(ReaderChild, EachWayOfEndingHasItsLine) {
    static volatile char* sink;
    struct Case {
        const char* what;
        void (*work)(int fd);
        bool stop;
        std::string expected;
    };
    std::vector<Case> cases = {
        {"talks",
         [](int fd) { childSend(fd, 'A', "one"), childSend(fd, 'B', std::string(1 << 17, 'x')); },
         false, ""},
        {"crashes", [](int) { signal(SIGSEGV, SIG_DFL), raise(SIGSEGV); }, false,
         "the scene reader crashed (signal 11)"},
        {"hangs", [](int) { pause(); }, false, "the scene reader took longer than 1 s"},
        {"spins",
         [](int) {
             for (;;)
                 sink = sink;
         },
         false, "the scene reader took longer than 1 s"},
        {"exits", [](int) { _exit(3); }, false, "the scene reader stopped (status 3)"},
        {"is stopped", [](int) { pause(); }, true, "interrupted"},
#if !defined(__SANITIZE_ADDRESS__) // no address-space ceiling under the sanitizer
        {"swells",
         [](int) {
             for (std::vector<std::string> kept;;)
                 kept.emplace_back(1 << 20, 'x');
         },
         false, "the scene reader needed more than 200 MB"},
#endif
    };
    for (const Case& c : cases) {
        ImportLimits limits;
        limits.seconds = 1;
        limits.memoryMB = 200;
        std::vector<ChildMessage> messages;
        std::string seen;
        volatile sig_atomic_t stop = c.stop;
        std::string why = runInChild(
            limits, c.work, messages, [&](const ChildMessage& m) { seen += m.kind; }, [](double) {},
            &stop);
        EXPECT_EQ(why, c.expected) << c.what;
        if (c.expected.empty()) {
            ASSERT_EQ(seen, "AB");
            EXPECT_EQ(messages[0].text, "one");
            EXPECT_EQ(messages[1].text.size(), (size_t)1 << 17);
        }
    }
}
