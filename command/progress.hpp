#pragma once
// "NN.N% done" on standard error while a long run works.

#include <chrono>
#include <ostream>

namespace varnolith {

struct ProgressLine {
    std::ostream* to = nullptr; // nothing is drawn without a terminal
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point last_drawn{};
    bool shown = false;
};

// A RangeProgress callback; context is the ProgressLine.
void draw_progress(double done, void* context);

// One of the runs a command makes in turn: its own fraction done is drawn as
// first + share * done, so that the line never goes back.
struct ProgressStage {
    ProgressLine* line = nullptr;
    double first = 0;
    double share = 1;
};

// A RangeProgress callback; context is the ProgressStage.
void draw_stage_progress(double done, void* context);

// Blanks the line, if it was drawn, so the report starts on a clean one.
void erase_progress(ProgressLine& line);

} // namespace varnolith
