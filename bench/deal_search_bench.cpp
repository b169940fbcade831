// Deciding whether a spot can be dealt at all, before any method runs: the
// time each method takes to refuse a spot with no deal, and the search alone
// on crowded spots with and without one.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "ranges/deal_search.hpp"
#include "ranges/request.hpp"
#include "ranges/spot.hpp"

namespace varnolith {
namespace {

RangeSpot spot_of(const std::vector<std::string>& ranges, const char* board, const char* dead) {
    return spot_from_text(ranges, board, dead).spot;
}

// Fifteen players of 66+ where the cards left make only twelve pairs.
const RangeSpot fifteen_pairs = spot_of(std::vector<std::string>(15, "66+"), "6c7c8c9cTc", "Jc");

enum class Method { automatic, exact, trials };

void refuse_with(benchmark::State& state, Method method) {
    for (auto _ : state) {
        try {
            if (method == Method::automatic) benchmark::DoNotOptimize(plan_range_run(fifteen_pairs, RunChoices{}));
            if (method == Method::exact) benchmark::DoNotOptimize(range_equity_exact(fifteen_pairs));
            if (method == Method::trials)
                benchmark::DoNotOptimize(range_equity_monte_carlo(fifteen_pairs, {.trials = 1000}));
            state.SkipWithError("the spot was dealt");
        } catch (const RangeError&) {
        }
    }
}
BENCHMARK_CAPTURE(refuse_with, fifteen_66plus_default_method, Method::automatic)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(refuse_with, fifteen_66plus_exact, Method::exact)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(refuse_with, fifteen_66plus_trials_1000, Method::trials)->Unit(benchmark::kMicrosecond);

void search(benchmark::State& state, RangeSpot spot) {
    const PreparedSpot prepared = prepare_spot(spot);
    for (auto _ : state) benchmark::DoNotOptimize(search_a_deal(prepared));
    state.counters["steps"] = static_cast<double>(search_a_deal(prepared).steps);
}
BENCHMARK_CAPTURE(search, fifteen_66plus_dealt, spot_of(std::vector<std::string>(15, "66+"), "", ""))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(search, fifteen_ace_hands_none,
                  spot_of(std::vector<std::string>(15, "AK, AQ, AJ, AT, A9, A8"), "", ""))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(search, eight_mixed_ranges_on_a_flop,
                  spot_of({"AhKh, AhQh, KsQs, JJ", "QQ+", "AK", "AK", "TT+, AQs+", "99-66", "random", "AhKd, KK"},
                          "Ac7c8c", ""))
    ->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace varnolith

BENCHMARK_MAIN();
