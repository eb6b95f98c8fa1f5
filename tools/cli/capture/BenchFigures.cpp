#include "BenchFigures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

BenchFigures ComputeBenchFigures(std::vector<double> frameMs)
{
    BenchFigures figures;
    figures.frames = frameMs.size();
    if (frameMs.empty())
        return figures;
    std::sort(frameMs.begin(), frameMs.end());
    const size_t n = frameMs.size();
    figures.medianMs = n % 2 ? frameMs[n / 2] : (frameMs[n / 2 - 1] + frameMs[n / 2]) / 2.0;
    // Nearest rank: the smallest time that at least 95% of the frames do not exceed.
    const size_t rank = static_cast<size_t>(std::ceil(0.95 * static_cast<double>(n)));
    figures.percentile95Ms = frameMs[std::max<size_t>(rank, 1) - 1];
    return figures;
}

std::string FormatBenchLine(const BenchFigures& figures, double startupSeconds, const std::string& drawnWith)
{
    char line[200];
    std::snprintf(line, sizeof line,
                  "bench: median %.1f ms, 95th percentile %.1f ms per frame (%zu main-part frames); "
                  "start-up to first frame %.2f s; drawn with ",
                  figures.medianMs, figures.percentile95Ms, figures.frames, startupSeconds);
    return line + drawnWith;
}
