// Map checker: pictures (present, and readable by the image library without any GL) and the
// show's own pictures and music.
#include <IL/il.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "base/file_map.h"
#include "base/show_files.h"
#include "check_local.h"
#include "scene/picture_check.h"
#include "sound/music.h"

// The show's own pictures, with what each is for.
static const char* const SKY_PICTURES[SHOW_SKY_SIDES] = SHOW_SKY_PICTURES;
static const char* const SHOW_PICTURES[][2] = {
    {SHOW_LOGO_PICTURE, "the logo picture"},
    {SHOW_INTRO_PICTURE, "the intro picture"},
    {SHOW_END_PICTURE, "the end picture"},
    {SKY_PICTURES[0], "a sky picture"},
    {SKY_PICTURES[1], "a sky picture"},
    {SKY_PICTURES[2], "a sky picture"},
    {SKY_PICTURES[3], "a sky picture"},
    {SKY_PICTURES[4], "a sky picture"},
    {SKY_PICTURES[5], "a sky picture"},
    {SHOW_FONT_PICTURE, "the font picture"},
    {SHOW_PARTICLE_PICTURE, "the particle picture"},
};

// Opens the music through the player's own sound layer, on a sound driver that plays nothing.
// Returns null when it opens, else the sound library's text for why it can't.
static const char* musicProblem(const std::string& path) {
    setenv("SDL_AUDIODRIVER", "dummy", 1); // the checker never plays: no sound card needed
    if (!soundInit(44100, 1, 0)) {
        return nullptr; // no output at all here: nothing can be said about the file
    }
    SoundStream* stream = soundStreamOpenFile(path.c_str(), 0, 0);
    const char* problem = stream == nullptr ? musicErrorText(soundGetError()) : nullptr;
    soundStreamClose(stream);
    soundClose();
    return problem;
}

// Loads the picture into a scratch image of the image library; true when it reads cleanly.
static bool pictureReads(CheckRun& run, const std::string& openPath) {
    if (!run.imageLibraryReady) {
        ilInit();
        run.imageLibraryReady = true;
    }
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    bool ok = loadPictureChecked(openPath, MAX_PICTURE_SIDE);
    ilBindImage(0);
    ilDeleteImages(1, &image);
    return ok;
}

bool isPictureFormatKnown(const std::string& name) {
    size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        return false;
    }
    std::string ext = name.substr(dot + 1);
    for (char& c : ext) {
        c = (char)((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
    }
    return ext == "jpg" || ext == "jpeg" || ext == "tga";
}

void checkPicture(CheckRun& run, const std::string& path, const std::string& why) {
    if (!run.pictures.insert(path).second) {
        return;
    }
    std::string openPath = run.root + path;
    struct stat info;
    if (stat(openPath.c_str(), &info) != 0) {
        addWarning(run, path, 0, "missing picture (" + why + "): " + strerror(errno));
        return;
    }
    if (S_ISDIR(info.st_mode)) {
        addWarning(run, path, 0, "not a picture file (" + why + ")");
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        // A FIFO or a device: the player refuses it rather than wait on it or read it for ever.
        addError(run, path, 0, fileErrorText(FILE_NOT_REGULAR) + " (" + why + ")");
        return;
    }
    if (!pictureReads(run, openPath)) {
        addWarning(run, path, 0,
                   "the image library can't read this picture, or a side is over " +
                       std::to_string(MAX_PICTURE_SIDE) + " pixels (" + why + ")");
    }
}

void checkShowFiles(CheckRun& run) {
    for (const auto& picture : SHOW_PICTURES) {
        checkPicture(run, picture[0], std::string(picture[1]) + " of the show");
    }
    struct stat info;
    std::string music = run.root + SHOW_MUSIC_FILE;
    if (stat(music.c_str(), &info) != 0) {
        addWarning(run, SHOW_MUSIC_FILE, 0,
                   std::string("missing music file: ") + strerror(errno) +
                       " (the show plays in silence)");
    } else if (!S_ISREG(info.st_mode) || info.st_size == 0) {
        addWarning(run, SHOW_MUSIC_FILE, 0, "the music file is empty or not a file");
    } else if (const char* problem = musicProblem(music)) {
        addWarning(run, SHOW_MUSIC_FILE, 0,
                   std::string("the music can't be played: ") + problem +
                       " (the show plays in silence)");
    }
}
