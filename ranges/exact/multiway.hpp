#pragma once
// Three or more players on one board. The players with the fewest
// combinations are dealt one after another; for each such deal the two with
// the most are settled together by a sweep over the values, as heads-up, with
// the dealt hands' best value and its number of holders as a bar both must
// clear. A board then costs (deals of the others) x (combinations of the two
// swept) instead of the product of every range. Where the two swept ranges are
// a handful, every deal is walked instead.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ranges/exact/board_values.hpp"
#include "ranges/exact/sums.hpp"
#include "ranges/exact/heads_up_sweep.hpp"
#include "ranges/equity.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

// How the deals of a board are gone through: the sweep of the last two where
// it pays, or every deal in turn (for tests and benchmarks to compare).
enum class DealWalk { sweep_last_two, every_deal };

// Three or more players on a few boards: each board is cut into slices of the
// first dealt player's hands, so that one long board keeps every thread busy.
// A fixed count, so that sums add up in the same order at any thread count.
inline int board_slices(int players, double boards) { return players > 2 && boards < 64 ? 16 : 1; }

// The players in the order they are dealt: the others by their place at the
// table, then the two with the most combinations.
std::vector<std::size_t> multiway_order(const PreparedSpot& spot);

// The ticker is told how far into a board (or a slice of one) the walk is, as
// a fraction: a board of many wide ranges can take minutes.
struct BoardTicker {
    void (*tick)(void* context, double done) = nullptr;
    void* context = nullptr;
};

// One thread's working data, made once per run.
struct MultiwayScratch {
    BoardTicker ticker;
    std::vector<std::size_t> chosen; // per place in the order: the combination dealt
    // Per swept player and card: weight below and at the current value, and
    // weight that the board and the dealt hands leave.
    std::array<std::array<double, 64>, 2> below{}, at{}, all{};
    explicit MultiwayScratch(const PreparedSpot& spot) : chosen(spot.live.size()) {}
};

// Part `index` of `count` of a board: the deals whose first hand is in that
// part of the first player's combinations.
struct BoardSlice {
    std::size_t index = 0, count = 1;
};

struct Multiway {
    const PreparedSpot& spot;
    const SumLayout& layout;
    const RangeOptions& options; // a board of wide ranges takes a while: cancel checked within it
    std::vector<std::size_t> order;
    HeadsUp last_two; // the two players swept
    bool sweeps;

    Multiway(const PreparedSpot& spot, const SumLayout& layout, const RankPairs& pairs, const RangeOptions& options,
             DealWalk walk);

    // Adds the board's figures (or a slice's), times `scale`, to `sums`. The
    // board's values come from value_combos; `sweep` is working space for the
    // two swept.
    void settle(const BoardValues& board, double scale, HeadsUpScratch& sweep, MultiwayScratch& s, double* sums,
                BoardSlice slice = {}) const;

private:
    struct Deal {
        uint64_t used;
        double weight;
        int32_t best;
        int sharers;
        double at, span; // the part of the slice walked before this deal, and the part it covers
    };
    void deal(const BoardValues& board, const HeadsUpScratch& sweep, MultiwayScratch& s, double* sums,
              std::size_t place, Deal dealt, BoardSlice slice) const;
    void last_player(const BoardValues& board, MultiwayScratch& s, double* sums, Deal dealt) const;
    void sweep_last_two(const BoardValues& board, const HeadsUpScratch& sweep, MultiwayScratch& s, double* sums,
                        Deal dealt) const;
    void leave_dealt_cards(const HeadsUpScratch& sweep, MultiwayScratch& s, uint64_t used,
                           std::array<double, 2>& all_total) const;
};

} // namespace varnolith
