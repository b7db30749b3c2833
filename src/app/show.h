// The show timeline: the show start and the two idle callbacks.
#pragma once

// Runs once before the rendering state and the map: settings defaults, particles, sky box,
// screen pictures, music, the first clock tick and the event times, then the music plays.
void startShow();

// One scene-idle step at the clock read `ms`: phases, trajectories, frame rate, path camera,
// end lines and the restart. Returns without requesting a redisplay (sceneIdle does that).
void runSceneIdle(int ms);

// Idle callback of an animated camera.
void sceneIdle();

// Idle callback of the free-camera viewer: counts a frame, requests a redisplay.
void viewerIdle();
