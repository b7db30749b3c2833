// The show's simulation without drawing: paths, motion, frame counter and particles on a fixed
// clock. Calls no GL.
#include "render/show_step.h"

#include <cstdlib>
#include <vector>

#include "path/camera.h"
#include "path/playback.h"
#include "render/particle_motion.h"
#include "render/particles.h"
#include "scene/scene_state.h"

//----------------------------------------------------------------------------------
// State
//----------------------------------------------------------------------------------
struct SceneStart {
    Trajectory cameraPath;           // the camera path as loaded (shares its points)
    std::vector<SceneObject> motion; // each object's path and motion as loaded (no mesh copy)
};

static SceneStart sceneStart; // written by markSceneStart only

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
int fixedStepMs(int64_t frame, int fps) {
    return (int)(frame * 1000 / fps);
}

void advanceScenePaths(float step) {
    advanceTrajectory(step, &camera.cameraPath);
    evaluateTrajectory(&camera.cameraPath);
    if (objectsLoaded != 1) {
        return;
    }
    for (SceneObject& object : objectList) {
        object.previousPosition = object.path.position;
        advanceTrajectory(step, &object.path);
        evaluateTrajectory(&object.path);
        object.motionDelta.x = object.previousPosition.x - object.path.position.x;
        object.motionDelta.y = object.previousPosition.y - object.path.position.y;
        object.motionDelta.z = object.previousPosition.z - object.path.position.z;
    }
}

void advanceSceneParticles(const ShowClock& clock) {
    if (clock.now < clock.particleStart) {
        return;
    }
    for (const SceneObject& object : objectList) {
        if (object.mesh.emitsParticles != 1) {
            continue;
        }
        const Vec3& e = object.path.position;
        const Vec3& d = object.motionDelta;
        for (Particle& particle : particleSystem.particles) {
            if (particle.active != 0) {
                advanceParticle(particle, particleSystem.slowdown, e.x, e.y, e.z, d.x, d.y, d.z);
            }
        }
    }
}

void markSceneStart() {
    sceneStart.cameraPath = camera.cameraPath;
    sceneStart.motion.clear();
    for (const SceneObject& object : objectList) {
        SceneObject motion;
        motion.path = object.path;
        motion.previousPosition = object.previousPosition;
        motion.motionDelta = object.motionDelta;
        sceneStart.motion.push_back(motion);
    }
}

void rewindScene() {
    camera.cameraPath = sceneStart.cameraPath;
    for (size_t i = 0; i < objectList.size() && i < sceneStart.motion.size(); i++) {
        objectList[i].path = sceneStart.motion[i].path;
        objectList[i].previousPosition = sceneStart.motion[i].previousPosition;
        objectList[i].motionDelta = sceneStart.motion[i].motionDelta;
    }
    // The pool as the show start seeded it: the generator from its first draw, the same seeds.
    srand(1);
    for (Particle& particle : particleSystem.particles) {
        seedParticle(particle, 0.0f, 0.0f, 0.0f, 0.0f, 200.0f, 0.0f);
    }
}

void alignSceneStart(ShowClock& clock, int ms) {
    // As if an idle had run at the last millisecond before the scene: its first step is 1 ms.
    const int beforeScene = clock.introEnd * 1000 - 1;
    if (clock.lastTickMs < beforeScene && beforeScene < ms) {
        clock.lastTickMs = beforeScene;
    }
}

void simulateFrame(ShowClock& clock, FrameCounter& counter, int ms, bool aligned) {
    if (aligned) {
        alignSceneStart(clock, ms);
    }
    const float now = tickClockAt(clock, ms);
    if (now < clock.introEnd || now >= clock.sceneEnd) {
        return;
    }
    advanceScenePaths(clock.frameTime * 1.0f);
    clock.shownFps = countFrame(counter, clock.frameTime);
    advanceSceneParticles(clock);
}

int64_t simulateShowTo(ShowClock& clock, FrameCounter& counter, int targetMs, int fps,
                       bool aligned) {
    clock = ShowClock{};
    setEventTimes(clock);
    counter = FrameCounter{};
    int64_t frame = 0;
    for (; fixedStepMs(frame, fps) < targetMs; frame++) {
        simulateFrame(clock, counter, fixedStepMs(frame, fps), aligned);
    }
    return frame;
}
