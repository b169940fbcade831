// evaluate_seven against the plain reference: every seven-card set in
// sequence, and a pre-sampled random array of 1,000,000 sets.

#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <vector>

#include "evaluator.hpp"
#include "reference_evaluator.hpp"

namespace {

using namespace varnolith;

template <HandValue (*Evaluate)(std::span<const Card>)>
void every_set_in_sequence(benchmark::State& state) {
    const auto deck = full_deck();
    std::array<Card, 7> seven;
    int64_t calls = 0;
    for (auto _ : state) {
        int64_t sum = 0;
        int i[7];
        for (i[0] = 0; i[0] < 30; ++i[0]) {
            seven[0] = deck[i[0]];
            for (i[1] = i[0] + 1; i[1] < 31; ++i[1]) {
                seven[1] = deck[i[1]];
                for (i[2] = i[1] + 1; i[2] < 32; ++i[2]) {
                    seven[2] = deck[i[2]];
                    for (i[3] = i[2] + 1; i[3] < 33; ++i[3]) {
                        seven[3] = deck[i[3]];
                        for (i[4] = i[3] + 1; i[4] < 34; ++i[4]) {
                            seven[4] = deck[i[4]];
                            for (i[5] = i[4] + 1; i[5] < 35; ++i[5]) {
                                seven[5] = deck[i[5]];
                                for (i[6] = i[5] + 1; i[6] < 36; ++i[6]) {
                                    seven[6] = deck[i[6]];
                                    sum += Evaluate(seven);
                                }
                            }
                        }
                    }
                }
            }
        }
        benchmark::DoNotOptimize(sum);
        calls += 8'347'680;
    }
    state.SetItemsProcessed(calls);
    state.counters["ns_per_call"] =
        benchmark::Counter(static_cast<double>(calls), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

const std::vector<std::array<Card, 7>>& random_sets() {
    static const auto sets = [] {
        std::vector<std::array<Card, 7>> out(1'000'000);
        std::mt19937_64 random(2026);
        auto deck = full_deck();
        for (auto& seven : out) {
            for (int k = 0; k < 7; ++k) { // partial Fisher-Yates: seven distinct cards
                std::uniform_int_distribution<int> pick(k, 35);
                std::swap(deck[k], deck[pick(random)]);
                seven[k] = deck[k];
            }
        }
        return out;
    }();
    return sets;
}

template <HandValue (*Evaluate)(std::span<const Card>)>
void random_array(benchmark::State& state) {
    const auto& sets = random_sets();
    int64_t calls = 0;
    for (auto _ : state) {
        int64_t sum = 0;
        for (const auto& seven : sets) sum += Evaluate(seven);
        benchmark::DoNotOptimize(sum);
        calls += static_cast<int64_t>(sets.size());
    }
    state.SetItemsProcessed(calls);
    state.counters["ns_per_call"] =
        benchmark::Counter(static_cast<double>(calls), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(every_set_in_sequence<evaluate_seven>)->Name("evaluate_seven/sequence")->Unit(benchmark::kMillisecond);
BENCHMARK(every_set_in_sequence<testing::reference_evaluate>)->Name("reference/sequence")->Unit(benchmark::kMillisecond);
BENCHMARK(random_array<evaluate_seven>)->Name("evaluate_seven/random")->Unit(benchmark::kMillisecond);
BENCHMARK(random_array<testing::reference_evaluate>)->Name("reference/random")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
