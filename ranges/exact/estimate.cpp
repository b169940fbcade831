#include "ranges/exact/estimate.hpp"

#include "team.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "ranges/exact/board_classes.hpp"
#include "ranges/exact/board_values.hpp"
#include "ranges/exact/multiway.hpp"
#include "ranges/exact/suit_symmetry.hpp"

namespace varnolith {

namespace {

// A walk over the deals of the players in `order`, through `levels` of them,
// at most `budget` steps. At each level it counts the combinations tried and
// those that fit the hands already dealt; a walk cut short by its budget still
// gives each level's share that fits, from the deals it reached.
struct LeadingDeals {
    const PreparedSpot& spot;
    const std::vector<std::size_t>& order;
    std::size_t levels;
    uint64_t budget;
    std::vector<double> tried = std::vector<double>(order.size(), 0.0), fitted = tried;

    void walk(std::size_t level, uint64_t used) {
        if (level >= levels) return;
        for (const LiveCombo& c : spot.live[order[level]]) {
            if (budget == 0) return;
            --budget;
            tried[level] += 1;
            if (c.bits.cards & used) continue;
            fitted[level] += 1;
            walk(level + 1, used | c.bits.cards);
        }
    }

    // deals[l]: compatible deals of the first l players in the order; exact
    // when the walk was not cut short.
    std::vector<double> deals() const {
        std::vector<double> out(levels + 1, 1.0);
        for (std::size_t l = 0; l < levels; ++l)
            out[l + 1] = tried[l] > 0 ? out[l] * static_cast<double>(spot.live[order[l]].size()) * fitted[l] / tried[l] : 0;
        return out;
    }
};

// Of the completions of the board, the share that misses `held` given cards.
double missing(const PreparedSpot& spot, uint64_t held) {
    const uint64_t n = spot.deck.size(), k = static_cast<uint64_t>(spot.to_come);
    if (held > n) return 0;
    return static_cast<double>(choose(n - held, k)) / static_cast<double>(choose(n, k));
}

#ifdef __EMSCRIPTEN__
// Compiled to WebAssembly the work costs more, as bench/static_engine.mjs
// measures beside the native command: the walks about 1.3 times, the trials 1.5.
Costs machine_costs() {
    constexpr double walk = 1.3, draw = 1.5;
    Costs c;
    for (double* cost : {&c.run, &c.completion, &c.listed, &c.board, &c.pair_value, &c.sort_key, &c.sweep_combo,
                         &c.combo_value, &c.pairing, &c.walk_step, &c.count_step, &c.sweep, &c.swept_combo})
        *cost *= walk;
    c.trial *= draw;
    c.trial_player *= draw;
    return c;
}
#else
Costs machine_costs() { return {}; }
#endif

} // namespace

Machine this_machine() { return {core_count(), machine_costs()}; }

ExactWork exact_work(const PreparedSpot& spot) { return exact_work(spot, find_suit_symmetry(spot)); }

ExactWork exact_work(const PreparedSpot& spot, const SuitSymmetry& symmetry) {
    ExactWork work;
    work.completions = static_cast<double>(choose(spot.deck.size(), static_cast<uint64_t>(spot.to_come)));
    work.classes = static_cast<double>(count_board_classes(spot, symmetry.group));
    const RankPairs pairs(spot);
    work.pair_values = work.classes * static_cast<double>(pairs.used.size());
    double combos = 0;
    for (const auto& live : spot.live) combos += static_cast<double>(live.size());
    const double live_share = missing(spot, 2); // of a player's combinations, those the board leaves
    if (spot.players == 2) {
        const double few = static_cast<double>(std::min(spot.live[0].size(), spot.live[1].size()));
        const double many = combos - few;
        if (few > static_cast<double>(pairwise_limit)) {
            work.sort_keys = work.classes * static_cast<double>(pairs.groups[0].size() + pairs.groups[1].size());
            work.sweep_combos = work.classes * combos * live_share;
        } else {
            work.combo_values = work.classes * combos;
            work.pairings = work.classes * few * many * live_share;
        }
        return work;
    }
    work.combo_values = work.classes * combos;
    const std::vector<std::size_t> order = multiway_order(spot);
    const std::size_t players = order.size();
    const std::size_t swept_a = spot.live[order[players - 2]].size(), swept_b = spot.live[order[players - 1]].size();
    const bool sweeps = std::min(swept_a, swept_b) > pairwise_limit; // as HeadsUp::sweeps
    constexpr uint64_t budget = 4'000'000;
    const std::size_t walked = sweeps ? players - 2 : players; // levels the walk goes through combination by combination
    LeadingDeals leading{spot, order, walked == players ? players - 1 : walked, budget};
    leading.walk(0, 0);
    const std::vector<double> deals = leading.deals();
    for (std::size_t l = 0; l < walked; ++l) {
        const double tried = deals[l] * static_cast<double>(spot.live[order[l]].size());
        work.count_steps += tried;
        work.walk_steps += work.classes * tried * missing(spot, 2 * l);
    }
    if (sweeps) {
        work.sort_keys = work.classes * static_cast<double>(pairs.groups[order[players - 2]].size() + pairs.groups[order[players - 1]].size());
        work.sweeps = work.classes * deals[players - 2] * missing(spot, 2 * (players - 2));
        work.count_steps += deals[players - 2] * deck_size; // the two swept counted together, card by card
        work.swept_combos = work.sweeps * static_cast<double>(swept_a + swept_b) * live_share;
    }
    return work;
}

double estimate_exact_seconds(const PreparedSpot& spot, int threads) {
    if (!enough_cards(spot)) return 0;
    return estimate_exact_seconds(spot, exact_work(spot), threads);
}

double estimate_exact_seconds(const PreparedSpot& spot, const ExactWork& work, int threads, const Machine& machine) {
    if (!enough_cards(spot)) return 0;
    const Costs& cost = machine.costs;
    const double serial = cost.run + cost.completion * work.completions + cost.listed * work.classes +
                          cost.count_step * work.count_steps;
    const double parallel = cost.board * work.classes + cost.pair_value * work.pair_values + cost.sort_key * work.sort_keys +
                            cost.sweep_combo * work.sweep_combos + cost.combo_value * work.combo_values +
                            cost.pairing * work.pairings + cost.walk_step * work.walk_steps + cost.sweep * work.sweeps +
                            cost.swept_combo * work.swept_combos;
    const int cores = machine.cores;
    const double used = std::max(threads > 0 ? std::min(threads, cores) : cores, 1);
    // Threads share out boards, or slices of them: with fewer than threads some wait.
    const double units = work.classes * board_slices(spot.players, work.classes);
    const double busy = units < 1 ? 1 : units / std::ceil(units / used);
    return serial + parallel / busy;
}

RangeMethod choose_range_method(const PreparedSpot& spot, const ExactWork& work, int threads, const Machine& machine) {
    return estimate_exact_seconds(spot, work, threads, machine) <= exact_budget_seconds ? RangeMethod::exact
                                                                                         : RangeMethod::monte_carlo;
}

double estimate_exact_seconds(const RangeSpot& spot, int threads) {
    return estimate_exact_seconds(prepare_spot(spot), threads);
}

double expected_trials(int64_t trials, double precision) {
    if (trials > 0) return static_cast<double>(trials);
    if (!(precision > 0)) return std::numeric_limits<double>::infinity();
    const double deviation = 0.5 / precision;
    return deviation * deviation; // inf when the square overflows
}

double estimate_simulation_seconds(const PreparedSpot& spot, int64_t trials, double precision, int threads,
                                   const Machine& machine) {
    const Costs& cost = machine.costs;
    const int cores = machine.cores;
    const double used = std::max(threads > 0 ? std::min(threads, cores) : cores, 1);
    const double per_trial = cost.trial + cost.trial_player * spot.players;
    return cost.run + expected_trials(trials, precision) * per_trial / used;
}

} // namespace varnolith
