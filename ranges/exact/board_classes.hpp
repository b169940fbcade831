#pragma once
// The completions of a board up to the spot's suit symmetry: one board per
// class, with the number of boards the class holds.

#include <cstdint>
#include <vector>

#include "hand_bits.hpp"
#include "ranges/spot.hpp"
#include "ranges/exact/suit_symmetry.hpp"

namespace varnolith {

struct BoardClass {
    uint64_t cards = 0; // the whole board, given cards included
    double size = 1;    // boards in the class
};

// The packed form of a board from its card mask: counts per rank are the
// nibbles' population counts, counts per suit one multiply each.
inline HandBits packed_board(uint64_t cards) {
    uint64_t ranks = cards - ((cards >> 1) & 0x5555'5555'5555'5555);
    ranks = (ranks & 0x3333'3333'3333'3333) + ((ranks >> 2) & 0x3333'3333'3333'3333);
    uint32_t suits = 0;
    for (int suit = 0; suit < 4; ++suit)
        suits |= static_cast<uint32_t>((((cards >> suit) & clubs_mask) * 0x1111'1111'1111'1111) >> 60) << (8 * suit);
    return HandBits{cards, ranks, suits};
}

// In the order of the plain enumeration, each class at its lowest card mask;
// every completion once when the group is the identity alone.
std::vector<BoardClass> board_classes(const PreparedSpot& spot, const std::vector<SuitPermutation>& group);

// How many classes there are, without listing them: the average over the
// group of the completions each permutation leaves in place.
uint64_t count_board_classes(const PreparedSpot& spot, const std::vector<SuitPermutation>& group);

} // namespace varnolith
