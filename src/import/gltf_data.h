// The bytes of a glTF file: its JSON, its buffers (the binary chunk of a .glb, .bin files beside
// it, data: URIs) and accessors read from them. Import side. Buffers stay on disk: an accessor
// is read with pread at its offset, so the binary chunk is never held whole in memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "import/gltf_doc.h"

// Where one buffer's bytes are.
struct GltfBufferData {
    int fd = -1;                      // an open file (the .glb or a .bin), or -1 for `bytes`
    uint64_t start = 0;               // of the buffer within the file
    uint64_t size = 0;                // bytes the buffer may be read over
    std::vector<unsigned char> bytes; // a data: URI's decoded bytes
};

struct GltfFiles {
    std::string file, folder;           // the scene file and its folder ("" or ending in '/')
    size_t limit = 0;                   // largest file opened, in bytes
    int fd = -1;                        // the scene file
    uint64_t binStart = 0, binSize = 0; // a .glb's binary chunk
    bool hasBin = false;
    std::vector<int> opened; // every descriptor to close
    std::vector<GltfBufferData> buffers;
    ~GltfFiles();
};

// Opens only a regular file no bigger than `limit` (a FIFO or a folder named by a scene would
// block or fail the reader). -1 with `why` otherwise.
int openRegular(const std::string& path, size_t limit, uint64_t& size, std::string& why);

// Opens the scene file and reads its JSON (a .glb's first chunk). False with `error`.
bool readGltfText(GltfFiles& files, std::string& json, bool& glTF1, std::string& error);

// Finds every buffer's bytes. False with `error`.
bool openBuffers(const GltfDoc& doc, GltfFiles& files, std::string& error);

// Decodes base64 text; false when it holds other characters.
bool base64Decoded(const std::string& text, std::vector<unsigned char>& out);

// Bytes of one element of the accessor (0 when its type is not one glTF has).
size_t elementSize(const GltfAccessor& accessor);

// True when the accessor's elements lie within its view and buffer (so what is allocated for
// them is bounded by the file); false with `error` naming it.
bool accessorFits(const GltfDoc& doc, const GltfFiles& files, int accessor, std::string& error);

// Reads the accessor's elements packed (stride removed) into `out`, which holds
// count * elementSize bytes. Checks the accessor against its view and buffer. False with
// `error` (naming the accessor).
bool readPacked(const GltfDoc& doc, const GltfFiles& files, int accessor, unsigned char* out,
                std::string& error);

// Reads `size` bytes of a buffer view (a picture). False with `error`.
bool readView(const GltfDoc& doc, const GltfFiles& files, int view, std::vector<unsigned char>& out,
              std::string& error);
