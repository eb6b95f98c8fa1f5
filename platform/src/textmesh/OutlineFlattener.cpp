#include "OutlineFlattener.h"

#include <algorithm>
#include <cmath>

namespace {

// Enough for a curve spanning the whole em square at a deviation of one font unit; a smaller
// deviation than that asks for detail nobody sees, and must not cost unbounded time.
constexpr int MAX_SPLIT_DEPTH = 10;
// cos 45 degrees: a curve meeting another piece at a sharper bend than this makes a corner.
constexpr double SMOOTH_JOIN_COSINE = 0.70710678;

bool SamePoint(double ax, double ay, double bx, double by)
{
    return ax == bx && ay == by;
}

}  // namespace

void OutlineFlattener::AddPoint(double x, double y, bool onCurve, bool curveIn)
{
    if (m_contours.empty())
        m_contours.emplace_back();
    m_contours.back().push_back({x * m_scale, y * m_scale, onCurve, curveIn});
}

void OutlineFlattener::MoveTo(double x, double y)
{
    m_contours.emplace_back();
    AddPoint(x, y, false, false);
    m_lastX = x;
    m_lastY = y;
}

void OutlineFlattener::LineTo(double x, double y)
{
    AddPoint(x, y, false, false);
    m_lastX = x;
    m_lastY = y;
}

void OutlineFlattener::SplitConic(double x0, double y0, double cx, double cy, double x1, double y1, int depth)
{
    // The curve's greatest distance from its chord is a quarter of the second difference.
    const double ex = (x0 - 2.0 * cx + x1) * 0.25 * m_scale;
    const double ey = (y0 - 2.0 * cy + y1) * 0.25 * m_scale;
    if (depth >= MAX_SPLIT_DEPTH || ex * ex + ey * ey <= m_tolerance * m_tolerance) {
        AddPoint(x1, y1, true, true);
        return;
    }
    const double ax = (x0 + cx) * 0.5, ay = (y0 + cy) * 0.5;
    const double bx = (cx + x1) * 0.5, by = (cy + y1) * 0.5;
    const double mx = (ax + bx) * 0.5, my = (ay + by) * 0.5;
    SplitConic(x0, y0, ax, ay, mx, my, depth + 1);
    SplitConic(mx, my, bx, by, x1, y1, depth + 1);
}

void OutlineFlattener::SplitCubic(double x0, double y0, double c1x, double c1y, double c2x, double c2y, double x1,
                                  double y1, int depth)
{
    // Three quarters of the larger second difference bounds the distance from the chord.
    const double e1x = x0 - 2.0 * c1x + c2x, e1y = y0 - 2.0 * c1y + c2y;
    const double e2x = c1x - 2.0 * c2x + x1, e2y = c1y - 2.0 * c2y + y1;
    const double e = 0.75 * m_scale * std::sqrt(std::max(e1x * e1x + e1y * e1y, e2x * e2x + e2y * e2y));
    if (depth >= MAX_SPLIT_DEPTH || e <= m_tolerance) {
        AddPoint(x1, y1, true, true);
        return;
    }
    const double ax = (x0 + c1x) * 0.5, ay = (y0 + c1y) * 0.5;
    const double bx = (c1x + c2x) * 0.5, by = (c1y + c2y) * 0.5;
    const double cx = (c2x + x1) * 0.5, cy = (c2y + y1) * 0.5;
    const double abx = (ax + bx) * 0.5, aby = (ay + by) * 0.5;
    const double bcx = (bx + cx) * 0.5, bcy = (by + cy) * 0.5;
    const double mx = (abx + bcx) * 0.5, my = (aby + bcy) * 0.5;
    SplitCubic(x0, y0, ax, ay, abx, aby, mx, my, depth + 1);
    SplitCubic(mx, my, bcx, bcy, cx, cy, x1, y1, depth + 1);
}

void OutlineFlattener::ConicTo(double cx, double cy, double x, double y)
{
    SplitConic(m_lastX, m_lastY, cx, cy, x, y, 0);
    m_contours.back().back().onCurve = false;  // the curve's end is a point of the font's own
    m_lastX = x;
    m_lastY = y;
}

void OutlineFlattener::CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y)
{
    SplitCubic(m_lastX, m_lastY, c1x, c1y, c2x, c2y, x, y, 0);
    m_contours.back().back().onCurve = false;
    m_lastX = x;
    m_lastY = y;
}

void OutlineFlattener::Finish(bool reverse, std::vector<GlyphContour>* contours)
{
    for (std::vector<RawPoint>& raw : m_contours) {
        // Drop repeated points; a repeat that is one of the font's own points keeps that role.
        std::vector<RawPoint> points;
        points.reserve(raw.size());
        for (const RawPoint& p : raw) {
            if (!points.empty() && SamePoint(points.back().x, points.back().y, p.x, p.y)) {
                points.back().onCurve = points.back().onCurve && p.onCurve;
                continue;
            }
            points.push_back(p);
        }
        // The contour closes on its start: the piece into the last copy is the piece into
        // the first point.
        while (points.size() >= 2 && SamePoint(points.front().x, points.front().y, points.back().x, points.back().y)) {
            points.front().onCurve = points.front().onCurve && points.back().onCurve;
            points.front().curveIn = points.back().curveIn;
            points.pop_back();
        }
        const size_t n = points.size();
        if (n < 3)
            continue;

        GlyphContour contour;
        contour.points.reserve(n);
        for (size_t i = 0; i < n; ++i) {
            const RawPoint& prev = points[(i + n - 1) % n];
            const RawPoint& p = points[i];
            const RawPoint& next = points[(i + 1) % n];
            const double inX = p.x - prev.x, inY = p.y - prev.y;
            const double outX = next.x - p.x, outY = next.y - p.y;
            const double lengths = std::sqrt((inX * inX + inY * inY) * (outX * outX + outY * outY));
            const double cosine = lengths > 0.0 ? (inX * outX + inY * outY) / lengths : -1.0;
            const double sine = lengths > 0.0 ? (inX * outY - inY * outX) / lengths : 0.0;

            const bool betweenLines = !p.curveIn && !next.curveIn;
            // A point in the middle of a straight run adds nothing.
            if (!p.onCurve && betweenLines && cosine > 0.0 && std::fabs(sine) < 1e-9)
                continue;
            bool smooth;
            if (p.onCurve)
                smooth = cosine > 0.0;
            else
                smooth = !betweenLines && cosine > SMOOTH_JOIN_COSINE;
            const OutlinePoint q = {static_cast<float>(p.x), static_cast<float>(p.y), smooth};
            // Points a hair apart may meet in single precision; an edge of no length has no
            // direction to give a normal.
            if (!contour.points.empty() && contour.points.back().x == q.x && contour.points.back().y == q.y)
                continue;
            contour.points.push_back(q);
        }
        while (contour.points.size() >= 2 && contour.points.back().x == contour.points.front().x &&
               contour.points.back().y == contour.points.front().y)
            contour.points.pop_back();
        if (contour.points.size() < 3)
            continue;
        if (reverse)
            std::reverse(contour.points.begin(), contour.points.end());
        contours->push_back(std::move(contour));
    }
    m_contours.clear();
}
