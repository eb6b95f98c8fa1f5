#include "Lettering.h"
#include "Pictures.h"
#include "Shapes.h"

namespace {

// The square of the backdrop around the striped sun and the horizon, which stays
// recognisable at menu sizes, and the letter over it.
const int SOURCE_LEFT = 256;
const int SOURCE_TOP = 160;
const int SOURCE_SIZE = 512;
const char* const ICON_LETTER = "S";

// Every pixel the average of the source's square of SOURCE_SIZE / ICON_SIZE pixels.
Image ShrunkBackdrop(const Image& background)
{
    const int step = SOURCE_SIZE / ICON_SIZE;
    Image image(ICON_SIZE, ICON_SIZE);
    for (int y = 0; y < ICON_SIZE; ++y) {
        for (int x = 0; x < ICON_SIZE; ++x) {
            Rgb sum = {0.0f, 0.0f, 0.0f};
            for (int j = 0; j < step; ++j)
                for (int i = 0; i < step; ++i)
                    sum = Add(sum,
                              background.At(SOURCE_LEFT + x * step + i, SOURCE_TOP + y * step + j));
            image.At(x, y) = Scale(sum, 1.0f / float(step * step));
        }
    }
    return image;
}

} // namespace

Image PaintIcon(const Image& background, const Fonts& fonts)
{
    Image image = ShrunkBackdrop(background);
    // Darkened towards the corners so the letter stands out.
    Mask vignette(ICON_SIZE, ICON_SIZE);
    DrawRoundedRect(vignette, 0.0f, 0.0f, float(ICON_SIZE), float(ICON_SIZE), 40.0f);
    Mask centre(ICON_SIZE, ICON_SIZE);
    DrawDisc(centre, ICON_SIZE * 0.5f, ICON_SIZE * 0.5f, ICON_SIZE * 0.42f, 30.0f);
    PaintColour(image, MaskSubtract(vignette, centre), Hex(0x0A0718), 0.45f);

    const float size = ICON_SIZE * 1.0f;
    const float baseline = ICON_SIZE * 0.5f + fonts.heavy.CapHeight(size) * 0.5f;
    const float capTop = baseline - fonts.heavy.CapHeight(size);
    Mask letter(ICON_SIZE, ICON_SIZE);
    fonts.heavy.DrawCentred(letter, ICON_LETTER, size, ICON_SIZE * 0.5f, baseline);
    const Mask distance = SignedDistance(letter);

    // As the logo's lettering: a magenta glow, a dark outline in a thin cyan
    // line, and chrome from a bright sky to a sunset.
    Mask glow = DistanceBand(distance, -100.0f, 6.0f);
    BlurMask(glow, 10.0f);
    AddLight(image, glow, Hex(0xFF3FA4), 0.6f);
    PaintColour(image, DistanceBand(distance, 4.0f, 5.5f), Hex(0x6FE6FF), 0.9f);
    PaintColour(image, DistanceBand(distance, -1.0f, 4.0f), Hex(0x0A0718));
    const std::vector<GradientStop> chrome = {
        {0.00f, Hex(0xFFFFFF)}, {0.22f, Hex(0xD8F6FF)},  {0.50f, Hex(0x47B4F2)},
        {0.53f, Hex(0x123578)}, {0.535f, Hex(0x3A0E5E)}, {0.72f, Hex(0xB02A94)},
        {0.90f, Hex(0xFF7CB8)}, {1.00f, Hex(0xFFD3E8)},
    };
    PaintGradientFill(image, letter, capTop, baseline, chrome);
    const Mask bevel = BevelLight(distance, 3.0f, -0.3f, -1.0f);
    for (size_t i = 0; i < image.pixel.size(); ++i) {
        const float b = bevel.value[i] * letter.value[i];
        if (b > 0.0f)
            image.pixel[i] = Mix(image.pixel[i], Hex(0xFFFFFF), 0.7f * b);
        else if (b < 0.0f)
            image.pixel[i] = Mix(image.pixel[i], Hex(0x1A0630), -0.5f * b);
    }
    AddSparkle(image, ICON_SIZE * 0.66f, capTop + 10.0f, 30.0f, Hex(0x9FEFFF), 0.9f);
    return image;
}
