// The show's simulation without drawing: what an idle call and a scene frame change (paths,
// object motion, the frame counter, the particles), stepped on a fixed clock. The recorder's
// frames, the player's start at a given time and the authoring seeks all go through it, so the
// same steps give the same picture. Render side, but it calls no GL.
#pragma once

#include <cstdint>

#include "path/show_clock.h"

#define SHOW_STEP_FPS 60 // steps per second of a seek and of a start at a given time

// Show time of fixed frame `frame` at `fps`, whole milliseconds without drift.
int fixedStepMs(int64_t frame, int fps);

// Moves the camera path and every object by `step` seconds, recording each object's last move.
void advanceScenePaths(float step);

// What a scene frame does to the particles, without drawing them: once per emitting object from
// the particle start on.
void advanceSceneParticles(const ShowClock& clock);

// Keeps the loaded scene's starting state (paths, motion), for rewindScene.
void markSceneStart();

// Puts the scene back as it was at markSceneStart, and the particles as the show start seeded
// them.
void rewindScene();

// The first scene tick's step counts from the last millisecond before the scene, not from the
// last intro tick: the scene time is then the same whatever frames came before (the authoring
// mode's clock).
void alignSceneStart(ShowClock& clock, int ms);

// One fixed frame at show time `ms` as the show plays it, minus the drawing: the tick, in the
// scene phase the paths and the frame counter, then the particles of the frame. `aligned`: the
// scene's first step as alignSceneStart makes it.
void simulateFrame(ShowClock& clock, FrameCounter& counter, int ms, bool aligned);

// Restarts the clock at show time 0 and simulates the fixed frames before `targetMs` (from the
// scene as it stands: a fresh load, or rewindScene first).
int64_t simulateShowTo(ShowClock& clock, FrameCounter& counter, int targetMs, int fps,
                       bool aligned);
