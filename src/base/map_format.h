// What a map's files may hold: the option bits of a mesh file, the lamp limit, the largest picture
// side. One place for the player's readers, the map checker and the importer.
// Base layer: uses nothing of ours.
#pragma once

// Option bits of a mesh file's "option" line.
#define MESH_OPTION_TEXTURED 16  // the texture section follows
#define MESH_OPTION_NO_DEPTH 32  // drawn without depth test (nothing reads it)
#define MESH_OPTION_PARTICLES 64 // an animated object with this mesh emits particles

#define MAX_LAMPS 7 // lights GL_LIGHT0 to GL_LIGHT6

// Largest side of a picture: the player's GL may accept less; the checker and the importer hold
// every picture to this.
#define MAX_PICTURE_SIDE 16384
