// Range equity under the trips ranking, against the plain walk over the boards
// with the best of each hand's five-card hands.

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <random>
#include <tuple>

#include "reference_evaluator.hpp"
#include "spot_text.hpp"

namespace varnolith {
namespace {

// Both rankings of a spot of single hands, the engine's against the walk's
// and, where given, the first player's equity under each.
void expect_the_walk(RangeSpot spot, std::optional<std::array<double, 2>> first = {}) {
    std::vector<HoleHand> hands;
    for (const Range& range : spot.ranges) hands.push_back(range.at(0).hand);
    for (const Ranking ranking : {Ranking::straight, Ranking::trips}) {
        SCOPED_TRACE(cards_text(spot.board) + (ranking == Ranking::trips ? " trips" : " straight"));
        spot.ranking = ranking;
        const testing::ReferenceShares walk = testing::reference_board_walk(hands, spot.board, spot.dead, ranking);
        const RangeResult exact = range_equity_exact(spot, {.threads = 2});
        for (std::size_t p = 0; p < hands.size(); ++p) EXPECT_NEAR(exact.players[p].equity, walk.equity(p), 1e-12) << p;
        if (first) { EXPECT_NEAR(exact.players[0].equity, (*first)[ranking == Ranking::trips], 1e-12); }
    }
}

TEST(TripsRules, TheWinnerChangesWhereTheRankingSaysSo) {
    // Each spot with the first player's equity under the straight and the trips ranking.
    const std::tuple<testing::Spot, double, double> cases[] = {
        // On 9-9-9-T-J, K-Q plays the straight, or only the board's nines with K Q beside A K's A K.
        {{{"QcKd", "AsKs"}, "9c 9d 9h Ts Js", ""}, 1.0, 0.0},
        // A wheel A-6-7-8-9 against a set of kings.
        {{{"9sQc", "KcKh"}, "As 6d 7h 8c Kd", ""}, 1.0, 0.0},
        // A set of sixes against a made straight on the turn: the 10 of 28 rivers
        // that pair the board or bring the last six make a full house or quads,
        // and under trips the set wins every river.
        {{{"6c6d", "Tc9d"}, "6h 7s 8c Js", ""}, 10.0 / 28, 1.0},
    };
    for (const auto& [s, straight, trips] : cases) expect_the_walk(testing::make(s), std::array{straight, trips});
}

TEST(TripsRules, RandomSpotsMatchTheWalk) {
    std::mt19937_64 random(2025);
    for (std::size_t round = 0; round < 12; ++round) {
        std::vector<Card> cards = full_deck();
        std::shuffle(cards.begin(), cards.end(), random);
        const std::size_t players = 2 + round % 3;
        RangeSpot spot;
        for (std::size_t p = 0; p < players; ++p)
            spot.ranges.push_back(parse_range(card_text(cards[2 * p]) + card_text(cards[2 * p + 1])));
        spot.board.assign(cards.begin() + 2 * players, cards.begin() + 2 * players + 3 + round % 2);
        expect_the_walk(spot);
    }
}

TEST(TripsRules, RangesFollowTheRankingInEveryDriverAndCategory) {
    RangeSpot spot = testing::make({{"TT+, AK", "66-99, T9s, 98s"}, "6h 7s 8c", ""});
    const RangeResult straight = range_equity_exact(spot);
    spot.ranking = Ranking::trips;
    const RangeResult exact = range_equity_exact(spot);
    // Sets gain where straights lose; a hand holding both is counted as what it
    // plays, and categories keep their names whatever the order.
    const auto made = [](const RangeResult& r, std::size_t player, int category) {
        return r.players[player].categories[static_cast<std::size_t>(category)];
    };
    EXPECT_GT(exact.players[1].equity, straight.players[1].equity);
    const double moved = made(exact, 1, trips_category) - made(straight, 1, trips_category);
    EXPECT_GT(moved, 0.01);
    EXPECT_NEAR(made(straight, 1, straight_category) - made(exact, 1, straight_category), moved, 1e-12);
    const RangeResult simulated = range_equity_monte_carlo(spot, {.trials = 400'000, .seed = 7});
    for (std::size_t p = 0; p < 2; ++p) {
        EXPECT_NEAR(simulated.players[p].equity, exact.players[p].equity, 4 * simulated.players[p].standard_error);
        EXPECT_NEAR(made(simulated, p, trips_category), made(exact, p, trips_category), 0.005);
    }
}

} // namespace
} // namespace varnolith
