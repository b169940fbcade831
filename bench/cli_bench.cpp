// The console as a user meets it: the whole process, from start to exit, with
// a scripted dialogue on standard input.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

extern char** environ;

namespace {

// Starts varnolith_cli, writes the script to its standard input and waits for
// it to exit; output goes to /dev/null.
int run_cli(const std::string& script) {
    int in[2];
    if (pipe(in) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char path[] = VARNOLITH_CLI_PATH;
    char* argv[] = {path, nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, path, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    if (spawned == 0) {
        const ssize_t written = write(in[1], script.data(), script.size());
        static_cast<void>(written); // a short write shows up as a failed dialogue
    }
    close(in[1]);
    int status = -1;
    if (spawned == 0) waitpid(child, &status, 0);
    return status;
}

void whole_dialogue(benchmark::State& state, const std::string& script) {
    for (auto _ : state)
        if (run_cli(script) != 0) state.SkipWithError("varnolith_cli did not exit with status 0");
}

BENCHMARK_CAPTURE(whole_dialogue, two_hands_empty_board_500000_trials, std::string("2\nAhKd\nQsQc\n\n\n"))
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(whole_dialogue, flop_406_boards, std::string("2\nAhKd\nQsQc\n3\n6c\n7d\n8h\n"))
    ->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
