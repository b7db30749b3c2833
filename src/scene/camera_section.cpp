// Camera section of a map file, stored into the global camera state.
#include "scene/camera_section.h"

#include <cstdio>

#include "path/camera.h"
#include "path/trajectory_file.h"

bool parseCameraSection(TextReader& reader, CameraSection& section) {
    section = CameraSection{{0, 0, 0}, {0, 0, 0}, 0};
    return readerExpect(reader, "\nposition :") &&
           readerFloat3(reader, section.eye.x, section.eye.y, section.eye.z) &&
           readerExpect(reader, "\ncible :") &&
           readerFloat3(reader, section.target.x, section.target.y, section.target.z) &&
           readerExpect(reader, "\nanime :") && readerInt(reader, section.anime);
}

LoadResult loadCameraSection(const CameraSection& section, const std::string& mapDir) {
    printf("Chargement camera ...\n");
    camera.eye = section.eye;
    camera.cameraPath.target = section.target;
    camera.anime = section.anime;
    if (section.anime == 1) {
        // The loader resets the path's target before it reads the file.
        return loadTrajectory(mapDir + "camera.dpl", &camera.cameraPath);
    }
    return LoadResult{};
}
