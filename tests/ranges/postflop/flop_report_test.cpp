// The flop report against the exact driver: its rows' mean is the preflop
// equity, and a row is the spot with that flop on the board.

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "ranges/error.hpp"
#include "ranges/postflop/flop_report.hpp"
#include "spot_text.hpp"

namespace varnolith {
namespace {

TEST(FlopReport, RowsAverageToThePreflopEquityAndEachIsItsFlopsExactRun) {
    const std::pair<testing::Spot, Ranking> cases[] = {
        {{{"QQ+, AKs", "random"}, "", ""}, Ranking::straight},
        {{{"AK:0.5, 99, 76s", "TT-88, KQ"}, "", "Ah 7c 7d"}, Ranking::straight},
        {{{"AA, KK", "JTs", "98s, 87s"}, "", ""}, Ranking::straight},
        {{{"15%", "50%"}, "", ""}, Ranking::trips},
    };
    for (const auto& [s, ranking] : cases) {
        RangeSpot spot = testing::make(s);
        spot.ranking = ranking;
        const FlopReport report = flop_report(spot, {.threads = 2});
        const RangeResult preflop = range_equity_exact(spot, {.threads = 2});
        const std::size_t players = spot.ranges.size();
        double probability = 0;
        std::vector<double> mean(players, 0.0);
        for (const FlopRow& row : report.rows) {
            probability += row.probability;
            for (std::size_t p = 0; p < players; ++p) mean[p] += row.probability * row.equity[p];
        }
        EXPECT_NEAR(probability, 1.0, 1e-12);
        for (std::size_t p = 0; p < players; ++p) {
            EXPECT_NEAR(mean[p], preflop.players[p].equity, 1e-9) << s.ranges[0] << " player " << p + 1;
            EXPECT_NEAR(report.preflop.players[p].equity, preflop.players[p].equity, 1e-12);
        }
        // The best, a middle and the worst row: the spot with the flop dealt. Deals
        // with a flop in common have as many boards, so weights compare as
        // probabilities do.
        const auto on_flop = [&](const FlopRow& row) {
            RangeSpot dealt = spot;
            dealt.board = row.flop;
            return range_equity_exact(dealt, {.threads = 2});
        };
        const FlopRow& best = report.rows.front();
        const double best_weight = on_flop(best).deal_weight;
        for (const FlopRow* row : {&best, &report.rows[report.rows.size() / 2], &report.rows.back()}) {
            const RangeResult exact = on_flop(*row);
            for (std::size_t p = 0; p < players; ++p) EXPECT_NEAR(row->equity[p], exact.players[p].equity, 1e-9);
            const double one_flop = row->probability / row->flops, best_one = best.probability / best.flops;
            EXPECT_NEAR(one_flop / best_one, exact.deal_weight / best_weight, 1e-9);
        }
        for (std::size_t r = 1; r < report.rows.size(); ++r)
            EXPECT_GE(report.rows[r - 1].equity[0], report.rows[r].equity[0]);
    }
}

TEST(FlopReport, RowsStandForEveryFlopTheDeadCardsLeaveAndTexturesAddUp) {
    const RangeSpot spot = testing::make({{"random", "random"}, "", "Ah"});
    const FlopReport report = flop_report(spot, {.threads = 2});
    int flops = 0;
    for (const FlopRow& row : report.rows) flops += row.flops;
    EXPECT_EQ(flops, 35 * 34 * 33 / 6);
    // Each kind of texture splits the flops once.
    std::map<std::string_view, std::pair<int, double>> by_kind;
    for (const TextureGroup& g : report.textures) {
        by_kind[g.kind].first += g.flops;
        by_kind[g.kind].second += g.probability;
    }
    ASSERT_EQ(by_kind.size(), 4u);
    for (const auto& [kind, sums] : by_kind) {
        EXPECT_EQ(sums.first, flops) << kind;
        EXPECT_NEAR(sums.second, 1.0, 1e-12) << kind;
    }
    EXPECT_THROW(flop_report(testing::make({{"AA", "KK"}, "Qh Jh Th", ""}), {}), RangeError);
}

TEST(FlopReport, TexturesReadTheFlop) {
    using enum FlopSuits;
    using enum FlopPairing;
    const std::tuple<const char*, FlopSuits, FlopPairing, int32_t, bool> rows[] = {
        {"Ah 7c 6d", rainbow, unpaired, 14, true}, // A-6-7-8-9
        {"Ah Kh 6h", monotone, unpaired, 14, false}, {"Qh Qd 9h", two_tone, paired, 12, false},
        {"8c 8d 8h", rainbow, trips, 8, false},     {"Qh Tc 6d", rainbow, unpaired, 12, false},
        {"Kh Tc 9d", rainbow, unpaired, 13, true},
    };
    for (const auto& [flop, suits, pairing, high, straight] : rows) {
        const FlopTexture t = flop_texture(parse_card_list(flop));
        EXPECT_EQ(t.suits, suits) << flop;
        EXPECT_EQ(t.pairing, pairing) << flop;
        EXPECT_EQ(t.high, high) << flop;
        EXPECT_EQ(t.straight_possible, straight) << flop;
    }
}

} // namespace
} // namespace varnolith
