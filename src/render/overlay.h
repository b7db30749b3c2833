// The 640 x 480 overlay that the full-screen pictures and the text are drawn in.
#pragma once

// Pushes the projection, sets the overlay's orthographic box (y downward) and switches the
// depth test off; the modelview matrix is current afterwards.
void beginOverlay();

// Depth test on, projection popped, modelview at the identity, texturing off, and lighting
// switched on again when it was on before the overlay.
void endOverlay(bool wasLit);
