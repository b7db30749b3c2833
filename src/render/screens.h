// The logo, intro and end pictures that fill the viewport, and the start frame.
#pragma once

// Texture names, 0 until loaded; written by loadScreenPictures only (and tests).
extern unsigned int introPicture;
extern unsigned int logoPicture;
extern unsigned int endPicture;

void loadScreenPictures();
void drawLogoScreen();
void drawIntroScreen();
void drawEndScreen();

// Clears and draws the logo; the application shell flushes and swaps.
void drawStartFrame();
