#include "FrameExpectations.h"

#include "CCamera.h"
#include "CaptureOptions.h"
#include "DemoTimeline.h"
#include "ResourceScript.h"

#include <cmath>
#include <cstring>

namespace {

uint32_t U32(const std::vector<unsigned char>& b, size_t at)
{
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

uint32_t Expand565(uint32_t c)
{
    const uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return 0xFF000000u | ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

// Mixes two opaque colours a x (3 - k) / 3 + b x k / 3 per channel, or halves for k = -1.
uint32_t Mix(uint32_t a, uint32_t b, int k)
{
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        const int c = k < 0 ? (ca + cb) / 2 : (ca * (3 - k) + cb * k) / 3;
        out |= static_cast<uint32_t>(c) << shift;
    }
    return out;
}

bool DecodeDxt1(const std::vector<unsigned char>& b, TestImage& image)
{
    const int bw = (image.width + 3) / 4, bh = (image.height + 3) / 4;
    if (b.size() < 128 + static_cast<size_t>(bw) * bh * 8)
        return false;
    for (int by = 0; by < bh; ++by)
        for (int bx = 0; bx < bw; ++bx) {
            const size_t at = 128 + (static_cast<size_t>(by) * bw + bx) * 8;
            const uint32_t c0 = b[at] | b[at + 1] << 8, c1 = b[at + 2] | b[at + 3] << 8;
            uint32_t palette[4] = {Expand565(c0), Expand565(c1), 0, 0};
            if (c0 > c1) {
                palette[2] = Mix(palette[0], palette[1], 1);
                palette[3] = Mix(palette[0], palette[1], 2);
            } else {
                palette[2] = Mix(palette[0], palette[1], -1);
                palette[3] = 0;  // transparent black
            }
            const uint32_t indices = U32(b, at + 4);
            for (int i = 0; i < 16; ++i) {
                const int x = bx * 4 + i % 4, y = by * 4 + i / 4;
                if (x < image.width && y < image.height)
                    image.argb[static_cast<size_t>(y) * image.width + x] = palette[(indices >> (2 * i)) & 3];
            }
        }
    return true;
}

}  // namespace

bool DecodeDdsFile(const std::string& path, TestImage& image)
{
    std::vector<unsigned char> b;
    if (!ReadWholeFile(path, b) || b.size() < 128 || std::memcmp(b.data(), "DDS ", 4) != 0)
        return false;
    image.height = static_cast<int>(U32(b, 12));
    image.width = static_cast<int>(U32(b, 16));
    if (image.width <= 0 || image.height <= 0 || image.width > 4096 || image.height > 4096)
        return false;
    image.argb.assign(static_cast<size_t>(image.width) * image.height, 0);
    const uint32_t flags = U32(b, 80);
    if (flags & 0x4)
        return U32(b, 84) == 0x31545844u /* DXT1 */ && DecodeDxt1(b, image);
    if (U32(b, 88) != 32 || U32(b, 92) != 0x00FF0000u || U32(b, 96) != 0x0000FF00u || U32(b, 100) != 0x000000FFu ||
        b.size() < 128 + image.argb.size() * 4)
        return false;
    const bool alpha = (flags & 0x1) && U32(b, 104) == 0xFF000000u;
    for (size_t i = 0; i < image.argb.size(); ++i)
        image.argb[i] = U32(b, 128 + i * 4) | (alpha ? 0u : 0xFF000000u);
    return true;
}

std::string IntroResourceFile(int id)
{
    std::vector<ScriptedResource> resources;
    if (!ReadResourceScript(SKV_INTRO_RESOURCE_SCRIPT, resources))
        return std::string();
    for (const ScriptedResource& r : resources)
        if (r.id == id)
            return r.path;
    return std::string();
}

TimelineState TimelineAtCapture(double seconds, int frameMs)
{
    // The frame clock's value for a frame of frameMs, and the Demo's sums.
    const float dt = static_cast<float>(static_cast<double>(frameMs) / 1000.0);
    TimelineState s;
    do {
        s.demoTime += dt;
        ++s.frames;
        if (s.demoTime >= TITLE_CARD_SECONDS) {
            ++s.mainPartFrames;
            s.fadeLevel = NextFadeLevel(s.fadeLevel);
            s.cubes.spin += 0.8f * dt;
            s.cubes.path += dt;
            s.cubes.ramp += 0.2f * dt;
        }
    } while (!FrameReaches(s.demoTime, seconds));
    return s;
}

bool ProjectToFrame(const CVector3& world, float& x, float& y, float* viewDepth)
{
    CCamera camera;
    camera.SetClipPlanes(0.1f, 200.0f);
    camera.SetPosition(CVector3(0.0f, 0.0f, 180.0f));
    camera.SetTarget(CVector3(0.0f, 0.0f, 0.0f));
    const CVector3 view = camera.GetView().TransformPoint(world);
    const CMatrix& p = camera.GetProjection();
    float clip[4];
    for (int c = 0; c < 4; ++c)
        clip[c] = view.x * p.m[0][c] + view.y * p.m[1][c] + view.z * p.m[2][c] + p.m[3][c];
    if (viewDepth)
        *viewDepth = -view.z;
    if (clip[3] <= 0.0f)
        return false;
    // Pixels of the scene targets, then the composite's quad, which puts texel
    // (0, 0) at (0.5, 0.5) and stretches 1024 x 768 over 1032 x 776.
    const float sceneX = (clip[0] / clip[3] + 1.0f) * 0.5f * 1024.0f;
    const float sceneY = (1.0f - clip[1] / clip[3]) * 0.5f * 768.0f;
    x = 0.5f + sceneX * (1032.0f / 1024.0f);
    y = 0.5f + sceneY * (776.0f / 768.0f);
    return true;
}

CVector3 BendTextPoint(const CVector3& p)
{
    const float t = p.x / 256.0f;
    CVector3 bent = p;
    bent.y = p.y + 8.0f * std::sin(p.x / 16.0f);
    bent.z = p.z + 128.0f * std::sin(t * 3.141592f) - 128.0f;
    bent.x -= 128.0f;
    bent.y -= 40.0f;
    return bent;
}
