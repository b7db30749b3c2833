// The output file's life: a temporary file beside the final name, renamed over it only when the
// recording is complete, removed on any failure. Record side: no GL, no toolkit.
#pragma once

#include <string>

struct OutputFile {
    std::string finalPath; // what the user asked for
    std::string tempPath;  // where the recording is written until it is complete
};

// The folder that holds `path` ("." when it names none).
std::string outputFolder(const std::string& path);

// False with a message naming the folder when it does not exist, is not a folder or can't be
// written; an output name that is an existing folder is refused too.
bool checkOutputPath(const std::string& path, std::string& error);

// The temporary name beside `path`: a hidden name in the same folder, unique to process `pid`,
// so that the final rename never crosses file systems.
OutputFile outputFileFor(const std::string& path, int pid);

// Creates the temporary file empty (it must not exist yet); false with a message naming it.
bool createTemporary(const OutputFile& file, std::string& error);

// Puts the complete recording under its final name, replacing a file of that name; false with
// a message (the temporary file is then removed).
bool commitOutput(const OutputFile& file, std::string& error);

// Removes the temporary file; the final name is never touched.
void discardOutput(const OutputFile& file);

// Size of a file in bytes, -1 when it can't be read.
long long fileSize(const std::string& path);
