// Work on an untrusted file done in a child process under limits. Import side. The child
// inherits the parent's memory as it was at the fork and ends with _exit: nothing it does
// (a crash in the scene library, a runaway allocation, a recursion thousands deep) reaches the
// parent, which only reads its messages and its exit status.
#include "import/reader_child.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <new>
#include <poll.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define UNDER_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define UNDER_SANITIZER 1
#endif
#endif

namespace {

#define EXIT_OUT_OF_MEMORY 86 // the child's status when an allocation failed
#define READER_STACK_MB 512   // deep recursions in the scene library need a large stack
#define CPU_GRACE_SECONDS 5   // between the processor limit's signal and its kill
#define WAIT_MILLISECONDS 200 // between two looks at the clock while the child works

struct ChildWork {
    const std::function<void(int)>* work;
    int fd;
};

[[noreturn]] void outOfMemory() {
    _exit(EXIT_OUT_OF_MEMORY);
}

void* runWork(void* arg) {
    ChildWork* w = (ChildWork*)arg;
    (*w->work)(w->fd);
    return nullptr;
}

void setLimit(int resource, rlim_t soft, rlim_t hard) {
    struct rlimit limit = {soft, hard};
    setrlimit(resource, &limit);
}

[[noreturn]] void childMain(const ImportLimits& limits, const std::function<void(int)>& work,
                            int fd) {
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    signal(SIGPIPE, SIG_DFL);
    setLimit(RLIMIT_CORE, 0, 0);
    setLimit(RLIMIT_CPU, (rlim_t)limits.seconds, (rlim_t)limits.seconds + CPU_GRACE_SECONDS);
#ifndef UNDER_SANITIZER // the sanitizer's shadow memory needs far more address space
    rlim_t bytes = (rlim_t)limits.memoryMB << 20;
    setLimit(RLIMIT_AS, bytes, bytes);
#endif
    std::set_new_handler(outOfMemory);
    size_t stackMB = std::min((size_t)READER_STACK_MB, limits.memoryMB / 4);
    ChildWork w{&work, fd};
    pthread_attr_t attributes;
    pthread_t thread;
    pthread_attr_init(&attributes);
    if (pthread_attr_setstacksize(&attributes, stackMB << 20) == 0 &&
        pthread_create(&thread, &attributes, runWork, &w) == 0) {
        pthread_join(thread, nullptr);
    } else {
        runWork(&w);
    }
    _exit(0);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Takes the whole messages off the front of `buffer`.
void takeMessages(std::string& buffer, std::vector<ChildMessage>& messages,
                  const std::function<void(const ChildMessage&)>& onMessage) {
    size_t at = 0;
    while (buffer.size() - at >= 5) {
        uint32_t length;
        std::memcpy(&length, buffer.data() + at + 1, 4);
        if (buffer.size() - at - 5 < length)
            break;
        messages.push_back({buffer[at], buffer.substr(at + 5, length)});
        onMessage(messages.back());
        at += 5 + (size_t)length;
    }
    buffer.erase(0, at);
}

} // namespace

void childSend(int fd, char kind, const std::string& text) {
    std::string frame(5, kind);
    uint32_t length = (uint32_t)text.size();
    std::memcpy(&frame[1], &length, 4);
    frame += text;
    for (size_t at = 0; at < frame.size();) {
        ssize_t n = write(fd, frame.data() + at, frame.size() - at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            _exit(1); // the parent is gone
        at += (size_t)n;
    }
}

std::string runInChild(const ImportLimits& limits, const std::function<void(int fd)>& work,
                       std::vector<ChildMessage>& messages,
                       const std::function<void(const ChildMessage&)>& onMessage,
                       const std::function<void(double seconds)>& onWait,
                       volatile sig_atomic_t* stop) {
    int ends[2];
    if (pipe(ends) != 0)
        return std::string("the scene reader could not start: ") + std::strerror(errno);
    fflush(nullptr); // nothing buffered is written twice
    pid_t pid = fork();
    if (pid < 0) {
        close(ends[0]);
        close(ends[1]);
        return std::string("the scene reader could not start: ") + std::strerror(errno);
    }
    if (pid == 0) {
        close(ends[0]);
        childMain(limits, work, ends[1]);
    }
    close(ends[1]);
    auto start = std::chrono::steady_clock::now();
    std::string buffer, why;
    char chunk[1 << 16];
    for (bool open = true; open;) {
        if (stop && *stop) {
            why = "interrupted";
            break;
        }
        if (secondsSince(start) > limits.seconds) {
            why = "the scene reader took longer than " + std::to_string(limits.seconds) + " s";
            break;
        }
        struct pollfd p = {ends[0], POLLIN, 0};
        int ready = poll(&p, 1, WAIT_MILLISECONDS);
        if (ready > 0) {
            ssize_t n = read(ends[0], chunk, sizeof chunk);
            if (n > 0) {
                buffer.append(chunk, (size_t)n);
                takeMessages(buffer, messages, onMessage);
            } else if (n == 0 || errno != EINTR) {
                open = false;
            }
        }
        onWait(secondsSince(start));
    }
    close(ends[0]);
    if (!why.empty())
        kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!why.empty())
        return why;
    if (WIFSIGNALED(status) && (WTERMSIG(status) == SIGXCPU || WTERMSIG(status) == SIGKILL))
        return "the scene reader took longer than " + std::to_string(limits.seconds) + " s";
    if (WIFSIGNALED(status))
        return "the scene reader crashed (signal " + std::to_string(WTERMSIG(status)) + ")";
    if (WIFEXITED(status) && WEXITSTATUS(status) == EXIT_OUT_OF_MEMORY)
        return "the scene reader needed more than " + std::to_string(limits.memoryMB) + " MB";
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "the scene reader stopped (status " + std::to_string(WEXITSTATUS(status)) + ")";
    return "";
}
