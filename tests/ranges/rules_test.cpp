// Range equity under the trips ranking, against the plain walk over the boards
// with the best of each hand's five-card hands.

#include <gtest/gtest.h>

#include <random>

#include "reference_evaluator.hpp"
#include "spot_text.hpp"

namespace varnolith {
namespace {

RangeSpot spot_under(Ranking ranking, const testing::Spot& s) {
    RangeSpot spot = testing::make(s);
    spot.ranking = ranking;
    return spot;
}

// Both rankings of a spot of single hands, the engine's against the walk's.
void expect_the_walk(const testing::Spot& s) {
    std::vector<HoleHand> hands;
    for (const char* r : s.ranges) hands.push_back(parse_range(r).at(0).hand);
    const auto board = parse_card_list(s.board), dead = parse_card_list(s.dead);
    for (const Ranking ranking : {Ranking::straight, Ranking::trips}) {
        const testing::ReferenceShares walk = testing::reference_board_walk(hands, board, dead, ranking);
        const RangeResult exact = range_equity_exact(spot_under(ranking, s), {.threads = 2});
        for (std::size_t p = 0; p < hands.size(); ++p)
            EXPECT_NEAR(exact.players[p].equity, walk.equity(p), 1e-12)
                << s.board << " player " << p + 1 << (ranking == Ranking::trips ? " trips" : " straight");
    }
}

TEST(TripsRules, TheWinnerChangesWhereTheRankingSaysSo) {
    struct Case {
        testing::Spot spot;
        double straight, trips; // the first player's equity
    };
    const Case cases[] = {
        // On 9-9-9-T-J, K-Q plays the straight, or only the board's nines with K Q beside A K's A K.
        {{{"QcKd", "AsKs"}, "9c 9d 9h Ts Js", ""}, 1.0, 0.0},
        // A wheel A-6-7-8-9 against a set of kings.
        {{{"9sQc", "KcKh"}, "As 6d 7h 8c Kd", ""}, 1.0, 0.0},
        // A set of sixes against a made straight on the turn: the 10 of 28 rivers
        // that pair the board or bring the last six make a full house or quads,
        // and under trips the set wins every river.
        {{{"6c6d", "Tc9d"}, "6h 7s 8c Js", ""}, 10.0 / 28, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spot.board);
        EXPECT_NEAR(range_equity_exact(spot_under(Ranking::straight, c.spot)).players[0].equity, c.straight, 1e-12);
        EXPECT_NEAR(range_equity_exact(spot_under(Ranking::trips, c.spot)).players[0].equity, c.trips, 1e-12);
        expect_the_walk(c.spot);
    }
}

TEST(TripsRules, RandomSpotsMatchTheWalk) {
    const auto deck = full_deck();
    std::mt19937_64 random(2025);
    for (int round = 0; round < 12; ++round) {
        std::vector<Card> cards = deck;
        std::shuffle(cards.begin(), cards.end(), random);
        const int players = 2 + round % 3, board_cards = 3 + round % 2;
        std::vector<std::string> texts;
        for (int p = 0; p < players; ++p) texts.push_back(card_text(cards[2 * p]) + card_text(cards[2 * p + 1]));
        std::string board;
        for (int b = 0; b < board_cards; ++b) board += card_text(cards[static_cast<std::size_t>(2 * players + b)]);
        std::vector<const char*> ranges;
        for (const std::string& t : texts) ranges.push_back(t.c_str());
        expect_the_walk({ranges, board.c_str(), ""});
    }
}

TEST(TripsRules, RangesFollowTheRankingInEveryDriverAndCategory) {
    const testing::Spot s{{"TT+, AK", "66-99, T9s, 98s"}, "6h 7s 8c", ""};
    const RangeResult exact = range_equity_exact(spot_under(Ranking::trips, s));
    const RangeResult straight = range_equity_exact(spot_under(Ranking::straight, s));
    // Sets gain where straights lose; a hand holding both is counted as what it
    // plays, and categories keep their names whatever the order.
    EXPECT_GT(exact.players[1].equity, straight.players[1].equity);
    const double moved = exact.players[1].categories[trips_category] - straight.players[1].categories[trips_category];
    EXPECT_GT(moved, 0.01);
    EXPECT_NEAR(straight.players[1].categories[straight_category] - exact.players[1].categories[straight_category],
                moved, 1e-12);
    const RangeResult simulated =
        range_equity_monte_carlo(spot_under(Ranking::trips, s), {.trials = 400'000, .seed = 7});
    for (std::size_t p = 0; p < 2; ++p) {
        EXPECT_NEAR(simulated.players[p].equity, exact.players[p].equity, 4 * simulated.players[p].standard_error);
        EXPECT_NEAR(simulated.players[p].categories[trips_category], exact.players[p].categories[trips_category], 0.005);
    }
}

} // namespace
} // namespace varnolith
