// Hits and filters over a run's figures: classes split the range, and a
// filter's notation reads back to what it kept.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ranges/error.hpp"
#include "ranges/notation/writer.hpp"
#include "ranges/postflop/filter.hpp"
#include "ranges/postflop/hits.hpp"
#include "spot_text.hpp"

namespace varnolith {
namespace {

// Made classes split every player's deals and combinations, and their
// equities average to the player's; a draw holds at most its player's share.
void expect_a_split(const RangeSpot& spot, const RangeResult& result) {
    const RangeHits hits = range_hits(spot, result);
    ASSERT_EQ(hits.size(), spot.ranges.size());
    for (std::size_t p = 0; p < hits.size(); ++p) {
        double share = 0, combos = 0, equity = 0;
        for (const HitLine& line : hits[p]) {
            if (line.is_draw) {
                EXPECT_LE(line.share, 1.0 + 1e-12);
                continue;
            }
            share += line.share;
            combos += line.combos;
            if (line.share > 0) equity += line.share * line.equity;
        }
        EXPECT_NEAR(share, 1.0, 1e-9);
        EXPECT_NEAR(combos, result.players[p].combos, 1e-9); // every weight 1 here
        EXPECT_NEAR(equity, result.players[p].equity, 1e-9);
    }
}

TEST(RangeHits, ClassesSplitTheRangeOnEveryStreetExactOrSimulated) {
    for (const char* board : {"Kh 9h 8d", "Kh 9h 8d 8c", "Kh 9h 8d 8c 6h"}) {
        const RangeSpot spot = testing::make({{"15%", "random", "TT-66, A9s+"}, board, ""});
        expect_a_split(spot, range_equity_exact(spot, {.threads = 2}));
        const RangeResult simulated = range_equity_monte_carlo(spot, {.threads = 2, .trials = 20'000, .seed = 3});
        expect_a_split(spot, simulated);
        const RangeHits hits = range_hits(spot, simulated);
        for (const HitLine& line : hits[0])
            if (line.share > 0.05) { EXPECT_GT(line.standard_error, 0) << hit_name(line); }
    }
}

TEST(RangeHits, ListsClassesInTheRankingsOrderAndDrawsOnlyBeforeTheRiver) {
    RangeSpot spot = testing::make({{"AA", "KK"}, "Qh Jh Th", ""});
    const RangeResult result = range_equity_exact(spot, {.threads = 1});
    // Where the first player's lines list a class, among every class and draw.
    const auto place = [&](std::string_view name) {
        const RangeHits hits = range_hits(spot, result);
        std::vector<std::string_view> names;
        for (const HitLine& line : hits[0]) names.push_back(hit_name(line));
        EXPECT_EQ(names.size(), std::size_t{made_class_count + draw_count});
        return std::find(names.begin(), names.end(), name) - names.begin();
    };
    EXPECT_LT(place("straight"), place("set"));
    spot.ranking = Ranking::trips;
    EXPECT_GT(place("straight"), place("trips"));
    spot.board = parse_card_list("Qh Jh Th 6c 7c");
    EXPECT_EQ(range_hits(spot, range_equity_exact(spot, {.threads = 1}))[0].size(), std::size_t{made_class_count});
    spot.board.clear();
    EXPECT_THROW(range_hits(spot, result), RangeError);
}

TEST(RangeHits, OverFlopsAPairFlopsASetAsOftenAsCountingSays) {
    const auto set_or_better = [](const char* dead) {
        const RangeSpot spot = testing::make({{"99", "KK"}, "", dead}); // KK: its odds are not asked
        const RangeHits hits = hits_over_flops(spot, range_equity_exact(spot, {.threads = 2}));
        EXPECT_TRUE(std::isnan(hits[0][0].equity));
        double share = 0;
        for (const HitLine& line : hits[0])
            if (hit_name(line) == "set" || hit_name(line) == "quads" || hit_name(line) == "full_house")
                share += line.share;
        return share;
    };
    // Two nines left among 34 cards: 1 - C(32, 3) / C(34, 3) flops hold one;
    // the 8 * 4 flops of three of a kind make a full house.
    EXPECT_NEAR(set_or_better(""), (5984.0 - 4960.0 + 32.0) / 5984.0, 1e-12);
    // Ah dead: 33 cards, C(31, 3) flops without a nine, 7 * 4 + 1 of three of a kind.
    EXPECT_NEAR(set_or_better("Ah"), (5456.0 - 4495.0 + 29.0) / 5456.0, 1e-12);
}

TEST(HitFilter, KeepsTheNamedClassesLessTheBangedOnesAndReadsBack) {
    const auto filter = [](const char* range, const char* hits, const char* board = "Kh 9h 8d", const char* dead = "") {
        return filter_range(parse_range(range), parse_card_list(board), parse_card_list(dead), Ranking::straight,
                            parse_hit_filter(hits));
    };
    const std::pair<const char*, std::size_t> cases[] = {
        {"set", 9}, // KK, 99, 88: three combinations each
        {"set, two_pair", 9 + 27}, {"flush_draw", 21}, {"flush_draw, !nut_flush_draw", 21 - 6},
        {"!nothing !ace_high", 528 - 160 - 80},
    };
    for (const auto& [names, count] : cases) {
        const Range kept = filter("random", names);
        EXPECT_EQ(kept.size(), count) << names;
        const Range again = parse_range(range_notation(kept));
        EXPECT_EQ(again.size(), kept.size()) << names;
        for (const WeightedCombo& w : again)
            EXPECT_TRUE(std::ranges::any_of(kept, [&](const WeightedCombo& k) { return k.hand == w.hand; }));
    }
    const Range weighted = filter("KK:0.25, 99", "set", "Kh 9h 8d", "9c");
    ASSERT_EQ(weighted.size(), 3u + 1u); // 99 less the dead 9c leaves one combination
    for (const WeightedCombo& w : weighted) EXPECT_EQ(w.weight, w.hand.first.rank == 13 ? 0.25 : 1.0);
    for (const char* bad : {"", " , ", "sets", "flush-draw"}) {
        try {
            parse_hit_filter(bad);
            ADD_FAILURE() << bad;
        } catch (const RangeError& e) {
            EXPECT_EQ(e.field, ErrorField::filter) << bad;
        }
    }
    EXPECT_THROW(filter("random", "set", "Kh 9h"), RangeError); // no flop yet
}

} // namespace
} // namespace varnolith
