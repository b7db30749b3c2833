// Lighting save and restore around the unlit drawings (pictures, text, sky, particles): thin
// helpers, one GL call in, the same calls out, no state kept. Render side.
#pragma once

// Switches lighting off when it is on; returns whether it was on.
bool suspendLighting();

// Switches lighting on again when it was on before suspendLighting.
void resumeLighting(bool wasLit);
