#include "Figures.h"

#include <cstdio>
#include <sstream>

namespace {

std::string Number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

}  // namespace

void FigureSheet::Add(const std::string& key, const std::vector<double>& values)
{
    std::string line = key;
    for (double v : values)
        line += " " + Number(v);
    m_lines.push_back(line);
}

void FigureSheet::AddText(const std::string& key, const std::string& text)
{
    m_lines.push_back(key + " " + text);
}

void FigureSheet::AddFloats(const std::string& key, const float* values, int count)
{
    std::string line = key;
    for (int i = 0; i < count; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, " %.9g", static_cast<double>(values[i]));
        line += text;
    }
    m_lines.push_back(line);
}

void FigureSheet::Fail(const std::string& key, const std::string& why)
{
    ++m_failures;
    m_lines.push_back(key + " FAILED " + why);
}

std::string FigureSheet::Text() const
{
    std::string text;
    for (const std::string& line : m_lines)
        text += line + "\n";
    return text;
}

Figures ParseFigures(const std::string& text)
{
    Figures figures;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream words(line);
        std::string key, word;
        if (!(words >> key))
            continue;
        std::vector<std::string> values;
        while (words >> word)
            values.push_back(word);
        figures.emplace(key, values);
    }
    return figures;
}

std::vector<double> Thumbnail(const Image& image, int blocks)
{
    std::vector<double> means;
    if (image.width < blocks || image.height < blocks || blocks <= 0)
        return means;
    for (int by = 0; by < blocks; ++by)
        for (int bx = 0; bx < blocks; ++bx) {
            const int x0 = bx * image.width / blocks, x1 = (bx + 1) * image.width / blocks;
            const int y0 = by * image.height / blocks, y1 = (by + 1) * image.height / blocks;
            double sum[4] = {0, 0, 0, 0};
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) {
                    const uint32_t p = image.At(x, y);
                    for (int c = 0; c < 4; ++c)
                        sum[c] += (p >> (24 - 8 * c)) & 0xFF;
                }
            const double n = static_cast<double>(x1 - x0) * (y1 - y0);
            for (double s : sum)
                means.push_back(s / n);
        }
    return means;
}

std::vector<double> CoveredBox(const Image& image, uint32_t background, int x0, int y0, int x1, int y1)
{
    int left = -1, top = -1, right = -1, bottom = -1, count = 0;
    for (int y = y0 < 0 ? 0 : y0; y < y1 && y < image.height; ++y)
        for (int x = x0 < 0 ? 0 : x0; x < x1 && x < image.width; ++x) {
            if (image.At(x, y) == background)
                continue;
            if (count++ == 0) {
                left = right = x;
                top = bottom = y;
            }
            left = x < left ? x : left;
            right = x > right ? x : right;
            bottom = y;
        }
    return {double(left), double(top), double(right), double(bottom), double(count)};
}
