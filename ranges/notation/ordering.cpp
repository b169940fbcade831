#include "ranges/notation/ordering.hpp"

#include <algorithm>
#include <cmath>

namespace varnolith {

bool ordered_before(const OrderedClass& a, const OrderedClass& b) {
    if (a.equity != b.equity) return a.equity > b.equity;
    if (a.combos != b.combos) return a.combos < b.combos;
    return a.square < b.square;
}

const PreflopOrdering& preflop_ordering(Ranking ranking) {
    return ranking == Ranking::trips ? trips_preflop_ordering() : straight_preflop_ordering();
}

int top_class_count(double percent, Ranking ranking) {
    constexpr double all_combos = 630;
    const double target = all_combos * percent / 100.0;
    double count = 0;
    int classes = 0;
    for (const OrderedClass& c : preflop_ordering(ranking)) {
        if (std::abs(count + c.combos - target) > std::abs(count - target)) break;
        count += c.combos;
        ++classes;
    }
    return classes;
}

} // namespace varnolith
