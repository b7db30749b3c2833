// Still meshes that draw alike (same picture, colour and blending) merged into one mesh, so a
// scene of many instances writes one file per look. Import side; records only.
#pragma once

#include <cstddef>

#include "import/scene_convert.h"

// Merges the still meshes of `scene` (before placeMeshes) into the first of each look; moving
// meshes stay as they are. Returns how many meshes were merged into another.
size_t mergeStillMeshes(ImportedScene& scene);
