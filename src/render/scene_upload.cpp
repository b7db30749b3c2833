// Scene upload: the hooks the player hands to the map load. Render side: calls GL.
#include "render/scene_upload.h"

#include "render/lamps_gl.h"
#include "render/texture.h"

SceneLoadHooks sceneUploadHooks() {
    SceneLoadHooks hooks;
    hooks.meshPicture = uploadMeshPicture;
    hooks.lamp = setUpLampRecord;
    return hooks;
}
