#include <gtest/gtest.h>
#include <omp.h>

#include <cmath>

#include "card_text.hpp"
#include "thread_count.hpp"
#include "enumeration.hpp"
#include "monte_carlo.hpp"
#include "seeding.hpp"

namespace varnolith {
namespace {

using testing::cards;
using testing::hand;

using testing::ThreadCount;

int64_t pots_counted(const std::vector<PlayerTally>& tallies) {
    double pots = 0;
    for (const PlayerTally& t : tallies) pots += static_cast<double>(t.wins) + t.tie_share();
    return std::llround(pots);
}

TEST(MonteCarloEquity, StaysWithinFiveStandardErrorsOfTheExactEquity) {
    struct Spot {
        std::vector<HoleHand> hands;
        const char* board;
    };
    const Spot spots[] = {
        {{hand("Ah Kd"), hand("Qs Qc")}, ""},
        {{hand("Ah Kd"), hand("Qs Qc")}, "6c 7d 8h"},
        {{hand("Ah Kh"), hand("Qs Qc"), hand("9s 8s")}, "Th"},
        {{hand("6c 6d"), hand("7c 7d"), hand("As Ks"), hand("Tc 9c")}, "Qh Jh"},
    };
    constexpr int32_t trials = 400'000;
    for (const Spot& spot : spots) {
        const Board board = cards(spot.board);
        const EquityResult exact = enumerate_equity(spot.hands, board);
        std::vector<double> estimate;
        monte_carlo_equity(spot.hands, board, trials, estimate);
        for (std::size_t p = 0; p < spot.hands.size(); ++p) {
            const double e = exact.equity(p);
            const double standard_error = std::sqrt(std::max(e * (1 - e), 1e-6) / trials);
            EXPECT_NEAR(estimate[p], e, 5 * standard_error) << spot.board << " player " << p;
        }
    }
}

TEST(MonteCarloEquity, CompleteBoardGivesExactShares) {
    const std::vector<HoleHand> hands = {hand("Ah Kd"), hand("Qs Qc"), hand("As Kc")};
    std::vector<double> results;
    monte_carlo_equity(hands, cards("Qd Jh Td 8c 9c"), 1'000, results);
    EXPECT_EQ(results, (std::vector<double>{0.5, 0.0, 0.5}));
    monte_carlo_equity(std::vector<HoleHand>{hand("6c 7d")}, {}, 1'000, results);
    EXPECT_EQ(results, std::vector<double>{1.0});
}

TEST(MonteCarloEquity, NonPositiveTrialCountsGiveNaNOrNegativeZero) {
    const std::vector<HoleHand> hands = {hand("Ah Kd"), hand("Qs Qc")};
    std::vector<double> results;
    monte_carlo_equity(hands, {}, 0, results);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_TRUE(std::isnan(results[0]) && std::isnan(results[1]));
    monte_carlo_equity(hands, {}, -5, results);
    EXPECT_TRUE(results[0] == 0.0 && std::signbit(results[0]) && std::signbit(results[1]));
    monte_carlo_equity({}, {}, 100, results);
    EXPECT_TRUE(results.empty());
}

TEST(MonteCarloEquity, RefusesWhatCannotBeDealt) {
    std::vector<HoleHand> sixteen;
    const auto deck = full_deck();
    for (int p = 0; p < 16; ++p) sixteen.push_back({deck[2 * p], deck[2 * p + 1]});
    std::vector<double> results;
    EXPECT_THROW(monte_carlo_equity(sixteen, {}, 100, results), std::invalid_argument);
    const std::vector<HoleHand> bad = {{{14, 2}, {13, 7}}, hand("Qs Qc")};
    EXPECT_THROW(monte_carlo_equity(bad, {}, 100, results), std::invalid_argument);
}

TEST(TrialSplit, FrontLoadsTheRemainder) {
    int64_t next = 0;
    for (int t = 0; t < 8; ++t) {
        const TrialRange range = front_loaded_share(19, 8, t);
        EXPECT_EQ(range.first, next);
        EXPECT_EQ(range.last - range.first, t < 3 ? 3 : 2) << t;
        next = range.last;
    }
    EXPECT_EQ(next, 19);
    EXPECT_EQ(front_loaded_share(3, 8, 2).last - front_loaded_share(3, 8, 2).first, 1);
    EXPECT_EQ(front_loaded_share(3, 8, 3).last - front_loaded_share(3, 8, 3).first, 0);
}

TEST(MonteCarloTallies, RunExactlyTheTrialsAskedFor) {
    const ThreadCount eight(8);
    const std::vector<HoleHand> hands = {hand("Ah Kd"), hand("Qs Qc"), hand("7c 7d")};
    int team = 0;
    EXPECT_EQ(pots_counted(monte_carlo_tallies(hands, {}, 19, &team)), 19);
    EXPECT_EQ(team, 8);
    EXPECT_EQ(pots_counted(monte_carlo_tallies(hands, {}, 5, &team)), 5);
}

TEST(MonteCarloTallies, ASmallerTeamInsideAHostRegionStillRunsEveryTrial) {
    const std::vector<HoleHand> hands = {hand("Ah Kd"), hand("Qs Qc")};
    const ThreadCount four(4);
    int64_t counted[2] = {0, 0};
    int teams[2] = {0, 0};
#pragma omp parallel num_threads(2)
    {
        const int me = omp_get_thread_num();
        counted[me] = pots_counted(monte_carlo_tallies(hands, {}, 1'001, &teams[me]));
    }
    EXPECT_EQ(counted[0], 1'001);
    EXPECT_EQ(counted[1], 1'001);
    EXPECT_LT(teams[0], 4); // nested regions run smaller teams
}

TEST(MonteCarloEquity, IsReproducibleWhateverTheThreadCount) {
    const std::vector<HoleHand> hands = {hand("Ah Kd"), hand("Qs Qc"), hand("9h 8h")};
    const Board board = cards("Th");
    std::vector<std::vector<double>> runs;
    for (const int threads : {1, 2, 16}) {
        const ThreadCount count(threads);
        seed_generator(2026);
        std::vector<double> first, second;
        monte_carlo_equity(hands, board, 100'003, first);
        monte_carlo_equity(hands, board, 100'003, second);
        EXPECT_NE(first, second); // each run takes a new key
        runs.push_back(first);
        runs.push_back(second);
    }
    EXPECT_EQ(runs[0], runs[2]);
    EXPECT_EQ(runs[0], runs[4]);
    EXPECT_EQ(runs[1], runs[3]);
    EXPECT_EQ(runs[1], runs[5]);
    EXPECT_TRUE(user_seeded());
}

} // namespace
} // namespace varnolith
