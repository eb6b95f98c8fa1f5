#include "Noise.h"
#include "Pictures.h"
#include "Shapes.h"

#include <algorithm>
#include <cmath>

namespace {

const float HORIZON = 470.0f;
const float SUN_X = 512.0f;
const float SUN_Y = 410.0f;
const float SUN_RADIUS = 176.0f;

float SmoothStep(float edge0, float edge1, float x)
{
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

void PaintSky(Image& image)
{
    const std::vector<GradientStop> sky = {
        {0.00f, Hex(0x050920)},
        {0.28f, Hex(0x11123C)},
        {0.46f, Hex(0x33145A)},
        {0.56f, Hex(0x6E1C6C)},
        {HORIZON / (SCREEN_HEIGHT - 1), Hex(0xC93F78)},
    };
    FillVerticalGradient(image, sky);

    // Faint violet and blue clouds in the upper sky.
    for (int y = 0; y < int(HORIZON); ++y) {
        const float height = 1.0f - SmoothStep(0.0f, HORIZON, float(y));
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const float n = FractalNoise(11u, x / 180.0f, y / 110.0f, 5);
            const float m = FractalNoise(23u, x / 260.0f + 7.0f, y / 140.0f, 4);
            const float cloud = SmoothStep(0.45f, 0.8f, n) * height;
            const float blue = SmoothStep(0.5f, 0.85f, m) * height;
            Rgb& c = image.At(x, y);
            c = Add(c, Scale(Hex(0x5A2A8C), 0.35f * cloud));
            c = Add(c, Scale(Hex(0x1F4C9A), 0.25f * blue));
        }
    }

    // Stars: many faint, a few bright with a soft halo.
    Mask stars(SCREEN_WIDTH, SCREEN_HEIGHT);
    Mask halos(SCREEN_WIDTH, SCREEN_HEIGHT);
    RandomSequence random(7u);
    for (int i = 0; i < 420; ++i) {
        const float x = random.Range(0.0f, float(SCREEN_WIDTH));
        const float y = random.Range(0.0f, HORIZON - 40.0f);
        const float size = random.Next();
        const float fade = 1.0f - SmoothStep(HORIZON * 0.45f, HORIZON - 40.0f, y);
        const float radius = 0.5f + 1.6f * size * size;
        DrawDisc(stars, x, y, radius, 1.2f, 0.25f + 0.75f * fade * (0.4f + 0.6f * size));
        if (size > 0.94f)
            DrawDisc(halos, x, y, 4.0f + 6.0f * size, 6.0f);
    }
    BlurMask(halos, 5.0f);
    AddLight(image, halos, Hex(0x9FB8FF), 0.55f);
    AddLight(image, stars, Hex(0xF4F0FF), 0.9f);
}

void PaintSun(Image& image)
{
    // Glow first, so the disc sits on it.
    Mask glow(SCREEN_WIDTH, SCREEN_HEIGHT);
    DrawDisc(glow, SUN_X, SUN_Y, SUN_RADIUS * 1.05f, 2.0f);
    BlurMask(glow, 46.0f);
    AddLight(image, glow, Hex(0xFF5A8C), 0.55f);

    Mask disc(SCREEN_WIDTH, SCREEN_HEIGHT);
    DrawDisc(disc, SUN_X, SUN_Y, SUN_RADIUS, 1.5f);
    // The lower half is cut by bars that grow thicker towards the horizon.
    Mask bars(SCREEN_WIDTH, SCREEN_HEIGHT);
    float y = SUN_Y - 40.0f;
    float gap = 2.5f;
    while (y < SUN_Y + SUN_RADIUS) {
        DrawRoundedRect(bars, SUN_X - SUN_RADIUS - 4.0f, y, SUN_X + SUN_RADIUS + 4.0f, y + gap,
                        0.0f);
        y += gap + 20.0f - gap * 0.55f;
        gap += 2.6f;
    }
    const Mask sun = MaskSubtract(disc, bars);

    const std::vector<GradientStop> fill = {
        {0.0f, Hex(0xFFF1A0)},
        {0.35f, Hex(0xFFC45A)},
        {0.7f, Hex(0xFF6B5E)},
        {1.0f, Hex(0xFF2E86)},
    };
    for (int py = 0; py < SCREEN_HEIGHT; ++py) {
        const float t = (py - (SUN_Y - SUN_RADIUS)) / (2.0f * SUN_RADIUS);
        const Rgb c = GradientAt(fill, t);
        for (int px = 0; px < SCREEN_WIDTH; ++px) {
            const float a = sun.At(px, py);
            if (a > 0.0f)
                image.At(px, py) = Mix(image.At(px, py), c, a);
        }
    }
}

// Height of a hill range above the horizon at column x.
float RidgeHeight(unsigned seed, float x, float scale, float valley)
{
    const float n = FractalNoise(seed, x / 150.0f, 0.5f, 5, 2.1f, 0.52f);
    const float spikes = 1.0f - std::fabs(2.0f * ValueNoise(seed + 9u, x / 60.0f, 3.5f) - 1.0f);
    const float side = SmoothStep(valley * 0.35f, valley, std::fabs(x - SUN_X));
    return scale * (0.25f + 0.75f * side) * (0.55f * n + 0.45f * spikes * n * 1.4f);
}

void PaintHills(Image& image)
{
    const struct Range {
        unsigned seed;
        float scale;
        float valley;
        Rgb body;
        Rgb rim;
    } ranges[2] = {
        {31u, 190.0f, 300.0f, Hex(0x2A0D46), Hex(0xFF86B4)},
        {47u, 105.0f, 240.0f, Hex(0x12061F), Hex(0xC25BC8)},
    };
    for (const Range& range : ranges) {
        std::vector<Point> outline;
        outline.push_back({-2.0f, HORIZON + 2.0f});
        for (int x = -2; x <= SCREEN_WIDTH + 2; x += 2)
            outline.push_back(
                {float(x), HORIZON - RidgeHeight(range.seed, float(x), range.scale, range.valley)});
        outline.push_back({float(SCREEN_WIDTH + 2), HORIZON + 2.0f});
        Mask hill(SCREEN_WIDTH, SCREEN_HEIGHT);
        FillPolygon(hill, outline);
        // Body darkens downward; a thin rim catches the sun's light.
        for (int y = 0; y < SCREEN_HEIGHT; ++y) {
            for (int x = 0; x < SCREEN_WIDTH; ++x) {
                const float a = hill.At(x, y);
                if (a <= 0.0f)
                    continue;
                const float top = HORIZON -
                                  RidgeHeight(range.seed, float(x), range.scale, range.valley);
                const float depth = std::clamp((y - top) / 6.0f, 0.0f, 1.0f);
                const float sunward = 1.0f - SmoothStep(0.0f, 520.0f, std::fabs(x - SUN_X));
                const Rgb rim = Scale(range.rim, 0.35f + 0.65f * sunward);
                const float shade = 0.8f +
                                    0.2f * FractalNoise(range.seed + 5u, x / 40.0f, y / 25.0f, 3);
                const Rgb body = Scale(range.body, shade);
                image.At(x, y) = Mix(image.At(x, y), Mix(rim, body, depth), a);
            }
        }
    }
}

void PaintFloor(Image& image)
{
    const std::vector<GradientStop> floorShade = {
        {0.0f, Hex(0x2A0C3E)},
        {0.25f, Hex(0x14061F)},
        {1.0f, Hex(0x06020C)},
    };
    for (int y = int(HORIZON); y < SCREEN_HEIGHT; ++y) {
        const Rgb c = GradientAt(floorShade, (y - HORIZON) / (SCREEN_HEIGHT - HORIZON));
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            image.At(x, y) = c;
    }

    // Perspective grid: rows at equal steps of depth, columns meeting at the
    // sun's foot; line widths grow towards the viewer.
    Mask grid(SCREEN_WIDTH, SCREEN_HEIGHT);
    const float eye = 420.0f; // screen distance that maps ground depth to rows
    for (int row = 1; row < 60; ++row) {
        const float depth = 0.55f * row * row + 2.0f * row;
        const float y = SCREEN_HEIGHT - 1.0f -
                        (SCREEN_HEIGHT - HORIZON) * (1.0f - eye / (eye + depth * 14.0f));
        if (y <= HORIZON + 1.0f)
            break;
        const float near = (y - HORIZON) / (SCREEN_HEIGHT - HORIZON);
        DrawLine(grid, {-10.0f, y}, {SCREEN_WIDTH + 10.0f, y}, 0.6f + 4.5f * near);
    }
    for (int column = -24; column <= 24; ++column) {
        const float spread = 96.0f * column;
        // Draw in pieces so that the width can follow the distance.
        const int PIECES = 24;
        for (int p = 0; p < PIECES; ++p) {
            const float t0 = float(p) / PIECES, t1 = float(p + 1) / PIECES;
            const float y0 = HORIZON + (SCREEN_HEIGHT - HORIZON + 40.0f) * t0 * t0;
            const float y1 = HORIZON + (SCREEN_HEIGHT - HORIZON + 40.0f) * t1 * t1;
            const float x0 = SUN_X + spread * (y0 - HORIZON) / (SCREEN_HEIGHT - HORIZON);
            const float x1 = SUN_X + spread * (y1 - HORIZON) / (SCREEN_HEIGHT - HORIZON);
            const float near = ((y0 + y1) * 0.5f - HORIZON) / (SCREEN_HEIGHT - HORIZON);
            DrawLine(grid, {x0, y0}, {x1, y1}, 0.5f + 4.0f * near);
        }
    }
    // The grid fades into the haze at the horizon.
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        const float f = SmoothStep(HORIZON, HORIZON + 120.0f, float(y));
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            grid.At(x, y) *= y < HORIZON ? 0.0f : 0.25f + 0.75f * f;
    }

