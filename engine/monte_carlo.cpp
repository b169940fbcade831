#include "monte_carlo.hpp"

#include "team.hpp"

#include <atomic>
#include <optional>
#include <stdexcept>

#include "seeding.hpp"
#include "trial.hpp"

namespace varnolith {

TrialRange front_loaded_share(int64_t trials, int threads, int thread) {
    const int64_t base = trials / threads, extra = trials % threads;
    const int64_t first = thread * base + std::min<int64_t>(thread, extra);
    return {first, first + base + (thread < extra ? 1 : 0)};
}

std::vector<PlayerTally> monte_carlo_tallies(std::span<const HoleHand> hands, std::span<const Card> board,
                                             int32_t trials, int* threads_used) {
    TrialPlan plan = make_trial_plan(hands, board, DeckOrder::suit_major, 0);
    if (hands.empty() || trials <= 0) return std::vector<PlayerTally>(hands.size());
    plan.run_key = next_run_key();

    std::optional<ThreadTallies> rows;
    std::atomic<bool> failed{false};
    int team = 0;
    // The split comes from the team that actually runs: a host calling from
    // inside its own parallel region may get fewer threads than the maximum.
#pragma omp parallel
    {
#pragma omp single
        {
            team = team_size();
            try {
                rows.emplace(static_cast<std::size_t>(team), hands.size());
            } catch (...) {
                failed = true;
            }
        }
        // Exceptions never cross the region's edge: a failure is noted and
        // reported after it, so the host is not terminated.
        if (!failed) {
            try {
                const int thread = thread_index();
                TrialScratch scratch(plan);
                const TrialRange range = front_loaded_share(trials, team, thread);
                play_trials(plan, range.first, range.last, scratch, rows->row(static_cast<std::size_t>(thread)));
            } catch (...) {
                failed = true;
            }
        }
    }
    if (failed) throw std::runtime_error("a Monte Carlo worker thread failed");
    if (threads_used) *threads_used = team;
    return merged(*rows, static_cast<std::size_t>(team));
}

void monte_carlo_equity(std::span<const HoleHand> hands, std::span<const Card> board, int32_t trials,
                        std::vector<double>& results) {
    const std::vector<PlayerTally> totals = monte_carlo_tallies(hands, board, trials);
    results.assign(hands.size(), 0.0);
    for (std::size_t p = 0; p < totals.size(); ++p) {
        const double shares = static_cast<double>(totals[p].wins) + totals[p].tie_share();
        results[p] = shares / trials; // 0 trials: NaN; fewer: -0.0
    }
}

} // namespace varnolith
