#include "ranges/notation/ordering.hpp"

#include <algorithm>
#include <cmath>

#include "ranges/equity.hpp"

namespace varnolith {

PreflopOrdering compute_preflop_ordering(int threads) {
    PreflopOrdering ordering;
    const Range random = parse_range("random");
    for (int square = 0; square < hand_class_count; ++square) {
        const Range whole_class = parse_range(hand_class_name(square));
        const RangeSpot spot{{Range{whole_class.front()}, random}, {}, {}};
        const RangeResult result = range_equity_exact(spot, {.threads = threads});
        ordering[static_cast<std::size_t>(square)] = {square, static_cast<int>(whole_class.size()),
                                                      result.players[0].equity};
    }
    std::sort(ordering.begin(), ordering.end(), [](const OrderedClass& a, const OrderedClass& b) {
        if (a.equity != b.equity) return a.equity > b.equity;
        if (a.combos != b.combos) return a.combos < b.combos;
        return a.square < b.square;
    });
    return ordering;
}

int top_class_count(double percent) {
    constexpr double all_combos = 630;
    const double target = all_combos * percent / 100.0;
    double count = 0;
    int classes = 0;
    for (const OrderedClass& c : preflop_ordering()) {
        if (std::abs(count + c.combos - target) > std::abs(count - target)) break;
        count += c.combos;
        ++classes;
    }
    return classes;
}

} // namespace varnolith
