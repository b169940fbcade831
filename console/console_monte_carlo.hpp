#pragma once
// The console's Monte Carlo driver: the engine's trial on at most 16 threads,
// with wins and split shares kept apart for the report.

#include <cstdint>
#include <ostream>
#include <span>

#include "card.hpp"
#include "equity_result.hpp"

namespace varnolith {

inline constexpr int console_thread_cap = 16;

// Trials [first, last) of thread `thread` in a team of `threads`: every thread
// runs trials / threads, the last one also the remainder.
struct ConsoleShare {
    int64_t first;
    int64_t last;
};
ConsoleShare console_share(int64_t trials, int threads, int thread);

// Where thread 0 reports how far the run has come; null for no progress line.
// The line appears once `first_look` seconds have passed and the run looks
// like lasting more than `worth_showing` seconds in all.
struct ProgressLine {
    std::ostream* to = nullptr;
    double first_look = 0.25;
    double worth_showing = 1.0;
};

// Runs `trials` trials and returns wins and tie shares over them; `team`
// receives the number of threads that ran. Nothing runs for trials < 1.
EquityResult console_monte_carlo(std::span<const HoleHand> hands, std::span<const Card> board, int32_t trials,
                                 ProgressLine progress = {}, int* team = nullptr);

// Runs the simulation and prints its three-line report; prints nothing when
// there are no hands or trials < 1.
void run_monte_carlo(std::span<const HoleHand> hands, std::span<const Card> board, int32_t trials, std::ostream& out,
                     ProgressLine progress = {});

} // namespace varnolith
