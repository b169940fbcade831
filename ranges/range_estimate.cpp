#include "range_estimate.hpp"

#include <omp.h>

#include <algorithm>
#include <vector>

#include "board_classes.hpp"
#include "board_values.hpp"
#include "suit_symmetry.hpp"

namespace varnolith {

namespace {

// Seconds per unit of work on one core of a two-core machine, measured.
struct Costs {
    double run = 0.3e-3;        // a run's fixed share: preparing, threads
    double completion = 8e-9;   // listing the boards ...
    double listed = 30e-9;      // ... and keeping one per class
    double board = 80e-9;       // a board settled: its share, its sums
    double pair_value = 4e-9;
    double sort_key = 12e-9;
    double sweep_combo = 9e-9;
    double combo_value = 1.2e-9;
    double pairing = 1.5e-9;
    double walk_step = 2.5e-9;
    double count_step = 1.5e-9;
};

// A walk over the deals of all players but the last, counting the deals of
// each leading group of players, at most `budget` steps.
struct LeadingDeals {
    const PreparedSpot& spot;
    std::vector<double> deals; // deals[l]: compatible deals of players 0 .. l-1
    uint64_t budget;
    std::size_t first_done = 0; // the first player's combinations walked through

    void walk(std::size_t level, uint64_t used) {
        if (level + 1 >= spot.live.size()) return;
        for (const LiveCombo& c : spot.live[level]) {
            if (budget == 0) return;
            --budget;
            if (c.bits.cards & used) continue;
            deals[level + 1] += 1;
            walk(level + 1, used | c.bits.cards);
            if (level == 0 && budget > 0) ++first_done;
        }
    }
};

// Of the completions of the board, the share that misses `held` given cards.
double missing(const PreparedSpot& spot, uint64_t held) {
    const uint64_t n = spot.deck.size(), k = static_cast<uint64_t>(spot.to_come);
    if (held > n) return 0;
    return static_cast<double>(choose(n - held, k)) / static_cast<double>(choose(n, k));
}

} // namespace

ExactWork exact_work(const PreparedSpot& spot) {
    ExactWork work;
    const SuitSymmetry symmetry = find_suit_symmetry(spot);
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
        if (few > 6) {
            work.sort_keys = work.classes * static_cast<double>(pairs.groups[0].size() + pairs.groups[1].size());
            work.sweep_combos = work.classes * combos * live_share;
        } else {
            work.combo_values = work.classes * combos;
            work.pairings = work.classes * few * many * live_share;
        }
        return work;
    }
    work.combo_values = work.classes * combos;
    constexpr uint64_t budget = 4'000'000;
    LeadingDeals leading{spot, std::vector<double>(spot.live.size(), 0.0), budget};
    leading.deals[0] = 1;
    leading.walk(0, 0);
    if (leading.budget == 0) {
        const double scale = static_cast<double>(spot.live[0].size()) / static_cast<double>(std::max<std::size_t>(leading.first_done, 1));
        for (std::size_t l = 1; l < leading.deals.size(); ++l) leading.deals[l] *= scale;
    }
    for (std::size_t l = 0; l < spot.live.size(); ++l) {
        const double tried = leading.deals[l] * static_cast<double>(spot.live[l].size());
        work.count_steps += tried;
        work.walk_steps += work.classes * tried * missing(spot, 2 * l);
    }
    return work;
}

double estimate_exact_seconds(const PreparedSpot& spot, int threads) {
    if (!enough_cards(spot)) return 0;
    const ExactWork work = exact_work(spot);
    const Costs cost;
    const double serial = cost.run + cost.completion * work.completions + cost.listed * work.classes +
                          cost.count_step * work.count_steps;
    const double parallel = cost.board * work.classes + cost.pair_value * work.pair_values + cost.sort_key * work.sort_keys +
                            cost.sweep_combo * work.sweep_combos + cost.combo_value * work.combo_values +
                            cost.pairing * work.pairings + cost.walk_step * work.walk_steps;
    const int cores = omp_get_num_procs();
    const int used = threads > 0 ? std::min(threads, cores) : cores;
    return serial + parallel / std::max(used, 1);
}

double estimate_exact_seconds(const RangeSpot& spot, int threads) {
    return estimate_exact_seconds(prepare_spot(spot), threads);
}

} // namespace varnolith
