#pragma once
// Players drawn one after another, each from the combinations that hold no
// card already out, every deal with a weight that makes weighted averages
// exact in expectation however rarely the ranges fit together.
//
// The combination c of the player drawn j-th is proposed with probability
//     q_j(c) = (1 - mix) w(c) h(c) / N + mix w(c) / F,
// F the weight of the player's combinations that fit, N the sum of w(c) h(c)
// over them, and h(c) a look ahead: for each card of c and each player still
// to draw, the share of that player's fitting weight not holding the card,
// all multiplied. The weighted distribution over compatible deals gives a deal
// prod_j w(c_j) / Z, so weighting it by prod_j w(c_j) / (T_j q_j(c_j)) (T_j
// the range's whole weight) is exact for any h; each factor is at most 1 / mix.
// Without the look ahead (h = 1) early players take the cards later ones
// cannot do without, and a few deals carry nearly all the weight. The last
// player has nothing to look ahead to and is drawn by weight alone.

#include <array>
#include <cstdint>
#include <vector>

#include "ranges/sampling/draw.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

// One of the distinct ranges drawn, by card.
struct InTurnRange {
    struct Combo {
        uint64_t cards;
        double weight;
        uint8_t low, high; // the cards, indices less 24
    };
    struct Holder {
        uint32_t combo;
        uint8_t other; // the combination's other card
    };
    std::vector<Combo> combos; // in the order of the range
    double total = 0;          // T
    std::array<double, deck_size> by_card{}; // the weight of the combinations holding each card
    // The combinations holding card x: holding[holding_at[x], holding_at[x + 1]).
    std::array<uint32_t, deck_size + 1> holding_at{};
    std::vector<Holder> holding;
    std::size_t members_at = 0; // where its list starts in InTurnScratch::members
};

struct InTurn {
    std::vector<std::size_t> order;    // the drawn players, narrowest range first: they leave the wide ones room
    std::vector<std::size_t> range_of; // by player: its distinct range
    std::vector<InTurnRange> ranges;
    std::vector<uint8_t> to_come; // order.size() x ranges.size(): players of each range drawn after the j-th
    // Nothing is out when the first player is drawn, so its proposal is fixed:
    // a table to draw from and each combination's weight factor.
    AliasTable opening;
    std::vector<double> opening_factor;
};

InTurn make_in_turn(const PreparedSpot& spot, const std::vector<std::size_t>& drawn);

// A thread's working space, sized once.
struct InTurnScratch {
    std::vector<double> left_by_card; // ranges.size() x deck_size: fitting weight holding each card
    std::vector<double> left;         // ranges.size(): fitting weight
    // Per range at members_at, a list of combinations holding every one that
    // fits (cut to those when walked); per range, its length.
    std::vector<uint32_t> members, fitting;
    std::array<double, deck_size> ahead{}; // the look ahead per card
    std::vector<double> proposal, blocks; // per fitting combination of the player drawn, per 8 of them
    explicit InTurnScratch(const InTurn& in_turn);
};

// Draws the players of in_turn.order into `chosen` and their cards into
// `used`; answers the deal's weight, or 0 at a dead end (a player left with
// nothing that fits).
double draw_in_turn(const InTurn& in_turn, const std::vector<AliasTable>& tables, TrialStream& stream, uint64_t& used,
                    std::vector<uint32_t>& chosen, InTurnScratch& scratch);

} // namespace varnolith
