#pragma once
// Heads-up, every pair of combinations of one board settled together. The
// rank pairs and the flushing combinations are sorted by value (a few dozen
// keys, not every combination); a sweep over the values then keeps the other
// player's weight below and at the current value, in total and per card, and
// a combination's wins are the total less what holds one of its own cards.

#include <array>
#include <cstdint>
#include <vector>

#include "ranges/exact/board_values.hpp"
#include "ranges/exact/sums.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

// Two ranges sweep one another by value when each holds more than this many
// live combinations; below it, trying every pair is quicker.
inline constexpr std::size_t pairwise_limit = 6;

// What the sweep needs of a combination, in 16 bytes: copied once per board.
struct SweepCombo {
    double weight = 0;
    uint16_t index = 0; // in the player's live combinations
    uint8_t first = 0, second = 0;
};

// After a value is settled, its combinations' weight (in `at`, per card) moves
// to the weight below the next value (in `below`), and `at` is left clear.
inline void lower_level(const SweepCombo* sorted, uint32_t from, uint32_t to, std::array<double, card_index_span>& below,
                        std::array<double, card_index_span>& at) {
    for (uint32_t k = from; k < to; ++k) {
        const SweepCombo& c = sorted[k];
        below[c.first] += at[c.first];
        below[c.second] += at[c.second];
        at[c.first] = 0;
        at[c.second] = 0;
    }
}

// The combinations of one value: player 0's in sorted[start, middle),
// player 1's in sorted[middle, end).
struct SweepLevel {
    int32_t value = 0;
    uint32_t middle = 0, end = 0;
};

// One thread's working data, sized once per run.
struct HeadsUpScratch {
    std::vector<uint64_t> keys; // value << 32 | player << 31 | flushing << 30 | group or combination
    std::vector<SweepCombo> sorted;
    std::vector<SweepLevel> levels;
    std::array<std::array<double, card_index_span>, 2> below{}, at{}; // per player and card: weight below, at the current value
    std::array<std::array<double, card_index_span>, 2> all{};         // per player and card: weight the board leaves
    std::array<double, 2> all_total{};
    explicit HeadsUpScratch(const PreparedSpot& spot);
};

// Two of the players, `who`: the two of a heads-up spot, or the two that
// three or more players leave to a sweep once the others' hands are fixed.
struct HeadsUp {
    const PreparedSpot& spot;
    const SumLayout& layout;
    const RankPairs& pairs;
    std::array<std::size_t, 2> who;
    std::array<std::vector<SweepCombo>, 2> combos;  // per player: by combination
    std::array<std::vector<SweepCombo>, 2> grouped; // per player: in the order of RankPairs::members
    // Per player and combination: the other player's weight on the same two
    // cards, subtracted twice from the totals and so added back once.
    std::array<std::vector<double>, 2> same;
    // Per player: weight in all and per card, and per two cards (36 x 36 from
    // card 24): what a board leaves follows from its five cards.
    std::array<double, 2> weight_total{};
    std::array<std::array<double, card_index_span>, 2> weight_by_card{};
    std::array<std::vector<double>, 2> weight_by_two;

    HeadsUp(const PreparedSpot& spot, const SumLayout& layout, const RankPairs& pairs,
            std::array<std::size_t, 2> who = {0, 1});

    // Whether a board is settled by the sweep, which needs only the rank pairs'
    // values and the flushing combinations; else by settle_pairs over every
    // combination's value.
    bool sweeps() const;

    // Adds the board's figures, times `scale`, to `sums`.
    void sweep(const BoardValues& board, double scale, HeadsUpScratch& s, double* sums) const;
    void settle_pairs(const BoardValues& board, double scale, double* sums) const;

    // The steps of a sweep, for a caller that sweeps on its own terms: the two
    // players' combinations the board leaves, by value, into s.sorted and
    // s.levels; their weight the board leaves, in all and per card, into s.all
    // and s.all_total.
    void sort_by_value(const BoardValues& board, HeadsUpScratch& s) const;
    void weigh_board(uint64_t board_cards, HeadsUpScratch& s) const;
};

} // namespace varnolith
