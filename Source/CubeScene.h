#pragma once

#include "CMatrix.h"

// The seven tumbling cubes: how each instance is placed for given phases.
const int CUBE_INSTANCE_COUNT = 7;
const float CUBE_FULL_SCALE = 0.4f;

struct CubePhases {
    float spin;  // A: advanced by 0.8 x frame time
    float path;  // B: advanced by 1.0 x frame time
    float ramp;  // R: the demo's cube ramp time, advanced by 0.2 x frame time
};

// Growth: instance i starts growing at ramp 0.2 i and is full size 0.2 later.
float CubeInstanceScale(int instance, float ramp);
// World matrix of one instance: tumble about x and y, uniform scale, then the
// swinging position along its path.
CMatrix CubeInstanceTransform(int instance, const CubePhases& phases);
