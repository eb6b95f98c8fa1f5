#pragma once

// The figures one run of the cross-check prints: one line per figure, a key and its values,
//     texture.101.size 1024 256 11 21
// values being numbers or, for a figure that names something, the rest of the line as text.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class FigureSheet {
public:
    void Add(const std::string& key, const std::vector<double>& values);
    void AddText(const std::string& key, const std::string& text);
    // Floats written so that reading them back gives the same float, for comparisons in ulps.
    void AddFloats(const std::string& key, const float* values, int count);
    // A step that could not be taken: the comparison reports it as a difference.
    void Fail(const std::string& key, const std::string& why);

    const std::vector<std::string>& Lines() const { return m_lines; }
    int Failures() const { return m_failures; }
    std::string Text() const;

private:
    std::vector<std::string> m_lines;
    int m_failures = 0;
};

// A parsed sheet: key -> the words after it. Lines without a key are skipped; a key given
// twice keeps its first line.
using Figures = std::map<std::string, std::vector<std::string>>;
Figures ParseFigures(const std::string& text);

// ARGB pixels of an image, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Means of each channel (A, R, G, B) over a grid of blocks x blocks tiles, row by row: a
// picture small enough to print that still shows where the image differs.
std::vector<double> Thumbnail(const Image& image, int blocks);
// The bounding box (left, top, right, bottom, count) of the pixels inside the rectangle
// [x0, x1) x [y0, y1) that differ from background; all -1 and count 0 when none does.
std::vector<double> CoveredBox(const Image& image, uint32_t background, int x0, int y0, int x1, int y1);
