#pragma once
// varnolith's own preflop orderings of the 81 hand classes, one per ranking:
// by exact equity against one random hand, heads-up, before the flop; equal
// equities put the class with fewer combinations first, then the earlier
// place in the square. It is what "15%" in a range means.

#include <array>

#include "evaluator.hpp"
#include "ranges/notation/range.hpp"

namespace varnolith {

struct OrderedClass {
    int square = 0;     // the class's index in the square: AA 0, AKs 1, AKo 9, ..., 66 80
    int combos = 0;     // 6 for a pair, 4 suited, 12 offsuit
    double equity = 0;  // against one random hand, exact
};

using PreflopOrdering = std::array<OrderedClass, hand_class_count>;

// The ranking's ordering, best class first, as checked in (ordering_table.cpp
// and ordering_table_trips.cpp, written by tools/ordering_table.cpp).
const PreflopOrdering& preflop_ordering(Ranking ranking = Ranking::straight);
const PreflopOrdering& straight_preflop_ordering();
const PreflopOrdering& trips_preflop_ordering();

// Whether `a` comes before `b`: the higher equity, then fewer combinations,
// then the earlier place in the square.
bool ordered_before(const OrderedClass& a, const OrderedClass& b);

// The classes of the top `percent` of the 630 combinations: classes are taken
// in order while the running count with the next class added is no farther
// from the target than without it. `percent` is above 0 and at most 100.
int top_class_count(double percent, Ranking ranking = Ranking::straight);

} // namespace varnolith
