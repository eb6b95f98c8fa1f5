#pragma once

// Images and the CPU's own account of what the effect files and the quad drawing
// compute, for comparison with the pixels the device produces.
#include <cstddef>
#include <cstdint>
#include <vector>

// An 8-bit ARGB image as the targets hold it, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Image() = default;
    Image(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A colour with four float channels on the 0...1 scale, in red, green, blue, alpha order.
struct Color4 {
    float r = 0, g = 0, b = 0, a = 0;
    Color4() = default;
    Color4(float r_, float g_, float b_, float a_) : r(r_), g(g_), b(b_), a(a_) {}
    float& operator[](int i) { return (&r)[i]; }
    float operator[](int i) const { return (&r)[i]; }
};

Color4 operator+(const Color4& x, const Color4& y);
Color4 operator-(const Color4& x, const Color4& y);
Color4 operator*(const Color4& x, float s);
Color4 Lerp(const Color4& x, const Color4& y, float t);
Color4 Saturate(const Color4& c);

Color4 ToColor(uint32_t argb);
// Stored as a unorm8 target stores it: clamped, rounded to the nearest step.
uint32_t ToArgb(const Color4& c);

// A reference image of float colours, the same layout as Image.
struct ColorImage {
    int width = 0;
    int height = 0;
    std::vector<Color4> pixels;

    ColorImage() = default;
    ColorImage(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h) {}
    const Color4& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    Color4& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

ColorImage ToColorImage(const Image& image);
// Every pixel stored at 8 bits, as a render target keeps it between passes.
Image Quantise(const ColorImage& image);

// Random opaque or translucent pixels from a fixed seed.
Image RandomImage(int width, int height, uint32_t seed, bool opaque = true);

enum class Address { Clamp, Wrap };

// Direct3D's texel addressing: texel centres at (i + 0.5) / size.
Color4 SamplePoint(const Image& texture, float u, float v, Address address);
Color4 SampleBilinear(const Image& texture, float u, float v, Address address);

// The Gaussian weights of the blur files, index abs(i) for i = -6...6.
extern const float BLUR_WEIGHTS[7];

// The post-process shaders on a full-size target image. Each computes the pixels of the
// working region (width x height from the top left) as its pass writes them; taps outside
// that region read whatever the source holds there, clamped at the texture's edges.
ColorImage DownFilter4(const Image& source, int outWidth, int outHeight);
ColorImage Blur(const Image& source, int width, int height, bool horizontal, float scale = 1.0f);
// The quarter-size working image in the source's top left, enlarged by 4.
ColorImage UpFilter4(const Image& source, int outWidth, int outHeight);
// blurred: the chain source (TEXCOORD0 over the working region); sharp and position: the
// scene targets read over the whole screen.
ColorImage DofCombine(const Image& blurred, const Image& sharp, const Image& position, int width, int height);
Color4 BrightPass(const Color4& c);
// sourceScale: the first coordinate's maximum over the region as a fraction of the
// region's own size (1 when the source holds an image of the same size, 1/4 when the
// pass enlarges a quarter-size one).
ColorImage Combine(const Image& source, const Image& scene, int width, int height, float sourceScale = 1.0f);

// Direct3D's interpolation of a colour over one triangle of pre-transformed vertices, at
// the pixel centre (x, y): false when the point is outside the triangle.
struct ScreenVertex {
    float x, y;
    Color4 color;
};
bool InterpolateInTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, float x, float y,
                           Color4& out);
