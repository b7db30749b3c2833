// Catmull-Rom playback of a trajectory: one segment per second of show time.
#pragma once

#include "path/trajectory.h"

// Moves t forward by `step` seconds, crossing at most one segment boundary.
void advanceTrajectory(float step, Trajectory* trajectory);

// Computes position (and target, up by curves) for the current point and t.
void evaluateTrajectory(Trajectory* trajectory);
