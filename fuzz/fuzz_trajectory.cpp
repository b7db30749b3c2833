// Fuzz target: the trajectory reader on arbitrary bytes; a parsed path is walked and released.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "path/trajectory_file.h"
#include "base/text_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    TextReader reader;
    readerFromText(reader, "fuzz.dpl", std::string((const char*)data, size));
    Trajectory trajectory;
    if (!parseTrajectory(reader, trajectory)) {
        if (reader.error.empty() || trajectory.firstPoint != nullptr) {
            abort();
        }
        return 0;
    }
    // The list holds max(POSITIONS, 1) points, closed into a ring exactly when LOOP is 1.
    int expected = trajectory.positions > 0 ? trajectory.positions : 1;
    TrajectoryPoint* p = trajectory.firstPoint;
    for (int i = 1; i < expected; ++i) {
        p = p->next;
    }
    if (p->next != (trajectory.loop == 1 ? trajectory.firstPoint : nullptr)) {
        abort();
    }
    freeTrajectory(&trajectory);
    return 0;
}
