// One import from start to end. Import side. The scene is read, converted and written by a
// child process (import/import_work) into two scratch folders: the map's under map/, the
// pictures' inside textures/. Only once the child says all is done does this side move both
// into place, pictures first, the map last; any failure or a SIGINT/SIGTERM before that removes
// the scratch folders and leaves map/ and textures/ as they were.
#include "import/import_run.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "import/import_work.h"
#include "import/scene_convert.h"
#include "import/reader_child.h"

namespace fs = std::filesystem;

namespace {

// Set by the signal handler while an import runs; written only by onSignal.
volatile sig_atomic_t stopSignal = 0;

void onSignal(int signal) {
    stopSignal = signal;
}

const int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

// The folders an import makes, and which of the show's it had to create.
struct Scratch {
    WorkFolders folders;
    std::string mapsDir;       // map/
    bool madeMaps = false;     // map/ was not there
    bool madeTextures = false; // textures/ was not there
};

// Removes the scratch folders of imports that were killed (SIGKILL leaves no time to clean):
// ".NAME.import-PID" whose process is gone.
void sweepStale(const std::string& folder) {
    std::error_code e;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, e)) {
        std::string name = entry.path().filename().string();
        size_t mark = name.rfind(".import-");
        if (name[0] != '.' || mark == std::string::npos)
            continue;
        char* end = nullptr;
        long pid = std::strtol(name.c_str() + mark + 8, &end, 10);
        if (*end == '\0' && pid > 0 && kill((pid_t)pid, 0) != 0 && errno == ESRCH)
            fs::remove_all(entry.path(), e);
    }
}

// Removes what the import made; the show's folders are as they were.
void clean(const Scratch& s) {
    std::error_code ignored;
    fs::remove_all(s.folders.scratch, ignored);
    fs::remove_all(s.folders.staging, ignored);
    if (s.madeTextures)
        fs::remove(s.folders.textures, ignored); // only while empty
    if (s.madeMaps)
        fs::remove(s.mapsDir, ignored);
}

bool makeFolder(const std::string& path, bool& made, std::string& error) {
    std::error_code e;
    made = !fs::exists(path, e);
    if (made)
        fs::create_directories(path, e);
    if (e || !fs::is_directory(path, e)) {
        error = path + ": cannot write here" + (e ? ": " + e.message() : "");
        return false;
    }
    return true;
}

// Moves the finished map into place; an old one goes only once the new one is there.
bool moveIntoPlace(const std::string& scratch, const std::string& mapDir, std::error_code& error) {
    std::string old = mapDir + ".old-" + std::to_string(getpid());
    bool hadOne = fs::exists(mapDir, error);
    if (hadOne)
        fs::rename(mapDir, old, error);
    if (error)
        return false;
    fs::rename(scratch, mapDir, error);
    if (error) {
        if (hadOne)
            fs::rename(old, mapDir, error);
        return false;
    }
    if (hadOne)
        fs::remove_all(old, error);
    return true;
}

// What the child said it wrote.
struct WorkResult {
    std::vector<std::string> lines, notes, pictures, staged;
    std::string error;
    bool done = false;
};

WorkResult resultOf(const std::vector<ChildMessage>& messages) {
    WorkResult r;
    for (const ChildMessage& m : messages) {
        if (m.kind == WORK_LINE)
            r.lines.push_back(m.text);
        if (m.kind == WORK_NOTE)
            r.notes.push_back(m.text);
        if (m.kind == WORK_ERROR)
            r.error = m.text;
        if (m.kind == WORK_PICTURE) {
            size_t split = m.text.find('\0');
            r.pictures.push_back(m.text.substr(0, split));
            r.staged.push_back(split == std::string::npos ? "" : m.text.substr(split + 1));
        }
        r.done = r.done || m.kind == WORK_DONE;
    }
    return r;
}

