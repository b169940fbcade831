#include "progress.hpp"

#include <algorithm>
#include <cstdio>
#include <string>

namespace varnolith {

namespace {

// A quick run shows nothing, and a slow one redraws a few times a second at most.
constexpr auto first_draw = std::chrono::milliseconds(500);
constexpr auto redraw = std::chrono::milliseconds(200);
// What a terminal echoes after the line on an interrupt ("^C").
constexpr std::size_t echo_width = 2;

} // namespace

std::string clock_text(double seconds) {
    const auto whole = static_cast<long>(seconds + 0.5);
    char text[32];
    if (whole >= 3600) std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    else std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

std::string rough_duration(double seconds) {
    constexpr double minute = 60, hour = 60 * minute, day = 24 * hour, year = 365.25 * day;
    char text[64];
    if (seconds < 90) std::snprintf(text, sizeof text, "about %.0f s", seconds);
    else if (seconds < 90 * minute) std::snprintf(text, sizeof text, "about %.0f min", seconds / minute);
    else if (seconds < 48 * hour) std::snprintf(text, sizeof text, "about %.1f h", seconds / hour);
    else if (seconds < 2 * year) std::snprintf(text, sizeof text, "about %.0f days", seconds / day);
    else if (seconds < 999'999.5 * year) {
        // Thousands grouped, from whole years below a million.
        const auto years = static_cast<long>(seconds / year + 0.5);
        if (years >= 1000) std::snprintf(text, sizeof text, "about %ld,%03ld years", years / 1000, years % 1000);
        else std::snprintf(text, sizeof text, "about %ld years", years);
    } else {
        return "over a million years";
    }
    return text;
}

std::string progress_text(double done, std::chrono::steady_clock::duration elapsed) {
    const double fraction = std::clamp(done, 0.0, 1.0);
    const double seconds = std::chrono::duration<double>(elapsed).count();
    char percent[16];
    std::snprintf(percent, sizeof percent, "%5.1f%%", 100.0 * fraction);
    // Appended piece by piece: GCC 12 takes "text" + string for an overlapping copy.
    std::string text(percent);
    text.append(" done, ").append(clock_text(seconds)).append(" elapsed");
    // Before a percent is done the pace says little, unless the run has gone
    // on a while: a run of days is long past its first seconds at 0.0%.
    if ((fraction >= 0.01 || (seconds >= 5 && fraction > 0)) && fraction < 1.0) {
        const double left = seconds * (1 - fraction) / fraction;
        text.append(", ").append(left < 100 * 3600 ? "about " + clock_text(left) : rough_duration(left)).append(" left");
    }
    return text;
}

void draw_progress(double done, void* context) {
    auto& line = *static_cast<ProgressLine*>(context);
    if (line.to == nullptr) return;
    line.done = std::max(line.done, done);
    const auto now = std::chrono::steady_clock::now();
    if (now - line.start < first_draw || (line.shown && now - line.last_drawn < redraw)) return;
    const std::string text = progress_text(line.done, now - line.start);
    // Blanks cover what a longer line before left behind.
    *line.to << '\r' << text << std::string(line.width > text.size() ? line.width - text.size() : 0, ' ') << std::flush;
    line.width = std::max(line.width, text.size());
    line.shown = true;
    line.last_drawn = now;
}

void erase_progress(ProgressLine& line) {
    if (!line.shown) return;
    *line.to << '\r' << std::string(line.width + echo_width, ' ') << '\r' << std::flush;
    line.shown = false;
}

} // namespace varnolith
