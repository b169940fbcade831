#pragma once
// Where each player's figures sit in the exact driver's flat block of sums:
// win, tie, the nine categories, then (share, weight) for every live
// combination.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ranges/spot.hpp"

namespace varnolith {

struct SumLayout {
    std::vector<std::size_t> offset;     // per player
    std::vector<std::size_t> combos;     // per player: where its (share, weight) pairs begin
    std::size_t size = 0;
    explicit SumLayout(const PreparedSpot& spot) {
        for (const auto& live : spot.live) {
            offset.push_back(size);
            combos.push_back(size + combos_at);
            size += combos_at + 2 * live.size();
        }
    }
    static constexpr std::size_t win_at = 0, tie_at = 1, category_at = 2, combos_at = 2 + category_count;
};

} // namespace varnolith
