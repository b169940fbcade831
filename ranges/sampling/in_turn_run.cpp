// Weighted deals, each completed with several boards, summed so that a seeded
// run gives the same figures at any thread count: a batch is cut into slices
// fixed by the batch alone, one thread adds a slice's deals in trial order,
// and the slices are added in order once all are done.
//
// A figure is sum W x / sum W over the deals, x the player's share of the pot
// over the deal's boards (or the share of them for a category or a
// combination held). The boards of a deal are not independent of one another,
// so the standard error is taken over deals: the weighted one,
// sqrt(sum W^2 (x - mean)^2) / sum W.

#include "ranges/sampling/in_turn_run.hpp"

#include "team.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "ranges/sampling/batches.hpp"
#include "ranges/error.hpp"
#include "tally.hpp"

namespace varnolith {

namespace {

// Each deal's K boards count W / K each. Per player: the sum of W / K over
// the boards it shares among m players, for each m; sum W^2 x and sum W^2 x^2,
// x its share of the pot over the deal's boards; sum W / K per category; then
// (sum W / K held, sum W / K times the share) per combination. After the
// players: sum W, sum W^2 and the deals.
struct Layout {
    std::vector<std::size_t> offset;
    std::size_t totals_at = 0, size = 0;
    explicit Layout(const PreparedSpot& spot) {
        for (const auto& live : spot.live) {
            offset.push_back(size);
            size += combos_at + 2 * live.size();
        }
        totals_at = size;
        size += deals_at + 1 + 8; // the padding keeps the next slice's sums off this one's last cache line
    }
    static constexpr std::size_t shares_at(int sharers) { return static_cast<std::size_t>(sharers - 1); }
    static constexpr std::size_t square_share_at = max_range_players, square_share_squared_at = square_share_at + 1;
    static constexpr std::size_t categories_at = square_share_squared_at + 1;
    static constexpr std::size_t combos_at = categories_at + category_count;
    static constexpr std::size_t weight_at = 0, square_at = 1, deals_at = 2; // after totals_at
};

struct Scratch {
    std::vector<uint32_t> chosen;
    std::vector<int32_t> values;
    std::vector<double> share; // per player, over the deal's boards
    InTurnScratch in_turn;
};

void play(const Plan& plan, const Layout& layout, int64_t first, int64_t last, double* sums, Scratch& scratch) {
    const PreparedSpot& spot = plan.spot;
    double* totals = sums + layout.totals_at;
    const double per_board = 1.0 / plan.boards_per_deal;
    for (int64_t trial = first; trial < last; ++trial) {
        TrialStream stream(plan.run_key, trial);
        uint64_t used = 0;
        const double w = draw_in_turn(plan.sequence, plan.tables, stream, used, scratch.chosen, scratch.in_turn);
        if (w == 0) continue; // a dead end: no deal
        const double square = w * w, w_board = w * per_board;
        totals[Layout::deals_at] += 1;
        totals[Layout::weight_at] += w;
        totals[Layout::square_at] += square;
        std::fill(scratch.share.begin(), scratch.share.end(), 0.0);
        for (int board = 0; board < plan.boards_per_deal; ++board) {
            const Showdown pot = show_down(plan, stream, used, scratch.chosen, scratch.values);
            for (std::size_t p = 0; p < spot.live.size(); ++p) {
                const int32_t value = scratch.values[p];
                double* own = sums + layout.offset[p];
                double* combo = own + Layout::combos_at + 2 * scratch.chosen[p];
                own[Layout::categories_at + static_cast<std::size_t>(category_of(value))] += w_board;
                combo[0] += w_board;
                if (value != pot.best) continue;
                own[Layout::shares_at(pot.sharers)] += w_board;
                combo[1] += w_board / pot.sharers;
                scratch.share[p] += 1.0 / pot.sharers;
            }
        }
        for (std::size_t p = 0; p < spot.live.size(); ++p) {
            double* own = sums + layout.offset[p];
            const double x = scratch.share[p] * per_board;
            own[Layout::square_share_at] += square * x;
            own[Layout::square_share_squared_at] += square * x * x;
        }
    }
}

struct Totals {
    std::vector<double> sums;
    int64_t drawn = 0;   // trials run, dead ends included
    double reported = 0; // the progress last reported: it never goes back
};

// Runs trials [first, last) and adds their sums into `totals`. Progress is
// `done` plus the trials of this batch, of `planned`; 0: not yet known.
void run_batch(const Plan& plan, const Layout& layout, int64_t first, int64_t last, int threads, Totals& totals,
               const RangeOptions& options, int64_t done, int64_t planned) {
    constexpr int64_t most_slices = 64, least_slice = 4096, check_every = 1024;
    const int64_t trials = last - first;
    const int64_t slice = std::max(least_slice, (trials + most_slices - 1) / most_slices);
    const auto slices = static_cast<std::size_t>((trials + slice - 1) / slice);
    std::vector<std::vector<double>> sums(slices);
    std::atomic<std::size_t> next{0};
    std::atomic<int64_t> played{0};
    std::atomic<bool> failed{false};
    run_team(threads, [&] {
        try {
            const bool reports = thread_index() == 0 && options.progress && planned > 0;
            const std::size_t players = plan.spot.live.size();
            Scratch scratch{std::vector<uint32_t>(players), std::vector<int32_t>(players), std::vector<double>(players),
                            InTurnScratch(plan.sequence)};
            for (auto* own : {&scratch.in_turn.left_by_card, &scratch.in_turn.left, &scratch.in_turn.proposal,
                              &scratch.in_turn.blocks, &scratch.share})
                keep_apart(*own);
            keep_apart(scratch.chosen);
            keep_apart(scratch.values);
            keep_apart(scratch.in_turn.members);
            keep_apart(scratch.in_turn.fitting);
            for (std::size_t s = next++; s < slices && !failed && !cancelled(options); s = next++) {
                sums[s].assign(layout.size, 0.0);
                const int64_t from = first + static_cast<int64_t>(s) * slice, to = std::min(last, from + slice);
                for (int64_t at = from; at < to && !cancelled(options); at += check_every) {
                    const int64_t end = std::min(at + check_every, to);
                    play(plan, layout, at, end, sums[s].data(), scratch);
                    const int64_t now = played.fetch_add(end - at, std::memory_order_relaxed) + (end - at);
                    if (!reports) continue;
                    const double share = static_cast<double>(done + now) / static_cast<double>(planned);
                    totals.reported = std::max(totals.reported, std::min(1.0, share));
                    options.progress(totals.reported, options.progress_context);
                }
            }
        } catch (...) {
            failed = true;
        }
    });
    if (failed) throw RangeError(ErrorKind::internal, "a worker thread failed during the simulation");
    if (cancelled(options)) throw RangeCancelled{};
    for (const auto& slice_sums : sums)
        for (std::size_t i = 0; i < layout.size; ++i) totals.sums[i] += slice_sums[i];
    totals.drawn += trials;
}

RangeResult finish(const PreparedSpot& spot, const Layout& layout, const std::vector<double>& sums) {
    RangeResult result = empty_result(spot, RangeMethod::monte_carlo);
    const double* totals = sums.data() + layout.totals_at;
    result.trials = static_cast<int64_t>(totals[Layout::deals_at]);
    const double weight = totals[Layout::weight_at], square = totals[Layout::square_at];
    const double n = totals[Layout::deals_at];
    for (std::size_t p = 0; p < spot.live.size(); ++p) {
        const double* own = sums.data() + layout.offset[p];
        RangePlayerResult& player = result.players[p];
        double split = 0;
        for (int m = 2; m <= max_range_players; ++m) split += own[Layout::shares_at(m)] / m;
        player.win = std::min(1.0, own[Layout::shares_at(1)] / weight);
        player.tie = std::min(1.0 - player.win, split / weight);
        player.equity = player.win + player.tie;
        const double mean = player.equity;
        const double spread = std::max(0.0, own[Layout::square_share_squared_at] -
                                                2 * mean * own[Layout::square_share_at] + mean * mean * square);
        player.standard_error = n > 1 ? std::sqrt(spread * n / (n - 1)) / weight : 0.0;
        for (int c = 0; c < category_count; ++c)
            player.categories[static_cast<std::size_t>(category_place(c, spot.ranking))] =
                own[Layout::categories_at + static_cast<std::size_t>(c)] / weight;
        for (std::size_t i = 0; i < player.hands.size(); ++i) {
            const double held = own[Layout::combos_at + 2 * i], share = own[Layout::combos_at + 2 * i + 1];
            // Sums of the same deals added in another order may round past 1.
            player.hands[i].weight = std::min(1.0, held / weight);
            player.hands[i].equity =
                held > 0 ? std::clamp(share / held, 0.0, 1.0) : std::numeric_limits<double>::quiet_NaN();
        }
    }
    return result;
}

// Past this many trials, fewer than one deal in a million tries means the
// ranges cannot practically be dealt this way: a run would go on for days. Only
// spots whose search for a deal gave up, or found one of very few, get here.
constexpr int64_t fruitless_trials = int64_t{1} << 26;
constexpr int64_t tries_per_deal = int64_t{1} << 20;

// A weighted standard error from fewer deals is too rough to stop on.
constexpr double least_deals = 1000;

void refuse_if_fruitless(int64_t drawn, double deals) {
    if (drawn < fruitless_trials || deals * static_cast<double>(tries_per_deal) >= static_cast<double>(drawn)) return;
    if (deals == 0)
        throw RangeError(ErrorKind::no_deal,
                         "no compatible deal: " + std::to_string(drawn) +
                             " tries drawing the players one after another found none",
                         ErrorField::ranges);
    throw RangeError(ErrorKind::no_deal,
                     "compatible deals are too rare to simulate: " + std::to_string(drawn) +
                         " tries drawing the players one after another found " +
                         std::to_string(static_cast<int64_t>(deals)) + "; an exact run enumerates them",
                     ErrorField::ranges);
}

} // namespace

RangeResult run_in_turn(const Plan& plan, const RangeOptions& options, int threads) {
    const Layout layout(plan.spot);
    Totals totals{std::vector<double>(layout.size, 0.0)};
    const double& deals = totals.sums[layout.totals_at + Layout::deals_at];
    if (options.trials > 0) {
        // Rounds of as many trials as deals are still missing: dead ends make
        // up for themselves, and no round overshoots.
        while (deals < static_cast<double>(options.trials)) {
            refuse_if_fruitless(totals.drawn, deals);
            const auto have = static_cast<int64_t>(deals);
            run_batch(plan, layout, totals.drawn, totals.drawn + options.trials - have, threads, totals, options, have,
                      options.trials);
        }
        return finish(plan.spot, layout, totals.sums);
    }
    return run_to_precision(
        options.precision, totals.drawn,
        [&](int64_t first, int64_t last, int64_t planned) {
            refuse_if_fruitless(first, deals);
            run_batch(plan, layout, first, last, threads, totals, options, first, planned);
        },
        [&] { return deals >= least_deals ? std::optional(finish(plan.spot, layout, totals.sums)) : std::nullopt; });
}

} // namespace varnolith
