// Monte Carlo where plain rejection would throw nearly every draw away: the
// players are drawn one after another and each deal carries a weight.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

#include "ranges/equity.hpp"
#include "ranges/sampling/plan.hpp"
#include "ranges/spot.hpp"

#include "same_figures.hpp"
#include "spot_text.hpp"

namespace varnolith {
namespace {

using testing::make;
using testing::Spot;

RangeSpot crowd(int players) {
    return {std::vector<Range>(static_cast<std::size_t>(players), parse_range("66+, A6+")), {}, {}};
}

bool drawn_in_turn(const RangeSpot& spot) {
    const PreparedSpot prepared = prepare_spot(spot);
    return make_plan(prepared, 0).in_turn;
}

// Tight ranges fighting over the same cards, on a flop or a turn.
const Spot crowded[] = {
    {{"AA, KK, AK", "AA, KK, AKs", "QQ+, AK", "KK+, AQs+"}, "6c 7d 8h", ""},
    // After three AK the fourth player's AK leaves the fifth nothing: dead ends.
    {{"AK", "AK", "AK", "AK, QQ", "AQ, KK"}, "6c 7d 8h", ""},
    {{"AA, KK:0.5", "KK, QQ", "QQ, AA:0.3", "AK", "AQs, KQs, JJ", "AA, QQ, AKs, JJ"}, "6c 7d 8h 9s", "Ts"},
    {{"JJ+, AK", "QQ+, AK:0.6", "KK+, AKs", "AA, KK, AQs+", "AA:0.2, KQs, JJ, AK"}, "9c 7d 6h Tc", "8s"},
    {{"AA, KK", "AA, KK", "AK", "AK, KK", "random"}, "6c 7d 8h", ""}, // any two cards dealt beside
};
// Wide enough for plain rejection.
const Spot loose = {{"QQ+, AK", "random", "T9s, 87s:0.5"}, "", ""};

TEST(RangeInTurn, DrawsInTurnOnlyWhereRejectionFails) {
    for (const Spot& s : crowded) EXPECT_TRUE(drawn_in_turn(make(s))) << s.ranges[0];
    EXPECT_TRUE(drawn_in_turn(crowd(10)));
    // Spots that most draws fit keep plain rejection, and their seeded figures.
    for (const RangeSpot& spot : {make({{"QQ+, AKs", "99-66, AT+", "random"}, "", ""}), make(loose), crowd(4)})
        EXPECT_FALSE(drawn_in_turn(spot));
}

// The equity within five standard errors, and every combination held about
// as often as over the compatible deals: drawn in turn, or by plain rejection
// on each street, with any two cards dealt beside the ranges rather than drawn.
TEST(RangeSampling, StaysWithinFiveStandardErrorsOfExact) {
    std::vector<Spot> spots(std::begin(crowded), std::end(crowded));
    spots.insert(spots.end(), {loose, {{"QQ+:0.5, AKs", "random", "T9s"}, "6c 7d 8h", "9d"},
                               {{"random", "QQ+, AKs, T9s:0.5, AhQh"}, "Ah 7h 8h Kd", ""}, // one- and two-card flushes
                               {{"AA", "KK:0.5", "QQ, JJ, AQs", "TT, 99, 76s"}, "6c 7d 8h 9s Tc", ""}});
    for (const Spot& s : spots) {
        const RangeSpot spot = make(s);
        const RangeResult exact = range_equity_exact(spot);
        const RangeResult estimate = range_equity_monte_carlo(spot, {.trials = 100'000, .seed = 17});
        EXPECT_EQ(estimate.trials, 100'000) << s.ranges[0];
        for (std::size_t p = 0; p < spot.ranges.size(); ++p) {
            SCOPED_TRACE(s.ranges[p]);
            const RangePlayerResult &e = estimate.players[p], &x = exact.players[p];
            EXPECT_GT(e.standard_error, 0.0);
            EXPECT_NEAR(e.equity, x.equity, 5 * e.standard_error);
            EXPECT_NEAR(e.win + e.tie, e.equity, 1e-12);
            for (int c = 0; c < category_count; ++c) EXPECT_NEAR(e.categories[c], x.categories[c], 0.01) << c;
            for (std::size_t i = 0; i < x.hands.size(); ++i)
                EXPECT_NEAR(e.hands[i].weight, x.hands[i].weight, 0.01) << i;
        }
    }
}

// Over many seeded runs the errors, in standard errors, spread about as far
// as a standard normal: the weights and the boards sharing a deal are
// accounted for, neither ignored nor counted twice.
TEST(RangeInTurn, StandardErrorsMeasureTheErrors) {
    for (const Spot& s : {crowded[1], crowded[2]}) {
        const RangeSpot spot = make(s);
        const RangeResult exact = range_equity_exact(spot);
        double squares = 0;
        int count = 0;
        for (uint64_t seed = 1; seed <= 12; ++seed) {
            const RangeResult estimate = range_equity_monte_carlo(spot, {.trials = 20'000, .seed = seed});
            for (std::size_t p = 0; p < spot.ranges.size(); ++p, ++count) {
                const RangePlayerResult& e = estimate.players[p];
                squares += std::pow((e.equity - exact.players[p].equity) / e.standard_error, 2);
            }
        }
        const double spread = std::sqrt(squares / count);
        EXPECT_GT(spread, 0.6) << s.ranges[0];
        EXPECT_LT(spread, 1.5) << s.ranges[0];
    }
}

// Drawn in turn or by plain rejection, a seed gives the same figures on any
// number of threads.
TEST(RangeInTurn, IsReproducibleWhateverTheThreadCount) {
    for (const RangeSpot& spot : {make(crowded[4]), make(loose)}) {
        for (RangeOptions options : {RangeOptions{.trials = 30'011, .seed = 5}, {.precision = 0.003, .seed = 6}}) {
            options.threads = 1;
            const RangeResult first = range_equity_monte_carlo(spot, options);
            for (options.threads = 2; options.threads <= 3; ++options.threads) {
                const RangeResult run = range_equity_monte_carlo(spot, options);
                testing::expect_identical(run, first);
                EXPECT_EQ(run.trials, first.trials);
                for (std::size_t p = 0; p < spot.ranges.size(); ++p) {
                    EXPECT_EQ(run.players[p].standard_error, first.players[p].standard_error);
                    for (std::size_t i = 0; i < first.players[p].hands.size(); ++i)
                        EXPECT_EQ(run.players[p].hands[i].weight, first.players[p].hands[i].weight);
                }
            }
        }
    }
}

// To a precision every player gets there, ten wide ranges preflop too, where
// rejection would need some hundred thousand draws per deal and each equity is
// a tenth by symmetry. Progress only moves forward, drawn in turn or not, also
// when the run finds it needs more trials than it thought; a cancel stops both
// drivers.
TEST(RangeInTurn, ReachesThePrecisionReportsProgressAndStopsWhenCancelled) {
    const std::atomic<bool> stop{true};
    for (const auto& [spot, precision] : {std::pair{crowd(10), 0.0005}, std::pair{make(loose), 0.0015}}) {
        std::vector<double> seen;
        RangeOptions options{.precision = precision, .seed = 1};
        options.progress = [](double done, void* to) { static_cast<std::vector<double>*>(to)->push_back(done); };
        options.progress_context = &seen;
        double pot = 0;
        for (const RangePlayerResult& p : range_equity_monte_carlo(spot, options).players) {
            EXPECT_LE(p.standard_error, precision);
            if (spot.ranges.size() == 10) { EXPECT_NEAR(p.equity, 0.1, 5 * p.standard_error); }
            pot += p.equity;
        }
        EXPECT_NEAR(pot, 1.0, 1e-9);
        ASSERT_FALSE(seen.empty());
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        EXPECT_LE(seen.back(), 1.0);
        EXPECT_THROW(range_equity_monte_carlo(spot, {.trials = 1'000'000'000, .cancel = &stop}), RangeCancelled);
        EXPECT_THROW(range_equity_exact(spot, {.cancel = &stop}), RangeCancelled);
    }
}

} // namespace
} // namespace varnolith
