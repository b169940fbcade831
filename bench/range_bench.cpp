// Range equity: exact range against range, the pairwise sum of exact two-hand
// enumerations it replaces, and Monte Carlo deals per second.

#include <benchmark/benchmark.h>

#include <varnolith/varnolith.h>

#include "range_equity.hpp"

namespace varnolith {
namespace {

RangeSpot spot_of(std::vector<const char*> ranges, const char* board = "") {
    RangeSpot spot{{}, parse_card_list(board), {}};
    for (const char* r : ranges) spot.ranges.push_back(parse_range(r));
    return spot;
}

const char* const wide = "66+,A9s+,KTs+,QTs+,JTs,ATo+,KJo+"; // 170 combinations
const char* const tight = "88+,AJs+,KQs,AQo+";                // 82

void range_against_range(benchmark::State& state, RangeSpot spot) {
    for (auto _ : state) benchmark::DoNotOptimize(range_equity_exact(spot));
}
BENCHMARK_CAPTURE(range_against_range, preflop_170_vs_82, spot_of({wide, tight}))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(range_against_range, preflop_AhKd_vs_random, spot_of({"AhKd", "random"}))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(range_against_range, flop_three_ranges_of_about_50,
                  spot_of({"TT+,AQs+,AKo", "99-77,KQs,QJs,JTs,KQo", "AJs-A9s,KJs,QTs,T9s,98s,AJo-ATo"}, "6c7d8h"))
    ->Unit(benchmark::kMillisecond);

// The naive way: the library's exact two-hand enumeration for every
// compatible pair of combinations, weighted and summed.
void pairwise_enumerations(benchmark::State& state) {
    const Range first = parse_range(wide), second = parse_range(tight);
    for (auto _ : state) {
        double sum = 0, total = 0;
        for (const WeightedCombo& a : first)
            for (const WeightedCombo& b : second) {
                if (a.hand.first == b.hand.first || a.hand.first == b.hand.second || a.hand.second == b.hand.first ||
                    a.hand.second == b.hand.second)
                    continue;
                const int32_t hands[8] = {a.hand.first.rank, a.hand.first.suit, a.hand.second.rank, a.hand.second.suit,
                                          b.hand.first.rank, b.hand.first.suit, b.hand.second.rank, b.hand.second.suit};
                double results[2];
                compute_equity_enumeration(hands, 2, nullptr, 0, results);
                sum += a.weight * b.weight * results[0];
                total += a.weight * b.weight;
            }
        benchmark::DoNotOptimize(sum / total);
    }
}
BENCHMARK(pairwise_enumerations)->Unit(benchmark::kMillisecond)->Iterations(1);

void monte_carlo_deals(benchmark::State& state) {
    const RangeSpot spot = spot_of({"QQ+,AK", "random", "T9s,87s,JJ-66"});
    constexpr int64_t trials = 4'000'000;
    for (auto _ : state)
        benchmark::DoNotOptimize(range_equity_monte_carlo(spot, {.threads = static_cast<int>(state.range(0)), .trials = trials, .seed = 1}));
    state.SetItemsProcessed(state.iterations() * trials);
}
BENCHMARK(monte_carlo_deals)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace varnolith

BENCHMARK_MAIN();