    Mask glow = grid;
    BlurMask(glow, 6.0f);
    for (int y = int(HORIZON); y < SCREEN_HEIGHT; ++y) {
        const float near = (y - HORIZON) / (SCREEN_HEIGHT - HORIZON);
        const Rgb lineColour = Mix(Hex(0xFF4FC3), Hex(0x38E1FF), SmoothStep(0.0f, 0.6f, near));
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            Rgb& c = image.At(x, y);
            c = Add(c, Scale(lineColour, 1.1f * glow.At(x, y)));
            c = Mix(c, Add(lineColour, Scale(Hex(0xFFFFFF), 0.25f)), 0.9f * grid.At(x, y));
        }
    }

    // The sun's reflection on the floor.
    Mask reflection(SCREEN_WIDTH, SCREEN_HEIGHT);
    for (int y = int(HORIZON); y < SCREEN_HEIGHT; ++y) {
        const float fall = 1.0f - SmoothStep(HORIZON, HORIZON + 220.0f, float(y));
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const float across = std::fabs(x - SUN_X) /
                                 (SUN_RADIUS * (0.8f + 0.5f * (y - HORIZON) / 300.0f));
            reflection.At(x, y) = fall * std::max(0.0f, 1.0f - across * across);
        }
    }
    BlurMask(reflection, 8.0f);
    AddLight(image, reflection, Hex(0xFF5E9A), 0.28f);
}

