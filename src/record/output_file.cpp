// The output file's life: checked folder, temporary file beside the final name, rename at the
// end, removal on failure. Record side: no GL, no toolkit.
#include "record/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------

std::string outputFolder(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool checkOutputPath(const std::string& path, std::string& error) {
    std::string folder = outputFolder(path);
    struct stat info;
    if (stat(folder.c_str(), &info) != 0) {
        error = folder + " : " + strerror(errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        error = folder + " : " + strerror(ENOTDIR);
        return false;
    }
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        error = folder + " : " + strerror(errno);
        return false;
    }
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = path + " : " + strerror(EISDIR);
        return false;
    }
    return true;
}

OutputFile outputFileFor(const std::string& path, int pid) {
    std::string folder = outputFolder(path);
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string prefix = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    return OutputFile{path, prefix + "." + name + "." + std::to_string(pid) + ".part"};
}

bool createTemporary(const OutputFile& file, std::string& error) {
    int fd = open(file.tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = file.tempPath + " : " + strerror(errno);
        return false;
    }
    close(fd);
    return true;
}

bool commitOutput(const OutputFile& file, std::string& error) {
    if (rename(file.tempPath.c_str(), file.finalPath.c_str()) != 0) {
        error = file.finalPath + " : " + strerror(errno);
        discardOutput(file);
        return false;
    }
    return true;
}

void discardOutput(const OutputFile& file) {
    unlink(file.tempPath.c_str());
}

long long fileSize(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        return -1;
    }
    return (long long)info.st_size;
}
