#pragma once
// Per-player outcome of an enumeration or a simulation.

#include <cstdint>
#include <vector>

namespace varnolith {

// Figures per player, in the order of the hands, over `total` boards or trials.
struct EquityResult {
    std::vector<int64_t> wins;      // boards or trials on which the player alone held the best hand
    std::vector<double> tie_shares; // sum of 1/m over those on which the player was one of m >= 2 best hands
    int64_t total = 0;              // boards or trials counted

    // (wins + tie share) / total: the player's share of the pot, 0..1.
    double equity(std::size_t player) const {
        return (static_cast<double>(wins[player]) + tie_shares[player]) / static_cast<double>(total);
    }
};

} // namespace varnolith
