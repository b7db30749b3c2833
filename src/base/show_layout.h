// The show's fixed geometry: the window and its letterbox bands, the sky box, the turn every
// object gets last. One place for the player, the recorder and the importer.
// Base layer: uses nothing of ours.
#pragma once

#define SHOW_WINDOW_WIDTH 640 // the window the show opens, and every recorded frame
#define SHOW_WINDOW_HEIGHT 480
#define SHOW_LETTERBOX_BAND 50 // free pixels at the top and at the bottom of the window

// The sky box: a cube this wide around this centre, drawn around the whole scene.
#define SHOW_SKY_SIZE 300.0f
#define SHOW_SKY_CENTRE_X 0.0f
#define SHOW_SKY_CENTRE_Y 10.0f
#define SHOW_SKY_CENTRE_Z 0.0f

#define SHOW_OBJECT_TURN_DEGREES -30.0f // about y, after the object's own turns
