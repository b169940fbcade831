// Settling one board per suit class gives the figures of settling every
// board, whatever symmetry the spot keeps; the classes partition the boards.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "ranges/exact/board_classes.hpp"
#include "ranges/exact/driver.hpp"
#include "ranges/exact/suit_symmetry.hpp"

#include "same_figures.hpp"
#include "spot_text.hpp"

namespace varnolith {
namespace {

using testing::expect_identical;
using testing::expect_same;
using testing::make;
using testing::Spot;

// Each spot with the number of suit relabellings that keep it.
const std::pair<Spot, std::size_t> symmetric_spots[] = {
    {{{"QQ+, AKs", "JJ-99, AKo"}, "", ""}, 24},                       // every relabelling
    {{{"QQ+, AKs, AhKh:0.5", "TT, AQs"}, "", ""}, 6},                 // one combination weighted apart: hearts stay
    {{{"AK, 99", "JJ, ATs"}, "", "Qs"}, 6},                           // a dead card: spades stay
    {{{"random", "QQ+, AK"}, "Ah Kh 7d", ""}, 2},                     // a flop of two suits: clubs and spades swap
    {{{"AA, KK", "QQ, AKs", "JJ, T9s:0.5"}, "7c", ""}, 6},            // three players
    {{{"random", "AA, KK"}, "6c 8c Tc Qc Ac", ""}, 6},                // a river: one board, its own class
    {{{"AhKd, AcQs:0.5", "JJ, AQ"}, "", "9s"}, 1},                    // nothing but the identity
    {{{"AcKd, AsKd", "random"}, "Td Th", ""}, 2},                     // a handful against a range, pair by pair
};

// The same figures bit for bit on any number of threads too: before the flop
// heads-up the classes of boards are shared out.
TEST(SuitSymmetry, ClassesGiveTheFiguresOfEveryBoard) {
    for (const auto& [s, group] : symmetric_spots) {
        SCOPED_TRACE(std::string(s.ranges[0]) + " | " + s.board + " | " + s.dead);
        const RangeSpot spot = make(s);
        EXPECT_EQ(find_suit_symmetry(prepare_spot(spot)).group.size(), group);
        const RangeResult one = range_equity_exact(spot, {.threads = 1});
        expect_same(one, range_equity_exact(spot, {}, BoardWalk::every_board));
        for (const int threads : {2, 3}) expect_identical(range_equity_exact(spot, {.threads = threads}), one);
    }
}

// Each class's orbit once, the boards all covered and none twice; counted
// without listing, the same number of classes (0: not checked).
TEST(BoardClasses, PartitionTheBoards) {
    const std::pair<Spot, uint64_t> cases[] = {
        {{{"AA", "KK"}, "", ""}, 19'998}, {{{"AA", "KK"}, "Ah Kh 7d", ""}, 0}, {{{"AA", "KK"}, "7c", "Qs"}, 0},
        {{{"AhKd", "KK"}, "Ac", ""}, 0},  {{{"AA", "KK"}, "6c 8c Tc Qc", ""}, 0},
    };
    for (const auto& [s, count] : cases) {
        SCOPED_TRACE(s.board);
        const PreparedSpot spot = prepare_spot(make(s));
        const std::vector<SuitPermutation> group = find_suit_symmetry(spot).group;
        const std::vector<BoardClass> classes = board_classes(spot, group);
        EXPECT_EQ(count_board_classes(spot, group), classes.size());
        if (count) { EXPECT_EQ(classes.size(), count); }
        const uint64_t boards = choose(spot.deck.size(), static_cast<uint64_t>(spot.to_come));
        double sizes = 0;
        for (const BoardClass& b : classes) sizes += b.size;
        EXPECT_EQ(sizes, static_cast<double>(boards));
        if (boards > 50'000) continue;
        std::set<uint64_t> covered;
        for (const BoardClass& b : classes) {
            std::set<uint64_t> orbit;
            for (const SuitPermutation& to : group) orbit.insert(permute_cards(b.cards, to));
            EXPECT_EQ(static_cast<double>(orbit.size()), b.size);
            EXPECT_EQ(*orbit.begin(), b.cards); // the lowest of its class
            for (const uint64_t board : orbit) EXPECT_TRUE(covered.insert(board).second);
        }
        EXPECT_EQ(covered.size(), boards);
    }
}

} // namespace
} // namespace varnolith
