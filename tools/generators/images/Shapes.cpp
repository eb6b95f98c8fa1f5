#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

float Coverage(float signedDistance)
{
    return std::clamp(0.5f - signedDistance, 0.0f, 1.0f);
}

void Put(Mask& mask, int x, int y, float v)
{
    if (x >= 0 && y >= 0 && x < mask.width && y < mask.height && v > 0.0f)
        mask.At(x, y) = std::max(mask.At(x, y), std::min(v, 1.0f));
}

// 1D squared distance transform (Felzenszwalb and Huttenlocher) of f over n samples.
void DistanceTransform1D(const float* f, int n, float* d, std::vector<int>& v,
                         std::vector<float>& z)
{
    const float INF = std::numeric_limits<float>::infinity();
    int k = 0;
    v[0] = 0;
    z[0] = -INF;
    z[1] = INF;
    for (int q = 1; q < n; ++q) {
        float s;
        for (;;) {
            const int p = v[size_t(k)];
            s = ((f[q] + float(q) * q) - (f[p] + float(p) * p)) / (2.0f * q - 2.0f * p);
            if (s <= z[size_t(k)] && k > 0) {
                --k;
                continue;
            }
            if (s <= z[size_t(k)]) { // only when k == 0 and both infinite
                s = z[size_t(k)];
            }
            break;
        }
        ++k;
        v[size_t(k)] = q;
        z[size_t(k)] = s;
        z[size_t(k) + 1] = INF;
    }
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[size_t(k) + 1] < q)
            ++k;
        const int p = v[size_t(k)];
        d[q] = float(q - p) * float(q - p) + f[p];
    }
}

// Squared distance from every pixel to the nearest pixel where inside is true.
std::vector<float> SquaredDistanceTo(const Mask& mask, bool wantInside)
{
    const float BIG = 1e20f;
    const int w = mask.width;
    const int h = mask.height;
    std::vector<float> grid(size_t(w) * h);
    for (size_t i = 0; i < grid.size(); ++i) {
        const bool inside = mask.value[i] >= 0.5f;
        grid[i] = inside == wantInside ? 0.0f : BIG;
    }
    const int n = std::max(w, h);
    std::vector<float> f(static_cast<size_t>(n)), d(static_cast<size_t>(n)),
        z(static_cast<size_t>(n) + 1);
    std::vector<int> v(static_cast<size_t>(n));
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y)
            f[size_t(y)] = grid[size_t(y) * w + x];
        DistanceTransform1D(f.data(), h, d.data(), v, z);
        for (int y = 0; y < h; ++y)
            grid[size_t(y) * w + x] = d[size_t(y)];
    }
    for (int y = 0; y < h; ++y) {
        DistanceTransform1D(&grid[size_t(y) * w], w, d.data(), v, z);
        std::copy(d.begin(), d.begin() + w, grid.begin() + long(y) * w);
    }
    return grid;
}

} // namespace

void DrawDisc(Mask& mask, float cx, float cy, float radius, float softness, float intensity)
{
    const float reach = radius + softness + 1.0f;
    const int x0 = int(std::floor(cx - reach)), x1 = int(std::ceil(cx + reach));
    const int y0 = int(std::floor(cy - reach)), y1 = int(std::ceil(cy + reach));
    const float soft = std::max(softness, 0.001f);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float dx = x + 0.5f - cx;
            const float dy = y + 0.5f - cy;
            const float d = std::sqrt(dx * dx + dy * dy) - radius;
            Put(mask, x, y, intensity * std::clamp(0.5f - d / soft, 0.0f, 1.0f));
        }
    }
}

void DrawLine(Mask& mask, Point a, Point b, float width)
{
    const float half = width * 0.5f;
    const float reach = half + 1.5f;
    const int x0 = int(std::floor(std::min(a.x, b.x) - reach));
    const int x1 = int(std::ceil(std::max(a.x, b.x) + reach));
    const int y0 = int(std::floor(std::min(a.y, b.y) - reach));
    const int y1 = int(std::ceil(std::max(a.y, b.y) + reach));
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float lengthSq = dx * dx + dy * dy;
    for (int y = std::max(y0, 0); y <= std::min(y1, mask.height - 1); ++y) {
        for (int x = std::max(x0, 0); x <= std::min(x1, mask.width - 1); ++x) {
            const float px = x + 0.5f - a.x, py = y + 0.5f - a.y;
            const float t = lengthSq > 0.0f ? std::clamp((px * dx + py * dy) / lengthSq, 0.0f, 1.0f)
                                            : 0.0f;
            const float ex = px - t * dx, ey = py - t * dy;
            const float d = std::sqrt(ex * ex + ey * ey) - half;
            // Lines thinner than a pixel fade instead of breaking up.
            const float thin = std::min(width, 1.0f);
            Put(mask, x, y, Coverage(d) * thin);
        }
    }
}

