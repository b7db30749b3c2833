// The scene frame: the phase choice from the show clock, and the scene or a full-screen picture.
#pragma once

#include "path/show_clock.h"
#include "scene/mesh.h"

enum ShowPhase { PHASE_LOGO, PHASE_INTRO, PHASE_SCENE, PHASE_END, PHASE_CLEARED };

// The first test that holds decides; PHASE_CLEARED when now equals logoEnd exactly.
ShowPhase framePhase(const ShowClock& clock);

// Clears and draws one frame for the clock; the application shell flushes and swaps.
void drawSceneFrame(const ShowClock& clock);

// Draws one mesh as one batch of triangles in the current modelview matrix: by calling its
// display list when it has one, otherwise vertex by vertex.
void drawMesh(const Mesh& mesh);

// Draws one mesh vertex by vertex (immediate mode), whether or not it has a display list; the
// calls a display list of the mesh records.
void drawMeshImmediate(const Mesh& mesh);
