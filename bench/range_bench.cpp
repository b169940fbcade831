// Range equity: exact range against range (one board per suit class, and
// every board for comparison), the board loop's combinations per second, the
// cost estimate against the run, the pairwise sum of exact two-hand
// enumerations it replaces, and Monte Carlo deals per second.

#include <benchmark/benchmark.h>

#include <chrono>

#include <varnolith/varnolith.h>

#include "card_text.hpp"
#include "ranges/equity.hpp"
#include "ranges/exact/estimate.hpp"
#include "ranges/exact/driver.hpp"

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
BENCHMARK_CAPTURE(range_against_range, preflop_170_vs_82, spot_of({wide, tight}))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(range_against_range, preflop_random_vs_random, spot_of({"random", "random"}))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(range_against_range, preflop_AhKd_vs_random, spot_of({"AhKd", "random"}))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(range_against_range, flop_three_ranges_of_about_50,
                  spot_of({"TT+,AQs+,AKo", "99-77,KQs,QJs,JTs,KQo", "AJs-A9s,KJs,QTs,T9s,98s,AJo-ATo"}, "6c7d8h"))
    ->Unit(benchmark::kMillisecond)->UseRealTime();

// Three or more players: the two widest ranges swept against each deal of the
// others, and every deal walked, as before the sweep (preflop that walk would
// take minutes: it is timed on a flop).
void multiway(benchmark::State& state, RangeSpot spot, DealWalk deals) {
    for (auto _ : state) benchmark::DoNotOptimize(range_equity_exact(spot, {}, BoardWalk::by_class, deals));
}
BENCHMARK_CAPTURE(multiway, preflop_QQplus_AK_random_random, spot_of({"QQ+,AK", "random", "random"}), DealWalk::sweep_last_two)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK_CAPTURE(multiway, flop_QQplus_AK_random_random, spot_of({"QQ+,AK", "random", "random"}, "6c7d8h"), DealWalk::sweep_last_two)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(multiway, flop_QQplus_AK_random_random_every_deal, spot_of({"QQ+,AK", "random", "random"}, "6c7d8h"),
                  DealWalk::every_deal)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The same spots settled board by board, as before the suit classes.
void every_board(benchmark::State& state, RangeSpot spot) {
    for (auto _ : state) benchmark::DoNotOptimize(range_equity_exact(spot, {}, BoardWalk::every_board));
}
BENCHMARK_CAPTURE(every_board, preflop_170_vs_82, spot_of({wide, tight}))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(every_board, preflop_random_vs_random, spot_of({"random", "random"}))
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The board loop alone, on one thread and timed in its processor time (the
// machine is shared): every board of a spot without suit symmetry, each
// combination on it valued and settled against the other range.
void combination_boards(benchmark::State& state, RangeSpot spot) {
    uint64_t boards = 1, combos = 0;
    const auto left = static_cast<uint64_t>(36 - spot.board.size() - spot.dead.size()), k = 5 - spot.board.size();
    for (uint64_t i = 1; i <= k; ++i) boards = boards * (left - k + i) / i;
    for (const Range& r : spot.ranges) combos += r.size();
    for (auto _ : state) benchmark::DoNotOptimize(range_equity_exact(spot, {.threads = 1}, BoardWalk::every_board));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(boards * combos));
}
BENCHMARK_CAPTURE(combination_boards, heads_up_170_vs_82,
                  spot_of({"66+,A9s+,KTs+,QTs+,JTs,ATo+,KJo+,AcQs:0.5", "88+,AJs+,KQs,AQo+,AhKd:0.5"}))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(combination_boards, heads_up_random_vs_random, spot_of({"random,AcQs:0.5", "random,AhKd:0.5"}))
    ->Unit(benchmark::kMillisecond);

// The estimate against the run it estimates, both on every core: the ratio
// should stay within a factor of two either way.
void estimate_against_run(benchmark::State& state, RangeSpot spot) {
    const double estimate = estimate_exact_seconds(spot);
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(range_equity_exact(spot));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["estimate_s"] = estimate;
    state.counters["estimate_over_run"] = estimate * static_cast<double>(state.iterations()) / seconds;
}
BENCHMARK_CAPTURE(estimate_against_run, preflop_random_vs_random, spot_of({"random", "random"}))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(estimate_against_run, preflop_AhKd_vs_random, spot_of({"AhKd", "random"}))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(estimate_against_run, preflop_AA_KK_QQ, spot_of({"AA", "KK", "QQ"}))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(estimate_against_run, preflop_three_ranges_of_about_50,
                  spot_of({"TT+,AQs+,AKo", "99-77,KQs,QJs,JTs,KQo", "AJs-A9s,KJs,QTs,T9s,98s,AJo-ATo"}))
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(estimate_against_run, preflop_QQplus_AK_random_random, spot_of({"QQ+,AK", "random", "random"}))
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK_CAPTURE(estimate_against_run, flop_four_ranges, spot_of({"QQ+,AK", "random", "TT+,AQs", "random"}, "6c7d8h"))
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK_CAPTURE(estimate_against_run, river_four_random, spot_of({"random", "random", "random", "random"}, "6c7d8h9sTc"))
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK_CAPTURE(estimate_against_run, turn_three_random, spot_of({"random", "random", "random"}, "6c7d8h9s"))
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

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
