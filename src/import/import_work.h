// The part of an import that touches the scene: read it, convert it, write the map and its
// pictures into scratch folders, telling the parent what it did as messages. Import side; runs
// only inside the reader's child (import/reader_child).
#pragma once

#include <string>

#include "import/import_run.h"
#include "import/scene_reader.h"

// Kinds of the messages the work sends.
#define WORK_STAGE 'S'   // a stage starts: "reading", "converting", "writing"
#define WORK_ERROR 'E'   // the import fails: the whole line to print
#define WORK_LINE 'L'    // a line saying what was written into the scratch folder
#define WORK_PICTURE 'P' // a picture: its name under textures/, '\0', its staged file (or "")
#define WORK_NOTE 'N'    // something not carried over
#define WORK_DONE 'D'    // everything is in the scratch folders

// Where the work writes.
struct WorkFolders {
    std::string scratch;  // the map's files, moved to map/NAME when all went well
    std::string staging;  // converted pictures, in a folder inside textures/
    std::string textures; // the show's textures/, for the names already taken there
};

// Does the work, sending its messages to `fd`.
void importWork(const ImportRequest& request, const WorkFolders& folders,
                const ImportLimits& limits, int fd);
