#include "DemoTimeline.h"

D3DCOLOR TitleCardColor(float demoTime)
{
    float alpha = 1.0f;
    if (demoTime < 1.0f)
        alpha = demoTime;
    else if (demoTime > 9.0f)
        alpha = 1.0f - (demoTime - 9.0f);
    const int a = static_cast<int>(alpha * 255.0f);
    return (static_cast<D3DCOLOR>(a & 0xFF) << 24) | 0x00FFFFFF;
}

int NextFadeLevel(int fadeLevel)
{
    fadeLevel += 2;
    return fadeLevel > 255 ? 255 : fadeLevel;
}
