// The equity exports as a host sees them, and the engine's walk beside the
// plain one in the same run.

#include <benchmark/benchmark.h>
#include <omp.h>

#include <varnolith/varnolith.h>

#include <vector>

#include "test_cards.hpp"
#include "enumeration.hpp"
#include "plain_walk.hpp"

namespace {

using namespace varnolith;

const int32_t two_hands[8] = {14, 2, 13, 1, 12, 3, 12, 0};                                       // AhKd QsQc
const int32_t four_hands[16] = {14, 2, 13, 1, 12, 3, 12, 0, 10, 3, 9, 3, 7, 0, 7, 1};           // + Ts9s 7c7d

// A host's call, as many boards as the deck leaves for that many hands.
void enumeration_empty_board(benchmark::State& state, const int32_t* hands, int32_t count, int64_t boards) {
    double results[4];
    for (auto _ : state) {
        compute_equity_enumeration(hands, count, nullptr, 0, results);
        benchmark::DoNotOptimize(results);
    }
    state.SetItemsProcessed(state.iterations() * boards);
}

const std::vector<HoleHand> walk_hands = {testing::hand("Ah Kd"), testing::hand("Qs Qc")};

void engine_walk_two_hands(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(enumerate_equity(walk_hands, {}));
    state.SetItemsProcessed(state.iterations() * 201'376);
}

void plain_walk_two_hands(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(testing::plain_enumerate(walk_hands, {}));
    state.SetItemsProcessed(state.iterations() * 201'376);
}

// Trials per second with 1 or 2 threads.
void monte_carlo_two_hands_empty_board(benchmark::State& state) {
    const int threads = static_cast<int>(state.range(0));
    const int saved = omp_get_max_threads();
    omp_set_num_threads(threads);
    constexpr int32_t trials = 2'000'000;
    double results[2];
    for (auto _ : state) {
        compute_equity_montecarlo_ultra_fast(two_hands, 2, nullptr, 0, trials, results);
        benchmark::DoNotOptimize(results);
    }
    omp_set_num_threads(saved);
    state.SetItemsProcessed(state.iterations() * trials);
}

BENCHMARK_CAPTURE(enumeration_empty_board, two_hands, two_hands, 2, 201'376)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(enumeration_empty_board, four_hands, four_hands, 4, 98'280)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(engine_walk_two_hands)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(plain_walk_two_hands)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(monte_carlo_two_hands_empty_board)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
