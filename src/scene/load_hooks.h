// Load hooks: the drawing work a scene load hands to the side above it at the point of its log
// where the work belongs (a mesh's picture between its lines, each lamp as it is read), so that
// console lines and GL calls keep their order while scene/ calls no GL. The player passes the
// render side's hooks, the checker and the tests ones that touch no GL.
#pragma once

#include <string>

struct Lamp;

struct SceneLoadHooks {
    // A mesh's picture: returns the texture name, or 0 when the picture is refused. Null: every
    // picture is refused.
    unsigned int (*meshPicture)(const std::string& path) = nullptr;
    // One lamp of the map, as it is read (lamps past the limit never reach it). Null: nothing.
    void (*lamp)(const Lamp& lamp) = nullptr;
};
