// Camera section of a map file: the free camera's position, a look-at target and the flag that
// makes the camera fly along the map's "camera.dpl".
#pragma once

#include <string>

#include "base/load_result.h"
#include "base/text_reader.h"
#include "base/vec3.h"

struct CameraSection {
    Vec3 eye;    // "position": the free camera's position
    Vec3 target; // "cible": stored into the camera path's target
    int anime;   // "anime": exactly 1 selects the path camera
};

// Reads the three lines "position : x y z", "cible : x y z", "anime : n" without side effects.
// Returns false with the reader's error set when they break the grammar.
bool parseCameraSection(TextReader& reader, CameraSection& section);

// Prints "Chargement camera ...", stores the section into the global camera and, when anime is
// exactly 1, loads mapDir + "camera.dpl" into the camera path (whose failure it returns).
LoadResult loadCameraSection(const CameraSection& section, const std::string& mapDir);
