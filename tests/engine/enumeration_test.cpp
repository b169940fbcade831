#include <gtest/gtest.h>

#include <random>

#include "card_text.hpp"
#include "enumeration.hpp"
#include "monte_carlo.hpp"
#include "plain_walk.hpp"
#include "seeding.hpp"

namespace varnolith {
namespace {

using testing::cards;
using testing::hand;

// Deals `players` hands and a board of `board_size` distinct cards.
void deal(std::mt19937& random, int players, int board_size, std::vector<HoleHand>& hands, Board& board) {
    auto deck = full_deck();
    std::shuffle(deck.begin(), deck.end(), random);
    hands.clear();
    board.assign(deck.begin(), deck.begin() + board_size);
    for (int p = 0; p < players; ++p) hands.push_back({deck[board_size + 2 * p], deck[board_size + 2 * p + 1]});
}

TEST(EnumerateEquity, MatchesThePlainWalkOnRandomDeals) {
    std::mt19937 random(42);
    std::vector<HoleHand> hands;
    Board board;
    for (int players = 2; players <= 4; ++players) {
        for (const int board_size : {0, 3, 4, 5}) {
            const int deals = board_size == 0 ? 2 : 25;
            for (int i = 0; i < deals; ++i) {
                deal(random, players, board_size, hands, board);
                const EquityResult fast = enumerate_equity(hands, board);
                const EquityResult plain = testing::plain_enumerate(hands, board);
                ASSERT_EQ(fast.total, plain.total);
                EXPECT_EQ(fast.wins, plain.wins);
                for (int p = 0; p < players; ++p) EXPECT_NEAR(fast.tie_shares[p], plain.tie_shares[p], 1e-9);
            }
        }
    }
}

TEST(EnumerateEquity, SettlesEveryCompletionOnce) {
    struct Case {
        std::vector<HoleHand> hands;
        const char* board;
        int64_t boards;
    };
    const Case cases[] = {
        {{hand("Ah Kd"), hand("Qs Qc")}, "", 201'376},
        {{hand("Ah Kd"), hand("Qs Qc")}, "6c 7d 8h", 406},
        {{hand("Ah Kd"), hand("Qs Qc"), hand("Th 9h")}, "6c 7d 8h", 351},
        {{hand("Ah Kd"), hand("Qs Qc")}, "6c 7d 8h 9s", 28},
        {{hand("Ah Kd"), hand("Qs Qc"), hand("Th 9h")}, "6c 7d 8h 9s", 26},
        {{hand("Ah Kd"), hand("Qs Qc")}, "6c 7d 8h 9s Jc", 1},
    };
    for (const Case& c : cases) {
        const EquityResult result = enumerate_equity(c.hands, cards(c.board));
        EXPECT_EQ(result.total, c.boards) << c.board;
        double sum = 0;
        for (std::size_t p = 0; p < c.hands.size(); ++p) sum += result.equity(p);
        EXPECT_NEAR(sum, 1.0, 1e-12);
    }
}

TEST(EnumerateEquity, SplitsPotsExactly) {
    // The board's royal flush plays for everybody.
    const std::vector<HoleHand> four = {hand("6c 6d"), hand("7c 7d"), hand("8c 8d"), hand("9c 9d")};
    const EquityResult everyone = enumerate_equity(four, cards("Ts Js Qs Ks As"));
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(everyone.wins[p], 0);
        EXPECT_DOUBLE_EQ(everyone.tie_shares[p], 0.25);
    }
    // Three share the ace-high straight; the fourth's king-high straight loses.
    const std::vector<HoleHand> three_of_four = {hand("Ac 7d"), hand("Ad 7h"), hand("Ah 8c"), hand("6h 9h")};
    const EquityResult three = enumerate_equity(three_of_four, cards("Ts Js Qs Kd 6s"));
    EXPECT_DOUBLE_EQ(three.tie_shares[0], 1.0 / 3);
    EXPECT_DOUBLE_EQ(three.tie_shares[1], 1.0 / 3);
    EXPECT_DOUBLE_EQ(three.tie_shares[2], 1.0 / 3);
    EXPECT_DOUBLE_EQ(three.tie_shares[3], 0.0);
}

TEST(EnumerateEquity, RefusesCardsOutsideTheDeck) {
    const std::vector<HoleHand> hands = {{{5, 0}, {14, 2}}, hand("Qs Qc")};
    EXPECT_THROW(enumerate_equity(hands, {}), std::invalid_argument);
}

TEST(LibraryEnumeration, OnePlayerWinsEverything) {
    const auto results = enumeration_equity_or_estimate(std::vector<HoleHand>{hand("6c 7d")}, cards("Ah"));
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0], 1.0);
}

TEST(LibraryEnumeration, SixBoardCardsShareEqually) {
    const std::vector<HoleHand> hands = {hand("Ah Kd"), hand("Qs Qc"), hand("7h 7s")};
    const auto results = enumeration_equity_or_estimate(hands, cards("6c 7d 8h 9s Jc Tc"));
    for (const double r : results) EXPECT_DOUBLE_EQ(r, 1.0 / 3);
}

TEST(LibraryEnumeration, CompleteBoardNeedsNoWalk) {
    const std::vector<HoleHand> hands = {hand("Ah Kd"), hand("Qs Qc"), hand("As Kc"), hand("7h 7s"), hand("6h 6s")};
    const auto results = enumeration_equity_or_estimate(hands, cards("Qd Jh Td 8c 9c"));
    const std::vector<double> expected = {0.5, 0.0, 0.5, 0.0, 0.0}; // two broadway straights
    EXPECT_EQ(results, expected);
}

TEST(LibraryEnumeration, FivePlayersWithCardsToComeFallBackToMonteCarlo) {
    const std::vector<HoleHand> hands = {hand("Ah Kd"), hand("Qs Qc"), hand("As Kc"), hand("7h 7s"), hand("6h 6s")};
    const Board flop = cards("Qd Jh 8c");
    seed_generator(99);
    const auto fallback = enumeration_equity_or_estimate(hands, flop);
    seed_generator(99);
    std::vector<double> estimate;
    monte_carlo_equity(hands, flop, 2'000'000, estimate);
    EXPECT_EQ(fallback, estimate);
    // Four players are still enumerated: exactly the walk's fractions.
    const std::vector<HoleHand> four(hands.begin(), hands.begin() + 4);
    const auto exact = enumeration_equity_or_estimate(four, flop);
    const EquityResult counted = enumerate_equity(four, flop);
    for (std::size_t p = 0; p < 4; ++p) EXPECT_EQ(exact[p], counted.equity(p));
}

TEST(LibraryEnumeration, RepeatedCardsAreSimplyInPlayTwice) {
    const std::vector<HoleHand> hands = {hand("Ah Kd"), hand("Ah Qc")};
    const Board flop = cards("Kh 7d 8h");
    const auto results = enumeration_equity_or_estimate(hands, flop);
    const EquityResult plain = testing::plain_enumerate(hands, flop);
    EXPECT_EQ(plain.total, completion_count(30, 2));
    for (std::size_t p = 0; p < 2; ++p) EXPECT_NEAR(results[p], plain.equity(p), 1e-12);
}

TEST(CompletionCount, CountsBoards) {
    EXPECT_EQ(completion_count(32, 5), 201'376u);
    EXPECT_EQ(completion_count(29, 2), 406u);
    EXPECT_EQ(completion_count(36, 5), 376'992u);
    EXPECT_EQ(completion_count(27, 0), 1u);
    EXPECT_EQ(completion_count(3, 5), 0u);
}

} // namespace
} // namespace varnolith
