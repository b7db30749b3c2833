// Catmull-Rom playback of a trajectory: advances the segment parameter with show time and
// evaluates the position, target and up tracks from the segment's four control points.
#include "path/playback.h"

#include <cstdio>

//----------------------------------------------------------------------------------
// Local helpers
//----------------------------------------------------------------------------------

// Returns the point `count` steps after `point` along next, or null when the list ends first.
static TrajectoryPoint* pointAfter(TrajectoryPoint* point, int count) {
    for (int k = 0; k < count && point != nullptr; k++) {
        point = point->next;
    }
    return point;
}

// One track of the segment: (w0 P0 + w1 P1 + w2 P2 - w3 P3) / 2, component by component.
static Vec3 blendTrack(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& p3,
                       const float w[4]) {
    Vec3 result;
    result.x = (w[0] * p0.x + w[1] * p1.x + w[2] * p2.x - w[3] * p3.x) / 2.0f;
    result.y = (w[0] * p0.y + w[1] * p1.y + w[2] * p2.y - w[3] * p3.y) / 2.0f;
    result.z = (w[0] * p0.z + w[1] * p1.z + w[2] * p2.z - w[3] * p3.z) / 2.0f;
    return result;
}

//----------------------------------------------------------------------------------
// Playback
//----------------------------------------------------------------------------------

// Moves t by `step`; past 1.0 it steps one segment when four points lie ahead, else rests at 1.0.
// A trajectory without points (its file was missing) is finished and stays as it is.
void advanceTrajectory(float step, Trajectory* trajectory) {
    if (trajectory == nullptr || trajectory->firstPoint == nullptr) {
        return;
    }
    trajectory->t = trajectory->t + step;
    if (trajectory->t > 1.0f) {
        // Looking four ahead keeps four points in the segment after the step.
        if (pointAfter(trajectory->currentPoint, 4) != nullptr) {
            trajectory->t = trajectory->t - 1.0f;
            trajectory->currentPoint = trajectory->currentPoint->next;
        } else {
            trajectory->t = 1.0f;
        }
    }
}

// Writes position (and target, up as curves asks) for currentPoint and t. A segment without
// its four points prints the error line, rewinds to firstPoint and leaves the tracks unchanged.
void evaluateTrajectory(Trajectory* trajectory) {
    if (trajectory == nullptr || trajectory->firstPoint == nullptr) {
        return;
    }
    const float t = trajectory->t;
    const float t2 = t * t;
    const float t3 = t * t * t;
    const float weights[4] = {
        -t * (1.0f - t) * (1.0f - t),
        2.0f - 5.0f * t2 + 3.0f * t3,
        ((4.0f * t + 1.0f) - 3.0f * t2) * t,
        (1.0f - t) * t2,
    };

    if (pointAfter(trajectory->currentPoint, 3) == nullptr) {
        printf("Erreur de gestion de la m\xe9"
               "moire!!!\n");
        trajectory->currentPoint = trajectory->firstPoint;
        return;
    }
    const TrajectoryPoint* p0 = trajectory->currentPoint;
    const TrajectoryPoint* p1 = p0->next;
    const TrajectoryPoint* p2 = p1->next;
    const TrajectoryPoint* p3 = p2->next;

    trajectory->position =
        blendTrack(p0->position, p1->position, p2->position, p3->position, weights);
    if (trajectory->curves == 2 || trajectory->curves == 3) {
        trajectory->target = blendTrack(p0->target, p1->target, p2->target, p3->target, weights);
    }
    if (trajectory->curves == 3) {
        trajectory->up = blendTrack(p0->up, p1->up, p2->up, p3->up, weights);
    }
}
