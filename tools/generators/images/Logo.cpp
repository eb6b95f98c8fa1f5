#include "Lettering.h"
#include "Pictures.h"
#include "Shapes.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const LOGO_TEXT = "SKELVANE";
const char* const LOGO_LINE = "A TINY INTRO  /  ITS OWN XM PLAYER  /  MADE BY CODE";

// The backdrop as the intro shows it behind the logo: softened about as much
// as the depth-of-field chain softens the far background.
const float BACKDROP_BLUR = 11.0f;

Image SmokedGlass(const Image& background)
{
    const Image blurred = BlurredBackdrop(background);
    Image glass = Crop(blurred, LOGO_LEFT, LOGO_TOP, LOGO_WIDTH, LOGO_HEIGHT);
    for (int y = 0; y < LOGO_HEIGHT; ++y) {
        const float sheen = 0.07f * std::pow(1.0f - float(y) / LOGO_HEIGHT, 2.0f);
        for (int x = 0; x < LOGO_WIDTH; ++x) {
            Rgb& c = glass.At(x, y);
            c = Add(Mix(Scale(c, 0.42f), Hex(0x0B0A2A), 0.25f), {sheen, sheen, sheen * 1.2f});
        }
    }
    return glass;
}

void PaintFrame(Image& image)
{
    Mask outer(LOGO_WIDTH, LOGO_HEIGHT);
    Mask inner(LOGO_WIDTH, LOGO_HEIGHT);
    DrawRoundedRect(outer, 4.0f, 4.0f, LOGO_WIDTH - 4.0f, LOGO_HEIGHT - 4.0f, 12.0f);
    DrawRoundedRect(inner, 5.5f, 5.5f, LOGO_WIDTH - 5.5f, LOGO_HEIGHT - 5.5f, 10.5f);
    const Mask border = MaskSubtract(outer, inner);
    PaintColour(image, border, Hex(0x5FD8FF), 0.55f);

    // Bright brackets on the four corners.
    Mask brackets(LOGO_WIDTH, LOGO_HEIGHT);
    const float arm = 34.0f;
    const float m = 4.75f;
    const float right = LOGO_WIDTH - m, bottom = LOGO_HEIGHT - m;
    DrawLine(brackets, {m + 10.0f, m}, {m + arm, m}, 2.5f);
    DrawLine(brackets, {m, m + 10.0f}, {m, m + arm}, 2.5f);
    DrawLine(brackets, {right - 10.0f, m}, {right - arm, m}, 2.5f);
    DrawLine(brackets, {right, m + 10.0f}, {right, m + arm}, 2.5f);
    DrawLine(brackets, {m + 10.0f, bottom}, {m + arm, bottom}, 2.5f);
    DrawLine(brackets, {m, bottom - 10.0f}, {m, bottom - arm}, 2.5f);
    DrawLine(brackets, {right - 10.0f, bottom}, {right - arm, bottom}, 2.5f);
    DrawLine(brackets, {right, bottom - 10.0f}, {right, bottom - arm}, 2.5f);
    Mask glow = brackets;
    BlurMask(glow, 4.0f);
    AddLight(image, glow, Hex(0x38E1FF), 0.8f);
    PaintColour(image, brackets, Hex(0xC8F6FF));
}

void PaintTitle(Image& image, const Fonts& fonts)
{
    // As large as fits between the frame's corner brackets.
    const float tracking = 5.0f;
    const float fitWidth = 500.0f;
    const float size = 100.0f * fitWidth / fonts.heavy.Measure(LOGO_TEXT, 100.0f, tracking * 1.0f);
    const float baseline = 120.0f;
    Mask letters(LOGO_WIDTH, LOGO_HEIGHT);
    fonts.heavy.DrawCentred(letters, LOGO_TEXT, size, LOGO_WIDTH * 0.5f, baseline, tracking);
    const float capTop = baseline - fonts.heavy.CapHeight(size);
    const Mask distance = SignedDistance(letters);

    // Drop shadow and a magenta glow behind everything.
    Mask shadow = letters;
    BlurMask(shadow, 5.0f);
    PaintColour(image, shadow, Hex(0x000000), 0.75f, 0, 6);
    Mask glow = DistanceBand(distance, -100.0f, 7.0f);
    BlurMask(glow, 12.0f);
    AddLight(image, glow, Hex(0xFF3FA4), 0.55f);

    // Chrome letters in a thin cyan line around a dark outline, and a white horizon
    // line through them.
    PaintChromeLetters(image, letters, distance, capTop, baseline);
    Mask horizon(LOGO_WIDTH, LOGO_HEIGHT);
    const float horizonY = capTop + 0.53f * (baseline - capTop);
    DrawLine(horizon, {0.0f, horizonY}, {float(LOGO_WIDTH), horizonY}, 1.2f);
    PaintColour(image, MaskMultiply(horizon, DistanceBand(distance, -100.0f, -1.5f)), Hex(0xFFFFFF),
                0.8f);

    // A glint on the first letter's top and one on the last letter's foot.
    const float width = fonts.heavy.Measure(LOGO_TEXT, size, tracking);
    const float left = LOGO_WIDTH * 0.5f - width * 0.5f;
    AddSparkle(image, left + 22.0f, capTop + 4.0f, 26.0f, Hex(0x9FEFFF), 0.9f);
    AddSparkle(image, left + width - 8.0f, baseline - 6.0f, 18.0f, Hex(0xFF9FD0), 0.7f);
}

void PaintTagLine(Image& image, const Fonts& fonts)
{
    const float size = 15.0f;
    const float tracking = 2.6f;
    const float baseline = 166.0f;
    Mask text(LOGO_WIDTH, LOGO_HEIGHT);
    fonts.plainBold.DrawCentred(text, LOGO_LINE, size, LOGO_WIDTH * 0.5f, baseline, tracking);
    const float width = fonts.plainBold.Measure(LOGO_LINE, size, tracking);
    Mask rules(LOGO_WIDTH, LOGO_HEIGHT);
    const float y = baseline - 5.0f;
    const float gap = 14.0f;
    DrawLine(rules, {26.0f, y}, {LOGO_WIDTH * 0.5f - width * 0.5f - gap, y}, 1.0f);
    DrawLine(rules, {LOGO_WIDTH * 0.5f + width * 0.5f + gap, y}, {LOGO_WIDTH - 26.0f, y}, 1.0f);
    PaintColour(image, rules, Hex(0x5FD8FF), 0.6f);
    Mask glow = text;
    BlurMask(glow, 3.0f);
    AddLight(image, glow, Hex(0x38C8FF), 0.5f);
    PaintColour(image, text, Hex(0xD6F7FF));
}

} // namespace

Image BlurredBackdrop(const Image& background)
{
    Image blurred = background;
    BlurImage(blurred, BACKDROP_BLUR);
    return blurred;
}

Image PaintLogo(const Image& background, const Fonts& fonts)
{
    Image image = SmokedGlass(background);
    PaintFrame(image);
    PaintTitle(image, fonts);
    PaintTagLine(image, fonts);
    return image;
}
