#pragma once
// The console's question-and-answer run: hands, board, summary, method, report.

#include <cstdint>
#include <istream>
#include <ostream>

namespace varnolith {

struct DialogueOptions {
    bool show_progress = false;        // a progress line on the error stream for long simulations
    int32_t trial_cap = INT32_MAX;     // upper bound on simulated trials (kept small in fuzz builds)
};

inline constexpr int max_hands = 15;             // 36 cards hold 15 hands and a board, no more
inline constexpr int32_t default_iterations = 500'000;

// Runs one calculation. Prompts, summary and report go to `out` (flushed before
// every read), errors and warnings to `err`. Returns the exit status: 0 after a
// report, 1 after a refused input.
int run_dialogue(std::istream& in, std::ostream& out, std::ostream& err, const DialogueOptions& options = {});

} // namespace varnolith
