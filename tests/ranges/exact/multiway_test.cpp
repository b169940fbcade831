// Three or more players: sweeping the two widest ranges against each deal of
// the others gives the figures of walking every deal, whoever is swept, with
// ties among the dealt hands, the swept ones, or both.

#include <gtest/gtest.h>

#include "ranges/exact/multiway.hpp"
#include "ranges/exact/driver.hpp"

#include "same_figures.hpp"
#include "spot_text.hpp"

namespace varnolith {
namespace {

using testing::expect_identical;
using testing::expect_same;
using testing::make;
using testing::Spot;

const Spot multiway_spots[] = {
    {{"AA, KK", "random", "QQ+, AK:0.5"}, "6c 7d 8h 9s", ""},                   // a straight on the board: many ties
    {{"random", "T9s, 87s, AhQh", "JJ+:0.5, AKs:0.25, KQo"}, "Ah 7h 8h", "Kd"}, // flushes, the widest range first
    {{"QQ+", "random", "AK, 99", "TT+, AQs"}, "6c 7c 8d Jc", ""},               // four: two dealt, swept ones apart
    {{"AA", "KK", "QQ, JJ, T9s", "random"}, "6c 7d 8h 9s Tc", ""}, // dealt hands that share the board's straight
    {{"AcKd, AsKd:0.5", "QQ, JJ, 77", "TT+, AQs, 76s", "random:0.5, 98o"}, "Kh 7s 6d", "9c"},
    {{"random", "random", "AA"}, "Qc Qd Qh 6s", ""}, // quads on the board: everyone splits
};

bool sweeps(const PreparedSpot& spot) {
    const SumLayout layout(spot);
    const RankPairs pairs(spot);
    return Multiway(spot, layout, pairs, {}, DealWalk::sweep_last_two).sweeps;
}

// The same figures bit for bit on any number of threads too: a turn and a
// river are cut into slices of boards, a flop is not.
TEST(Multiway, SweepingTheLastTwoGivesTheFiguresOfEveryDeal) {
    for (const Spot& s : multiway_spots) {
        SCOPED_TRACE(std::string(s.ranges[0]) + " | " + s.ranges[1] + " | " + s.board);
        const RangeSpot spot = make(s);
        ASSERT_TRUE(sweeps(prepare_spot(spot)));
        const RangeResult one = range_equity_exact(spot, {.threads = 1});
        expect_same(one, range_equity_exact(spot, {}, BoardWalk::by_class, DealWalk::every_deal));
        for (const int threads : {2, 3}) expect_identical(range_equity_exact(spot, {.threads = threads}), one);
    }
}

TEST(Multiway, DealsTheNarrowRangesAndSweepsTheTwoWidest) {
    EXPECT_EQ(multiway_order(prepare_spot(make(multiway_spots[2]))), (std::vector<std::size_t>{0, 2, 1, 3}));
    EXPECT_EQ(multiway_order(prepare_spot(make(multiway_spots[1]))), (std::vector<std::size_t>{1, 0, 2}));
    // Against a handful the sweep is not worth it: every deal is walked.
    EXPECT_FALSE(sweeps(prepare_spot(make({{"AA", "KK", "QhQs", "random"}, "", ""}))));
}

} // namespace
} // namespace varnolith