// Pictures in (a hard link never replaces a file that took the name meanwhile), then the map;
// a failure takes the pictures out again. Empty, or why it failed. Signals wait meanwhile.
std::string commit(const Scratch& s, const std::string& mapDir, const std::string& mapName,
                   WorkResult& r) {
    sigset_t stops, before;
    sigemptyset(&stops);
    for (int signal : STOP_SIGNALS)
        sigaddset(&stops, signal);
    sigprocmask(SIG_BLOCK, &stops, &before);
    std::vector<std::string> placed;
    std::string why;
    for (size_t i = 0; i < r.pictures.size() && why.empty(); i++) {
        if (r.staged[i].empty())
            continue;
        std::string target = s.folders.textures + "/" + r.pictures[i];
        if (link(r.staged[i].c_str(), target.c_str()) != 0)
            why = "textures/" + r.pictures[i] + ": " + std::strerror(errno);
        else
            placed.push_back(target);
    }
    std::error_code e;
    if (why.empty() && !moveIntoPlace(s.folders.scratch, mapDir, e))
        why = "map/" + mapName + ": " + e.message();
    if (!why.empty()) {
        for (const std::string& path : placed)
            unlink(path.c_str());
    }
    sigprocmask(SIG_SETMASK, &before, nullptr);
    return why;
}

} // namespace

int importScene(const ImportRequest& request, std::vector<std::string>& lines, std::string& error) {
    const std::string& name = request.mapName;
    if (name.empty() || name.size() > MAP_NAME_LIMIT || safeName(name, MAP_NAME_LIMIT) != name) {
        error = name + ": a map name is 1 to 34 letters, digits, '_' or '-'";
        return 1;
    }
    std::string mapDir = request.root + "/map/" + name;
    std::error_code fsError;
    if (fs::exists(mapDir, fsError) && !request.force) {
        error = "map/" + name + ": the map exists already (--force replaces it)";
        return 1;
    }
    if (!fs::is_regular_file(request.sceneFile, fsError)) {
        error = request.sceneFile + ": no such file";
        return 1;
    }
    ImportLimits limits = importLimits();
    if (fs::file_size(request.sceneFile, fsError) > (limits.fileMB << 20)) {
        error = request.sceneFile + ": bigger than the " + std::to_string(limits.fileMB) +
                " MB a scene may be (SKARN_IMPORT_FILE_MB)";
        return 1;
    }
    sweepStale(request.root + "/map");
    sweepStale(request.root + "/textures");
    Scratch s;
    std::string tag = "." + name + ".import-" + std::to_string(getpid());
    s.mapsDir = request.root + "/map";
    s.folders.textures = request.root + "/textures";
    s.folders.scratch = s.mapsDir + "/" + tag;
    s.folders.staging = s.folders.textures + "/" + tag;
    bool unused;
    if (!makeFolder(s.mapsDir, s.madeMaps, error) ||
        !makeFolder(s.folders.textures, s.madeTextures, error) ||
        !makeFolder(s.folders.scratch, unused, error) ||
        !makeFolder(s.folders.staging, unused, error)) {
        clean(s);
        return 1;
    }
    struct sigaction stop = {}, before[3];
    stop.sa_handler = onSignal; // no SA_RESTART: the wait for the child wakes up
    stopSignal = 0;
    for (int i = 0; i < 3; i++)
        sigaction(STOP_SIGNALS[i], &stop, &before[i]);
    std::vector<ChildMessage> messages;
    std::string stage = "reading";
    std::string why = runInChild(
        limits, [&](int fd) { importWork(request, s.folders, limits, fd); }, messages,
        [&](const ChildMessage& m) { stage = m.kind == WORK_STAGE ? m.text : stage; },
        [&](double seconds) {
            if (request.progress)
                request.progress(stage, seconds);
        },
        &stopSignal);
    WorkResult r = resultOf(messages);
    if (why == "interrupted")
        error = request.sceneFile + ": interrupted, nothing written";
    else if (!why.empty())
        error = request.sceneFile + ": " + why;
    else if (!r.error.empty())
        error = r.error;
    else if (!r.done)
        error = request.sceneFile + ": the scene reader stopped before it was done";
    else
        error = commit(s, mapDir, name, r);
    clean(s);
    for (int i = 0; i < 3; i++)
        sigaction(STOP_SIGNALS[i], &before[i], nullptr);
    if (!error.empty())
        return 1;
    lines = r.lines;
    for (size_t i = 0; i < r.pictures.size(); i++) {
        lines.push_back(r.staged[i].empty() ? "uses textures/" + r.pictures[i] + " (already there)"
                                            : "wrote textures/" + r.pictures[i]);
    }
    for (const std::string& note : r.notes)
        lines.push_back("not carried over: " + note);
    lines.push_back("next step: skarn " + name);
    return 0;
}
