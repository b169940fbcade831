// varnolith --batch as a process: spots as JSON lines on standard input, one
// answer line each on standard output, in order, and the exit status.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "command_process.hpp"

extern char** environ;

namespace varnolith {
namespace {

using Json = nlohmann::ordered_json;

using testing::Process;

Process run(const std::string& arguments, const std::string& input) {
    const testing::Scratch scratch;
    return testing::run_in(scratch, VARNOLITH_COMMAND_PATH, arguments, input);
}

// The run's time is the one figure that changes from run to run.
std::string without_time(const std::string& text) {
    return std::regex_replace(text, std::regex(R"("elapsed_seconds":[-+.e0-9]+)"), R"("elapsed_seconds":T)");
}

constexpr const char* flop_spot = R"({"ranges": ["AhKd", "QsQc"], "board": "6c7d8h"})";
// The same answer as POST /api/equity gives it, on one line.
constexpr const char* flop_answer =
    R"({"method":"exact","rules":"straight","board":["6c","7d","8h"],"dead":[],"deals":1,"boards":406,"elapsed_seconds":T,)"
    R"("players":[{"range":"AhKd","combos":1,"equity":0.5147783251231527,"win":0.4802955665024631,)"
    R"("tie":0.034482758620689655,"stderr":0.0},{"range":"QsQc","combos":1,"equity":0.4852216748768473,)"
    R"("win":0.45073891625615764,"tie":0.034482758620689655,"stderr":0.0}]})";
constexpr const char* not_json = R"({"error":{"code":"bad_json","message":"the body is not JSON","field":null,"player":null}})";

// A bad line gets the API's error object and stops nothing; the exit status
// tells whether every line was answered, and input with no JSON line at all
// is not JSON lines.
TEST(VarnolithBatch, AnswersEachLineInOrder) {
    const std::string flop = flop_spot, answer = flop_answer;
    const struct {
        std::string input, out;
        int status;
    } cases[] = {
        {flop + "\n" + flop, answer + "\n" + answer + "\n", 0},
        {flop + "\r\n", answer + "\n", 0},
        {"", "", 0},
        {flop + "\n" + R"({"ranges": ["AhKd", "QQs"]})" + "\nhello\n\n" + R"({"ranges": ["AA", "AA", "AA"], "board": "Ad"})" +
             "\n" + flop + "\n",
         answer + "\n" +
             R"({"error":{"code":"bad_request","message":"range 2: item \"QQs\": a pair is neither suited nor offsuit","field":"ranges","player":1}})"
             "\n" + not_json + "\n" + not_json + "\n" +
             R"({"error":{"code":"no_compatible_deal","message":"no compatible deal: 3 players need 3 hands at once, and the cards their ranges hold make at most 1","field":"ranges","player":null}})"
             "\n" + answer + "\n",
         1},
        {"hello\nworld", std::string(not_json) + "\n" + not_json + "\n", 2},
        {std::string("\x7f" "ELF\0\x01\x02\n\xff\xfe", 10), std::string(not_json) + "\n" + not_json + "\n", 2},
        {std::string(70 * 1024, ' ') + "\n" + flop,
         R"({"error":{"code":"payload_too_large","message":"the body is over 64 KiB","field":null,"player":null}})"
         "\n" + answer + "\n",
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.substr(0, 120));
        const Process p = run("--batch", c.input);
        EXPECT_EQ(without_time(p.out), c.out);
        EXPECT_EQ(p.status, c.status);
        EXPECT_EQ(p.err, c.status == 2 ? "varnolith: standard input is not JSON lines: not one of its lines is JSON\n" : "");
    }
}

// Hundreds of lines over chunks and threads, a spot that is not small among
// them (run apart, on every thread): each answer in its line's place.
TEST(VarnolithBatch, KeepsTheOrderOfManyLines) {
    const std::vector<std::string> hands = {"AhKd", "QsQc", "JhTh", "9c9d", "8s7s", "AcQd"};
    std::string input;
    std::vector<Json> ranges;
    for (std::size_t i = 0; i < 700; ++i) {
        const Json two = i == 3 ? Json{"random", "random"} // before the flop, exactly: tenths of a second
                                : Json{hands[i % 6], hands[(i + 1 + i / 6 % 5) % 6]};
        ranges.push_back(two);
        input += Json{{"ranges", two}, {"board", i == 3 ? "" : "6c 7d 8h"}}.dump() + "\n";
    }
    for (const char* threads : {"", " --threads 1"}) {
        SCOPED_TRACE(threads);
        const Process p = run(std::string("--batch") + threads, input);
        std::istringstream out(p.out);
        std::size_t i = 0;
        for (std::string line; std::getline(out, line) && i < ranges.size(); ++i) {
            const Json players = Json::parse(line)["players"];
            EXPECT_EQ(Json({players[0]["range"], players[1]["range"]}), ranges[i]) << "line " << i + 1;
        }
        EXPECT_EQ(i, ranges.size());
        EXPECT_EQ(p.status, 0);
    }
}

// Each line is answered as soon as it comes: a program that writes one line
// and waits for its answer before the next is not kept waiting for the end.
TEST(VarnolithBatch, AnswersALineBeforeTheNextComes) {
    int in[2], out[2];
    ASSERT_EQ(pipe(in), 0);
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    for (const int unused : {in[0], in[1], out[0], out[1]}) posix_spawn_file_actions_addclose(&actions, unused);
    char path[] = VARNOLITH_COMMAND_PATH, batch[] = "--batch";
    char* argv[] = {path, batch, nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, path, &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    const std::string line = std::string(flop_spot) + "\n";
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(write(in[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
        std::string answer;
        char c = 0;
        pollfd ready{out[0], POLLIN, 0};
        while (answer.empty() || answer.back() != '\n') {
            ASSERT_EQ(poll(&ready, 1, 10'000), 1) << "no answer within 10 s, round " << round;
            ASSERT_EQ(read(out[0], &c, 1), 1);
            answer += c;
        }
        EXPECT_EQ(without_time(answer), std::string(flop_answer) + "\n");
    }
    close(in[1]);
    int status = -1;
    waitpid(child, &status, 0);
    close(out[0]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// --batch computes no spot of the command line: ranges and the spot's options
// are usage errors, --threads is its own.
TEST(VarnolithBatch, TakesNoSpotOnTheCommandLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"--batch AhKd QsQc", "--batch takes no ranges: it reads its spots from standard input"},
        {"--batch -b 6c7d8h", "--batch goes with --threads alone (got --board)"},
        {"--batch --threads 0", "--threads: N must be a whole number from 1 to 256 (got 0)"},
        {"--ordering --batch", "--ordering goes with --rules and --json alone (got --batch)"},
    };
    for (const auto& [arguments, message] : cases) {
        SCOPED_TRACE(arguments);
        const Process p = run(arguments, flop_spot);
        EXPECT_EQ(p.out, "");
        EXPECT_EQ(p.err, "varnolith: " + message + "\n");
        EXPECT_EQ(p.status, 2);
    }
}

} // namespace
} // namespace varnolith
