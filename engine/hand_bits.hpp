#pragma once
// Packed form of a set of cards, the evaluator's working data. Adding two sets
// is three integer operations, so the board walk and the trial loop build a
// board once and add each player's hole cards to it.

#include <cstdint>

#include "card.hpp"

namespace varnolith {

struct HandBits {
    uint64_t cards = 0; // bit card_index(c) for every card present (24..59)
    uint64_t ranks = 0; // number of cards of each rank, a 4-bit count at bit 4 * rank
    uint32_t suits = 0; // number of cards of each suit, an 8-bit count at bit 8 * suit
};

// Bits of one valid card, from its index (24..59): 4 * rank is the index less the suit.
constexpr HandBits bits_of_index(int32_t index) {
    return HandBits{uint64_t{1} << index, uint64_t{1} << (index & ~3), uint32_t{1} << ((index & 3) * 8)};
}

constexpr HandBits bits_of(Card c) { return bits_of_index(card_index(c)); }

// Counts add, so a card present twice counts twice toward its rank and suit.
constexpr HandBits operator+(HandBits a, HandBits b) {
    return HandBits{a.cards | b.cards, a.ranks + b.ranks, a.suits + b.suits};
}

} // namespace varnolith
