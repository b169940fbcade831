#include "range_grid.hpp"

#include <cmath>
#include <limits>

namespace varnolith {

RangeGrid range_grid(const RangePlayerResult& player) {
    RangeGrid grid;
    std::array<double, hand_class_count> share{};   // sum of weight * equity
    std::array<double, hand_class_count> counted{}; // the weight that has an equity
    for (int i = 0; i < hand_class_count; ++i) grid[static_cast<std::size_t>(i)].name = hand_class_name(i);
    for (const HandEquity& h : player.hands) {
        const auto at = static_cast<std::size_t>(hand_class_index(h.hand));
        grid[at].weight += h.weight;
        ++grid[at].combos;
        if (h.weight > 0 && !std::isnan(h.equity)) {
            share[at] += h.weight * h.equity;
            counted[at] += h.weight;
        }
    }
    for (std::size_t i = 0; i < grid.size(); ++i)
        grid[i].equity = counted[i] > 0 ? share[i] / counted[i] : std::numeric_limits<double>::quiet_NaN();
    return grid;
}

} // namespace varnolith
