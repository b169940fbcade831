#pragma once
// Exact pot bookkeeping. A split among m players is counted in whole units of
// 1/360360 (the least common multiple of 1..15, every split that a deck can
// deal), so sums never round and the order in which threads merge cannot
// change a bit. Larger splits, possible only when the caller repeats cards,
// fall back to a floating-point sum, whose last bit may then depend on how the
// trials were shared among threads.

#include <cstdint>
#include <span>
#include <vector>

#include "equity_result.hpp"

namespace varnolith {

inline constexpr int64_t split_unit = 360'360;
inline constexpr int max_exact_split = 15;

struct alignas(64) PlayerTally { // a cache line each: threads never share one
    int64_t wins = 0;       // pots won alone
    int64_t tie_units = 0;  // split pots, in 1/split_unit of a pot
    double large_splits = 0; // split pots among more than 15 players

    void add_split(int sharers) {
        if (sharers <= max_exact_split) tie_units += split_unit / sharers;
        else large_splits += 1.0 / sharers;
    }
    double tie_share() const { return static_cast<double>(tie_units) / split_unit + large_splits; }
    void merge(const PlayerTally& other) {
        wins += other.wins;
        tie_units += other.tie_units;
        large_splits += other.large_splits;
    }
};

// Hands one pot to the best of `count` values: a win for a sole best hand, else
// an equal share to each of the m best.
inline void settle_pot(const int32_t* values, int count, PlayerTally* tallies) {
    if (count == 2) { // heads-up, the common case: one comparison
        if (values[0] != values[1]) ++tallies[values[0] > values[1] ? 0 : 1].wins;
        else {
            tallies[0].tie_units += split_unit / 2;
            tallies[1].tie_units += split_unit / 2;
        }
        return;
    }
    int32_t best = values[0];
    int sharers = 1;
    for (int p = 1; p < count; ++p) {
        if (values[p] > best) {
            best = values[p];
            sharers = 1;
        } else if (values[p] == best) {
            ++sharers;
        }
    }
    for (int p = 0; p < count; ++p) {
        if (values[p] != best) continue;
        if (sharers == 1) {
            ++tallies[p].wins;
            return;
        }
        tallies[p].add_split(sharers);
    }
}

// Every thread's tallies in one block, a row of players per thread; each
// PlayerTally fills a cache line, so no two threads ever write to the same line.
struct ThreadTallies {
    std::vector<PlayerTally> cells;
    std::size_t players = 0;

    ThreadTallies(std::size_t threads, std::size_t player_count) : cells(threads * player_count), players(player_count) {}
    PlayerTally* row(std::size_t thread) { return cells.data() + thread * players; }
    const PlayerTally* row(std::size_t thread) const { return cells.data() + thread * players; }
};

// Adds the threads' rows in thread order.
inline std::vector<PlayerTally> merged(const ThreadTallies& table, std::size_t threads) {
    std::vector<PlayerTally> totals(table.players);
    for (std::size_t t = 0; t < threads; ++t)
        for (std::size_t p = 0; p < table.players; ++p) totals[p].merge(table.row(t)[p]);
    return totals;
}

// Tallies as the console and the library report them.
inline EquityResult to_equity_result(std::span<const PlayerTally> tallies, int64_t total) {
    EquityResult result;
    result.total = total;
    for (const PlayerTally& t : tallies) {
        result.wins.push_back(t.wins);
        result.tie_shares.push_back(t.tie_share());
    }
    return result;
}

} // namespace varnolith
