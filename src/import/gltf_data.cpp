// The bytes of a glTF file: the JSON, the buffers and accessors read at their offsets with
// pread. Import side. Every length the file states is checked against what the file holds
// before anything is read or allocated for it.
#include "import/gltf_data.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "import/pictures.h"

namespace {

#define GLB_MAGIC 0x46546C67u // "glTF"
#define CHUNK_JSON 0x4E4F534Au
#define CHUNK_BIN 0x004E4942u
#define READ_BLOCK (1u << 20) // strided accessors are read a megabyte at a time

bool readAt(int fd, uint64_t at, void* out, size_t size) {
    unsigned char* to = (unsigned char*)out;
    while (size > 0) {
        ssize_t got = pread(fd, to, size, (off_t)at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        to += got, at += (uint64_t)got, size -= (size_t)got;
    }
    return true;
}

// Reads `size` bytes at `at` of the buffer.
bool bufferBytes(const GltfBufferData& data, uint64_t at, void* out, size_t size) {
    if (data.fd < 0) {
        std::memcpy(out, data.bytes.data() + at, size);
        return true;
    }
    return readAt(data.fd, data.start + at, out, size);
}

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    return c == '+' ? 62 : c == '/' ? 63 : -1;
}

} // namespace

GltfFiles::~GltfFiles() {
    for (int fd : opened)
        close(fd);
}

int openRegular(const std::string& path, size_t limit, uint64_t& size, std::string& why) {
    // Not blocking on open: a FIFO without a writer would wait here forever.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat s;
    if (fd < 0) {
        why = "can't be opened (" + std::string(strerror(errno)) + ")";
        return -1;
    }
    if (fstat(fd, &s) != 0 || !S_ISREG(s.st_mode) || (uint64_t)s.st_size > limit) {
        why = S_ISREG(s.st_mode) ? "is bigger than the " + std::to_string(limit >> 20) +
                                       " MB allowed (SKARN_IMPORT_FILE_MB)"
                                 : "is not a plain file";
        close(fd);
        return -1;
    }
    size = (uint64_t)s.st_size;
    return fd;
}

bool base64Decoded(const std::string& text, std::vector<unsigned char>& out) {
    out.clear();
    out.reserve(text.size() / 4 * 3 + 3);
    unsigned bits = 0, held = 0;
    size_t end = text.size();
    while (end > 0 && text[end - 1] == '=')
        end--;
    for (size_t i = 0; i < end; i++) {
        int v = base64Value(text[i]);
        if (v < 0)
            return false;
        bits = (bits << 6) | (unsigned)v, held += 6;
        if (held >= 8) {
            held -= 8;
            out.push_back((unsigned char)(bits >> held));
        }
    }
    return true;
}

bool readGltfText(GltfFiles& files, std::string& json, bool& glTF1, std::string& error) {
    uint64_t size = 0;
    files.fd = openRegular(files.file, files.limit, size, error);
    if (files.fd < 0)
        return false;
    files.opened.push_back(files.fd);
    uint32_t header[5] = {0, 0, 0, 0, 0};
    glTF1 = false;
    if (size >= 12 && readAt(files.fd, 0, header, 12) && header[0] == GLB_MAGIC) {
        if (header[1] != 2) {
            glTF1 = true; // glTF 1's binary form: assimp's
            return true;
        }
        if (size < 20 || !readAt(files.fd, 12, header + 3, 8) || header[4] != CHUNK_JSON ||
            header[3] > size - 20) {
            error = "its binary glTF header or JSON chunk is broken or longer than the file";
            return false;
        }
        json.resize(header[3]);
        uint64_t at = 20 + (uint64_t)header[3];
        uint32_t chunk[2];
        if (!readAt(files.fd, 20, &json[0], json.size())) {
            error = "its JSON chunk can't be read";
            return false;
        }
        at = (at + 3) & ~(uint64_t)3;
        if (at + 8 <= size && readAt(files.fd, at, chunk, 8) && chunk[1] == CHUNK_BIN) {
            if (chunk[0] > size - at - 8) {
                error = "its binary chunk says it holds " + std::to_string(chunk[0]) +
                        " bytes but the file has " + std::to_string(size - at - 8) + " after it";
                return false;
            }
            files.hasBin = true, files.binStart = at + 8, files.binSize = chunk[0];
        }
        return true;
    }
    json.resize(size);
    if (size > 0 && !readAt(files.fd, 0, &json[0], json.size())) {
        error = "it can't be read";
        return false;
    }
    return true;
}

