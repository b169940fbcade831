// varnolith --batch as a process: spots as JSON lines on standard input, one
// answer line each on standard output, in order, and the exit status.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "run_program.hpp"

namespace varnolith {
namespace {

using Json = nlohmann::ordered_json;

testing::Ran run(const std::string& arguments, const std::string& input) {
    return testing::run_program("'" VARNOLITH_COMMAND_PATH "' " + arguments, input);
}

// The run's time is the one figure that changes from run to run.
std::string without_time(const std::string& text) {
    return std::regex_replace(text, std::regex(R"("elapsed_seconds":[-+.e0-9]+)"), R"("elapsed_seconds":T)");
}

constexpr const char* flop_spot = R"({"ranges": ["AhKd", "QsQc"], "board": "6c7d8h"})";
// The same answer as POST /api/equity gives it, on one line.
constexpr const char* flop_answer =
    R"({"method":"exact","rules":"straight","board":["6c","7d","8h"],"dead":[],"deals":1,"boards":406,)"
    R"("elapsed_seconds":T,"players":[{"range":"AhKd","combos":1,"equity":0.5147783251231527,)"
    R"("win":0.4802955665024631,"tie":0.034482758620689655,"stderr":0.0},{"range":"QsQc","combos":1,)"
    R"("equity":0.4852216748768473,"win":0.45073891625615764,"tie":0.034482758620689655,"stderr":0.0}]})";

// The API's error object on a line of its own.
std::string refused(const std::string& code, const std::string& message, const char* field = "null") {
    return R"({"error":{"code":")" + code + R"(","message":")" + message + R"(","field":)" + field +
           R"(,"player":null}})" "\n";
}

// A bad line gets the API's error object and stops nothing; the exit status
// tells whether every line was answered, and input with no JSON line at all
// is not JSON lines.
TEST(VarnolithBatch, AnswersEachLineInOrder) {
    const std::string flop = flop_spot, answer = std::string(flop_answer) + "\n";
    const std::string not_json = refused("bad_json", "the body is not JSON");
    const std::string no_deal =
        "no compatible deal: 3 players need 3 hands at once, and the cards their ranges hold make at most 1";
    const struct {
        std::string input, out;
        int status;
    } cases[] = {
        {flop + "\r\n" + flop, answer + answer, 0}, // the last line without its newline
        {"", "", 0},
        // A bad item's refusal is the README's example.
        {flop + "\nhello\n\n" + R"({"ranges": ["AA", "AA", "AA"], "board": "Ad"})" + "\n" + flop + "\n",
         answer + not_json + not_json + refused("no_compatible_deal", no_deal, R"("ranges")") + answer, 1},
        {"hello\nworld", not_json + not_json, 2},
        {std::string(70 * 1024, ' ') + "\n" + flop, refused("payload_too_large", "the body is over 64 KiB") + answer,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.substr(0, 120));
        const testing::Ran p = run("--batch", c.input);
        EXPECT_EQ(without_time(p.out), c.out);
        EXPECT_EQ(p.status, c.status);
        EXPECT_EQ(p.err, c.status == 2 ? "varnolith: standard input is not JSON lines: not one of its lines is JSON\n"
                                       : "");
    }
}

// Hundreds of lines over two chunks and two threads, whatever the cores, a spot that is not small among them (run
// apart, on every thread): each answer in its line's place.
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
    const testing::Ran p = run("--batch --threads 2", input);
    std::istringstream out(p.out);
    std::size_t i = 0;
    for (std::string line; std::getline(out, line) && i < ranges.size(); ++i) {
        const Json players = Json::parse(line)["players"];
        EXPECT_EQ(Json({players[0]["range"], players[1]["range"]}), ranges[i]) << "line " << i + 1;
    }
    EXPECT_EQ(i, ranges.size());
    EXPECT_EQ(p.status, 0);
}

// Each line is answered as soon as it comes: a program that writes one line
// and waits for its answer (10 s at most, or status 9) before the next is not
// kept waiting for the end of the input.
TEST(VarnolithBatch, AnswersALineBeforeTheNextComes) {
    const testing::Ran p = testing::run_program(
        R"(bash -c 'coproc v { "$1" --batch; }; for round in 1 2; do echo "$0" >&"${v[1]}"; )"
        R"(IFS= read -t 10 -r answer <&"${v[0]}" || exit 9; echo "$answer"; done; exec {v[1]}>&-; wait "$v_PID"' ')" +
        std::string(flop_spot) + "' '" VARNOLITH_COMMAND_PATH "'");
    const std::string answer = std::string(flop_answer) + "\n";
    EXPECT_EQ(without_time(p.out), answer + answer);
    EXPECT_EQ(p.status, 0);
}

} // namespace
} // namespace varnolith
