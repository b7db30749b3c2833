// The importer's own glTF 2.0 reader (.gltf, .glb): reads what the converter carries over
// straight into an aiScene, with accessors read at their offsets and a mesh's indices in one
// block, so a large scene takes a small multiple of its file. Import side; runs in the reader's
// child. Files that use what it leaves out (glTF 1, skins, shape keys, sparse or compressed
// data, points and lines) go to assimp as before.
#pragma once

#include <assimp/scene.h>
#include <memory>
#include <string>

enum GltfOutcome {
    GLTF_READ,      // the scene is built
    GLTF_REFUSED,   // the file is broken or hostile: `error` says why
    GLTF_TO_ASSIMP, // not a file of ours (another format, or what this reader leaves out)
};

// Reads `file` (opening no file bigger than `limit` bytes, and only regular ones) into `out`.
GltfOutcome readGltf(const std::string& file, size_t limit, std::unique_ptr<aiScene>& out,
                     std::string& error);

// Lets go of the shared index blocks of a scene this reader built (call before freeing it).
void releaseIndexBlocks(aiScene& scene);

// The same for one mesh: faces whose indices share one block (the first face's) lose their
// pointers into it, so that freeing the faces frees the block once. Faces with a block each
// (assimp's, the OBJ reader's) are left as they are: two heap blocks never lie 12 bytes apart, as
// each carries a header of its own, so face 1 three indices past face 0 means one shared block.
void releaseIndexBlock(aiMesh& mesh);
