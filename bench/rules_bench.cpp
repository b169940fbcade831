// The two rankings side by side on the same work: every seven-card set
// through the evaluator, exact range against range, a multiway flop and
// Monte Carlo deals. Run with --benchmark_repetitions to interleave them.

#include <benchmark/benchmark.h>

#include "card_text.hpp"
#include "ranges/equity.hpp"

namespace varnolith {
namespace {

RangeSpot spot_of(std::vector<const char*> ranges, const char* board, Ranking ranking) {
    RangeSpot spot{{}, parse_card_list(board), {}, ranking};
    for (const char* r : ranges) spot.ranges.push_back(parse_range(r, ranking));
    return spot;
}

template <Ranking ranking>
void every_seven_card_set(benchmark::State& state) {
    const auto deck = full_deck();
    int64_t sets = 0;
    for (auto _ : state) {
        int64_t sum = 0;
        sets = 0;
        for (uint64_t set = 0x7F; set < uint64_t{1} << 36;) {
            HandBits bits;
            for (uint64_t rest = set; rest; rest &= rest - 1) bits = bits + bits_of(deck[__builtin_ctzll(rest)]);
            sum += evaluate_bits<ranking>(bits);
            ++sets;
            const uint64_t low = set & -set, carried = set + low;
            set = carried | (((carried ^ set) >> 2) / low);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * sets);
}
BENCHMARK(every_seven_card_set<Ranking::straight>)->Unit(benchmark::kMillisecond);
BENCHMARK(every_seven_card_set<Ranking::trips>)->Unit(benchmark::kMillisecond);

const char* const wide = "66+,A9s+,KTs+,QTs+,JTs,ATo+,KJo+"; // 170 combinations
const char* const tight = "88+,AJs+,KQs,AQo+";                // 82

void exact(benchmark::State& state, std::vector<const char*> ranges, const char* board, Ranking ranking) {
    const RangeSpot spot = spot_of(ranges, board, ranking);
    for (auto _ : state) benchmark::DoNotOptimize(range_equity_exact(spot));
}
BENCHMARK_CAPTURE(exact, preflop_170_vs_82_straight, {wide, tight}, "", Ranking::straight)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(exact, preflop_170_vs_82_trips, {wide, tight}, "", Ranking::trips)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(exact, preflop_random_vs_random_straight, {"random", "random"}, "", Ranking::straight)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(exact, preflop_random_vs_random_trips, {"random", "random"}, "", Ranking::trips)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(exact, flop_multiway_straight, {"QQ+,AK", "random", "random"}, "6c7d8h", Ranking::straight)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(exact, flop_multiway_trips, {"QQ+,AK", "random", "random"}, "6c7d8h", Ranking::trips)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

void monte_carlo(benchmark::State& state, Ranking ranking) {
    const RangeSpot spot = spot_of({"QQ+,AK", "random", "T9s,87s,JJ-66"}, "", ranking);
    constexpr int64_t trials = 4'000'000;
    for (auto _ : state) benchmark::DoNotOptimize(range_equity_monte_carlo(spot, {.trials = trials, .seed = 1}));
    state.SetItemsProcessed(state.iterations() * trials);
}
BENCHMARK_CAPTURE(monte_carlo, straight, Ranking::straight)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(monte_carlo, trips, Ranking::trips)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace varnolith

BENCHMARK_MAIN();
