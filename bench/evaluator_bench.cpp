// evaluate_seven against the plain reference: every seven-card set in
// sequence, and a pre-sampled random array of 1,000,000 sets. The library
// export is timed as a host calls it, fed int32 records.

#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include <varnolith/varnolith.h>

#include "evaluator.hpp"
#include "reference_evaluator.hpp"

namespace {

using namespace varnolith;

void count_calls(benchmark::State& state, int64_t calls) {
    state.SetItemsProcessed(calls);
    state.counters["ns_per_call"] =
        benchmark::Counter(static_cast<double>(calls), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Every seven-card set of the deck in order: put(k, card) as card k changes,
// then evaluate() once per set; the sum of the values.
template <typename Put, typename Evaluate>
int64_t sum_every_set(const std::vector<Card>& deck, Put put, Evaluate evaluate) {
    int64_t sum = 0;
    int i[7];
    for (i[0] = 0; i[0] < 30; ++i[0]) {
        put(0, deck[i[0]]);
        for (i[1] = i[0] + 1; i[1] < 31; ++i[1]) {
            put(1, deck[i[1]]);
            for (i[2] = i[1] + 1; i[2] < 32; ++i[2]) {
                put(2, deck[i[2]]);
                for (i[3] = i[2] + 1; i[3] < 33; ++i[3]) {
                    put(3, deck[i[3]]);
                    for (i[4] = i[3] + 1; i[4] < 34; ++i[4]) {
                        put(4, deck[i[4]]);
                        for (i[5] = i[4] + 1; i[5] < 35; ++i[5]) {
                            put(5, deck[i[5]]);
                            for (i[6] = i[5] + 1; i[6] < 36; ++i[6]) {
                                put(6, deck[i[6]]);
                                sum += evaluate();
                            }
                        }
                    }
                }
            }
        }
    }
    return sum;
}

template <HandValue (*Evaluate)(std::span<const Card>)>
void every_set_in_sequence(benchmark::State& state) {
    const auto deck = full_deck();
    std::array<Card, 7> seven;
    int64_t calls = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sum_every_set(
            deck, [&](int k, Card c) { seven[k] = c; }, [&] { return Evaluate(seven); }));
        calls += 8'347'680;
    }
    count_calls(state, calls);
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
    count_calls(state, calls);
}

// A host's seven card records, each field written on its own.
void direct_every_set_in_sequence(benchmark::State& state) {
    const auto deck = full_deck();
    int32_t records[14];
    int64_t calls = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sum_every_set(
            deck,
            [&](int k, Card c) {
                records[2 * k] = c.rank;
                records[2 * k + 1] = c.suit;
            },
            [&] { return evaluate_hand_direct(records, 7); }));
        calls += 8'347'680;
    }
    count_calls(state, calls);
}

void direct_random_array(benchmark::State& state) {
    std::vector<std::array<int32_t, 14>> sets; // the same sets as the other random runs
    for (const auto& seven : random_sets()) {
        auto& records = sets.emplace_back();
        for (int k = 0; k < 7; ++k) {
            records[2 * k] = seven[k].rank;
            records[2 * k + 1] = seven[k].suit;
        }
    }
    int64_t calls = 0;
    for (auto _ : state) {
        int64_t sum = 0;
        for (const auto& records : sets) sum += evaluate_hand_direct(records.data(), 7);
        benchmark::DoNotOptimize(sum);
        calls += static_cast<int64_t>(sets.size());
    }
    count_calls(state, calls);
}

BENCHMARK(every_set_in_sequence<evaluate_seven>)->Name("evaluate_seven/sequence")->Unit(benchmark::kMillisecond);
BENCHMARK(direct_every_set_in_sequence)->Name("evaluate_hand_direct/sequence")->Unit(benchmark::kMillisecond);
BENCHMARK(every_set_in_sequence<testing::reference_evaluate>)->Name("reference/sequence")->Unit(benchmark::kMillisecond);
BENCHMARK(random_array<evaluate_seven>)->Name("evaluate_seven/random")->Unit(benchmark::kMillisecond);
BENCHMARK(direct_random_array)->Name("evaluate_hand_direct/random")->Unit(benchmark::kMillisecond);
BENCHMARK(random_array<testing::reference_evaluate>)->Name("reference/random")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
