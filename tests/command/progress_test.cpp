// The command's progress line: what it says, that it never goes back, and
// that erasing it leaves a clean line.

#include <gtest/gtest.h>

#include <sstream>

#include "progress.hpp"

namespace varnolith {
namespace {

using namespace std::chrono_literals;

TEST(CommandProgress, SaysDoneElapsedAndLeft) {
    const std::pair<std::pair<double, std::chrono::seconds>, const char*> cases[] = {
        {{0.005, 3s}, "  0.5% done, 0:03 elapsed"}, {{1.0, 61s}, "100.0% done, 1:01 elapsed"},
        {{0.25, 12s}, " 25.0% done, 0:12 elapsed, about 0:36 left"},
        {{0.5, 3700s}, " 50.0% done, 1:01:40 elapsed, about 1:01:40 left"},
        // A run of days shows its time left once it has gone on a while.
        {{0.001, 10s}, "  0.1% done, 0:10 elapsed, about 2:46:30 left"},
        {{1e-5, 30s}, "  0.0% done, 0:30 elapsed, about 35 days left"},
    };
    for (const auto& [at, text] : cases) EXPECT_EQ(progress_text(at.first, at.second), text);
}

// The warning before a long exact run, from seconds to ages.
TEST(CommandProgress, RoughDurationsKeepFewDigits) {
    // Each unit either side of a bound, and thousands of years grouped.
    const std::pair<double, const char*> cases[] = {
        {89, "about 89 s"}, {90, "about 2 min"}, {9000, "about 2.5 h"}, {47 * 3600, "about 47.0 h"},
        {9 * 86400, "about 9 days"}, {12 * 31'557'600, "about 12 years"}, {3e3 * 31'557'600, "about 3,000 years"},
        {2e6 * 31'557'600, "over a million years"}};
    for (const auto& [seconds, text] : cases) EXPECT_EQ(rough_duration(seconds), text) << seconds;
}

TEST(CommandProgress, NeverGoesBackAndErasesWhole) {
    std::ostringstream err;
    ProgressLine line{&err, std::chrono::steady_clock::now() - 10s};
    draw_progress(0.6, &line);
    line.last_drawn -= 1s; // the next draw is due
    draw_progress(0.4, &line);
    const std::string drawn = err.str();
    EXPECT_EQ(drawn.find(" 40.0%"), std::string::npos) << drawn;
    EXPECT_EQ(drawn.rfind("\r 60.0% done", 0), 0u) << drawn;
    err.str("");
    erase_progress(line);
    // Built by appending: GCC 12 warns, wrongly, of an overlapping copy in "text" + string.
    EXPECT_EQ(err.str(), std::string("\r").append(line.width + 2, ' ').append("\r"));
}

} // namespace
} // namespace varnolith
