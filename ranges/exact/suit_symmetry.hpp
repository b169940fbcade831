#pragma once
// Relabellings of the suits that leave a spot as it is: the board and the dead
// cards as sets, every range as a weighted set. Boards that such a relabelling
// maps onto each other give the same figures, with each combination's moved
// to its image, so one board per class is enough.

#include <array>
#include <cstdint>
#include <vector>

#include "ranges/spot.hpp"

namespace varnolith {

// to[s]: the suit that suit s becomes.
using SuitPermutation = std::array<uint8_t, 4>;

struct SuitSymmetry {
    std::vector<SuitPermutation> group; // the identity first
    // image[g][p][i]: where permutation g takes combination i of player p.
    std::vector<std::vector<std::vector<uint16_t>>> image;
};

// A card mask (bit card_index) with its suits relabelled.
inline uint64_t permute_cards(uint64_t cards, const SuitPermutation& to) {
    return ((cards & clubs_mask) << to[0]) | (((cards >> 1) & clubs_mask) << to[1]) | (((cards >> 2) & clubs_mask) << to[2]) |
           (((cards >> 3) & clubs_mask) << to[3]);
}

// Every one of the 24 permutations that leaves the spot unchanged.
SuitSymmetry find_suit_symmetry(const PreparedSpot& spot);

// Per-combination sums of the class representatives, each weighted by its
// class's size, become the sums over every board: a combination's entry is
// the average of its images' entries over the group. `stride` doubles per
// combination, starting at offsets[p] for player p.
void spread_over_classes(const SuitSymmetry& symmetry, const std::vector<std::size_t>& offsets, std::size_t stride,
                         std::vector<double>& sums);

} // namespace varnolith
