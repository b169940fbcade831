// The flop report against the exact driver: its rows' mean is the preflop
// equity, and a row is the spot with that flop on the board.

#include <gtest/gtest.h>

#include <map>
#include <numeric>

#include "ranges/error.hpp"
#include "ranges/postflop/flop_report.hpp"
#include "spot_text.hpp"

namespace varnolith {
namespace {

struct Case {
    testing::Spot spot;
    Ranking ranking = Ranking::straight;
};

const Case cases[] = {
    {{{"QQ+, AKs", "random"}, "", ""}},
    {{{"AK:0.5, 99, 76s", "TT-88, KQ"}, "", "Ah 7c 7d"}},
    {{{"AA, KK", "JTs", "98s, 87s"}, "", ""}},
    {{{"15%", "50%"}, "", ""}, Ranking::trips},
};

RangeSpot spot_of(const Case& c) {
    RangeSpot spot = testing::make(c.spot);
    spot.ranking = c.ranking;
    return spot;
}

TEST(FlopReport, RowsAverageToThePreflopEquityAndEachIsItsFlopsExactRun) {
    for (const Case& c : cases) {
        const RangeSpot spot = spot_of(c);
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
            EXPECT_NEAR(mean[p], preflop.players[p].equity, 1e-9) << c.spot.ranges[0] << " player " << p + 1;
            EXPECT_NEAR(report.preflop.players[p].equity, preflop.players[p].equity, 1e-12);
        }
        // The best, a middle and the worst row: the spot with the flop dealt. Deals
        // with a flop in common have as many boards, so weights compare as
        // probabilities do.
        const std::size_t picks[] = {0, report.rows.size() / 2, report.rows.size() - 1};
        const RangeSpot first_on = [&] {
            RangeSpot s = spot;
            s.board = report.rows[picks[0]].flop;
            return s;
        }();
        const double first_weight = range_equity_exact(first_on, {.threads = 2}).deal_weight;
        for (const std::size_t pick : picks) {
            const FlopRow& row = report.rows[pick];
            RangeSpot on_flop = spot;
            on_flop.board = row.flop;
            const RangeResult exact = range_equity_exact(on_flop, {.threads = 2});
            for (std::size_t p = 0; p < players; ++p) EXPECT_NEAR(row.equity[p], exact.players[p].equity, 1e-9);
            const double one_flop = row.probability / row.flops;
            const double first_one = report.rows[picks[0]].probability / report.rows[picks[0]].flops;
            EXPECT_NEAR(one_flop / first_one, exact.deal_weight / first_weight, 1e-9);
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
    struct Row {
        const char* flop;
        FlopSuits suits;
        FlopPairing pairing;
        int32_t high;
        bool straight;
    };
    const Row rows[] = {
        {"Ah 7c 6d", FlopSuits::rainbow, FlopPairing::unpaired, 14, true},  // A-6-7-8-9
        {"Ah Kh 6h", FlopSuits::monotone, FlopPairing::unpaired, 14, false},
        {"Qh Qd 9h", FlopSuits::two_tone, FlopPairing::paired, 12, false},
        {"8c 8d 8h", FlopSuits::rainbow, FlopPairing::trips, 8, false},
        {"Qh Tc 6d", FlopSuits::rainbow, FlopPairing::unpaired, 12, false},
        {"Kh Tc 9d", FlopSuits::rainbow, FlopPairing::unpaired, 13, true},
    };
    for (const Row& r : rows) {
        const FlopTexture t = flop_texture(parse_card_list(r.flop));
        EXPECT_EQ(t.suits, r.suits) << r.flop;
        EXPECT_EQ(t.pairing, r.pairing) << r.flop;
        EXPECT_EQ(t.high, r.high) << r.flop;
        EXPECT_EQ(t.straight_possible, r.straight) << r.flop;
    }
}

} // namespace
} // namespace varnolith
