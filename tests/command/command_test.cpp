// The real varnolith command run as a process: JSON fields, exit statuses and
// the one line a bad command line gets.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <tuple>

#include "library_version.hpp"
#include "run_program.hpp"

namespace varnolith {
namespace {

using Json = nlohmann::ordered_json;
using Keys = std::vector<std::string>;

using Process = testing::Ran;

Process run(const std::string& arguments) { return testing::run_program("'" VARNOLITH_COMMAND_PATH "' " + arguments); }

Keys keys(const Json& object) {
    Keys names;
    for (const auto& item : object.items()) names.push_back(item.key());
    return names;
}

TEST(VarnolithCommand, EnumeratesHeadsUpExactlyAndSimulatesAsSeeded) {
    const Process p = run("--json AhKd QsQc -b 6c7d8h");
    ASSERT_EQ(p.status, 0) << p.err;
    const Json j = Json::parse(p.out);
    EXPECT_EQ(keys(j), (Keys{"method", "rules", "board", "dead", "deals", "boards", "elapsed_seconds", "players"}));
    EXPECT_EQ(keys(j["players"][0]), (Keys{"range", "combos", "equity", "win", "tie", "stderr"}));
    EXPECT_EQ(j["board"], Json({"6c", "7d", "8h"}));
    EXPECT_EQ(j["players"][0]["range"], "AhKd");
    // AhKd wins 195 of the 406 boards and splits 28 with QsQc: (195 + 28 / 2) / 406.
    EXPECT_NEAR(j["players"][0]["equity"].get<double>(), 209.0 / 406.0, 1e-12);
    EXPECT_EQ(j["players"][1]["stderr"], 0.0);
    EXPECT_EQ(j["deals"].get<int>() * 1000 + j["boards"].get<int>(), 1406);
    const Json s = Json::parse(run("--json --seed 42 --trials 20000 --threads 2 'QQ+, AKs' random -b Kh9c8d").out);
    EXPECT_EQ(keys(s), (Keys{"method", "rules", "board", "dead", "trials", "seed", "elapsed_seconds", "players"}));
    EXPECT_EQ(s["method"].get<std::string>() + " " + s["trials"].dump() + " " + s["seed"].dump(), "monte_carlo 20000 42");
    EXPECT_EQ(run("--version").out, "varnolith " + testing::library_version() + "\n");
}

// Usage errors exit 2, spots without a compatible deal or output that cannot
// be written 1: one line, whole, no report. Each family of the command's own
// words once; the notation's and the engine's messages are tested there.
TEST(VarnolithCommand, RefusesWithOneLineInItsOwnWords) {
    const std::tuple<std::string, int, std::string> cases[] = {
        {"AhKd", 2, "give two to fifteen ranges, one per player (got 1)"},
        {"AA KK --foo", 2, "unknown option --foo (varnolith --help lists them)"},
        {"AA KK --board", 2, "--board: a value is missing"},
        {"AA KK --exact --precision 0.01", 2, "--exact, --trials and --precision exclude one another: give at most one"},
        {"AhKd QsQc --trials 0", 2, "--trials: N must be a whole number of at least 1 (got 0)"},
        {"AA KK --seed \"$(printf '1\\n2')\"", 2,
         "--seed: S must be a whole number from 0 to 18446744073709551615 (got 1\\n2)"},
        {"AA KK --precision 0.05%", 2, "--precision: P must be a number above 0 and below 1, such as 0.001 or 1e-4 (got 0.05%)"},
        {"AA KK --precision inf", 2, "--precision: P must be a number above 0 and below 1, such as 0.001 or 1e-4 (got inf)"},
        {"AA KK --precision 0x1p-4", 2, "--precision: P must be a number above 0 and below 1, such as 0.001 or 1e-4 (got 0x1p-4)"},
        {"AA KK --precision 1e-400", 2, "--precision: P must be a number above 0 and below 1, such as 0.001 or 1e-4 (got 1e-400)"},
        // The usual slips, named with what to type instead.
        {"AA KK -b 6c7d8h -b 9s", 2, "-b is given twice: give each option once"},
        {"AA KK -b 6c7d8h --board=9s", 2, "-b and --board are one option, given twice: give it once"},
        {"QQ+, AKs JJ", 2, "range 1 (\"QQ+,\") ends with a comma: a range with blanks is one argument, so quote it, as in "
                           "\"QQ+, AKs\""},
        {"AA KK -b 6c 7d 8h", 2, "range 3 (\"7d\") is a card, not a range: board cards go together, as in -b 6c7d8h"},
        {"-d 6c 7d AA KK", 2, "range 1 (\"7d\") is a card, not a range: dead cards go together, as in -d 6c7d"},
        {"A5s KK", 2, "range 1: item \"A5s\": '5' is not a rank: short deck has no ranks below 6"},
        {"AhKd QsQc --svg ''", 2, "--svg: FILE must not be empty"},
        {"AhKd QsQc --scale relative", 2, "--scale: must be absolute or fair (got relative)"},
        {"AhKd QsQc --rules omaha", 2, "--rules: must be straight or trips (got omaha)"},
        {"--ordering AhKd QsQc", 2, "--ordering takes no ranges: it prints the preflop ordering alone"},
        {"--ordering --exact", 2, "--ordering goes with --rules and --json alone (got --exact)"},
        {"--by-card AhKd QsQc -b 6c7d8h9sTs", 2, "--by-card needs a flop or a turn: three or four board cards (got 5)"},
        {"--by-card --precision 0.01 AhKd QsQc -b 6c7d8h", 2, "--by-card is exact: it goes with neither --trials nor --precision"},
        {"AhKd QsQc --svg /nonexistent/grid.svg", 1, "cannot write /nonexistent/grid.svg: No such file or directory"},
        {"--hits AhKd QsQc", 2, "hits are of a board: give a flop, a turn or a river, or ask for the flops"},
        {"--flops AhKd QsQc -b 6c7d8h", 2, "the flops are of a preflop spot: give no board cards"},
        {"--flops --trials 10 AhKd QsQc", 2, "the flops are exact: they go with neither trials nor a precision"},
        {"--csv AhKd QsQc", 2, "--csv goes with --flops: the flop rows are the table it writes"},
        {"--flops --csv --json AA KK", 2, "--csv, --json and --svg - each write the whole output: give one"},
        {"--filter set --exact AA -b Kh9h8d", 2, "--filter goes with --board, --dead and --rules alone (got --exact)"},
        {"--filter sets AA -b Kh9h8d", 2,
         "filter: unknown class or draw \"sets\" (classes: set, two_pair, top_pair, ...; draws: flush_draw, "
         "open_ended, ...)"},
        {"--filter set AA -b Kh9h", 2, "filter: give a board of three to five cards"},
        // The default method decides at once that this cannot be dealt.
        {"-b 6c7d8h9sTc -d JcJd random random random random random random random random random random random "
         "random random random random",
         1, "no compatible deal: 15 hands need 30 cards, and 29 are left"},
    };
    for (const auto& [arguments, status, message] : cases) {
        SCOPED_TRACE(arguments);
        const Process p = run(arguments);
        EXPECT_EQ(p.status, status);
        EXPECT_EQ(p.out, "");
        EXPECT_EQ(p.err, "varnolith: " + message + "\n");
    }
    for (const std::string arguments : {"AA KK", "--json AA KK", "--ordering", "--svg - AA KK"}) {
        const Process p = run(arguments + " > /dev/full");
        EXPECT_EQ(p.status, 1) << arguments;
        EXPECT_EQ(p.err, "varnolith: cannot write the output: No space left on device\n") << arguments;
    }
}

// A precision in any usual notation; a range that is a legal combination
// after a board stays a range.
TEST(VarnolithCommand, ReadsNumbersAsPeopleWriteThem) {
    for (const char* precision : {"1e-2", "1E-2", ".01", "0.01", "1e-02", "0.1e-1"}) {
        const Process p = run(std::string("--json AA KK --seed 3 --precision ") + precision);
        ASSERT_EQ(p.status, 0) << precision << p.err;
        EXPECT_EQ(Json::parse(p.out)["method"], "monte_carlo");
    }
    EXPECT_EQ(run("-b 6c7d8h AhKd QsQc").status, 0);
}

// A long run is said before it starts, and Ctrl-C stops even a run of hours
// at once: status 130, no report.
TEST(VarnolithCommand, WarnsBeforeALongRunAndStopsAtOnceOnInterrupt) {
    const auto dir = std::filesystem::temp_directory_path() / ("varnolith_long_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string out = (dir / "out").string(), err = (dir / "err").string();
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{"--exact", "random", "random", "random"}, "this exact run is expected to take about "},
        {{"AA", "KK", "--trials", "99999999999999"}, "; fewer --trials shortens it\n"},
        {{"AA", "KK", "--precision", "1e-300"}, "; a larger --precision shortens it\n"},
    };
    for (const auto& [arguments, advice] : cases) {
        SCOPED_TRACE(advice);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr)) ::_exit(99);
            std::vector<char*> argv{const_cast<char*>("varnolith")};
            for (const char* a : arguments) argv.push_back(const_cast<char*>(a));
            argv.push_back(nullptr);
            ::execv(VARNOLITH_COMMAND_PATH, argv.data());
            ::_exit(98);
        }
        std::string said;
        for (int wait = 0; wait < 100 && said.find('\n') == std::string::npos; ++wait) {
            ::usleep(50'000);
            std::ostringstream text;
            text << std::ifstream(err).rdbuf();
            said = text.str();
        }
        ::usleep(200'000); // into the run itself
        const auto sent = std::chrono::steady_clock::now();
        ::kill(child, SIGINT);
        int raw = 0;
        ::waitpid(child, &raw, 0);
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - sent).count(), 5.0);
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 130) << raw;
        EXPECT_EQ(std::filesystem::file_size(out), 0u);
        EXPECT_TRUE(said.starts_with("varnolith: this ")) << said;
        EXPECT_NE(said.find(advice), std::string::npos) << said;
    }
    std::filesystem::remove_all(dir);
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
    const Process p = run("--json --categories --by-hand --grid 'QQ+, AK:0.5, AKs, A9s+:0.3' 'TT-77, AQo+:0.7, KQs' "
                          "-b 6c7d8h");
    ASSERT_EQ(p.status, 0) << p.err;
    const Json all = Json::parse(p.out);
    ASSERT_EQ(all["players"].size(), 2u);
    for (const Json& player : all["players"]) {
        EXPECT_EQ(keys(player),
                  (Keys{"range", "combos", "equity", "win", "tie", "stderr", "categories", "hands", "grid"}));
        EXPECT_EQ(keys(player["categories"]), (Keys{"high card", "pair", "two pair", "three of a kind", "straight",
                                                    "full house", "flush", "four of a kind", "straight flush"}));
        std::map<std::string, std::pair<double, double>> sums; // class -> weight, weight * equity
        for (const Json& h : player["hands"]) {
            ASSERT_EQ(keys(h), (Keys{"hand", "share", "weight", "equity"}));
            EXPECT_EQ(h["share"], h["weight"]);
            auto& [weight, share] = sums[class_of(h["hand"])];
            weight += h["weight"].get<double>();
            if (!h["equity"].is_null()) share += h["weight"].get<double>() * h["equity"].get<double>();
        }
        const Json& grid = player["grid"];
        ASSERT_EQ(grid.size(), 81u);
        double total = 0;
        const std::string ranks = "AKQJT9876";
        for (std::size_t i = 0; i < grid.size(); ++i) {
            // A hand of the cell's class: suited above the diagonal.
            const std::string name = class_of({ranks[i / 9], 'c', ranks[i % 9], i / 9 < i % 9 ? 'c' : 'd'});
            SCOPED_TRACE(name);
            ASSERT_EQ(keys(grid[i]), (Keys{"class", "weight", "equity"}));
            EXPECT_EQ(grid[i]["class"], name);
            const auto [weight, share] = sums[name];
            EXPECT_NEAR(grid[i]["weight"].get<double>(), weight, 1e-12);
            if (weight > 0) EXPECT_NEAR(grid[i]["equity"].get<double>(), share / weight, 1e-12);
            else EXPECT_TRUE(grid[i]["equity"].is_null());
            total += grid[i]["weight"].get<double>();
        }
        EXPECT_NEAR(total, 1.0, 1e-12);
    }
}

