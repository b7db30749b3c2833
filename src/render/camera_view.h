// Camera matrices: the view of the free camera and of the path camera. Render side.
#pragma once

// Free camera: perspective, tilt by pitch, turn by yaw, then move the world by -eye.
void applyFreeCamera();

// Path camera: perspective, then look from the path's position at its target, y up.
void applyPathCamera();
