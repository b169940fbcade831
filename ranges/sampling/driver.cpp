// Monte Carlo range equity. Deals are drawn by plain rejection, here, or one
// player after another with weights (in_turn_run.cpp), as plan.hpp
// settles per spot. Either way the board is completed from the cards left,
// each card drawn uniformly and drawn again when already out.
//
// Trial t's draws are a pure function of (run key, t), and the plain way's
// tallies are integers, so a seeded run gives the same figures at any thread
// count.

#include "team.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>

#include "monte_carlo.hpp"
#include "ranges/sampling/batches.hpp"
#include "ranges/sampling/driver.hpp"
#include "ranges/sampling/draw.hpp"
#include "ranges/equity.hpp"
#include "ranges/error.hpp"
#include "ranges/sampling/plan.hpp"
#include "ranges/spot.hpp"
#include "ranges/sampling/in_turn_run.hpp"
#include "tally.hpp"

namespace varnolith {

namespace {

// Integer tallies of one thread, per player: wins, splits by the number of
// sharers, categories, then (times held, pot share in split units) per combination.
struct Layout {
    std::vector<std::size_t> offset;
    std::size_t size = 0;
    explicit Layout(const PreparedSpot& spot) {
        for (const auto& live : spot.live) {
            offset.push_back(size);
            size += splits_at + max_range_players + 1 + 2 * live.size();
        }
        size += 8; // keeps the next thread's block off this one's last cache line
    }
    static constexpr std::size_t wins_at = 0, categories_at = 1, splits_at = 1 + category_count;
    static constexpr std::size_t combos_at(std::size_t) { return splits_at + max_range_players + 1; }
};

struct Scratch {
    std::vector<uint32_t> chosen;
    std::vector<int32_t> values;
};

// Plays trials [first, last) the plain way. The plan takes this way only while
// a good share of draws fits, so a trial ends after a few draws; a trial that
// found no fit in far more stops the run rather than loop on.
constexpr int64_t most_draws_per_trial = int64_t{1} << 24;

void play_plain(const Plan& plan, const Layout& layout, int64_t first, int64_t last, std::vector<int64_t>& tally,
                Scratch& scratch) {
    const PreparedSpot& spot = plan.spot;
    std::vector<uint32_t>& chosen = scratch.chosen;
    for (int64_t trial = first; trial < last; ++trial) {
        TrialStream stream(plan.run_key, trial);
        uint64_t used = 0;
        int64_t draws = 0;
        for (bool fits = false; !fits;) {
            if (++draws > most_draws_per_trial) throw RangeError(ErrorKind::internal, "no deal fits after many draws");
            used = 0;
            fits = true;
            for (const std::size_t p : plan.drawn) {
                chosen[p] = plan.tables[p].draw(stream());
                const uint64_t cards = spot.live[p][chosen[p]].bits.cards;
                if (used & cards) {
                    fits = false;
                    break;
                }
                used |= cards;
            }
        }
        const Showdown pot = show_down(plan, stream, used, chosen, scratch.values);
        for (std::size_t p = 0; p < spot.live.size(); ++p) {
            const int32_t value = scratch.values[p];
            int64_t* own = tally.data() + layout.offset[p];
            int64_t* combo = own + Layout::combos_at(p) + 2 * chosen[p];
            ++own[Layout::categories_at + static_cast<std::size_t>(category_of(value))];
            ++combo[0];
            if (value != pot.best) continue;
            if (pot.sharers == 1) ++own[Layout::wins_at];
            else ++own[Layout::splits_at + static_cast<std::size_t>(pot.sharers)];
            combo[1] += split_unit / pot.sharers;
        }
    }
}

struct Totals {
    std::vector<int64_t> sums;
    int64_t drawn = 0;
    double reported = 0; // the progress last reported: it never goes back
};

// Runs trials [first, last) on the team and adds their tallies into `totals`.
// Progress is `done` plus the trials of this batch, of `planned`; 0: not yet known.
void run_batch(const Plan& plan, const Layout& layout, int64_t first, int64_t last, int threads, Totals& totals,
               const RangeOptions& options, int64_t done, int64_t planned) {
    std::vector<std::vector<int64_t>> tallies(static_cast<std::size_t>(threads));
    std::atomic<bool> failed{false};
    run_team(threads, [&] {
        try {
            const int team = team_size(), me = thread_index();
            auto& tally = tallies[static_cast<std::size_t>(me)];
            tally.assign(totals.sums.size(), 0);
            Scratch scratch{std::vector<uint32_t>(plan.spot.live.size()), std::vector<int32_t>(plan.spot.live.size())};
            keep_apart(scratch.chosen);
            keep_apart(scratch.values);
            const TrialRange mine = front_loaded_share(last - first, team, me);
            constexpr int64_t slice = 1 << 15;
            for (int64_t at = mine.first; at < mine.last && !failed && !cancelled(options); at += slice) {
                const int64_t end = std::min(at + slice, mine.last);
                play_plain(plan, layout, first + at, first + end, tally, scratch);
                if (me != 0 || !options.progress || planned <= 0) continue;
                const double now = static_cast<double>(done + (end - mine.first) * team);
                totals.reported = std::max(totals.reported, std::min(1.0, now / static_cast<double>(planned)));
                options.progress(totals.reported, options.progress_context);
            }
        } catch (...) {
            failed = true;
        }
    });
    if (failed) throw RangeError(ErrorKind::internal, "a worker thread failed during the simulation");
    if (cancelled(options)) throw RangeCancelled{};
    for (const auto& tally : tallies)
        for (std::size_t i = 0; i < tally.size() && i < totals.sums.size(); ++i) totals.sums[i] += tally[i];
    totals.drawn += last - first;
}

// Equity, win, tie and the standard error of the equity, from integer tallies.
RangeResult finish(const PreparedSpot& spot, const Layout& layout, const Totals& totals) {
    RangeResult result = empty_result(spot, RangeMethod::monte_carlo);
    result.trials = totals.drawn;
    const double n = static_cast<double>(totals.drawn);
    for (std::size_t p = 0; p < spot.live.size(); ++p) {
        const int64_t* own = totals.sums.data() + layout.offset[p];
        RangePlayerResult& player = result.players[p];
        double tie = 0, squares = static_cast<double>(own[Layout::wins_at]);
        for (int m = 2; m <= max_range_players; ++m) {
            const double splits = static_cast<double>(own[Layout::splits_at + static_cast<std::size_t>(m)]);
            tie += splits / m;
            squares += splits / (m * m);
        }
        player.win = static_cast<double>(own[Layout::wins_at]) / n;
        player.tie = tie / n;
        player.equity = player.win + player.tie;
        const double variance = std::max(0.0, squares / n - player.equity * player.equity);
        player.standard_error = totals.drawn > 1 ? std::sqrt(variance / (n - 1)) : 0.0;
        for (int c = 0; c < category_count; ++c)
            player.categories[static_cast<std::size_t>(category_place(c, spot.ranking))] =
                static_cast<double>(own[Layout::categories_at + static_cast<std::size_t>(c)]) / n;
        for (std::size_t i = 0; i < player.hands.size(); ++i) {
            const int64_t held = own[Layout::combos_at(p) + 2 * i], units = own[Layout::combos_at(p) + 2 * i + 1];
            player.hands[i].weight = static_cast<double>(held) / n;
            player.hands[i].equity = held > 0 ? static_cast<double>(units) / split_unit / static_cast<double>(held)
                                              : std::numeric_limits<double>::quiet_NaN();
        }
    }
    return result;
}

RangeResult run_plain(const Plan& plan, const RangeOptions& options, int threads) {
    const Layout layout(plan.spot);
    Totals totals{std::vector<int64_t>(layout.size, 0)};
    if (options.trials > 0) {
        run_batch(plan, layout, 0, options.trials, threads, totals, options, 0, options.trials);
        return finish(plan.spot, layout, totals);
    }
    return run_to_precision(
        options.precision, totals.drawn,
        [&](int64_t first, int64_t last, int64_t planned) {
            run_batch(plan, layout, first, last, threads, totals, options, first, planned);
        },
        [&] { return std::optional<RangeResult>(finish(plan.spot, layout, totals)); });
}

} // namespace

RangeResult range_equity_monte_carlo(const RangeSpot& range_spot, const RangeOptions& options) {
    if (options.trials <= 0 && !(options.precision > 0))
        throw RangeError(ErrorKind::usage, "Monte Carlo needs a positive trial count or precision", ErrorField::trials);
    const PreparedSpot spot = prepare_spot(range_spot);
    require_a_deal(spot);
    return range_equity_monte_carlo(spot, options);
}

RangeResult range_equity_monte_carlo(const PreparedSpot& spot, const RangeOptions& options) {
    if (options.trials <= 0 && !(options.precision > 0))
        throw RangeError(ErrorKind::usage, "Monte Carlo needs a positive trial count or precision", ErrorField::trials);
    const Plan plan = make_plan(spot, options.seed);
    const int threads = options.threads > 0 ? options.threads : core_count();
    RangeResult result = plan.in_turn ? run_in_turn(plan, options, threads) : run_plain(plan, options, threads);
    result.seed = options.seed;
    return result;
}

} // namespace varnolith
