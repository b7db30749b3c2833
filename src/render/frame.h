// The scene frame: the phase choice from the show clock, and the scene or a full-screen picture.
#pragma once

#include "path/show_clock.h"
#include "render/mesh_draw.h"  // drawMeshImmediate
#include "render/mesh_lists.h" // drawMesh

enum ShowPhase { PHASE_LOGO, PHASE_INTRO, PHASE_SCENE, PHASE_END, PHASE_CLEARED };

// The first test that holds decides; PHASE_CLEARED when now equals logoEnd exactly.
ShowPhase framePhase(const ShowClock& clock);

// Clears and draws one frame for the clock; the application shell flushes and swaps.
void drawSceneFrame(const ShowClock& clock);
