#include "Lettering.h"
#include "Noise.h"
#include "Pictures.h"
#include "Shapes.h"

#include <algorithm>
#include <cmath>

namespace {

// The card fades in from white and back to white, so it is a light page
// with dark print, and misregistered colour plates for a little life.
const Rgb INK = Hex(0x141A38);
const Rgb CYAN_PLATE = Hex(0x2FD3FF);
const Rgb MAGENTA_PLATE = Hex(0xFF3F9E);
const Rgb GREY_PRINT = Hex(0x6B7194);

const float TITLE_BASELINE = 430.0f;

void PaintPaper(Image& image)
{
    const std::vector<GradientStop> paper = {
        {0.0f, Hex(0xFBFBFE)},
        {0.6f, Hex(0xEEF0F7)},
        {1.0f, Hex(0xE0E4F0)},
    };
    FillVerticalGradient(image, paper);

    // Two large pastel clouds of colour, echoing the plates.
    Mask cyan(SCREEN_WIDTH, SCREEN_HEIGHT);
    Mask magenta(SCREEN_WIDTH, SCREEN_HEIGHT);
    DrawDisc(cyan, 170.0f, 150.0f, 260.0f, 2.0f);
    DrawDisc(magenta, 880.0f, 650.0f, 300.0f, 2.0f);
    BlurMask(cyan, 110.0f);
    BlurMask(magenta, 120.0f);
    PaintColour(image, cyan, Hex(0xBDEEFF), 0.75f);
    PaintColour(image, magenta, Hex(0xFFD0E8), 0.75f);

    // A fine dot grid and a little paper grain.
    Mask dots(SCREEN_WIDTH, SCREEN_HEIGHT);
    for (int y = 24; y < SCREEN_HEIGHT; y += 32)
        for (int x = 16; x < SCREEN_WIDTH; x += 32)
            DrawDisc(dots, float(x), float(y), 1.1f, 1.0f);
    PaintColour(image, dots, Hex(0xB9BED6), 0.55f);
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const float grain = (FractalNoise(5u, x / 2.0f, y / 2.0f, 2) - 0.5f) * 0.035f;
            Rgb& c = image.At(x, y);
            c = Add(c, {grain, grain, grain});
        }
    }
}

// Printer's crop marks in the corners.
void PaintCropMarks(Image& image)
{
    Mask marks(SCREEN_WIDTH, SCREEN_HEIGHT);
    const float inset = 40.0f, arm = 26.0f, gap = 8.0f;
    const float xs[2] = {inset, SCREEN_WIDTH - inset};
    const float ys[2] = {inset, SCREEN_HEIGHT - inset};
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2; ++j) {
            const float sx = i == 0 ? -1.0f : 1.0f, sy = j == 0 ? -1.0f : 1.0f;
            DrawLine(marks, {xs[i] - sx * gap, ys[j]}, {xs[i] - sx * (gap + arm), ys[j]}, 1.5f);
            DrawLine(marks, {xs[i], ys[j] - sy * gap}, {xs[i], ys[j] - sy * (gap + arm)}, 1.5f);
        }
    }
    PaintColour(image, marks, GREY_PRINT, 0.8f);
}

// An outline cube seen corner-on: the intro's cubes in one glyph.
void PaintCubeMark(Image& image, float cx, float cy, float size)
{
    const float c30 = 0.8660254f;
    Point top = {cx, cy - size};
    Point upperRight = {cx + c30 * size, cy - 0.5f * size};
    Point lowerRight = {cx + c30 * size, cy + 0.5f * size};
    Point bottom = {cx, cy + size};
    Point lowerLeft = {cx - c30 * size, cy + 0.5f * size};
    Point upperLeft = {cx - c30 * size, cy - 0.5f * size};
    Point middle = {cx, cy};

    Mask rightFace(SCREEN_WIDTH, SCREEN_HEIGHT);
    FillPolygon(rightFace, {middle, upperRight, lowerRight, bottom});
    Mask topFace(SCREEN_WIDTH, SCREEN_HEIGHT);
    FillPolygon(topFace, {middle, upperLeft, top, upperRight});
    PaintColour(image, topFace, CYAN_PLATE, 0.85f);
    PaintColour(image, rightFace, MAGENTA_PLATE, 0.85f);

    Mask edges(SCREEN_WIDTH, SCREEN_HEIGHT);
    const Point ring[6] = {top, upperRight, lowerRight, bottom, lowerLeft, upperLeft};
    for (int i = 0; i < 6; ++i)
        DrawLine(edges, ring[i], ring[(i + 1) % 6], 3.0f);
    DrawLine(edges, middle, upperLeft, 3.0f);
    DrawLine(edges, middle, upperRight, 3.0f);
    DrawLine(edges, middle, bottom, 3.0f);
    PaintColour(image, edges, INK);
}

