#include "Lettering.h"
#include "Shapes.h"

#include <algorithm>
#include <cmath>

Mask BevelLight(const Mask& distance, float rimWidth, float lightX, float lightY)
{
    const float length = std::sqrt(lightX * lightX + lightY * lightY);
    const float lx = length > 0.0f ? lightX / length : 0.0f;
    const float ly = length > 0.0f ? lightY / length : -1.0f;
    Mask out(distance.width, distance.height);
    for (int y = 1; y + 1 < distance.height; ++y) {
        for (int x = 1; x + 1 < distance.width; ++x) {
            const float d = distance.At(x, y);
            if (d > 0.5f || d < -rimWidth)
                continue;
            // The outward normal of the contour is the distance gradient; a
            // rim facing the light is lit.
            const float gx = distance.At(x + 1, y) - distance.At(x - 1, y);
            const float gy = distance.At(x, y + 1) - distance.At(x, y - 1);
            const float g = std::sqrt(gx * gx + gy * gy);
            if (g <= 1e-6f)
                continue;
            const float facing = -(gx * lx + gy * ly) / g;
            const float rim = 1.0f - std::clamp(-d / rimWidth, 0.0f, 1.0f);
            out.At(x, y) = std::clamp(facing, -1.0f, 1.0f) * rim;
        }
    }
    return out;
}

void PaintGradientFill(Image& image, const Mask& coverage, float top, float bottom,
                       const std::vector<GradientStop>& stops, float opacity)
{
    for (int y = 0; y < image.height; ++y) {
        const float t = bottom > top ? (y + 0.5f - top) / (bottom - top) : 0.0f;
        const Rgb c = GradientAt(stops, t);
        for (int x = 0; x < image.width; ++x) {
            const float a = std::clamp(coverage.At(x, y) * opacity, 0.0f, 1.0f);
            if (a > 0.0f)
                image.At(x, y) = Mix(image.At(x, y), c, a);
        }
    }
}

void PaintChromeLetters(Image& image, const Mask& letters, const Mask& distance, float capTop,
                        float baseline)
{
    PaintColour(image, DistanceBand(distance, 4.0f, 5.5f), Hex(0x6FE6FF), 0.9f);
    PaintColour(image, DistanceBand(distance, -1.0f, 4.0f), Hex(0x0A0718));
    const std::vector<GradientStop> chrome = {
        {0.00f, Hex(0xFFFFFF)}, {0.22f, Hex(0xD8F6FF)},  {0.50f, Hex(0x47B4F2)},
        {0.53f, Hex(0x123578)}, {0.535f, Hex(0x3A0E5E)}, {0.72f, Hex(0xB02A94)},
        {0.90f, Hex(0xFF7CB8)}, {1.00f, Hex(0xFFD3E8)},
    };
    PaintGradientFill(image, letters, capTop, baseline, chrome);
    const Mask bevel = BevelLight(distance, 3.0f, -0.3f, -1.0f);
    for (size_t i = 0; i < image.pixel.size(); ++i) {
        const float b = bevel.value[i] * letters.value[i];
        if (b > 0.0f)
            image.pixel[i] = Mix(image.pixel[i], Hex(0xFFFFFF), 0.7f * b);
        else if (b < 0.0f)
            image.pixel[i] = Mix(image.pixel[i], Hex(0x1A0630), -0.5f * b);
    }
}

void AddSparkle(Image& image, float x, float y, float size, const Rgb& colour, float strength)
{
    Mask rays(image.width, image.height);
    for (int py = std::max(0, int(y - size)); py < std::min(image.height, int(y + size) + 1);
         ++py) {
        for (int px = std::max(0, int(x - size)); px < std::min(image.width, int(x + size) + 1);
             ++px) {
            const float dx = std::fabs(px + 0.5f - x) / size;
            const float dy = std::fabs(py + 0.5f - y) / size;
            // Two thin rays that taper to their tips, and a round core.
            const float horizontal = std::max(0.0f, 1.0f - dx) *
                                     std::exp(-dy * dy * size * size / 2.0f);
            const float vertical = std::max(0.0f, 1.0f - dy) *
                                   std::exp(-dx * dx * size * size / 2.0f);
            const float core = std::exp(-(dx * dx + dy * dy) * 40.0f);
            rays.At(px, py) = std::max({horizontal * horizontal, vertical * vertical, core});
        }
    }
    Mask halo = rays;
    BlurMask(halo, size * 0.08f + 1.0f);
    AddLight(image, halo, colour, strength * 0.6f);
    AddLight(image, rays, Hex(0xFFFFFF), strength);
}
