#pragma once
// The value of live combinations on one board. The board's share is worked
// out once, each rank pair held by some player once; a combination then
// costs a card test, and a full evaluation only when it makes a flush.

#include <array>
#include <cstdint>
#include <vector>

#include "evaluator.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

// One rank pair's combinations of a player: members[first, last).
struct PairGroup {
    uint8_t pair = 0; // 9 * (high rank - 6) + low rank - 6
    uint32_t first = 0, last = 0;
};

// The players' combinations by rank pair and by suit, made once per run.
struct RankPairs {
    std::vector<uint8_t> used;                  // pairs some player holds, each once
    std::vector<std::vector<uint8_t>> pair_of;  // per player and combination
    std::vector<std::vector<PairGroup>> groups; // per player, by pair
    std::vector<std::vector<uint16_t>> members; // per player: combinations, group by group
    std::vector<std::array<std::vector<uint16_t>, 4>> holding_suit; // per player and suit: combinations with a card of it
    explicit RankPairs(const PreparedSpot& spot);
};

inline constexpr int rank_pairs = 81;

// One thread's values on the current board.
struct BoardValues {
    BoardShare share;
    std::array<HandValue, rank_pairs> by_pair{};
    std::vector<std::vector<int32_t>> values;    // per player and combination; -1 when the board holds a card of it
    std::vector<std::vector<uint16_t>> flushing; // per player: combinations that make a flush, valued on their own
    explicit BoardValues(const PreparedSpot& spot);
};

// The board's share and the value of every rank pair held, under the ranking.
void value_rank_pairs(const RankPairs& pairs, const HandBits& board, Ranking ranking, BoardValues& out);

// After value_rank_pairs: every combination's value and the flushing lists.
// False when some player has no combination left on the board: no deal is
// dealt there.
bool value_combos(const PreparedSpot& spot, const RankPairs& pairs, BoardValues& out);

// After value_rank_pairs: the flushing lists alone, with those combinations'
// values; other values are left as they were.
void find_flushing(const PreparedSpot& spot, const RankPairs& pairs, BoardValues& out);

} // namespace varnolith
