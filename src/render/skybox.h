// The six-sided textured box around the scene.
#pragma once

// Written by loadSkyBox only (and tests).
extern unsigned int skyTextures[6]; // back, front, bottom, top, left, right

void loadSkyBox();
void drawSkyBox(float x, float y, float z, float width, float height, float length);
