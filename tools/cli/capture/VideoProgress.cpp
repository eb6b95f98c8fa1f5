#include "VideoProgress.h"

#include <algorithm>
#include <cmath>

namespace {

const double PRINT_INTERVAL_SECONDS = 0.25;
const int BAR_WIDTH = 30;
// Each frame's cost moves the pace by this share: about the last 30 frames count.
const double PACE_WEIGHT = 1.0 / 30.0;

}  // namespace

VideoProgress::VideoProgress(FILE* stream, bool terminal, int64_t total)
    : m_stream(stream), m_terminal(terminal), m_total(std::max<int64_t>(total, 1))
{
}

void VideoProgress::Update(int64_t done, double wallSeconds)
{
    if (m_pacedDone >= 0 && done > m_pacedDone && wallSeconds > m_pacedWall) {
        const double frames = static_cast<double>(done - m_pacedDone);
        const double cost = (wallSeconds - m_pacedWall) / frames;
        // Several frames at once weigh as much as they would one by one.
        const double weight = 1.0 - std::pow(1.0 - PACE_WEIGHT, frames);
        m_secondsPerFrame = m_secondsPerFrame < 0.0 ? cost : m_secondsPerFrame + weight * (cost - m_secondsPerFrame);
    }
    if (done != m_pacedDone) {
        m_pacedDone = done;
        m_pacedWall = wallSeconds;
    }
    m_done = done;
    m_wall = wallSeconds;
    if (m_terminal) {
        if (done >= m_total || m_printedWall < 0.0 || wallSeconds - m_printedWall >= PRINT_INTERVAL_SECONDS)
            Print();
    } else if (done * 10 / m_total > m_printedTenths) {
        m_printedTenths = static_cast<int>(done * 10 / m_total);
        Print();
    }
}

void VideoProgress::EndLine()
{
    if (m_lineOpen)
        std::fputc('\n', m_stream);
    m_lineOpen = false;
}

double VideoProgress::SecondsLeft() const
{
    return m_secondsPerFrame < 0.0 ? -1.0 : m_secondsPerFrame * static_cast<double>(m_total - m_done);
}

void VideoProgress::Print()
{
    const std::string line = ProgressLine(m_done, m_total, m_done < m_total ? SecondsLeft() : -1.0, m_terminal);
    if (m_terminal) {
        // Padded so a shorter line covers the end of a longer one.
        std::fprintf(m_stream, "\r%-79s", line.c_str());
        m_lineOpen = true;
    } else {
        std::fprintf(m_stream, "%s\n", line.c_str());
    }
    std::fflush(m_stream);
    m_printedWall = m_wall;
}

std::string ProgressLine(int64_t done, int64_t total, double secondsLeft, bool bar)
{
    total = std::max<int64_t>(total, 1);
    done = std::clamp<int64_t>(done, 0, total);
    const int percent = static_cast<int>(done * 100 / total);
    std::string line = "recording: ";
    if (bar) {
        const int filled = static_cast<int>(done * BAR_WIDTH / total);
        line += "[" + std::string(filled, '#') + std::string(BAR_WIDTH - filled, '.') + "] ";
    }
    line += std::to_string(percent) + " %, frame " + std::to_string(done) + " of " + std::to_string(total);
    if (secondsLeft >= 0.0)
        line += ", " + ClockTime(secondsLeft) + " left";
    return line;
}

std::string ClockTime(double seconds)
{
    const long long whole = std::llround(std::max(seconds, 0.0));
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}
