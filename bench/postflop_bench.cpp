// The postflop study beside the runs it comes with: hits on top of an exact
// flop run of three random ranges, and the flop report beside the preflop
// exact run of the same ranges. Run with --benchmark_repetitions to
// interleave them.

#include <benchmark/benchmark.h>

#include "card_text.hpp"
#include "ranges/answer.hpp"
#include "ranges/postflop/flop_report.hpp"
#include "ranges/postflop/hits.hpp"

namespace varnolith {
namespace {

RangeSpot spot_of(std::vector<const char*> ranges, const char* board) {
    RangeSpot spot{{}, parse_card_list(board), {}};
    for (const char* r : ranges) spot.ranges.push_back(parse_range(r));
    return spot;
}

// The answer as every front end asks for it, with or without hits.
void answer(benchmark::State& state, std::vector<const char*> ranges, const char* board, bool hits) {
    const RangeSpot spot = spot_of(ranges, board);
    RunChoices exact;
    exact.method = RangeMethod::exact;
    for (auto _ : state) benchmark::DoNotOptimize(compute_answer(spot, exact, {.hits = hits}, {}));
}
BENCHMARK_CAPTURE(answer, three_random_flop, {"random", "random", "random"}, "Kh9h8d", false)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(answer, three_random_flop_hits, {"random", "random", "random"}, "Kh9h8d", true)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

// What hits add, alone: the classes of three random ranges from a run's figures.
void hits_alone(benchmark::State& state) {
    const RangeSpot spot = spot_of({"random", "random", "random"}, "Kh9h8d");
    const RangeResult result = range_equity_exact(spot);
    for (auto _ : state) benchmark::DoNotOptimize(range_hits(spot, result));
}
BENCHMARK(hits_alone)->Unit(benchmark::kMillisecond);

void preflop_exact(benchmark::State& state, std::vector<const char*> ranges) {
    const RangeSpot spot = spot_of(ranges, "");
    for (auto _ : state) benchmark::DoNotOptimize(range_equity_exact(spot));
}

void flops(benchmark::State& state, std::vector<const char*> ranges) {
    const RangeSpot spot = spot_of(ranges, "");
    for (auto _ : state) benchmark::DoNotOptimize(flop_report(spot, {}));
}
BENCHMARK_CAPTURE(preflop_exact, top15_vs_top50, {"15%", "50%"})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(flops, top15_vs_top50, {"15%", "50%"})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(preflop_exact, random_vs_random, {"random", "random"})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(flops, random_vs_random, {"random", "random"})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(preflop_exact, three_way, {"AA, KK", "JTs", "98s, 87s"})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(flops, three_way, {"AA, KK", "JTs", "98s, 87s"})->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace varnolith

BENCHMARK_MAIN();
