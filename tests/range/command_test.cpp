// The real varnolith command run as a process: JSON fields, exit statuses and
// the one line a bad command line gets.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
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
        {"AhKd QsQc --svg ''", 2, "varnolith: --svg"},
        {"AhKd QsQc --svg /nonexistent/grid.svg", 1,
         "varnolith: cannot write /nonexistent/grid.svg: No such file or directory"},
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

// "AhKd" -> "AKo", worked out here apart from the command.
std::string class_of(const std::string& hand) {
    const std::string ranks = "AKQJT9876";
    char high = hand[0], low = hand[2];
    if (ranks.find(high) > ranks.find(low)) std::swap(high, low);
    if (high == low) return {high, low};
    return {high, low, hand[1] == hand[3] ? 's' : 'o'};
}

// Each cell is its combinations' weight and their equity averaged by weight,
// row by row from AA, and the cells' weights add up to the whole range.
TEST(VarnolithCommand, GridAgreesWithTheHands) {
    const Process p = run("--json --by-hand --grid 'QQ+, AK:0.5, AKs, A9s+:0.3' 'TT-77, AQo+:0.7, KQs' -b 6c7d8h");
    ASSERT_EQ(p.status, 0) << p.err;
    const Json all = Json::parse(p.out);
    for (const Json& player : all["players"]) {
        std::map<std::string, std::pair<double, double>> sums; // class -> weight, weight * equity
        for (const Json& h : player["hands"]) {
            auto& [weight, share] = sums[class_of(h["hand"])];
            weight += h["weight"].get<double>();
            if (!h["equity"].is_null()) share += h["weight"].get<double>() * h["equity"].get<double>();
        }
        const Json& grid = player["grid"];
        ASSERT_EQ(grid.size(), 81u);
        double total = 0;
        const std::string ranks = "AKQJT9876";
        for (std::size_t i = 0; i < grid.size(); ++i) {
            const std::size_t row = i / 9, column = i % 9;
            const std::string name = row == column ? std::string{ranks[row], ranks[row]}
                                     : row < column ? std::string{ranks[row], ranks[column], 's'}
                                                    : std::string{ranks[column], ranks[row], 'o'};
            SCOPED_TRACE(name);
            ASSERT_EQ(keys(grid[i]), (Keys{"class", "weight", "equity"}));
            EXPECT_EQ(grid[i]["class"], name);
            const auto [weight, share] = sums[name];
            EXPECT_NEAR(grid[i]["weight"].get<double>(), weight, 1e-12);
            if (weight > 0)
                EXPECT_NEAR(grid[i]["equity"].get<double>(), share / weight, 1e-12);
            else
                EXPECT_TRUE(grid[i]["equity"].is_null());
            total += grid[i]["weight"].get<double>();
        }
        EXPECT_NEAR(total, 1.0, 1e-12);
    }
}

// Standard output here is a file: the square comes plain.
TEST(VarnolithCommand, GridIsPlainWithoutATerminal) {
    const Process p = run("--grid AhKd QsQc -b 6c7d8h");
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_NE(p.out.find("\nK  51.5\n"), std::string::npos) << p.out;
    EXPECT_EQ(p.out.find('\x1b'), std::string::npos);
}

} // namespace
} // namespace varnolith
