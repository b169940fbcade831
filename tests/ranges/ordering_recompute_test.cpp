// The checked-in preflop ordering is what the exact engine works out today:
// every class against a random hand, about a minute on two cores.

#include <gtest/gtest.h>

#include "ranges/compute_ordering.hpp"

namespace varnolith {
namespace {

TEST(PreflopOrdering, IsWhatTheExactEngineWorksOut) {
    const PreflopOrdering fresh = compute_preflop_ordering();
    const PreflopOrdering& table = preflop_ordering();
    for (std::size_t place = 0; place < fresh.size(); ++place) {
        SCOPED_TRACE(hand_class_name(table[place].square));
        EXPECT_EQ(fresh[place].square, table[place].square);
        EXPECT_NEAR(fresh[place].equity, table[place].equity, 1e-12);
    }
}

} // namespace
} // namespace varnolith
