// Monte Carlo range equity where many players of wide, overlapping ranges
// rarely fit together: eight and ten players of `66+, A6+` preflop, each run
// until every player's standard error is at most 0.0005, on two threads.

#include <benchmark/benchmark.h>

#include "ranges/equity.hpp"

namespace varnolith {
namespace {

void crowded_preflop(benchmark::State& state) {
    const RangeSpot spot{std::vector<Range>(static_cast<std::size_t>(state.range(0)), parse_range("66+, A6+")), {}, {}};
    int64_t trials = 0;
    for (auto _ : state) {
        const RangeResult result = range_equity_monte_carlo(spot, {.threads = 2, .precision = 0.0005, .seed = 1});
        trials = result.trials;
        benchmark::DoNotOptimize(result);
    }
    state.counters["trials"] = static_cast<double>(trials);
}
BENCHMARK(crowded_preflop)->Arg(8)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
} // namespace varnolith

BENCHMARK_MAIN();
