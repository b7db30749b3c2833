// Shared pieces of the benchmarks: scratch directories, memory figures, recorded times.
#include "bench_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <vector>

static std::map<std::string, double> recordedTimes; // name -> seconds per iteration

std::string makeScratchDir(const std::string& prefix) {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + prefix + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) {
        return "";
    }
    return name.data();
}

void removeScratchDir(const std::string& dir) {
    std::error_code ignored;
    if (!dir.empty()) {
        std::filesystem::remove_all(dir, ignored);
    }
}

long long procStatusBytes(const char* field) {
    FILE* f = fopen("/proc/self/status", "r");
    if (f == nullptr) {
        return -1;
    }
    char line[256];
    long long kb = -1;
    const size_t length = strlen(field);
    while (fgets(line, sizeof line, f) != nullptr) {
        if (strncmp(line, field, length) == 0 && line[length] == ':') {
            kb = atoll(line + length + 1);
            break;
        }
    }
    fclose(f);
    return kb < 0 ? -1 : kb * 1024;
}

void recordSeconds(const std::string& name, double secondsPerIteration) {
    recordedTimes[name] = secondsPerIteration;
}

double recordedSeconds(const std::string& name) {
    auto it = recordedTimes.find(name);
    return it == recordedTimes.end() ? 0.0 : it->second;
}

// Seconds in the most readable unit.
static std::string readableTime(double seconds) {
    char text[64];
    if (seconds >= 1.0) {
        snprintf(text, sizeof text, "%.3f s", seconds);
    } else if (seconds >= 1e-3) {
        snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
    } else {
        snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
    }
    return text;
}

void printSpeedRatio(const std::string& label, const std::string& shipped,
                     const std::string& baseline, double goal) {
    const double a = recordedSeconds(shipped);
    const double b = recordedSeconds(baseline);
    if (a <= 0 || b <= 0) {
        printf("%s: not measured (run both %s and %s)\n", label.c_str(), shipped.c_str(),
               baseline.c_str());
        return;
    }
    const double ratio = b / a;
    if (goal <= 0) {
        printf("%s: %s against %s, %.1fx\n", label.c_str(), readableTime(a).c_str(),
               readableTime(b).c_str(), ratio);
        return;
    }
    printf("%s: %s against %s, %.1fx (goal: at least %.0fx) %s\n", label.c_str(),
           readableTime(a).c_str(), readableTime(b).c_str(), ratio, goal,
           ratio >= goal ? "met" : "MISSED");
}
