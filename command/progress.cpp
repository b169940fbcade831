#include "progress.hpp"

#include <algorithm>
#include <cstdio>
#include <string>

namespace varnolith {

namespace {

// A quick run shows nothing, and a slow one redraws a few times a second at most.
constexpr auto first_draw = std::chrono::milliseconds(500);
constexpr auto redraw = std::chrono::milliseconds(200);
// "100.0% done" and the "^C" a terminal echoes after it on an interrupt.
constexpr std::size_t line_width = 14;

} // namespace

void draw_progress(double done, void* context) {
    auto& line = *static_cast<ProgressLine*>(context);
    if (line.to == nullptr) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - line.start < first_draw || (line.shown && now - line.last_drawn < redraw)) return;
    char text[32];
    std::snprintf(text, sizeof text, "\r%5.1f%% done", 100.0 * std::clamp(done, 0.0, 1.0));
    *line.to << text << std::flush;
    line.shown = true;
    line.last_drawn = now;
}

void draw_stage_progress(double done, void* context) {
    const auto& stage = *static_cast<const ProgressStage*>(context);
    draw_progress(stage.first + stage.share * done, stage.line);
}

void erase_progress(ProgressLine& line) {
    if (!line.shown) return;
    *line.to << '\r' << std::string(line_width, ' ') << '\r' << std::flush;
    line.shown = false;
}

} // namespace varnolith