// Standard output here is a file: the report and its squares come plain.
// AhKd against QsQc wins 195 of the 406 boards and splits 28: 51.5 in the AKo cell.
TEST(VarnolithCommand, ReportAndGridArePlainWithoutATerminal) {
    const Process p = run("--grid AhKd QsQc -b 6c7d8h");
    EXPECT_TRUE(p.out.starts_with("Board    6c 7d 8h\nDead     none\nMethod   exact, 1 deal of hole cards, 406 boards "
                                  "each\nElapsed  ")) << p.out;
    const std::string ranks = "      A     K     Q     J     T     9     8     7     6\n";
    EXPECT_TRUE(p.out.ends_with("\nPlayer  Range  Combos  Equity %   Win %  Tie %\n"
                                "     1  AhKd        1    51.478  48.030  3.448\n"
                                "     2  QsQc        1    48.522  45.074  3.448\n"
                                "\nPlayer 1 (AhKd), equity by hand class, percent\n" + ranks +
                                "A\nK  51.5\nQ\nJ\nT\n9\n8\n7\n6\n\nPlayer 2 (QsQc), equity by hand class, percent\n" +
                                ranks + "A\nK\nQ              48.5\nJ\nT\n9\n8\n7\n6\n")) << p.out << p.err;
}

// The table and the JSON tell the same ordering, and the running counts add up.
TEST(VarnolithCommand, OrderingTableAndJsonAgree) {
    const Process table = run("--ordering"), json = run("--ordering --json");
    ASSERT_EQ(table.status, 0) << table.err;
    ASSERT_EQ(json.status, 0) << json.err;
    const Json classes = Json::parse(json.out);
    ASSERT_EQ(classes.size(), 81u);
    std::istringstream lines(table.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "Place  Class  Combos  Cumulative  Cumulative %  Equity %");
    int cumulative = 0;
    for (std::size_t i = 0; i < classes.size(); ++i) {
        const Json& c = classes[i];
        ASSERT_EQ(keys(c), (Keys{"place", "class", "combos", "cumulative_combos", "cumulative_percent", "equity"}));
        cumulative += c["combos"].get<int>();
        EXPECT_EQ(c["place"], i + 1);
        EXPECT_EQ(c["cumulative_combos"], cumulative);
        EXPECT_NEAR(c["cumulative_percent"].get<double>(), 100.0 * cumulative / 630, 1e-12);
        char row[128];
        std::snprintf(row, sizeof row, "%5zu  %-5s  %6d  %10d  %12.2f  %8.3f", i + 1,
                      c["class"].get<std::string>().c_str(), c["combos"].get<int>(), cumulative,
                      c["cumulative_percent"].get<double>(), 100.0 * c["equity"].get<double>());
        std::getline(lines, line);
        EXPECT_EQ(line, row);
    }
    EXPECT_EQ(cumulative, 630);
    EXPECT_FALSE(std::getline(lines, line));
}

