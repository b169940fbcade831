#pragma once
// The library's Monte Carlo driver.

#include <cstdint>
#include <span>
#include <vector>

#include "card.hpp"
#include "tally.hpp"

namespace varnolith {

// Estimates each player's share of the pot over `trials` random completions of
// the board, on one OpenMP team; `results` becomes one fraction per player.
// trials == 0 gives NaN for everyone, trials < 0 gives -0.0 (no trial runs and
// the empty sums are still divided by the count). Throws std::invalid_argument
// for a card outside the deck or more cards to come than the deck holds, and
// std::runtime_error when a worker thread failed.
void monte_carlo_equity(std::span<const HoleHand> hands, std::span<const Card> board, int32_t trials,
                        std::vector<double>& results);

// Trials [first, last) of thread `thread` out of `threads` when the first
// trials % threads threads take one more than the others.
struct TrialRange {
    int64_t first;
    int64_t last;
};
TrialRange front_loaded_share(int64_t trials, int threads, int thread);

// The same run with exact tallies, for callers that want counts; `threads_used`
// reports the team size that actually ran.
std::vector<PlayerTally> monte_carlo_tallies(std::span<const HoleHand> hands, std::span<const Card> board,
                                             int32_t trials, int* threads_used = nullptr);

} // namespace varnolith
