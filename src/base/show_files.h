// The show's own files and times: the pictures and music every map plays with, read relative to
// the working directory, and the whole seconds of the show's events from its start. One place for
// the player, the map checker and the capture tool (which reads the times from this file).
// Base layer: uses nothing of ours.
#pragma once

//----------------------------------------------------------------------------------
// Files
//----------------------------------------------------------------------------------
#define SHOW_MUSIC_FILE "media/musique.mp3"
#define SHOW_LOGO_PICTURE "textures/quenbar.jpg"
#define SHOW_INTRO_PICTURE "textures/intro1.jpg"
#define SHOW_END_PICTURE "textures/fin.jpg"
#define SHOW_FONT_PICTURE "textures/Font.tga"
#define SHOW_PARTICLE_PICTURE "textures/particule.tga"
#define SHOW_SKY_SIDES 6
// The sky's sides in loading order: back, front, bottom, top, left, right.
#define SHOW_SKY_PICTURES                                                                          \
    {                                                                                              \
        "textures/back.jpg", "textures/front.jpg", "textures/bottom.jpg", "textures/top.jpg",      \
            "textures/left.jpg", "textures/right.jpg"                                              \
    }

//----------------------------------------------------------------------------------
// Times, whole seconds from the show's start
//----------------------------------------------------------------------------------
#define SHOW_LOGO_END 10       // the logo gives way to the intro
#define SHOW_INTRO_END 25      // the 3D scene begins
#define SHOW_PARTICLE_START 88 // emitting objects trail particles
#define SHOW_SCENE_END 122     // the end picture begins
#define SHOW_END 140           // the show restarts

// How long the 3D scene plays, which a camera flight should cover.
#define SHOW_SCENE_SECONDS (SHOW_SCENE_END - SHOW_INTRO_END)
