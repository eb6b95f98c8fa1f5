#include "Raster.h"
#include "Noise.h"

#include <algorithm>
#include <cmath>

Rgb Mix(const Rgb& a, const Rgb& b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(const Rgb& c, float s)
{
    return {c.r * s, c.g * s, c.b * s};
}

Rgb Add(const Rgb& a, const Rgb& b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

Rgb Hex(unsigned value)
{
    return {((value >> 16) & 255) / 255.0f, ((value >> 8) & 255) / 255.0f, (value & 255) / 255.0f};
}

float Mask::Sample(float x, float y) const
{
    const float fx = std::clamp(x - 0.5f, 0.0f, float(width - 1));
    const float fy = std::clamp(y - 0.5f, 0.0f, float(height - 1));
    const int x0 = int(fx);
    const int y0 = int(fy);
    const int x1 = std::min(x0 + 1, width - 1);
    const int y1 = std::min(y0 + 1, height - 1);
    const float tx = fx - x0;
    const float ty = fy - y0;
    const float top = At(x0, y0) + (At(x1, y0) - At(x0, y0)) * tx;
    const float bottom = At(x0, y1) + (At(x1, y1) - At(x0, y1)) * tx;
    return top + (bottom - top) * ty;
}

Rgb GradientAt(const std::vector<GradientStop>& stops, float t)
{
    if (stops.empty())
        return {0, 0, 0};
    if (t <= stops.front().position)
        return stops.front().colour;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].position) {
            const float span = stops[i].position - stops[i - 1].position;
            const float f = span > 0.0f ? (t - stops[i - 1].position) / span : 1.0f;
            return Mix(stops[i - 1].colour, stops[i].colour, f);
        }
    }
    return stops.back().colour;
}

void FillVerticalGradient(Image& image, const std::vector<GradientStop>& stops)
{
    for (int y = 0; y < image.height; ++y) {
        const Rgb c = GradientAt(stops, image.height > 1 ? float(y) / (image.height - 1) : 0.0f);
        for (int x = 0; x < image.width; ++x)
            image.At(x, y) = c;
    }
}

namespace {

// Calls visit(coverage, pixel) for every mask value that lands inside the
// image when the mask's corner is laid at the offset; the rest is clipped.
template <typename Visit>
void ForEachCovered(Image& image, const Mask& mask, int offsetX, int offsetY, Visit visit)
{
    for (int y = 0; y < mask.height; ++y) {
        const int ty = y + offsetY;
        if (ty < 0 || ty >= image.height)
            continue;
        for (int x = 0; x < mask.width; ++x) {
            const int tx = x + offsetX;
            if (tx < 0 || tx >= image.width)
                continue;
            visit(mask.At(x, y), image.At(tx, ty));
        }
    }
}

} // namespace

void PaintColour(Image& image, const Mask& mask, const Rgb& colour, float opacity, int offsetX,
                 int offsetY)
{
    ForEachCovered(image, mask, offsetX, offsetY, [&](float coverage, Rgb& pixel) {
        const float a = std::clamp(coverage * opacity, 0.0f, 1.0f);
        if (a > 0.0f)
            pixel = Mix(pixel, colour, a);
    });
}

void AddLight(Image& image, const Mask& mask, const Rgb& colour, float strength, int offsetX,
              int offsetY)
{
    ForEachCovered(image, mask, offsetX, offsetY, [&](float coverage, Rgb& pixel) {
        const float a = coverage * strength;
        if (a != 0.0f)
            pixel = Add(pixel, Scale(colour, a));
    });
}

void PaintLayer(Image& image, const Image& layer, const Mask& mask, float opacity)
{
    for (size_t i = 0; i < image.pixel.size(); ++i) {
        const float a = std::clamp(mask.value[i] * opacity, 0.0f, 1.0f);
        if (a > 0.0f)
            image.pixel[i] = Mix(image.pixel[i], layer.pixel[i], a);
    }
}

namespace {

std::vector<float> GaussianKernel(float sigma)
{
    const int radius = std::max(1, int(std::ceil(sigma * 3.0f)));
    std::vector<float> kernel(size_t(2 * radius + 1));
    double sum = 0.0;
    for (int i = -radius; i <= radius; ++i) {
        const double w = std::exp(-0.5 * double(i) * i / (double(sigma) * sigma));
        kernel[size_t(i + radius)] = float(w);
        sum += w;
    }
    for (float& w : kernel)
        w = float(w / sum);
    return kernel;
}

// One blur pass over channels interleaved with the given stride: n samples,
// step between samples, repeated for every line.
template <typename T, typename Accumulate>
void BlurLines(std::vector<T>& data, int lineCount, int lineLength, size_t lineStep,
               size_t sampleStep, const std::vector<float>& kernel, Accumulate accumulate)
{
    const int radius = int(kernel.size() / 2);
    std::vector<T> line(static_cast<size_t>(lineLength));
    for (int l = 0; l < lineCount; ++l) {
        const size_t start = size_t(l) * lineStep;
        for (int i = 0; i < lineLength; ++i)
            line[size_t(i)] = data[start + size_t(i) * sampleStep];
        for (int i = 0; i < lineLength; ++i) {
            T sum{};
            for (int k = -radius; k <= radius; ++k) {
                const int j = std::clamp(i + k, 0, lineLength - 1);
                accumulate(sum, line[size_t(j)], kernel[size_t(k + radius)]);
            }
            data[start + size_t(i) * sampleStep] = sum;
        }
    }
}

} // namespace

