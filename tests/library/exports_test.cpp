// The library as a host sees it: flat records through the public C header.

#include <gtest/gtest.h>

#include <varnolith/varnolith.h>

#include <cmath>
#include <thread>
#include <vector>

namespace {

// AhKd, QsQc, AsKc, 7h7s, 6h6s as hole-hand records.
const int32_t hands5[20] = {14, 2, 13, 1, 12, 3, 12, 0, 14, 3, 13, 0, 7, 2, 7, 3, 6, 2, 6, 3};
const int32_t flop[6] = {6, 0, 7, 1, 8, 2};                      // 6c 7d 8h
const int32_t river[10] = {12, 1, 11, 2, 10, 1, 8, 0, 9, 0};     // Qd Jh Td 8c 9c
const int32_t six_cards[12] = {12, 1, 11, 2, 10, 1, 8, 0, 9, 0, 6, 0};

double sum(const std::vector<double>& v) {
    double s = 0;
    for (const double x : v) s += x;
    return s;
}

TEST(ComputeEquityEnumeration, EnumeratesTheFlop) {
    std::vector<double> results(2);
    compute_equity_enumeration(hands5, 2, flop, 3, results.data());
    // AhKd against QsQc on 6c 7d 8h, over 406 boards: AhKd wins 195 outright
    // (any nine makes its A-6-7-8-9 straight), QsQc 183, and 28 are split.
    EXPECT_DOUBLE_EQ(results[0], 209.0 / 406);
    EXPECT_DOUBLE_EQ(results[1], 197.0 / 406);
    EXPECT_NEAR(sum(results), 1.0, 1e-12);
}

TEST(ComputeEquityEnumeration, CompleteBoardSplitsAmongTheBest) {
    std::vector<double> results(5);
    compute_equity_enumeration(hands5, 5, river, 5, results.data());
    EXPECT_EQ(results, (std::vector<double>{0.5, 0.0, 0.5, 0.0, 0.0}));
    compute_equity_enumeration(hands5, 3, six_cards, 6, results.data());
    for (int p = 0; p < 3; ++p) EXPECT_DOUBLE_EQ(results[static_cast<std::size_t>(p)], 1.0 / 3);
}

TEST(ComputeEquityEnumeration, FivePlayersOnAFlopAreEstimated) {
    std::vector<double> fallback(5), estimate(5);
    set_seed(7);
    compute_equity_enumeration(hands5, 5, flop, 3, fallback.data());
    set_seed(7);
    compute_equity_montecarlo_ultra_fast(hands5, 5, flop, 3, 2'000'000, estimate.data());
    EXPECT_EQ(fallback, estimate);
}

TEST(EquityExports, OnePlayerGetsEverything) {
    double result = -1;
    compute_equity_enumeration(hands5, 1, nullptr, 0, &result);
    EXPECT_EQ(result, 1.0);
    result = -1;
    compute_equity_montecarlo_ultra_fast(hands5, 1, flop, 3, 1000, &result);
    EXPECT_EQ(result, 1.0);
}

TEST(EquityExports, NoPlayersWritesNothing) {
    double results[2] = {-1, -1};
    compute_equity_enumeration(hands5, 0, flop, 3, results);
    compute_equity_enumeration(hands5, -3, flop, 3, results);
    compute_equity_montecarlo_ultra_fast(hands5, 0, flop, 3, 100, results);
    compute_equity_montecarlo_ultra_fast(hands5, -1, flop, 3, 100, results);
    EXPECT_EQ(results[0], -1);
    EXPECT_EQ(results[1], -1);
}

TEST(EquityExports, NegativeBoardCountIsAnEmptyBoard) {
    std::vector<double> empty(2), negative(2);
    compute_equity_enumeration(hands5, 2, flop, 0, empty.data());
    compute_equity_enumeration(hands5, 2, flop, -4, negative.data());
    EXPECT_EQ(empty, negative);
}

TEST(EquityExports, FailuresGiveEveryPlayerAnEqualShare) {
    const int32_t bad_rank[8] = {14, 2, 13, 1, 12, 3, 5, 0};
    const int32_t bad_suit[8] = {14, 2, 13, 9, 12, 3, 12, 0};
    const int32_t bad_board[6] = {6, 0, 7, 1, 8, -1};
    std::vector<double> results(2);
    for (const int32_t* hands : {bad_rank, bad_suit}) {
        compute_equity_enumeration(hands, 2, flop, 3, results.data());
        EXPECT_EQ(results, (std::vector<double>{0.5, 0.5}));
        results = {0, 0};
        compute_equity_montecarlo_ultra_fast(hands, 2, nullptr, 0, 1000, results.data());
        EXPECT_EQ(results, (std::vector<double>{0.5, 0.5}));
    }
    compute_equity_enumeration(hands5, 2, bad_board, 3, results.data());
    EXPECT_EQ(results, (std::vector<double>{0.5, 0.5}));
    compute_equity_enumeration(nullptr, 2, flop, 3, results.data());
    EXPECT_EQ(results, (std::vector<double>{0.5, 0.5}));
    // Sixteen hands leave too few cards to deal a board.
    std::vector<int32_t> sixteen;
    for (int c = 0; c < 32; ++c) {
        sixteen.push_back(6 + c / 4);
        sixteen.push_back(c % 4);
    }
    std::vector<double> many(16);
    compute_equity_montecarlo_ultra_fast(sixteen.data(), 16, nullptr, 0, 1000, many.data());
    for (const double r : many) EXPECT_EQ(r, 1.0 / 16);
    compute_equity_enumeration(sixteen.data(), 16, nullptr, 0, many.data());
    for (const double r : many) EXPECT_EQ(r, 1.0 / 16);
}

TEST(ComputeEquityMontecarlo, NonPositiveIterationsGiveNaNOrNegativeZero) {
    std::vector<double> results(2);
    compute_equity_montecarlo_ultra_fast(hands5, 2, flop, 3, 0, results.data());
    EXPECT_TRUE(std::isnan(results[0]) && std::isnan(results[1]));
    compute_equity_montecarlo_ultra_fast(hands5, 2, flop, 3, -1, results.data());
    EXPECT_TRUE(results[0] == 0.0 && std::signbit(results[0]) && std::signbit(results[1]));
}

TEST(ComputeEquityMontecarlo, RepeatedCardsAreSimplyInPlayTwice) {
    const int32_t twice[8] = {14, 2, 13, 1, 14, 2, 13, 1}; // the same hand twice
    std::vector<double> results(2);
    compute_equity_montecarlo_ultra_fast(twice, 2, flop, 3, 10'000, results.data());
    EXPECT_DOUBLE_EQ(results[0], 0.5);
    EXPECT_DOUBLE_EQ(results[1], 0.5);
}

TEST(EquityExports, ManyHostThreadsAtOnce) {
    std::vector<std::thread> hosts;
    std::vector<int> failures(8, 0);
    for (int h = 0; h < 8; ++h) {
        hosts.emplace_back([h, &failures] {
            for (int round = 0; round < 5; ++round) {
                std::vector<double> results(3);
                if (h % 2) compute_equity_montecarlo_ultra_fast(hands5, 3, flop, 3, 20'000, results.data());
                else compute_equity_enumeration(hands5, 3, flop, 3, results.data());
                double total = 0;
                for (const double r : results) {
                    if (!(r >= 0.0 && r <= 1.0)) ++failures[static_cast<std::size_t>(h)];
                    total += r;
                }
                if (std::fabs(total - 1.0) > 1e-9) ++failures[static_cast<std::size_t>(h)];
                if (h == 3) set_seed(static_cast<uint32_t>(round));
            }
        });
    }
    for (std::thread& t : hosts) t.join();
    EXPECT_EQ(failures, std::vector<int>(8, 0));
}

TEST(EvaluateHandDirect, RanksSevenCardRecords) {
    const int32_t royal[14] = {10, 3, 11, 3, 12, 3, 13, 3, 14, 3, 6, 0, 7, 1};
    EXPECT_EQ(evaluate_hand_direct(royal, 7), 8'000'014);
    const int32_t wheel_flush[14] = {14, 2, 6, 2, 7, 2, 8, 2, 9, 2, 13, 0, 12, 1};
    EXPECT_EQ(evaluate_hand_direct(wheel_flush, 7), 8'000'009);
}

TEST(EvaluateHandDirect, OtherCountsGiveZeroWithoutReadingTheCards) {
    EXPECT_EQ(evaluate_hand_direct(nullptr, 6), 0);
    EXPECT_EQ(evaluate_hand_direct(nullptr, 8), 0);
    EXPECT_EQ(evaluate_hand_direct(nullptr, -1), 0);
    EXPECT_EQ(evaluate_hand_direct(nullptr, 7), 0);
}

TEST(EvaluateHandDirect, CardsOutsideTheDeckGiveZero) {
    int32_t cards[14] = {10, 3, 11, 3, 12, 3, 13, 3, 14, 3, 6, 0, 7, 1};
    cards[6] = 99;
    EXPECT_EQ(evaluate_hand_direct(cards, 7), 0);
    cards[6] = 12;
    cards[13] = -7;
    EXPECT_EQ(evaluate_hand_direct(cards, 7), 0);
}

} // namespace
