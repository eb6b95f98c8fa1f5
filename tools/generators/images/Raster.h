#pragma once

#include <cstddef>
#include <vector>

using std::size_t;

// Colours are red, green, blue in 0..1 (sRGB values; the pictures are
// composed directly in display space).
struct Rgb {
    float r, g, b;
};

Rgb Mix(const Rgb& a, const Rgb& b, float t);
Rgb Scale(const Rgb& c, float s);
Rgb Add(const Rgb& a, const Rgb& b);
// 0xRRGGBB as a colour.
Rgb Hex(unsigned value);

// A coverage or height map: one float per pixel.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<float> value;

    Mask() {}
    Mask(int w, int h, float fill = 0.0f) : width(w), height(h), value(size_t(w) * h, fill) {}
    float& At(int x, int y) { return value[size_t(y) * width + x]; }
    float At(int x, int y) const { return value[size_t(y) * width + x]; }
    // Bilinear sample with clamping at the borders, x and y in pixels
    // (pixel centres at integer + 0.5).
    float Sample(float x, float y) const;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixel;

    Image() {}
    Image(int w, int h, Rgb fill = {0, 0, 0}) : width(w), height(h), pixel(size_t(w) * h, fill) {}
    Rgb& At(int x, int y) { return pixel[size_t(y) * width + x]; }
    const Rgb& At(int x, int y) const { return pixel[size_t(y) * width + x]; }
};

// One stop of a gradient: position 0..1 and colour.
struct GradientStop {
    float position;
    Rgb colour;
};

// Colour of a piecewise linear gradient at t (clamped to the first and last stops).
Rgb GradientAt(const std::vector<GradientStop>& stops, float t);

// Fills every row with the gradient colour at y / (height - 1).
void FillVerticalGradient(Image& image, const std::vector<GradientStop>& stops);

// Blends a flat colour over the image through a mask: result = lerp(image,
// colour, mask * opacity).
void PaintColour(Image& image, const Mask& mask, const Rgb& colour, float opacity = 1.0f,
                 int offsetX = 0, int offsetY = 0);
// Adds colour * mask * strength (light, glows).
void AddLight(Image& image, const Mask& mask, const Rgb& colour, float strength, int offsetX = 0,
              int offsetY = 0);
// Blends a whole layer over the image through a mask of the image's size.
void PaintLayer(Image& image, const Image& layer, const Mask& mask, float opacity = 1.0f);

// Separable Gaussian blur with the given standard deviation in pixels; the
// borders repeat the edge pixels.
void BlurMask(Mask& mask, float sigma);
void BlurImage(Image& image, float sigma);

// Pixel-wise operations on masks.
Mask MaskMultiply(const Mask& a, const Mask& b);
Mask MaskSubtract(const Mask& a, const Mask& b); // max(a - b, 0)
Mask MaskMax(const Mask& a, const Mask& b);

// Copies a rectangle out of an image.
Image Crop(const Image& image, int x, int y, int width, int height);

// Converts to 8-bit RGB with a fixed, position-seeded dither of at most half
// a step, so that smooth gradients do not band.
std::vector<unsigned char> ToRgb8(const Image& image, unsigned ditherSeed);