// The JSON rows, exact without --exact; that they add up to the spot is the
// engine's to test. (The squares below show which cards come, in deck order.)
TEST(VarnolithCommand, NextCardsAreRowsOfTheJson) {
    const Process p = run("--json --by-card 'AK, QQ' 'JT, 99' '77' -b Kh9c8d -d Ts");
    ASSERT_EQ(p.status, 0) << p.err;
    const Json j = Json::parse(p.out);
    EXPECT_EQ(j["method"], "exact");
    ASSERT_EQ(j["next_cards"].size(), 32u); // 36 less the flop and the dead Ts: no card is held in every deal
    for (const Json& c : j["next_cards"]) {
        ASSERT_EQ(keys(c), (Keys{"card", "probability", "equity"}));
        EXPECT_EQ(c["equity"].size(), 3u);
    }
}

// AhKd leads QsQc on 6c 7d 8h; a queen, a ten, a jack or a paired board card
// puts the queens ahead. The held and board cards cannot come.
TEST(VarnolithCommand, NextCardsAreSquaresOfPercent) {
    const Process p = run("--by-card AhKd QsQc -b 6c7d8h");
    ASSERT_EQ(p.status, 0) << p.err;
    const std::string after = p.out.substr(p.out.find("\n\nNext card"));
    EXPECT_EQ(after, R"(

Next card, each player's equity in percent when it comes: now 51.5 and 48.5
* the card changes who has the highest equity (now player 1); - it cannot come

Player 1                         Player 2
      c      d      h      s           c      d      h      s
A  85.7   85.7      -   85.7     A  14.3   14.3      -   14.3
K  92.9      -   92.9   92.9     K   7.1      -    7.1    7.1
Q     -   14.3*  14.3*     -     Q     -   85.7*  85.7*     -
J  35.7*  35.7*  35.7*  35.7*    J  64.3*  64.3*  64.3*  64.3*
T  28.6*  28.6*  28.6*  28.6*    T  71.4*  71.4*  71.4*  71.4*
9  87.5   87.5   87.5   87.5     9  12.5   12.5   12.5   12.5
8  35.7*  35.7*     -   35.7*    8  64.3*  64.3*     -   64.3*
7  35.7*     -   35.7*  35.7*    7  64.3*     -   64.3*  64.3*
6     -   35.7*  35.7*  35.7*    6     -   64.3*  64.3*  64.3*

Probability %
      c      d      h      s
A  3.45   3.45      -   3.45
K  3.45      -   3.45   3.45
Q     -   3.45   3.45      -
J  3.45   3.45   3.45   3.45
T  3.45   3.45   3.45   3.45
9  3.45   3.45   3.45   3.45
8  3.45   3.45      -   3.45
7  3.45      -   3.45   3.45
6     -   3.45   3.45   3.45
)");
}

