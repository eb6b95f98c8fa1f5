#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// The progress line of a capture run. On a terminal it is one line rewritten in
// place a few times a second; anywhere else (a log file, a CI job) a line is
// printed only when a frame has been written, so a log holds one short line per
// frame instead of one line of hundreds of kilobytes.
struct CaptureRunShape {
    size_t framesAsked = 0;        // PNG frames asked for with --at
    double lastCaptureTime = 0.0;  // the demo time of the last of them
    double estimateFrom = 0.0;     // demo time from which the pace is measured
    bool bench = false;            // count the timed main-part frames
};

class CaptureProgress {
public:
    CaptureProgress(FILE* stream, bool live, const CaptureRunShape& shape);

    // After each drawn frame: wall seconds since the run started, the frame's demo
    // time, the frames written and the main-part frames timed so far.
    void Update(double wallSeconds, double demoTime, size_t framesWritten, size_t framesTimed);
    // The last line, ended.
    void Finish();
    // True while a live line is on screen without its line end: a message printed
    // now must start on a line of its own.
    bool LineOpen() const { return m_lineOpen; }

private:
    std::string Line(bool last) const;
    void Print(bool last);

    FILE* m_stream;
    bool m_live;
    CaptureRunShape m_shape;
    bool m_lineOpen = false;
    double m_lastPrintWall = 0.0;
    size_t m_printedFrames = 0;
    double m_wall = 0.0;
    double m_demoTime = 0.0;
    size_t m_framesWritten = 0;
    size_t m_framesTimed = 0;
    // Where the measured stretch starts; negative until the demo time reaches estimateFrom.
    double m_paceStartWall = -1.0;
    double m_paceStartDemo = 0.0;
};
