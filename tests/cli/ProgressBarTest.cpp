#include "cli/ProgressBar.h"

#include <gtest/gtest.h>

#include <sstream>

namespace fenra::cli {
namespace {

TEST(ProgressBar, ShownOnlyOnATerminalAndOnlyAfterASecond)
{
    const struct {
        bool terminal;
        double elapsed;   // seconds when the render reports half done
        std::string shown;
    } cases[] = {
        {true, 0.5, ""},
        {false, 5.0, ""},
        {true, 1.0, "\r[####################                    ] 50%\r[########################################] 100%\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.elapsed);
        std::ostringstream err;
        double now = 100.0;
        ProgressBar bar(err, c.terminal, [&now] { return now; });
        now += c.elapsed;
        bar.update(50, 100);
        bar.update(50, 100);   // no change, no redraw
        bar.finish();
        EXPECT_EQ(err.str(), c.shown);
    }
}

} // namespace
} // namespace fenra::cli
