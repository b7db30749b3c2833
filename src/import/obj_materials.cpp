// The materials of an OBJ scene read from its .mtl libraries, and the reading of a whole file
// that OBJ and .mtl share. Import side. Only what the
// converter uses is kept: the name, Kd, d or Tr, and map_Kd; every other statement is skipped.
#include "import/obj_materials.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <assimp/material.h>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>

#include "import/obj_reader.h"

namespace {

#define NAME_LIMIT 1000 // aiString holds 1024 bytes

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// One line of a library: [at, end), without its line end.
struct Line {
    const char* at;
    const char* end;
};

void skipBlanks(Line& line) {
    while (line.at < line.end && blank(*line.at))
        line.at++;
}

std::string word(Line& line) {
    skipBlanks(line);
    const char* start = line.at;
    while (line.at < line.end && !blank(*line.at))
        line.at++;
    return std::string(start, line.at);
}

// The rest of the line without the blanks around it, cut to what an aiString holds.
std::string rest(Line line) {
    skipBlanks(line);
    while (line.end > line.at && blank(line.end[-1]))
        line.end--;
    return std::string(line.at, std::min<size_t>(line.end - line.at, NAME_LIMIT));
}

bool number(Line& line, float& out) {
    skipBlanks(line);
    const char* start = line.at + (line.at < line.end && *line.at == '+');
    float value = 0;
    auto [stop, problem] = std::from_chars(start, line.end, value);
    if (problem != std::errc() || stop == start || !std::isfinite(value))
        return false;
    line.at = stop;
    out = value;
    return true;
}

std::string lower(std::string text) {
    for (char& c : text)
        c = (char)std::tolower((unsigned char)c);
    return text;
}

// The line's key in lower case; "" when its first word is longer than any key (the line is
// skipped without reading further: a line may be as long as the file).
std::string keyOf(Line& line) {
    skipBlanks(line);
    const char* start = line.at;
    while (line.at < line.end && !blank(*line.at) && line.at - start <= 8)
        line.at++;
    return line.at - start > 8 ? "" : lower(std::string(start, line.at));
}

// The picture of a map_Kd line after its options ("-clamp on", "-s 1 1 1", ...), each option
// skipped with as many values as it takes.
std::string pictureName(Line line) {
    for (;;) {
        Line before = line;
        std::string option = lower(word(line));
        if (option.empty() || option[0] != '-')
            return rest(before);
        int values = 0;
        if (option == "-clamp" || option == "-type" || option == "-bm" || option == "-blendu" ||
            option == "-blendv" || option == "-boost" || option == "-texres" ||
            option == "-imfchan")
            values = 1;
        else if (option == "-mm")
            values = 2;
        else if (option == "-o" || option == "-s" || option == "-t")
            values = 3;
        for (int k = 0; k < values; k++)
            word(line);
    }
}

} // namespace

bool readFileText(const std::string& path, size_t limit, FileText& out, std::string& error) {
    // Not blocking on open: a FIFO without a writer would wait here forever.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = std::string("cannot open it (") + std::strerror(errno) + ")";
        return false;
    }
    struct stat s;
    size_t done = 0, size = 0;
    if (fstat(fd, &s) != 0 || !S_ISREG(s.st_mode)) {
        error = "it is not a regular file";
    } else if ((size = (size_t)s.st_size) > limit) {
        error = "it is larger than " + std::to_string(limit >> 20) + " MB";
    } else {
        out.bytes.reset(new (std::nothrow) char[size + 4]);
        while (out.bytes && done < size) {
            ssize_t got = read(fd, out.bytes.get() + done, size - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            done += (size_t)got;
        }
        error = !out.bytes    ? "there is no memory for it"
                : done < size ? "it could not be read"
                              : "";
    }
    close(fd);
    if (!error.empty())
        return false;
    std::memset(out.bytes.get() + size, 0, 4); // a few bytes past the end can be looked at
    out.size = size;
    return true;
}

unsigned objMaterial(ObjMaterials& materials, const std::string& name) {
    auto found = materials.byName.find(name);
    if (found != materials.byName.end())
        return found->second;
    ObjMaterial material;
    material.name = name;
    materials.list.push_back(material);
    materials.byName[name] = (unsigned)materials.list.size() - 1;
    return (unsigned)materials.list.size() - 1;
}

void readMaterialLibrary(const std::string& objFile, const std::string& named, size_t limit,
                         ObjMaterials& materials) {
    size_t slash = objFile.find_last_of('/');
    std::string folder = slash == std::string::npos ? "" : objFile.substr(0, slash + 1);
    FileText text;
    std::string why;
    size_t left = limit - std::min(limit, materials.libraryBytes);
    if (!readFileText(folder + named, left, text, why) &&
        !readFileText(objFile.substr(0, objFile.size() - 3) + "mtl", left, text, why))
        return;
    materials.libraryBytes += text.size + 1; // an empty one counts too
    // Pictures are named from the library's folder as the mtllib line gives it.
    size_t cut = named.find_last_of('/');
    if (cut == std::string::npos)
        cut = named.find_last_of('\\');
    std::string prefix = cut == std::string::npos ? "" : named.substr(0, cut + 1);
    int current = -1;
    const char* at = text.bytes.get();
    const char* end = at + text.size;
    while (at < end) {
        const char* stop = (const char*)std::memchr(at, '\n', end - at);
        Line line{at, stop ? stop : end};
        at = stop ? stop + 1 : end;
        std::string key = keyOf(line);
        if (key == "newmtl") {
            std::string name = rest(line);
            if (materials.list.size() >= OBJ_MAX_MATERIALS && !materials.byName.count(name))
                return;
            current = (int)objMaterial(materials, name.empty() ? OBJ_DEFAULT_MATERIAL : name);
        } else if (current < 0) {
            continue;
        } else if (key == "kd") {
            float* kd = materials.list[current].diffuse;
            float r = 0, g = 0, b = 0;
            // One value is red alone, as assimp reads it.
            if (number(line, r)) {
                if (number(line, g))
                    number(line, b);
                kd[0] = r, kd[1] = g, kd[2] = b;
            }
        } else if (key == "d" || key == "tr") {
            float value;
            if (number(line, value))
                materials.list[current].opacity = key == "d" ? value : 1 - value;
        } else if (key == "map_kd") {
            materials.list[current].picture = prefix + pictureName(line);
        }
    }
}

aiMaterial* makeMaterial(const ObjMaterial& material) {
    aiMaterial* out = new aiMaterial;
    aiString name(material.name);
    out->AddProperty(&name, AI_MATKEY_NAME);
    aiColor3D diffuse(material.diffuse[0], material.diffuse[1], material.diffuse[2]);
    out->AddProperty(&diffuse, 1, AI_MATKEY_COLOR_DIFFUSE);
    out->AddProperty(&material.opacity, 1, AI_MATKEY_OPACITY);
    if (!material.picture.empty()) {
        aiString picture(material.picture);
        out->AddProperty(&picture, AI_MATKEY_TEXTURE_DIFFUSE(0));
    }
    return out;
}
