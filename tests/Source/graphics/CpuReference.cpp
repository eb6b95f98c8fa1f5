#include "CpuReference.h"

#include <algorithm>
#include <cmath>

namespace {

const float TARGET_WIDTH = 1024.0f;
const float TARGET_HEIGHT = 768.0f;
// g_PixelRatio: one texel of a 1024 x 768 target.
const float PIXEL_U = 1.0f / 1024.0f;
const float PIXEL_V = 1.0f / 768.0f;

int AddressTexel(int i, int size, Address address)
{
    if (address == Address::Clamp)
        return std::min(std::max(i, 0), size - 1);
    const int m = i % size;
    return m < 0 ? m + size : m;
}

Color4 Texel(const Image& texture, int x, int y, Address address)
{
    return ToColor(texture.At(AddressTexel(x, texture.width, address), AddressTexel(y, texture.height, address)));
}

// Texture coordinate of pixel centre i of a pass quad spanning count pixels, whose
// coordinate runs from 0 to maximum across it.
float PassCoordinate(int i, int count, float maximum)
{
    return (static_cast<float>(i) + 0.5f) / static_cast<float>(count) * maximum;
}

}  // namespace

Color4 operator+(const Color4& x, const Color4& y)
{
    return Color4(x.r + y.r, x.g + y.g, x.b + y.b, x.a + y.a);
}

Color4 operator-(const Color4& x, const Color4& y)
{
    return Color4(x.r - y.r, x.g - y.g, x.b - y.b, x.a - y.a);
}

Color4 operator*(const Color4& x, float s)
{
    return Color4(x.r * s, x.g * s, x.b * s, x.a * s);
}

Color4 Lerp(const Color4& x, const Color4& y, float t)
{
    return x + (y - x) * t;
}

Color4 Saturate(const Color4& c)
{
    Color4 out;
    for (int i = 0; i < 4; ++i)
        out[i] = std::min(1.0f, std::max(0.0f, c[i]));
    return out;
}

Color4 ToColor(uint32_t argb)
{
    return Color4(((argb >> 16) & 0xFF) / 255.0f, ((argb >> 8) & 0xFF) / 255.0f, (argb & 0xFF) / 255.0f,
                  (argb >> 24) / 255.0f);
}

uint32_t ToArgb(const Color4& c)
{
    const Color4 s = Saturate(c);
    const auto byte = [](float v) { return static_cast<uint32_t>(std::lround(v * 255.0f)); };
    return (byte(s.a) << 24) | (byte(s.r) << 16) | (byte(s.g) << 8) | byte(s.b);
}

ColorImage ToColorImage(const Image& image)
{
    ColorImage out(image.width, image.height);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        out.pixels[i] = ToColor(image.pixels[i]);
    return out;
}

Image Quantise(const ColorImage& image)
{
    Image out(image.width, image.height);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        out.pixels[i] = ToArgb(image.pixels[i]);
    return out;
}

Image RandomImage(int width, int height, uint32_t seed, bool opaque)
{
    Image out(width, height);
    uint32_t state = seed ? seed : 1u;
    for (uint32_t& p : out.pixels) {
        // xorshift32: the same pixels on every run and system.
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        p = opaque ? (state | 0xFF000000u) : state;
    }
    return out;
}

Color4 SamplePoint(const Image& texture, float u, float v, Address address)
{
    return Texel(texture, static_cast<int>(std::floor(u * texture.width)),
                 static_cast<int>(std::floor(v * texture.height)), address);
}

Color4 SampleBilinear(const Image& texture, float u, float v, Address address)
{
    const float s = u * texture.width - 0.5f;
    const float t = v * texture.height - 0.5f;
    const int x0 = static_cast<int>(std::floor(s));
    const int y0 = static_cast<int>(std::floor(t));
    const float fx = s - x0;
    const float fy = t - y0;
    const Color4 top = Lerp(Texel(texture, x0, y0, address), Texel(texture, x0 + 1, y0, address), fx);
    const Color4 bottom = Lerp(Texel(texture, x0, y0 + 1, address), Texel(texture, x0 + 1, y0 + 1, address), fx);
    return Lerp(top, bottom, fy);
}

const float BLUR_WEIGHTS[7] = {0.199471f, 0.176033f, 0.120985f, 0.064759f, 0.026995f, 0.008764f, 0.002216f};

