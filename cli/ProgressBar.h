#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <ostream>

namespace fenra::cli {

// A bar on a terminal for a render that takes a while. Nothing at all is
// written to a file or a pipe, and nothing for a render that is over within
// about a second, so quick renders and scripts see a clean standard error.
class ProgressBar {
public:
    // `secondsNow`: a steady clock in seconds; only differences count.
    ProgressBar(std::ostream& terminal, bool isTerminal, std::function<double()> secondsNow);

    void update(std::int64_t done, std::int64_t total);
    // Ends the bar's line, when one was drawn.
    void finish();

    // Whether a bar's line is on the terminal, unfinished: a signal handler
    // ends it before the program stops. Safe to read in a signal handler.
    static bool lineOpen() { return s_lineOpen.load(std::memory_order_relaxed); }

private:
    static constexpr double kQuietSeconds = 1.0;
    static constexpr int kWidth = 40;   // characters between the brackets

    static inline std::atomic<bool> s_lineOpen{false};

    std::ostream& m_out;
    bool m_isTerminal;
    std::function<double()> m_now;
    double m_start;
    bool m_shown = false;
    int m_lastFilled = -1;
    int m_lastPercent = -1;
};

}   // namespace fenra::cli