// On Ac Kd Jh 7s 6c against QhQd: aces and kings make trips (100%), queens
// split (50%), tens lose (0%); QhQc is never dealt and has no share. At equal
// shares the quartiles sit on the boundaries, 1/4 and 2/4; at half weight the
// tens hold 1/7, and the queens then reach a quarter.
TEST(VarnolithCommand, QuartilesOfARiverSpot) {
    const std::pair<std::string, std::string> cases[] = {
        {"AhAd, QsQc, TsTh, KhKs, QhQc", "0.000, 50.000, 100.000"},
        {"AhAd, QsQc, TsTh:0.5, KhKs", "50.000, 100.000, 100.000"},
    };
    for (const auto& [range, quartiles] : cases) {
        const Process p = run("--by-hand '" + range + "' QhQd -b AcKdJh7s6c");
        EXPECT_NE(p.out.find("every live combination, percent\nEquity quartiles by share: " + quartiles + "\n\nHand"),
                  std::string::npos)
            << p.out << p.err;
    }
}

} // namespace
} // namespace varnolith

namespace varnolith {
namespace {

// The postflop outputs as scripts read them: hits by name in every player,
// the flop rows and their CSV in step, and a filter's lines read back.
TEST(VarnolithCommand, PostflopOutputsHoldTogether) {
    const Json hits = Json::parse(run("--json --hits 'QQ+, AKs' 'JJ-88, AQs+' -b Kh9h8d").out);
    ASSERT_EQ(hits["players"].size(), 2u);
    const Json& first = hits["players"][0]["hits"];
    ASSERT_EQ(first.size(), 22u);
    EXPECT_EQ(keys(first[0]), (Keys{"class", "kind", "combos", "share", "equity"}));
    EXPECT_EQ(first[5]["class"], "set");
    EXPECT_EQ(first[5]["combos"], 3.0); // KK less the board's king
    const Json flops = Json::parse(run("--json --flops AA KK").out);
    const Process csv = run("--flops --csv AA KK");
    EXPECT_EQ(csv.status, 0);
    std::istringstream lines(csv.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "flop,flops,probability,equity_1,equity_2,suits,pairing,high_card,straight_possible");
    std::size_t rows = 0;
    while (std::getline(lines, line)) ++rows;
    EXPECT_EQ(rows, flops["flops"].size());
    EXPECT_EQ(keys(flops["textures"][0]), (Keys{"kind", "texture", "flops", "probability", "equity"}));
    const Process kept = run("--filter 'set, !nothing' -b Kh9h8d 'KK, 99, AQ' '88-66'");
    EXPECT_EQ(kept.status, 0);
    EXPECT_EQ(kept.out, "KdKc, KsKc, KsKd, 9d9c, 9s9c, 9s9d\n8h8c, 8s8c, 8s8h\n");
}

} // namespace
} // namespace varnolith
