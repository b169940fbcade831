// The checked-in preflop orderings are what the exact engine works out today:
// every class against a random hand, about a minute on two cores each.

#include <gtest/gtest.h>

#include "ranges/compute_ordering.hpp"

namespace varnolith {
namespace {

class PreflopOrderingOf : public testing::TestWithParam<Ranking> {};

TEST_P(PreflopOrderingOf, IsWhatTheExactEngineWorksOut) {
    const PreflopOrdering fresh = compute_preflop_ordering(GetParam());
    const PreflopOrdering& table = preflop_ordering(GetParam());
    for (std::size_t place = 0; place < fresh.size(); ++place) {
        SCOPED_TRACE(hand_class_name(table[place].square));
        EXPECT_EQ(fresh[place].square, table[place].square);
        EXPECT_NEAR(fresh[place].equity, table[place].equity, 1e-12);
    }
}

INSTANTIATE_TEST_SUITE_P(BothRankings, PreflopOrderingOf, testing::Values(Ranking::straight, Ranking::trips));

} // namespace
} // namespace varnolith
