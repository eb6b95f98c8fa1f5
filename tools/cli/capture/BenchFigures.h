#pragma once

#include <string>
#include <vector>

// What --bench reports: per-frame times of the main part and the start-up time.
struct BenchFigures {
    double medianMs = 0.0;
    double percentile95Ms = 0.0;
    size_t frames = 0;
};

// The median (the mean of the middle two for an even count) and the 95th
// percentile by nearest rank. All zero for no frames.
BenchFigures ComputeBenchFigures(std::vector<double> frameMs);

// The last line --bench prints; drawnWith names the graphics API and driver.
std::string FormatBenchLine(const BenchFigures& figures, double startupSeconds, const std::string& drawnWith);