ColorImage DownFilter4(const Image& source, int outWidth, int outHeight)
{
    ColorImage out(outWidth, outHeight);
    const float uMax = 4.0f * outWidth / TARGET_WIDTH;
    const float vMax = 4.0f * outHeight / TARGET_HEIGHT;
    for (int y = 0; y < outHeight; ++y) {
        for (int x = 0; x < outWidth; ++x) {
            const float u = PassCoordinate(x, outWidth, uMax);
            const float v = PassCoordinate(y, outHeight, vMax);
            Color4 sum;
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j)
                    sum = sum +
                          SampleBilinear(source, u + (1.5f - i) * PIXEL_U, v + (j - 1.5f) * PIXEL_V, Address::Clamp);
            out.At(x, y) = sum * (1.0f / 16.0f);
        }
    }
    return out;
}

ColorImage Blur(const Image& source, int width, int height, bool horizontal, float scale)
{
    ColorImage out(width, height);
    const float uMax = width / TARGET_WIDTH;
    const float vMax = height / TARGET_HEIGHT;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float u = PassCoordinate(x, width, uMax);
            const float v = PassCoordinate(y, height, vMax);
            Color4 sum;
            for (int i = -6; i <= 6; ++i) {
                const float du = horizontal ? i * PIXEL_U : 0.0f;
                const float dv = horizontal ? 0.0f : i * PIXEL_V;
                sum = sum + SampleBilinear(source, u + du, v + dv, Address::Clamp) * BLUR_WEIGHTS[std::abs(i)];
            }
            out.At(x, y) = sum * scale;
        }
    }
    return out;
}

ColorImage UpFilter4(const Image& source, int outWidth, int outHeight)
{
    ColorImage out(outWidth, outHeight);
    const float uMax = outWidth / 4.0f / TARGET_WIDTH;
    const float vMax = outHeight / 4.0f / TARGET_HEIGHT;
    for (int y = 0; y < outHeight; ++y)
        for (int x = 0; x < outWidth; ++x)
            out.At(x, y) = SampleBilinear(source, PassCoordinate(x, outWidth, uMax), PassCoordinate(y, outHeight, vMax),
                                          Address::Clamp);
    return out;
}

ColorImage DofCombine(const Image& blurred, const Image& sharp, const Image& position, int width, int height)
{
    ColorImage out(width, height);
    const float uMax = width / TARGET_WIDTH;
    const float vMax = height / TARGET_HEIGHT;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float u = PassCoordinate(x, width, uMax);
            const float v = PassCoordinate(y, height, vMax);
            const float u2 = PassCoordinate(x, width, 1.0f);
            const float v2 = PassCoordinate(y, height, 1.0f);
            const float z = 1.0f - SampleBilinear(position, u, v, Address::Clamp).b;
            const Color4 far = SampleBilinear(blurred, u, v, Address::Clamp);
            const Color4 near = SampleBilinear(sharp, u2, v2, Address::Clamp);
            const float blur = std::min(1.0f, std::max(0.0f, (0.5f - z) * 4.0f));
            Color4 c = Lerp(near, far, blur);
            c.a = 1.0f;
            out.At(x, y) = c;
        }
    }
    return out;
}

Color4 BrightPass(const Color4& in)
{
    Color4 out(0, 0, 0, 1);
    for (int i = 0; i < 3; ++i) {
        float c = in[i] * 0.18f / (0.06f + 0.001f);
        c = c * (1.0f + c / (0.8f * 0.8f));
        c = std::max(c - 5.0f, 0.0f);
        out[i] = c / (10.0f + c);
    }
    return out;
}

ColorImage Combine(const Image& source, const Image& scene, int width, int height, float sourceScale)
{
    ColorImage out(width, height);
    const float uMax = width * sourceScale / TARGET_WIDTH;
    const float vMax = height * sourceScale / TARGET_HEIGHT;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Color4 src = SampleBilinear(source, PassCoordinate(x, width, uMax), PassCoordinate(y, height, vMax),
                                              Address::Clamp);
            const Color4 sharp = SampleBilinear(scene, PassCoordinate(x, width, 1.0f), PassCoordinate(y, height, 1.0f),
                                                Address::Clamp);
            Color4 c = src + sharp;
            c.a = 1.0f;
            out.At(x, y) = c;
        }
    }
    return out;
}

bool InterpolateInTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, float x, float y,
                           Color4& out)
{
    const float area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
    if (area == 0.0f)
        return false;
    const float wa = ((b.x - x) * (c.y - y) - (c.x - x) * (b.y - y)) / area;
    const float wb = ((c.x - x) * (a.y - y) - (a.x - x) * (c.y - y)) / area;
    const float wc = 1.0f - wa - wb;
    const float EDGE = -1e-5f;
    if (wa < EDGE || wb < EDGE || wc < EDGE)
        return false;
    out = a.color * wa + b.color * wb + c.color * wc;
    return true;
}
