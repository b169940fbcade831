// Many small spots in one run: 10,000 hands against hands on a flop, answered
// in-process on one thread and on two (spots per second), and by the real
// `varnolith --batch` from a file, start to exit.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "batch.hpp"

extern char** environ;

namespace varnolith {
namespace {

constexpr int spot_count = 10'000;

// Two hands and a flop dealt from a shuffled deck, a line each, the same every run.
std::string small_spots() {
    std::array<std::string, 36> deck;
    for (std::size_t i = 0; i < deck.size(); ++i) deck[i] = {"6789TJQKA"[i / 4], "cdhs"[i % 4]};
    std::mt19937 random(2024);
    std::string lines;
    for (int spot = 0; spot < spot_count; ++spot) {
        for (std::size_t i = 0; i < 7; ++i) std::swap(deck[i], deck[i + random() % (deck.size() - i)]);
        lines += "{\"ranges\": [\"" + deck[0] + deck[1] + "\", \"" + deck[2] + deck[3] + "\"], \"board\": \"" +
                 deck[4] + " " + deck[5] + " " + deck[6] + "\"}\n";
    }
    return lines;
}

void small_spots_in_process(benchmark::State& state) {
    const std::string lines = small_spots();
    const BatchChoices choices{static_cast<int>(state.range(0)), nullptr};
    std::size_t failed = 0;
    for (auto _ : state)
        answer_text_lines(lines, choices, [&](LineAnswer&& a) { failed += a.outcome != LineOutcome::answered; });
    if (failed > 0) state.SkipWithError("a spot was refused");
    state.SetItemsProcessed(state.iterations() * spot_count);
}
BENCHMARK(small_spots_in_process)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// varnolith --batch < FILE > /dev/null; its exit status.
int run_command(const std::filesystem::path& spots) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, spots.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    char path[] = VARNOLITH_COMMAND_PATH, batch[] = "--batch";
    char* argv[] = {path, batch, nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, path, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = -1;
    if (spawned == 0) waitpid(child, &status, 0);
    return status;
}

void small_spots_by_the_command(benchmark::State& state) {
    const auto spots = std::filesystem::temp_directory_path() / ("varnolith_batch_bench_" + std::to_string(getpid()));
    std::ofstream(spots) << small_spots();
    for (auto _ : state)
        if (run_command(spots) != 0) state.SkipWithError("varnolith --batch did not exit with status 0");
    std::filesystem::remove(spots);
    state.SetItemsProcessed(state.iterations() * spot_count);
}
BENCHMARK(small_spots_by_the_command)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace varnolith

BENCHMARK_MAIN();
