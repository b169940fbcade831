#pragma once
// A range spot made ready for the drivers: every range cut to its live
// combinations in packed form, the cards left for the board listed once.

#include <cstdint>
#include <vector>

#include "hand_bits.hpp"
#include "ranges/equity.hpp"

namespace varnolith {

struct LiveCombo {
    HandBits bits;      // the two cards, packed
    uint8_t first = 0;  // card indices, 24..59
    uint8_t second = 0;
    double weight = 0;
};

struct PreparedSpot {
    int players = 0;
    std::vector<std::vector<LiveCombo>> live; // per player, in the order of the range
    HandBits board_bits;                      // the given board
    uint64_t blocked = 0;                     // board and dead cards
    std::vector<uint8_t> deck;                // card indices the board may still take
    int to_come = 0;                          // board cards still to deal
    Ranking ranking = Ranking::straight;
};

// Validates the spot and cuts the ranges. Throws RangeError: for a malformed
// spot, and (kind no_deal) when some player has no live combination, or when
// two players hold one and the same card as their only combination.
PreparedSpot prepare_spot(const RangeSpot& spot);

// Compatible deals of hands, ordered per player, counting at most `limit`.
// A count that takes more than `steps` steps of the walk stops there and
// answers `limit`, as if there were at least that many.
uint64_t count_deals(const PreparedSpot& spot, uint64_t limit, uint64_t steps = UINT64_MAX);

// Whether the deck holds every player's two cards and the rest of the board.
bool enough_cards(const PreparedSpot& spot);

// Throws RangeError (kind no_deal, saying why) when no compatible deal exists,
// or when the deals leave too few cards to complete the board (deal_search.hpp).
void require_a_deal(const PreparedSpot& spot);

// k-card completions of n cards.
uint64_t choose(uint64_t n, uint64_t k);

// The result's per-player shells: live counts and, for each live combination,
// its hand (figures still zero).
RangeResult empty_result(const PreparedSpot& spot, RangeMethod method);

} // namespace varnolith
