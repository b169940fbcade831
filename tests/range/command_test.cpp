// The real varnolith command run as a process: JSON fields, exit statuses and
// the one line a bad command line gets.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <tuple>

namespace varnolith {
namespace {

using Json = nlohmann::ordered_json;
using Keys = std::vector<std::string>;

struct Process {
    std::string out, err;
    int status;
};

std::string slurp(const std::filesystem::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

Process run(const std::string& arguments) {
    const auto dir = std::filesystem::temp_directory_path() / ("varnolith_command_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string command = std::string("'") + VARNOLITH_COMMAND_PATH + "' " + arguments + " < /dev/null > '" +
                                (dir / "out").string() + "' 2> '" + (dir / "err").string() + "'";
    const int raw = std::system(command.c_str());
    Process result{slurp(dir / "out"), slurp(dir / "err"), WIFEXITED(raw) ? WEXITSTATUS(raw) : -1};
    std::filesystem::remove_all(dir);
    return result;
}

Keys keys(const Json& object) {
    Keys names;
    for (const auto& item : object.items()) names.push_back(item.key());
    return names;
}

TEST(VarnolithCommand, EnumeratesHeadsUpExactly) {
    const Process p = run("--json AhKd QsQc -b 6c7d8h");
    ASSERT_EQ(p.status, 0) << p.err;
    const Json j = Json::parse(p.out);
    EXPECT_EQ(keys(j), (Keys{"method", "board", "dead", "deals", "boards", "elapsed_seconds", "players"}));
    EXPECT_EQ(j["method"], "exact");
    EXPECT_EQ(j["board"], Json({"6c", "7d", "8h"}));
    EXPECT_EQ(j["deals"], 1);
    EXPECT_EQ(j["boards"], 406);
    EXPECT_EQ(keys(j["players"][0]), (Keys{"range", "combos", "equity", "win", "tie", "stderr"}));
    EXPECT_EQ(j["players"][0]["range"], "AhKd");
    EXPECT_NEAR(j["players"][0]["equity"].get<double>(), 209.0 / 406.0, 1e-12);
    EXPECT_EQ(j["players"][1]["stderr"], 0.0);
    EXPECT_EQ(run("--version").out, "varnolith 1.0.0\n");
}

TEST(VarnolithCommand, SimulatesAlikeOnAnyThreadCount) {
    const std::string spot = "--json --seed 42 --trials 20000 'QQ+, AKs' random -b Kh9c8d --threads ";
    Json one = Json::parse(run(spot + "1").out), two = Json::parse(run(spot + "2").out);
    EXPECT_EQ(one["method"], "monte_carlo");
    EXPECT_EQ(one["trials"], 20000);
    EXPECT_EQ(one["seed"], 42);
    one.erase("elapsed_seconds");
    two.erase("elapsed_seconds");
    EXPECT_EQ(one, two);
}

// Usage errors exit 2, spots without a compatible deal 1: one line, no report.
TEST(VarnolithCommand, RefusesWithOneLine) {
    const std::tuple<std::string, int, std::string> cases[] = {
        {"--frobnicate AhKd QsQc", 2, "varnolith: "},
        {"AhKd", 2, "varnolith: give two to fifteen ranges"},
        {"--exact --trials 10 AhKd QsQc", 2, "varnolith: "},
        {"AhKd QQs", 2, "varnolith: range 2: item \"QQs\": "},
        {"AhKd QsQc -b 6c7d8h9sTcJd", 2, "varnolith: board: "},
        {"AhKd QsQc -b 6c7d8h -d 8h", 2, "varnolith: card 8h "},
        {"AhKd QsQc --trials 0", 2, "varnolith: --trials"},
        {"AA AA AA -b Ac", 1, "varnolith: "},
        {"AhKd QsQc -d Ah", 1, "varnolith: "},
    };
    for (const auto& [arguments, status, start] : cases) {
        SCOPED_TRACE(arguments);
        const Process p = run(arguments);
        EXPECT_EQ(p.status, status);
        EXPECT_EQ(p.out, "");
        EXPECT_EQ(p.err.rfind(start, 0), 0u) << p.err;
        EXPECT_EQ(std::count(p.err.begin(), p.err.end(), '\n'), 1);
    }
}

TEST(VarnolithCommand, BreaksDownByCategoryAndHand) {
    const Process p = run("--json --categories --by-hand AhKd 'QQ, JJ' -b 6c7d8h9s");
    ASSERT_EQ(p.status, 0) << p.err;
    const Json player = Json::parse(p.out)["players"][1];
    EXPECT_EQ(keys(player), (Keys{"range", "combos", "equity", "win", "tie", "stderr", "categories", "hands"}));
    EXPECT_EQ(keys(player["categories"]), (Keys{"high card", "pair", "two pair", "three of a kind", "straight",
                                                "full house", "flush", "four of a kind", "straight flush"}));
    EXPECT_EQ(player["hands"].size(), 12u);
    EXPECT_EQ(keys(player["hands"][0]), (Keys{"hand", "weight", "equity"}));
}

} // namespace
} // namespace varnolith
