#include "CubeScene.h"

#include <cmath>

float CubeInstanceScale(int instance, float ramp)
{
    float growth = ramp - 0.2f * static_cast<float>(instance);
    if (growth < 0.0f)
        growth = 0.0f;
    if (growth > 1.0f)
        growth = 1.0f;
    return CUBE_FULL_SCALE * growth;
}

CMatrix CubeInstanceTransform(int instance, const CubePhases& phases)
{
    const float i = static_cast<float>(instance);
    const float scale = CubeInstanceScale(instance, phases.ramp);

    CMatrix m, rotationY, scaling;
    m.RotationX(i + phases.spin);
    rotationY.RotationY(2.5f * phases.spin + i);
    scaling.Scaling(scale, scale, scale);
    m.Multiply(rotationY).Multiply(scaling);

    const float w = 0.3f * i + phases.path;
    const float x = 25.0f * std::sin(1.5f * w);
    const float y = 10.0f * std::cos(2.0f * w) + 10.0f;
    const float z = 150.0f * std::fabs(std::sin(0.5f * (0.5f * i + phases.path)));
    m.SetTranslation(CVector3(x, y, z));
    return m;
}
