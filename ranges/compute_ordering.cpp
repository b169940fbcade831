#include "ranges/compute_ordering.hpp"

#include <algorithm>

#include "ranges/equity.hpp"

namespace varnolith {

PreflopOrdering compute_preflop_ordering(Ranking ranking, int threads) {
    PreflopOrdering ordering;
    const Range random = parse_range("random");
    for (int square = 0; square < hand_class_count; ++square) {
        const Range whole_class = parse_range(hand_class_name(square));
        const RangeSpot spot{{Range{whole_class.front()}, random}, {}, {}, ranking};
        const RangeResult result = range_equity_exact(spot, {.threads = threads});
        ordering[static_cast<std::size_t>(square)] = {square, static_cast<int>(whole_class.size()),
                                                      result.players[0].equity};
    }
    std::sort(ordering.begin(), ordering.end(), ordered_before);
    return ordering;
}

} // namespace varnolith
