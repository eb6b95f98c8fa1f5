#include "CaptureProgress.h"

namespace {

const double LIVE_INTERVAL_SECONDS = 0.25;
const size_t LIVE_WIDTH = 100;

}  // namespace

CaptureProgress::CaptureProgress(FILE* stream, bool live, const CaptureRunShape& shape)
    : m_stream(stream), m_live(live), m_shape(shape)
{
}

void CaptureProgress::Update(double wallSeconds, double demoTime, size_t framesWritten, size_t framesTimed)
{
    m_wall = wallSeconds;
    m_demoTime = demoTime;
    m_framesWritten = framesWritten;
    m_framesTimed = framesTimed;
    if (m_paceStartWall < 0.0 && demoTime >= m_shape.estimateFrom) {
        m_paceStartWall = wallSeconds;
        m_paceStartDemo = demoTime;
    }
    const bool due = m_live ? !m_lineOpen || wallSeconds - m_lastPrintWall >= LIVE_INTERVAL_SECONDS
                            : framesWritten > m_printedFrames;
    if (due)
        Print(false);
}

void CaptureProgress::Finish()
{
    Print(true);
}

std::string CaptureProgress::Line(bool last) const
{
    // Frame times add up in floats: the frame of 4 s may stop a hair short of it.
    const int wholeSeconds = static_cast<int>(m_demoTime + 0.001);
    std::string line = "capturing: demo time " + std::to_string(wholeSeconds) + " s";
    if (m_shape.framesAsked > 0) {
        line += " of " + std::to_string(static_cast<int>(m_shape.lastCaptureTime + 0.999)) + " s, " +
                std::to_string(m_framesWritten) + " of " + std::to_string(m_shape.framesAsked) + " frames written";
        // The pace over the whole measured stretch: frames cost unevenly (those that
        // write a file more), and a shorter stretch would make the estimate jump.
        // Before estimateFrom (the title card, far cheaper than the main part) there
        // is none.
        const double demoStep = m_demoTime - m_paceStartDemo;
        if (!last && m_paceStartWall >= 0.0 && demoStep > 0.0) {
            const double remaining = (m_shape.lastCaptureTime - m_demoTime) * (m_wall - m_paceStartWall) / demoStep;
            if (remaining > 0.0)
                line += ", about " + std::to_string(static_cast<int>(remaining + 0.5)) + " s left";
        }
    }
    if (m_shape.bench)
        line += ", " + std::to_string(m_framesTimed) + " main-part frames timed";
    return line;
}

void CaptureProgress::Print(bool last)
{
    std::string line = Line(last);
    if (m_live) {
        // Padded so a shorter line covers the end of a longer one.
        if (line.size() < LIVE_WIDTH)
            line.append(LIVE_WIDTH - line.size(), ' ');
        std::fprintf(m_stream, "\r%s%s", line.c_str(), last ? "\n" : "");
    } else {
        std::fprintf(m_stream, "%s\n", line.c_str());
    }
    std::fflush(m_stream);
    m_lineOpen = m_live && !last;
    m_lastPrintWall = m_wall;
    m_printedFrames = m_framesWritten;
}