void DrawRoundedRect(Mask& mask, float x0, float y0, float x1, float y1, float radius)
{
    const float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f;
    const float hx = (x1 - x0) * 0.5f - radius, hy = (y1 - y0) * 0.5f - radius;
    for (int y = std::max(int(y0) - 1, 0); y <= std::min(int(y1) + 1, mask.height - 1); ++y) {
        for (int x = std::max(int(x0) - 1, 0); x <= std::min(int(x1) + 1, mask.width - 1); ++x) {
            const float qx = std::fabs(x + 0.5f - cx) - hx;
            const float qy = std::fabs(y + 0.5f - cy) - hy;
            const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
            const float d = std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) -
                            radius;
            Put(mask, x, y, Coverage(d));
        }
    }
}

void FillPolygon(Mask& mask, const std::vector<Point>& points)
{
    if (points.size() < 3)
        return;
    float minY = points[0].y, maxY = minY;
    for (const Point& p : points) {
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    // Even-odd spans on SUB sample rows per pixel row, counted on SUB sample
    // columns per pixel.
    const int SUB = 4;
    const int firstRow = std::max(int(std::floor(minY)), 0);
    const int lastRow = std::min(int(maxY), mask.height - 1);
    std::vector<int> hits(size_t(mask.width));
    std::vector<float> crossings;
    for (int y = firstRow; y <= lastRow; ++y) {
        std::fill(hits.begin(), hits.end(), 0);
        for (int sy = 0; sy < SUB; ++sy) {
            const float py = y + (sy + 0.5f) / SUB;
            crossings.clear();
            for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
                const Point& a = points[i];
                const Point& b = points[j];
                if ((a.y > py) != (b.y > py))
                    crossings.push_back((b.x - a.x) * (py - a.y) / (b.y - a.y) + a.x);
            }
            std::sort(crossings.begin(), crossings.end());
            for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
                // Sample columns c with (c + 0.5) / SUB in [start, end).
                const int first = std::max(int(std::ceil(crossings[k] * SUB - 0.5f)), 0);
                const int last = std::min(int(std::ceil(crossings[k + 1] * SUB - 0.5f)) - 1,
                                          mask.width * SUB - 1);
                for (int c = first; c <= last; ++c)
                    ++hits[size_t(c / SUB)];
            }
        }
        for (int x = 0; x < mask.width; ++x) {
            if (hits[size_t(x)] > 0)
                Put(mask, x, y, float(hits[size_t(x)]) / (SUB * SUB));
        }
    }
}

Mask SignedDistance(const Mask& mask)
{
    const std::vector<float> toInside = SquaredDistanceTo(mask, true);
    const std::vector<float> toOutside = SquaredDistanceTo(mask, false);
    Mask out(mask.width, mask.height);
    for (size_t i = 0; i < out.value.size(); ++i) {
        // Centre-to-centre distances put the contour half a pixel off; the
        // pixel's own coverage moves it to where the edge really is.
        const float c = std::clamp(mask.value[i], 0.0f, 1.0f);
        if (c >= 0.5f)
            out.value[i] = -(std::sqrt(toOutside[i]) - 0.5f) - (c - 0.5f);
        else
            out.value[i] = std::sqrt(toInside[i]) - 0.5f + (0.5f - c);
    }
    return out;
}

Mask DistanceBand(const Mask& distance, float inner, float outer)
{
    Mask out(distance.width, distance.height);
    for (size_t i = 0; i < out.value.size(); ++i) {
        const float d = distance.value[i];
        out.value[i] = std::clamp(d - inner + 0.5f, 0.0f, 1.0f) *
                       std::clamp(outer - d + 0.5f, 0.0f, 1.0f);
    }
    return out;
}