void PaintHorizonHaze(Image& image)
{
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        const float d = (y - HORIZON) / 16.0f;
        const float band = std::exp(-d * d);
        const float wide = std::exp(-(y - HORIZON) * (y - HORIZON) / (2.0f * 70.0f * 70.0f));
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const float middle = 0.55f + 0.45f * std::exp(-(x - SUN_X) * (x - SUN_X) /
                                                          (2.0f * 330.0f * 330.0f));
            Rgb& c = image.At(x, y);
            c = Add(c, Scale(Hex(0xFF8FB8), 0.55f * band * middle));
            c = Add(c, Scale(Hex(0x8A2C7E), 0.25f * wide * middle));
        }
    }
}

void Finish(Image& image)
{
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const float dx = (x - SCREEN_WIDTH * 0.5f) / (SCREEN_WIDTH * 0.5f);
            const float dy = (y - SCREEN_HEIGHT * 0.5f) / (SCREEN_HEIGHT * 0.5f);
            const float vignette = 1.0f - 0.28f * SmoothStep(0.5f, 1.6f, dx * dx + dy * dy);
            const float grain = (HashUnit(97u, x, y) - 0.5f) * 0.025f;
            Rgb& c = image.At(x, y);
            c = Scale(c, vignette);
            c = Add(c, {grain, grain, grain});
        }
    }
}

} // namespace

Image PaintBackground()
{
    Image image(SCREEN_WIDTH, SCREEN_HEIGHT);
    PaintSky(image);
    PaintSun(image);
    PaintHills(image);
    PaintFloor(image);
    PaintHorizonHaze(image);
    Finish(image);
    return image;
}
