// The preflop ordering as checked in: its shape, and the same worked out afresh.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "ranges/notation/ordering.hpp"

namespace varnolith {
namespace {

TEST(PreflopOrdering, HoldsEveryClassOnceInOrder) {
    const PreflopOrdering& ordering = preflop_ordering();
    std::set<int> squares;
    int combos = 0;
    for (const OrderedClass& c : ordering) {
        squares.insert(c.square);
        combos += c.combos;
        EXPECT_EQ(static_cast<std::size_t>(c.combos), parse_range(hand_class_name(c.square)).size());
        EXPECT_GT(c.equity, 0.0);
        EXPECT_LT(c.equity, 1.0);
    }
    EXPECT_EQ(squares.size(), 81u);
    EXPECT_EQ(combos, 630);
    EXPECT_TRUE(std::is_sorted(ordering.begin(), ordering.end(), ordered_before));
    // Equal equities are rare; the order is first of all by equity, falling.
    EXPECT_TRUE(std::is_sorted(ordering.begin(), ordering.end(),
                               [](const OrderedClass& a, const OrderedClass& b) { return a.equity > b.equity; }));
    EXPECT_EQ(hand_class_name(ordering.front().square), "AA");
}

} // namespace
} // namespace varnolith
