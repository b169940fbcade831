#include <gtest/gtest.h>
#include <omp.h>

#include <cmath>
#include <sstream>

#include "card_text.hpp"
#include "thread_count.hpp"
#include "console_monte_carlo.hpp"
#include "enumeration.hpp"

namespace varnolith {
namespace {

using testing::cards;
using testing::hand;

using testing::ThreadCount;

double pots(const EquityResult& r) {
    double sum = 0;
    for (std::size_t p = 0; p < r.wins.size(); ++p) sum += static_cast<double>(r.wins[p]) + r.tie_shares[p];
    return sum;
}

TEST(ConsoleShare, LastThreadTakesTheRemainder) {
    for (int t = 0; t < 7; ++t) EXPECT_EQ(console_share(19, 8, t).last - console_share(19, 8, t).first, 2);
    EXPECT_EQ(console_share(19, 8, 7).first, 14);
    EXPECT_EQ(console_share(19, 8, 7).last, 19);
    for (int t = 0; t < 7; ++t) EXPECT_EQ(console_share(5, 8, t).last, console_share(5, 8, t).first);
    EXPECT_EQ(console_share(5, 8, 7).last - console_share(5, 8, 7).first, 5);
}

TEST(ConsoleMonteCarlo, RunsExactlyTheTrialsOnTheTeam) {
    const ThreadCount eight(8);
    const std::vector<HoleHand> hands = {hand("Ah Kd"), hand("Qs Qc")};
    int team = 0;
    const EquityResult result = console_monte_carlo(hands, {}, 19, {}, &team);
    EXPECT_EQ(team, 8);
    EXPECT_EQ(result.total, 19);
    EXPECT_DOUBLE_EQ(pots(result), 19.0);
}

TEST(ConsoleMonteCarlo, CapsTheTeamAtSixteen) {
    const ThreadCount many(40);
    int team = 0;
    console_monte_carlo(std::vector<HoleHand>{hand("Ah Kd"), hand("Qs Qc")}, {}, 100, {}, &team);
    EXPECT_EQ(team, 16);
}

TEST(ConsoleMonteCarlo, CompleteBoardCountsWinsAndSplits) {
    const std::vector<HoleHand> hands = {hand("Ah Kd"), hand("Qs Qc"), hand("As Kc")};
    const EquityResult split = console_monte_carlo(hands, cards("Qd Jh Td 8c 9c"), 1000);
    EXPECT_EQ(split.wins, (std::vector<int64_t>{0, 0, 0}));
    EXPECT_EQ(split.tie_shares, (std::vector<double>{500, 0, 500}));
    const EquityResult sole = console_monte_carlo(std::vector<HoleHand>{hands[0], hands[1]}, cards("Qd Jh Td 8c 9c"), 1000);
    EXPECT_EQ(sole.wins, (std::vector<int64_t>{1000, 0}));
}

TEST(ConsoleMonteCarlo, ElevenToFifteenPlayersAreTalliedInFull) {
    const auto deck = full_deck();
    for (const int players : {11, 15}) {
        std::vector<HoleHand> hands;
        for (int p = 0; p < players; ++p) hands.push_back({deck[2 * p], deck[2 * p + 1]});
        const EquityResult result = console_monte_carlo(hands, {}, 20'000);
        ASSERT_EQ(result.wins.size(), static_cast<std::size_t>(players));
        EXPECT_NEAR(pots(result), 20'000.0, 1e-6);
        EXPECT_GT(result.wins[static_cast<std::size_t>(players - 1)], 0); // the last player's figures are kept too
    }
}

TEST(ConsoleMonteCarlo, StaysWithinFiveStandardErrorsOfEnumeration) {
    const std::vector<HoleHand> hands = {hand("Ah Kh"), hand("Qs Qc"), hand("9s 8s")};
    const Board board = cards("Th 7s");
    const EquityResult exact = enumerate_equity(hands, board);
    constexpr int32_t trials = 300'000;
    const EquityResult estimate = console_monte_carlo(hands, board, trials);
    for (std::size_t p = 0; p < hands.size(); ++p) {
        const double e = exact.equity(p);
        EXPECT_NEAR(estimate.equity(p), e, 5 * std::sqrt(e * (1 - e) / trials)) << p;
    }
}

TEST(RunMonteCarlo, PrintsNothingWithoutTrialsOrHands) {
    std::ostringstream out;
    run_monte_carlo(std::vector<HoleHand>{hand("Ah Kd"), hand("Qs Qc")}, {}, 0, out);
    run_monte_carlo(std::vector<HoleHand>{hand("Ah Kd"), hand("Qs Qc")}, {}, -3, out);
    run_monte_carlo({}, {}, 100, out);
    EXPECT_EQ(out.str(), "");
}

TEST(RunMonteCarlo, DrawsTheProgressLineAndErasesItBeforeTheReport) {
    std::ostringstream out, progress;
    ProgressLine line{&progress};
    line.first_look = 0; // show it from the first slice on, as on a long run
    line.worth_showing = 0;
    run_monte_carlo(std::vector<HoleHand>{hand("Ah Kd"), hand("Qs Qc")}, {}, 300'000, out, line);
    const std::string drawn = progress.str();
    EXPECT_EQ(drawn.rfind("\r", 0), 0u);
    EXPECT_NE(drawn.find("% done, "), std::string::npos);
    EXPECT_NE(drawn.find(" trials/s"), std::string::npos);
    const std::string erase = "\r" + std::string(48, ' ') + "\r";
    ASSERT_GE(drawn.size(), erase.size());
    EXPECT_EQ(drawn.substr(drawn.size() - erase.size()), erase);
    EXPECT_EQ(out.str().rfind("Equity: ", 0), 0u); // the report itself is untouched
}

TEST(RunMonteCarlo, ShowsProgressOnlyWhereAsked) {
    std::ostringstream out, progress;
    run_monte_carlo(std::vector<HoleHand>{hand("Ah Kd"), hand("Qs Qc")}, {}, 1000, out, {&progress});
    EXPECT_EQ(progress.str(), ""); // a short run draws no line
    EXPECT_EQ(out.str().rfind("Equity: ", 0), 0u);
}

} // namespace
} // namespace varnolith