bool openBuffers(const GltfDoc& doc, GltfFiles& files, std::string& error) {
    for (size_t i = 0; i < doc.buffers.size(); i++) {
        const GltfBuffer& b = doc.buffers[i];
        GltfBufferData data;
        std::string name = "buffer " + std::to_string(i);
        if (!b.hasUri) {
            if (!files.hasBin) {
                error = name + " has no file and the scene no binary chunk";
                return false;
            }
            data.fd = files.fd, data.start = files.binStart, data.size = files.binSize;
        } else if (b.uri.compare(0, 5, "data:") == 0) {
            size_t comma = b.uri.find(',');
            if (comma == std::string::npos ||
                b.uri.compare(comma - std::min<size_t>(comma, 7), 7, ";base64") != 0 ||
                !base64Decoded(b.uri.substr(comma + 1), data.bytes)) {
                error = name + " has a data: URI that is not base64";
                return false;
            }
            data.size = data.bytes.size();
        } else {
            uint64_t size = 0;
            std::string why, path = files.folder + b.uri;
            int fd = openRegular(path, files.limit, size, why);
            if (fd < 0 && uriDecoded(b.uri) != b.uri)
                fd = openRegular(files.folder + uriDecoded(b.uri), files.limit, size, why);
            if (fd < 0) {
                error = name + " (" + b.uri + ") " + why;
                return false;
            }
            files.opened.push_back(fd);
            data.fd = fd, data.size = size;
        }
        if (b.length > data.size) {
            error = name + " says it holds " + std::to_string(b.length) + " bytes but has " +
                    std::to_string(data.size);
            return false;
        }
        data.size = b.length;
        files.buffers.push_back(std::move(data));
    }
    return true;
}

size_t elementSize(const GltfAccessor& a) {
    int t = a.componentType;
    size_t component = (t == 5120 || t == 5121)   ? 1
                       : (t == 5122 || t == 5123) ? 2
                       : (t == 5125 || t == 5126) ? 4
                                                  : 0;
    return component * (size_t)a.width;
}

bool accessorFits(const GltfDoc& doc, const GltfFiles& files, int index, std::string& error) {
    std::string name = "accessor " + std::to_string(index);
    if (index < 0 || (size_t)index >= doc.accessors.size()) {
        error = name + " is not in the file";
        return false;
    }
    const GltfAccessor& a = doc.accessors[index];
    size_t element = elementSize(a);
    if (element == 0) {
        error = name + " has a component type or type glTF does not have";
        return false;
    }
    // Without a view an accessor is zeros of any count the file claims: not taken.
    if (a.view < 0 || (size_t)a.view >= doc.views.size() || doc.views[a.view].buffer < 0 ||
        (size_t)doc.views[a.view].buffer >= files.buffers.size()) {
        error = name + " names no buffer view or buffer of the file";
        return false;
    }
    const GltfView& v = doc.views[a.view];
    uint64_t size = files.buffers[v.buffer].size;
    uint64_t stride = v.stride ? v.stride : element;
    // Every bound in 64 bits, each term below 2^63: counts and offsets come from the file.
    bool fits = stride >= element && stride <= 252 && v.offset <= size &&
                v.length <= size - v.offset && a.offset <= v.length &&
                (a.count == 0 || (a.count <= (v.length - a.offset) / stride + 1 &&
                                  (a.count - 1) * stride + element <= v.length - a.offset));
    if (!fits)
        error = name + " reaches past its buffer view or buffer (or its stride is wrong)";
    return fits;
}

bool readPacked(const GltfDoc& doc, const GltfFiles& files, int index, unsigned char* out,
                std::string& error) {
    if (!accessorFits(doc, files, index, error))
        return false;
    const GltfAccessor& a = doc.accessors[index];
    std::string name = "accessor " + std::to_string(index);
    if (a.count == 0)
        return true;
    size_t element = elementSize(a);
    const GltfView& v = doc.views[a.view];
    const GltfBufferData& data = files.buffers[v.buffer];
    uint64_t stride = v.stride ? v.stride : element;
    uint64_t at = v.offset + a.offset;
    if (stride == element) {
        if (!bufferBytes(data, at, out, a.count * element)) {
            error = name + " can't be read";
            return false;
        }
        return true;
    }
    std::vector<unsigned char> block;
    uint64_t perBlock = READ_BLOCK / stride;
    for (uint64_t first = 0; first < a.count; first += perBlock) {
        uint64_t rows = std::min<uint64_t>(perBlock, a.count - first);
        block.resize((rows - 1) * stride + element);
        if (!bufferBytes(data, at + first * stride, block.data(), block.size())) {
            error = name + " can't be read";
            return false;
        }
        for (uint64_t r = 0; r < rows; r++)
            std::memcpy(out + (first + r) * element, block.data() + r * stride, element);
    }
    return true;
}

bool readView(const GltfDoc& doc, const GltfFiles& files, int index,
              std::vector<unsigned char>& out, std::string& error) {
    if (index < 0 || (size_t)index >= doc.views.size() || doc.views[index].buffer < 0 ||
        (size_t)doc.views[index].buffer >= files.buffers.size()) {
        error = "buffer view " + std::to_string(index) + " is not in the file";
        return false;
    }
    const GltfView& v = doc.views[index];
    const GltfBufferData& data = files.buffers[v.buffer];
    if (v.offset > data.size || v.length > data.size - v.offset) {
        error = "buffer view " + std::to_string(index) + " reaches past its buffer";
        return false;
    }
    out.resize(v.length);
    if (v.length > 0 && !bufferBytes(data, v.offset, out.data(), v.length)) {
        error = "buffer view " + std::to_string(index) + " can't be read";
        return false;
    }
    return true;
}
