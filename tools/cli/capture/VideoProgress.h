#pragma once

// The progress of a recording. On a terminal: a bar rewritten in place a few
// times a second, with the frames done, of how many, and the time left; anywhere
// else (a pipe, a log) one line at each tenth of the way. The time left comes
// from a smoothed pace: frames cost unevenly (the title card draws far faster
// than the main part), and the last frame's cost alone would make it jump.

#include <cstdint>
#include <cstdio>
#include <string>

class VideoProgress {
public:
    VideoProgress(FILE* stream, bool terminal, int64_t total);

    // `done` frames of `total` after `wallSeconds` of the run.
    void Update(int64_t done, double wallSeconds);
    // Ends the bar's line; call before printing anything else while it shows.
    void EndLine();

    // The time left in seconds at the smoothed pace; negative before any pace.
    double SecondsLeft() const;

private:
    void Print();

    FILE* m_stream;
    bool m_terminal;
    int64_t m_total;
    int64_t m_done = 0;
    double m_wall = 0.0;
    int64_t m_pacedDone = -1;  // frames and wall time at the last pace step
    double m_pacedWall = 0.0;
    double m_secondsPerFrame = -1.0;
    double m_printedWall = -1.0;
    int m_printedTenths = 0;
    bool m_lineOpen = false;
};

// One line of the progress: the bar on a terminal, the plain line elsewhere.
// A negative time left is not shown.
std::string ProgressLine(int64_t done, int64_t total, double secondsLeft, bool bar);

// "0:07", "12:34", "1:02:03".
std::string ClockTime(double seconds);
