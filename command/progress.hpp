#pragma once
// "42.3% done, 0:12 elapsed, about 0:17 left" on standard error while a long
// run works.

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>

namespace varnolith {

struct ProgressLine {
    std::ostream* to = nullptr; // nothing is drawn without a terminal
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point last_drawn{};
    double done = 0;         // the largest fraction drawn: the line never goes back
    std::size_t width = 0;   // of the longest line drawn, to erase it whole
    bool shown = false;
};

// A RangeProgress callback; context is the ProgressLine. Draws after half a
// second, then at most five times a second.
void draw_progress(double done, void* context);

// The line's text for a fraction done after `elapsed`: the time left is
// estimated from the pace so far once a little of the work is done.
std::string progress_text(double done, std::chrono::steady_clock::duration elapsed);

// "0:07", "12:30", "2:05:00".
std::string clock_text(double seconds);

// An estimate's length, to no more digits than it deserves: "about 40 s",
// "about 12 min", "about 2.5 h", "about 9 days", "about 3,000 years", "over a
// million years".
std::string rough_duration(double seconds);

// Blanks the line, if it was drawn, so the report starts on a clean one.
void erase_progress(ProgressLine& line);

} // namespace varnolith
