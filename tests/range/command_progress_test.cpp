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
        {{0.005, 3s}, "  0.5% done, 0:03 elapsed"},
        {{0.25, 12s}, " 25.0% done, 0:12 elapsed, about 0:36 left"},
        {{0.5, 3700s}, " 50.0% done, 1:01:40 elapsed, about 1:01:40 left"},
        {{1.0, 61s}, "100.0% done, 1:01 elapsed"},
    };
    for (const auto& [at, text] : cases) EXPECT_EQ(progress_text(at.first, at.second), text);
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
    EXPECT_EQ(err.str(), "\r" + std::string(line.width + 2, ' ') + "\r");
}

} // namespace
} // namespace varnolith