void PaintTitle(Image& image, const Fonts& fonts)
{
    const char* const TITLE = "SKELVANE";
    const float tracking = 10.0f;
    const float size = 100.0f * 760.0f / fonts.heavy.Measure(TITLE, 100.0f, tracking);
    const float centre = SCREEN_WIDTH * 0.5f;

    Mask letters(SCREEN_WIDTH, SCREEN_HEIGHT);
    fonts.heavy.DrawCentred(letters, TITLE, size, centre, TITLE_BASELINE, tracking);

    // Soft shadow, then the colour plates off register, then the ink.
    Mask shadow = letters;
    BlurMask(shadow, 14.0f);
    PaintColour(image, shadow, Hex(0x3A3F66), 0.3f, 0, 14);
    PaintColour(image, letters, CYAN_PLATE, 0.9f, -7, -5);
    PaintColour(image, letters, MAGENTA_PLATE, 0.9f, 7, 5);
    PaintColour(image, letters, INK);

    // A white cut through the letters, like a scan line.
    Mask cut(SCREEN_WIDTH, SCREEN_HEIGHT);
    const float capHeight = fonts.heavy.CapHeight(size);
    for (int i = 0; i < 3; ++i) {
        const float y = TITLE_BASELINE - capHeight * (0.3f - 0.11f * i);
        DrawLine(cut, {0.0f, y}, {float(SCREEN_WIDTH), y}, 3.0f - 0.8f * i);
    }
    PaintColour(image, MaskMultiply(cut, letters), Hex(0xF4F6FC), 0.95f);
}

void PaintPrint(Image& image, const Fonts& fonts)
{
    const float centre = SCREEN_WIDTH * 0.5f;
    Mask presents(SCREEN_WIDTH, SCREEN_HEIGHT);
    fonts.plainBold.DrawCentred(presents, "THE SKELVANE CREW PRESENTS", 22.0f, centre, 262.0f,
                                9.0f);
    PaintColour(image, presents, GREY_PRINT);

    Mask subtitle(SCREEN_WIDTH, SCREEN_HEIGHT);
    fonts.display.DrawCentred(subtitle, "A TINY INTRO WITH ITS OWN XM PLAYER", 46.0f, centre,
                              512.0f, 6.0f);
    PaintColour(image, subtitle, INK);

    const float ruleWidth = fonts.display.Measure("A TINY INTRO WITH ITS OWN XM PLAYER", 46.0f,
                                                  6.0f);
    Mask rule(SCREEN_WIDTH, SCREEN_HEIGHT);
    DrawLine(rule, {centre - ruleWidth * 0.5f, 540.0f}, {centre - 6.0f, 540.0f}, 3.0f);
    Mask ruleRight(SCREEN_WIDTH, SCREEN_HEIGHT);
    DrawLine(ruleRight, {centre + 6.0f, 540.0f}, {centre + ruleWidth * 0.5f, 540.0f}, 3.0f);
    PaintColour(image, rule, CYAN_PLATE);
    PaintColour(image, ruleRight, MAGENTA_PLATE);

    Mask details(SCREEN_WIDTH, SCREEN_HEIGHT);
    fonts.plain.DrawCentred(details, "music, pictures, mesh and words: all made by code", 21.0f,
                            centre, 590.0f, 1.5f);
    PaintColour(image, details, GREY_PRINT);

    Mask numbers(SCREEN_WIDTH, SCREEN_HEIGHT);
    fonts.plainBold.DrawCentred(numbers, "44100 HZ   /   10 CHANNELS   /   176 BPM   /   7 CUBES",
                                14.0f, centre, 690.0f, 4.0f);
    PaintColour(image, numbers, GREY_PRINT, 0.9f);
}

} // namespace

Image PaintTitleCard(const Fonts& fonts)
{
    Image image(SCREEN_WIDTH, SCREEN_HEIGHT);
    PaintPaper(image);
    PaintCropMarks(image);
    PaintCubeMark(image, SCREEN_WIDTH * 0.5f, 160.0f, 46.0f);
    PaintTitle(image, fonts);
    PaintPrint(image, fonts);
    return image;
}
