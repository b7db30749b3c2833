// Load results: what went wrong in a load, handed up to the program's entry, which alone prints
// it and ends the process. Base layer: uses nothing of ours.
#pragma once

#include <string>

struct LoadResult {
    bool ok = true;      // false: the load stopped here and the show can't go on
    int status = 0;      // exit status the player ends with when not ok
    std::string message; // "path: system text" or "path:line: error: what", no line end
};

// A failed load with its message and the player's exit status for it.
inline LoadResult loadFailure(const std::string& message, int status) {
    return LoadResult{false, status, message};
}
