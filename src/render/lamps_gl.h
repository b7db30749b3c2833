// Lamps' GL set-up: a map's lamp records as OpenGL point lights. Render side.
#pragma once

#include "scene/lamps.h"

// Gives one lamp record to OpenGL with the fixed white specular material (the player's lamp hook).
void setUpLampRecord(const Lamp& lamp);

// Gives one lamp to OpenGL: front material specular and shininess, then the light's position,
// diffuse and specular colours, then enables it.
void setUpLamp(const float specular[4], const float position[4], const float colour[4], int index);
