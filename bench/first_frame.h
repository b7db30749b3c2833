// Start-up of the real player timed to its first presented frame (see first_frame.cpp).
#pragma once

#include <string>

// Starts `player` on `mapName` in `dir` with `probe` preloaded (it writes the time of the first
// swap into `stamp`) and returns the seconds from the start to that frame, or -1 when no frame came
// within 30 s. The player is then stopped.
double timeFirstFrame(const std::string& player, const std::string& probe, const std::string& stamp,
                      const std::string& dir, const std::string& mapName);
