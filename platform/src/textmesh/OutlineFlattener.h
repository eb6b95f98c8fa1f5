#pragma once

// Turns an outline of straight, quadratic and cubic pieces into closed polylines.
#include "GlyphShape.h"

#include <vector>

class OutlineFlattener {
public:
    // Points come in font units and are multiplied by scale; curves are split until every
    // piece lies within tolerance (after scaling) of its chord.
    OutlineFlattener(double scale, double tolerance) : m_scale(scale), m_tolerance(tolerance) {}

    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    void ConicTo(double cx, double cy, double x, double y);
    void CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y);

    // The finished contours: closing duplicates, repeated points and straight-line points
    // dropped, corners marked, degenerate contours left out. reverse turns every contour
    // round (for fonts whose outer contours run counter-clockwise).
    void Finish(bool reverse, std::vector<GlyphContour>* contours);

private:
    struct RawPoint {
        double x, y;
        bool onCurve;  // a point between the two ends of a curve
        bool curveIn;  // the piece that ends here is a curve
    };

    void AddPoint(double x, double y, bool onCurve, bool curveIn);
    void SplitConic(double x0, double y0, double cx, double cy, double x1, double y1, int depth);
    void SplitCubic(double x0, double y0, double c1x, double c1y, double c2x, double c2y, double x1, double y1,
                    int depth);

    double m_scale;
    double m_tolerance;
    double m_lastX = 0.0, m_lastY = 0.0;  // font units
    std::vector<std::vector<RawPoint>> m_contours;
};
