#include "cli/ProgressBar.h"

#include <algorithm>
#include <string>

namespace fenra::cli {

ProgressBar::ProgressBar(std::ostream& terminal, bool isTerminal, std::function<double()> secondsNow)
    : m_out(terminal), m_isTerminal(isTerminal), m_now(std::move(secondsNow)), m_start(m_now())
{}

void ProgressBar::update(std::int64_t done, std::int64_t total)
{
    if (!m_isTerminal || total <= 0)
        return;
    if (!m_shown && m_now() - m_start < kQuietSeconds)
        return;
    const double share = std::clamp(double(done) / double(total), 0.0, 1.0);
    const int filled = int(share * kWidth);
    const int percent = int(share * 100.0);
    // Redrawn only when it changes, so a slow terminal is not flooded.
    if (m_shown && filled == m_lastFilled && percent == m_lastPercent)
        return;
    m_shown = true;
    s_lineOpen = true;
    m_lastFilled = filled;
    m_lastPercent = percent;
    m_out << '\r' << '[' << std::string(std::size_t(filled), '#') << std::string(std::size_t(kWidth - filled), ' ')
          << "] " << percent << '%' << std::flush;
}

void ProgressBar::finish()
{
    if (!m_shown)
        return;
    m_out << "\r[" << std::string(std::size_t(kWidth), '#') << "] 100%\n" << std::flush;
    m_shown = false;
    s_lineOpen = false;
}

}   // namespace fenra::cli
