#include <gtest/gtest.h>
#include <omp.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <set>

#include "test_cards.hpp"
#include "enumeration.hpp"
#include "monte_carlo.hpp"
#include "reference_evaluator.hpp"
#include "seeding.hpp"
#include "trial.hpp"

namespace varnolith {
namespace {

using testing::cards;
using testing::hand;

// Each value is checked against both evaluators, so the reference is pinned too.
TEST(EvaluateSeven, GivesTheKnownValuesInAnyOrder) {
    const std::pair<const char*, HandValue> known[] = {
        {"Ts Js Qs Ks As 6c 7d", 8'000'014}, {"Ah 6h 7h 8h 9h Kc Qd", 8'000'009}, // A-6-7-8-9: the lowest straight
        {"6h 7h 8h 9h Th Jc Kd", 8'000'010}, {"Ac Ad Ah As Kc 6d 7h", 7'001'413},
        {"6c 6d 6h 6s Ac Ad Ah", 7'000'614}, {"Ah Kh 9h 7h 6h 8c Qd", 6'754'761}, // a flush beats a straight
        {"Ah Kh Qh Jh 9h 7h 8c", 6'755'499}, {"Kc Kd Kh Ac Ad 6h 7s", 5'001'314}, // and loses to a full house
        {"7c 7d 7h 8c 8d 8h Ac", 5'000'807}, {"6c 6d 6h 9c 9d Th Ts", 5'000'610},
        {"Ac 6d 7h 8s 9c Qd Qh", 4'000'009}, {"6c 6d 6h 7s 8c 9d Th", 4'000'010},
        {"9c 9d 9h Ac Kd 6h 7s", 3'091'413}, {"Ac Ad Kc Kd Qh Qs 6c", 2'141'312}, // the third pair as kicker
        {"7c 7d 8c 8d 9h 9s Ac", 2'090'814}, {"6c 6d Ah Ks Qc Jd 9h", 1'061'542},
        {"Ac Kd Qh Js 9c 7d 6h", 755'499},   {"Ah Ah Kh Qh Jh 6c 7d", 6'759'116}, // a card listed twice counts twice
    };
    std::mt19937 random(7);
    for (const auto& [text, value] : known) {
        auto seven = cards(text);
        EXPECT_EQ(testing::reference_evaluate(seven), value) << text;
        for (int i = 0; i < 10; ++i, std::shuffle(seven.begin(), seven.end(), random))
            EXPECT_EQ(evaluate_seven(seven), value) << text;
    }
}

TEST(EvaluateSeven, OtherLengthsAndCardsOutsideTheDeckEvaluateNothing) {
    EXPECT_EQ(evaluate_seven(cards("Ts Js Qs Ks As 6c")), 0);
    EXPECT_EQ(evaluate_seven(cards("Ts Js Qs Ks As 6c 7d 8d")), 0);
    for (const Card bad : {Card{5, 0}, Card{15, 1}, Card{6, 4}, Card{6, -1}, Card{INT32_MAX, 3}, Card{14, INT32_MIN}})
        for (std::size_t at = 0; at < 7; ++at) {
            auto seven = cards("Ts Js Qs Ks As 6c 7d");
            seven[at] = bad;
            EXPECT_EQ(evaluate_seven(seven), 0) << bad.rank << "," << bad.suit << " at " << at;
        }
}

// Lists drawn from a few neighbouring cards repeat cards often, up to five of a kind.
TEST(EvaluateSeven, MatchesTheReferenceOnRepeatedCards) {
    std::mt19937 random(11);
    const auto deck = full_deck();
    for (int i = 0; i < 200'000; ++i) {
        std::vector<Card> seven;
        const auto base = random() % 28;
        for (int j = 0; j < 7; ++j) seven.push_back(deck[(i & 1) ? random() % 36 : base + random() % 8]);
        ASSERT_EQ(evaluate_seven(seven), testing::reference_evaluate(seven));
    }
}

const std::vector<HoleHand> heads_up = {hand("Ah Kd"), hand("Qs Qc")};
const std::vector<HoleHand> three = {hand("Ah Kh"), hand("Qs Qc"), hand("9s 8s")};
const std::vector<HoleHand> five = {hand("6c 6d"), hand("7c 7d"), hand("As Ks"), hand("Tc 9c"), hand("Ad Kc")};
const std::vector<HoleHand> four(five.begin(), five.end() - 1), sixteen_alike(16, hand("6c 7d")); // all play the board

// Every number of cards to come, splits of two to sixteen, and card lists for repeated cards.
TEST(EnumerateEquity, CountsWinsAndSplitsExactly) {
    const std::tuple<std::vector<HoleHand>, const char*, int64_t, std::vector<int64_t>, std::vector<double>> spots[] = {
        {heads_up, "", 201'376, {102'708, 96'682}, {993, 993}},
        {four, "Qh Jh", 2'600, {280, 375, 876, 990}, {19.75, 19.75, 19.75, 19.75}},
        {three, "Th", 23'751, {10'610, 6'536, 6'444}, {161. / 3, 161. / 3, 161. / 3}},
        {heads_up, "6c 7d 8h", 406, {195, 183}, {14, 14}}, // any nine gives AhKd the A-6-7-8-9 straight
        {three, "Th 7c Jd 6s", 26, {2, 0, 24}, {0, 0, 0}},
        {{hand("Ac 7d"), hand("Ad 7h"), hand("Ah 8c"), hand("6h 9h")}, "Ts Js Qs Kd 6s", 1, {0, 0, 0, 0},
         {1. / 3, 1. / 3, 1. / 3, 0}},
        {{hand("Ah Kd"), hand("Ah Qc")}, "Kh 7d 8h", 435, {387, 18}, {15, 15}},
        {sixteen_alike, "Ts Js Qs Ks As", 1, std::vector<int64_t>(16), std::vector<double>(16, 1. / 16)},
    };
    for (const auto& [hands, board, total, wins, ties] : spots) {
        const EquityResult result = enumerate_equity(hands, cards(board));
        EXPECT_EQ(result.total, total) << board;
        EXPECT_EQ(result.wins, wins) << board;
        for (std::size_t p = 0; p < hands.size(); ++p) EXPECT_DOUBLE_EQ(result.tie_shares[p], ties[p]) << board;
    }
    EXPECT_EQ(completion_count(32, 5), 201'376u);
    EXPECT_EQ(completion_count(3, 5), 0u);
}

TEST(LibraryEnumeration, AnswersEachKindOfSpot) {
    EXPECT_EQ(enumeration_equity_or_estimate(std::array{hand("6c 7d")}, cards("Ah")), std::vector<double>{1.0});
    EXPECT_EQ(enumeration_equity_or_estimate(five, cards("Qd Jh Td 8s 9s")), (std::vector<double>{0, 0, 0.5, 0, 0.5}));
    // More than five board cards: nothing is evaluated and everyone shares.
    EXPECT_EQ(enumeration_equity_or_estimate(three, cards("6c 7d 8h 9s Jc Tc")), std::vector<double>(3, 1. / 3));
    // Four players with cards to come are enumerated, five estimated from 2,000,000 trials.
    EXPECT_EQ(enumeration_equity_or_estimate(four, cards("Qh Jh"))[1], 394.75 / 2'600);
    std::vector<double> fallback, estimate;
    seed_generator(99);
    fallback = enumeration_equity_or_estimate(five, cards("Qh Jh 8c"));
    seed_generator(99);
    monte_carlo_equity(five, cards("Qh Jh 8c"), 2'000'000, estimate);
    EXPECT_EQ(fallback, estimate);
}

// Packed bits stand for distinct cards only; anything else is evaluated from card lists.
TEST(TrialPlan, TakesTheCardListRoadOnlyWhenItMust) {
    const std::tuple<std::vector<HoleHand>, const char*, bool> cases[] = {
        {heads_up, "6c 7d 8h", false}, {heads_up, "6c 7d Qs", true}, {{hand("Ah Kd"), hand("Ah Qc")}, "6c 7d 8h", true},
        {heads_up, "6c 7d 8h 9s Jc Tc", true}};
    for (const auto& [hands, board, by_lists] : cases)
        EXPECT_EQ(make_trial_plan(hands, cards(board), DeckOrder::rank_major, 0).by_lists, by_lists) << board;
}

// No two draws of a run share a number, and reducing one to the deck is exact.
TEST(TrialRandom, DrawsAreDistinctAndReducedExactly) {
    std::set<uint64_t> words;
    for (uint64_t trial = 0; trial < 64; ++trial)
        for (uint32_t w = 0; w < 3; ++w) words.insert(trial_word(2026, trial, w));
    EXPECT_EQ(words.size(), 64u * 3);
    std::mt19937 random(5);
    for (uint32_t d = 1; d <= 36; ++d)
        for (uint32_t x = UINT32_MAX, i = 0; i < 1000; x = static_cast<uint32_t>(random()), ++i)
            ASSERT_EQ(FastModulo(d)(x), x % d) << x << " mod " << d;
}

TEST(MonteCarloEquity, StaysWithinFiveStandardErrorsOfTheExactEquity) {
    // One spot for each number of cards to come, from five to one.
    const std::pair<std::vector<HoleHand>, const char*> spots[] = {
        {heads_up, ""}, {three, "Th"}, {four, "Qh Jh"}, {heads_up, "6c 7d 8h"},
        {{hand("As Ks"), hand("Qh Qc")}, "6s 7s Jd 8c"}};
    for (const auto& [hands, board] : spots) {
        const EquityResult exact = enumerate_equity(hands, cards(board));
        std::vector<double> estimate;
        monte_carlo_equity(hands, cards(board), 400'000, estimate);
        for (std::size_t p = 0; p < hands.size(); ++p) {
            const double x = exact.equity(p);
            EXPECT_NEAR(estimate[p], x, 5 * std::sqrt(x * (1 - x) / 400'000)) << board;
        }
    }
}

TEST(MonteCarloEquity, GivesExactAnswersWhereNothingIsLeftToChance) {
    omp_set_num_threads(4); // the threads' sums of large splits are merged
    std::vector<double> results;
    monte_carlo_equity(five, cards("Qd Jh Td 8s 9s"), 1'000, results);
    EXPECT_EQ(results, (std::vector<double>{0, 0, 0.5, 0, 0.5}));
    monte_carlo_equity(sixteen_alike, cards("Ts Js Qs Ks As"), 1'000, results);
    EXPECT_EQ(results, std::vector<double>(16, 1. / 16));
    monte_carlo_equity(heads_up, {}, 0, results);
    EXPECT_TRUE(std::isnan(results[0]) && std::isnan(results[1]));
    monte_carlo_equity(heads_up, {}, -5, results);
    EXPECT_TRUE(results[0] == 0.0 && std::signbit(results[0]) && std::signbit(results[1]));
    // A single trial settles a single pot: each share is 0 or 1/m, and they add up to 1.
    for (uint32_t seed = 0; seed < 20; ++seed) {
        seed_generator(seed);
        monte_carlo_equity(std::array{hand("Ah Kd"), hand("As Kc"), hand("7c 7d")}, cards("6s 8h"), 1, results);
        const auto m = static_cast<double>(std::ranges::count_if(results, [](double r) { return r > 0; }));
        for (const double r : results) EXPECT_TRUE(r == 0 || r == 1 / m) << r;
        EXPECT_DOUBLE_EQ(results[0] + results[1] + results[2], 1.0);
    }
}

TEST(MonteCarloTallies, RunExactlyTheTrialsAskedForOnTheTeamThatRuns) {
    const Board river = cards("6c 7d 8h 9s Jc"); // AhKd wins every trial
    omp_set_num_threads(8);
    int team = 0, teams[2] = {0, 0};
    EXPECT_EQ(monte_carlo_tallies(heads_up, river, 19, &team)[0].wins, 19);
    EXPECT_EQ(monte_carlo_tallies(heads_up, river, 5)[0].wins, 5);
    EXPECT_EQ(team, 8);
    // Inside a host's own parallel region the nested team is smaller.
    int64_t won[2] = {0, 0};
#pragma omp parallel num_threads(2)
    won[omp_get_thread_num()] = monte_carlo_tallies(heads_up, river, 1'001, &teams[omp_get_thread_num()])[0].wins;
    EXPECT_EQ(won[0] + won[1], 2'002);
    EXPECT_LT(teams[0], 8);
}

TEST(MonteCarloEquity, IsReproducibleWhateverTheThreadCount) {
    std::vector<std::vector<double>> runs;
    for (const int threads : {1, 2, 16}) {
        omp_set_num_threads(threads);
        seed_generator(2026);
        for (int run = 0; run < 2; ++run) monte_carlo_equity(three, cards("Th"), 100'003, runs.emplace_back());
    }
    EXPECT_NE(runs[0], runs[1]); // each run takes a new key
    for (std::size_t r = 2; r < runs.size(); ++r) EXPECT_EQ(runs[r], runs[r % 2]) << r;
}

} // namespace
} // namespace varnolith
