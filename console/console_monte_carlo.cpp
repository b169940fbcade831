#include "console_monte_carlo.hpp"

#include "team.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "report.hpp"
#include "seeding.hpp"
#include "tally.hpp"
#include "trial.hpp"

namespace varnolith {

namespace {

using Clock = std::chrono::steady_clock;

// Thread 0 plays its share in slices and, between slices, redraws one line on
// the terminal once the run looks like lasting more than a second. It reads
// only its own count, so the trial loop touches nothing shared.
struct ProgressReporter {
    ProgressLine line;
    int team = 1;
    Clock::time_point start = Clock::now();
    Clock::time_point last_drawn{};
    bool shown = false;

    void report(int64_t done, int64_t share) {
        if (!line.to || share <= 0) return;
        const auto now = Clock::now();
        const double elapsed = std::chrono::duration<double>(now - start).count();
        const double fraction = static_cast<double>(done) / static_cast<double>(share);
        if (!shown && (elapsed < line.first_look || elapsed / std::max(fraction, 1e-9) < line.worth_showing)) return;
        if (shown && now - last_drawn < std::chrono::milliseconds(200)) return;
        const double rate = static_cast<double>(done) * team / std::max(elapsed, 1e-9);
        char text[96];
        std::snprintf(text, sizeof text, "\r%5.1f%% done, %.0f trials/s   ", 100.0 * fraction, rate);
        *line.to << text << std::flush;
        shown = true;
        last_drawn = now;
    }

    void erase() {
        if (shown) *line.to << '\r' << std::string(48, ' ') << '\r' << std::flush;
    }
};

constexpr int64_t progress_slice = 1 << 16;

} // namespace

ConsoleShare console_share(int64_t trials, int threads, int thread) {
    const int64_t chunk = trials / threads;
    return {chunk * thread, thread == threads - 1 ? trials : chunk * thread + chunk};
}

EquityResult console_monte_carlo(std::span<const HoleHand> hands, std::span<const Card> board, int32_t trials,
                                 ProgressLine progress, int* team_size) {
    if (hands.empty() || trials < 1) return to_equity_result(std::vector<PlayerTally>(hands.size()), 0);
    const TrialPlan plan = make_trial_plan(hands, board, DeckOrder::rank_major, next_run_key());
    const int requested = std::min(default_team_size(), console_thread_cap);
    // One row per requested thread, each on cache lines of its own, sized by the
    // number of players whatever it is.
    ThreadTallies tallies(static_cast<std::size_t>(requested), hands.size());
    ProgressReporter reporter{progress};
    std::atomic<bool> failed{false};
    int team = 1;
#pragma omp parallel num_threads(requested)
    {
        try {
            const int threads = varnolith::team_size();
            const int thread = thread_index();
            if (thread == 0) team = threads;
            TrialScratch scratch(plan);
            const ConsoleShare share = console_share(trials, threads, thread);
            PlayerTally* row = tallies.row(static_cast<std::size_t>(thread));
            if (thread != 0 || !progress.to) {
                play_trials(plan, share.first, share.last, scratch, row);
            } else {
                reporter.team = threads;
                for (int64_t at = share.first; at < share.last; at += progress_slice) {
                    play_trials(plan, at, std::min(share.last, at + progress_slice), scratch, row);
                    reporter.report(std::min(share.last, at + progress_slice) - share.first, share.last - share.first);
                }
            }
        } catch (...) {
            failed = true;
        }
    }
    reporter.erase();
    if (failed) throw std::runtime_error("a Monte Carlo worker thread failed");
    if (team_size) *team_size = team;
    return to_equity_result(merged(tallies, static_cast<std::size_t>(team)), trials);
}

void run_monte_carlo(std::span<const HoleHand> hands, std::span<const Card> board, int32_t trials, std::ostream& out,
                     ProgressLine progress) {
    if (hands.empty() || trials < 1) return;
    print_monte_carlo_report(out, console_monte_carlo(hands, board, trials, progress));
}

} // namespace varnolith
