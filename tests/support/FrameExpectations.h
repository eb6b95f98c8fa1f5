#pragma once

// What the tests of captured frames expect, worked out independently of the
// drawing: the images as the resource files hold them, where the timeline stands
// at a captured frame, and where a world point lands on the screen.

#include "CMatrix.h"
#include "CVector.h"
#include "CubeScene.h"

#include <cstdint>
#include <string>
#include <vector>

// Where the logo lands in a captured frame of the main part.
const int LOGO_X = 219, LOGO_Y = 32, LOGO_W = 586, LOGO_H = 192;

struct TestImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;  // top row first

    uint32_t At(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

// A DDS file of the kinds the intro ships (DXT1, X8R8G8B8, A8R8G8B8), top level
// only, decoded the plain way; false for anything else.
bool DecodeDdsFile(const std::string& path, TestImage& image);

// The file of an RCDATA resource in the intro's resource script; empty when absent.
std::string IntroResourceFile(int id);

// The state of the timeline at the frame that captures demo time `seconds` when
// every frame lasts frameMs, replayed with the Demo's own float arithmetic.
struct TimelineState {
    float demoTime = 0.0f;
    int frames = 0;          // frames drawn up to and including this one
    int mainPartFrames = 0;  // of which in the main part
    int fadeLevel = 0;
    CubePhases cubes = {0.0f, 0.0f, 0.0f};
};
TimelineState TimelineAtCapture(double seconds, int frameMs);

// Where a world point lands in the captured frame, through the intro's camera
// (eye (0, 0, 180), target at the origin, planes 0.1 and 200) and the composite's
// enlargement; false behind the camera.
bool ProjectToFrame(const CVector3& world, float& x, float& y, float* viewDepth = nullptr);

// The text shader's bend: a point of the laid-out line (world units, before the
// bend) to where the text effect draws it.
CVector3 BendTextPoint(const CVector3& laidOut);

// Channels of an ARGB value.
inline int Red(uint32_t c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}
inline int Green(uint32_t c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
inline int Blue(uint32_t c)
{
    return static_cast<int>(c & 0xFF);
}