namespace {

// Three box widths whose repeated application approximates a Gaussian of the
// given deviation (the widths are odd, so the result stays centred).
void BoxWidthsForGauss(float sigma, int widths[3])
{
    const double ideal = std::sqrt(12.0 * sigma * sigma / 3.0 + 1.0);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const double m = (12.0 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9.0) /
                     (-4.0 * lower - 4.0);
    const int lowerCount = int(std::lround(m));
    for (int i = 0; i < 3; ++i)
        widths[i] = i < lowerCount ? lower : upper;
}

// One running-sum box pass of the given odd width along every line.
template <typename T, typename Ops>
void BoxLines(std::vector<T>& data, int lineCount, int lineLength, size_t lineStep,
              size_t sampleStep, int width, Ops ops)
{
    const int radius = width / 2;
    std::vector<T> line(static_cast<size_t>(lineLength));
    for (int l = 0; l < lineCount; ++l) {
        const size_t start = size_t(l) * lineStep;
        for (int i = 0; i < lineLength; ++i)
            line[size_t(i)] = data[start + size_t(i) * sampleStep];
        auto at = [&](int i) -> const T& { return line[size_t(std::clamp(i, 0, lineLength - 1))]; };
        typename Ops::Sum sum{};
        for (int k = -radius; k <= radius; ++k)
            ops.Add(sum, at(k));
        for (int i = 0; i < lineLength; ++i) {
            data[start + size_t(i) * sampleStep] = ops.Average(sum, width);
            ops.Add(sum, at(i + radius + 1));
            ops.Subtract(sum, at(i - radius));
        }
    }
}

struct FloatOps {
    using Sum = double;
    void Add(Sum& s, float v) const { s += v; }
    void Subtract(Sum& s, float v) const { s -= v; }
    float Average(const Sum& s, int n) const { return float(s / n); }
};

struct RgbOps {
    struct Sum {
        double r = 0, g = 0, b = 0;
    };
    void Add(Sum& s, const Rgb& v) const { s.r += v.r, s.g += v.g, s.b += v.b; }
    void Subtract(Sum& s, const Rgb& v) const { s.r -= v.r, s.g -= v.g, s.b -= v.b; }
    Rgb Average(const Sum& s, int n) const
    {
        return {float(s.r / n), float(s.g / n), float(s.b / n)};
    }
};

// Small deviations use an exact kernel; large ones three box passes, which
// cost the same whatever the radius.
const float BOX_BLUR_FROM_SIGMA = 6.0f;

template <typename T, typename Accumulate, typename Ops>
void Blur(std::vector<T>& data, int width, int height, float sigma, Accumulate accumulate, Ops ops)
{
    if (sigma < BOX_BLUR_FROM_SIGMA) {
        const std::vector<float> kernel = GaussianKernel(sigma);
        BlurLines(data, height, width, size_t(width), 1, kernel, accumulate);
        BlurLines(data, width, height, 1, size_t(width), kernel, accumulate);
        return;
    }
    int widths[3];
    BoxWidthsForGauss(sigma, widths);
    for (int pass = 0; pass < 3; ++pass) {
        BoxLines(data, height, width, size_t(width), 1, widths[pass], ops);
        BoxLines(data, width, height, 1, size_t(width), widths[pass], ops);
    }
}

} // namespace

void BlurMask(Mask& mask, float sigma)
{
    if (sigma <= 0.0f || mask.value.empty())
        return;
    auto accumulate = [](float& sum, float v, float w) { sum += v * w; };
    Blur(mask.value, mask.width, mask.height, sigma, accumulate, FloatOps());
}

void BlurImage(Image& image, float sigma)
{
    if (sigma <= 0.0f || image.pixel.empty())
        return;
    auto accumulate = [](Rgb& sum, const Rgb& v, float w) {
        sum.r += v.r * w;
        sum.g += v.g * w;
        sum.b += v.b * w;
    };
    Blur(image.pixel, image.width, image.height, sigma, accumulate, RgbOps());
}

Mask MaskMultiply(const Mask& a, const Mask& b)
{
    Mask out(a.width, a.height);
    for (size_t i = 0; i < out.value.size(); ++i)
        out.value[i] = a.value[i] * b.value[i];
    return out;
}

Mask MaskSubtract(const Mask& a, const Mask& b)
{
    Mask out(a.width, a.height);
    for (size_t i = 0; i < out.value.size(); ++i)
        out.value[i] = std::max(a.value[i] - b.value[i], 0.0f);
    return out;
}

Mask MaskMax(const Mask& a, const Mask& b)
{
    Mask out(a.width, a.height);
    for (size_t i = 0; i < out.value.size(); ++i)
        out.value[i] = std::max(a.value[i], b.value[i]);
    return out;
}

Image Crop(const Image& image, int x, int y, int width, int height)
{
    Image out(width, height);
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            const int sx = std::clamp(x + i, 0, image.width - 1);
            const int sy = std::clamp(y + j, 0, image.height - 1);
            out.At(i, j) = image.At(sx, sy);
        }
    }
    return out;
}

std::vector<unsigned char> ToRgb8(const Image& image, unsigned ditherSeed)
{
    std::vector<unsigned char> out(image.pixel.size() * 3);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb& c = image.At(x, y);
            const float channels[3] = {c.r, c.g, c.b};
            for (int k = 0; k < 3; ++k) {
                const float dither = HashUnit(ditherSeed + unsigned(k), x, y) - 0.5f;
                const float v = std::clamp(channels[k] * 255.0f + dither, 0.0f, 255.0f);
                out[(size_t(y) * image.width + x) * 3 + k] = (unsigned char)std::lround(v);
            }
        }
    }
    return out;
}
