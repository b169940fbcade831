// The real varnolith command run as a process: its text, JSON fields, exit
// statuses, the one line a bad command line gets, and ranges read from files.

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

#include "command_process.hpp"
#include "library_version.hpp"
#include "run_program.hpp"

namespace varnolith {
namespace {

using Json = nlohmann::ordered_json;
using Keys = std::vector<std::string>;

testing::Ran run(const std::string& args) { return testing::run_program("'" VARNOLITH_COMMAND_PATH "' " + args); }

Keys keys(const Json& object) {
    Keys names;
    for (const auto& item : object.items()) names.push_back(item.key());
    return names;
}

// Usage errors exit 2, spots without a compatible deal or output that cannot
// be written 1: one line, whole, no report. Each family of the command's own
// words once; the notation's, the engine's and the API's messages are tested
// there. The README's examples, run by readme_check.py, hold the reports, the
// filter's lines, a missing range file and a bad item.
TEST(VarnolithCommand, PrintsOrRefusesInItsOwnWords) {
    const std::string precision = "--precision: P must be a number above 0 and below 1, such as 0.001 or 1e-4 (got ";
    const std::string full = "cannot write the output: No space left on device";
    const struct {
        std::string arguments;
        int status;
        std::string message, out = "";
    } cases[] = {
        {"--version", 0, "", "varnolith " + testing::library_version() + "\n"},
        {"AhKd", 2, "give two to fifteen ranges, one per player (got 1)"},
        {"AA KK --foo", 2, "unknown option --foo (varnolith --help lists them)"},
        {"AA KK --board", 2, "--board: a value is missing"},
        {"AA KK --exact --precision .1", 2, "--exact, --trials and --precision exclude one another: give at most one"},
        {"AhKd QsQc --trials 0", 2, "--trials: N must be a whole number of at least 1 (got 0)"},
        {"AA KK --seed \"$(printf '1\\n2')\"", 2,
         "--seed: S must be a whole number from 0 to 18446744073709551615 (got 1\\n2)"},
        // Stray characters, no digits, and a value that reads as 0.
        {"AA KK --precision 0.05%", 2, precision + "0.05%)"}, {"AA KK --precision inf", 2, precision + "inf)"},
        {"AA KK --precision 1e-400", 2, precision + "1e-400)"},
        // The usual slips, named with what to type instead.
        {"AA KK -b 6c7d8h -b 9s", 2, "-b is given twice: give each option once"},
        {"AA KK -b 6c7d8h --board=9s", 2, "-b and --board are one option, given twice: give it once"},
        {"QQ+, AKs JJ", 2,
         "range 1 (\"QQ+,\") ends with a comma: a range with blanks is one argument, so quote it, as in \"QQ+, AKs\""},
        {"AA KK -b 6c 7d 8h", 2, "range 3 (\"7d\") is a card, not a range: board cards go together, as in -b 6c7d8h"},
        {"-d 6c 7d AA KK", 2, "range 1 (\"7d\") is a card, not a range: dead cards go together, as in -d 6c7d"},
        {"random @", 2, "range 2: '@' needs a file name after it, as in @opening_range.txt"},
        {"@/dev/null random", 2, "range 1 (@/dev/null): the range is empty: it needs items such as QQ+, AKs"},
        {"AhKd QsQc --svg ''", 2, "--svg: FILE must not be empty"},
        {"AhKd QsQc --scale relative", 2, "--scale: must be absolute or fair (got relative)"},
        {"AhKd QsQc --rules omaha", 2, "--rules: must be straight or trips (got omaha)"},
        {"--ordering AhKd QsQc", 2, "--ordering takes no ranges: it prints the preflop ordering alone"},
        {"--ordering --exact", 2, "--ordering goes with --rules and --json alone (got --exact)"},
        // --batch computes no spot of the command line; --threads is its own.
        {"--batch AhKd QsQc", 2, "--batch takes no ranges: it reads its spots from standard input"},
        {"--batch -b 6c7d8h", 2, "--batch goes with --threads alone (got --board)"},
        {"--batch --threads 0", 2, "--threads: N must be a whole number from 1 to 256 (got 0)"},
        {"--by-card AhKd QsQc -b 6c7d8h9sTs", 2, "--by-card needs a flop or a turn: three or four board cards (got 5)"},
        {"--by-card --precision 0.01 AhKd QsQc -b 6c7d8h", 2,
         "--by-card is exact: it goes with neither --trials nor --precision"},
        {"AhKd QsQc --svg /nonexistent/grid.svg", 1, "cannot write /nonexistent/grid.svg: No such file or directory"},
        {"--hits AhKd QsQc", 2, "hits are of a board: give a flop, a turn or a river, or ask for the flops"},
        {"--flops AhKd QsQc -b 6c7d8h", 2, "the flops are of a preflop spot: give no board cards"},
        {"--csv AhKd QsQc", 2, "--csv goes with --flops: the flop rows are the table it writes"},
        {"--flops --csv --json AA KK", 2, "--csv, --json and --svg - each write the whole output: give one"},
        {"--filter set --exact AA -b Kh9h8d", 2, "--filter goes with --board, --dead and --rules alone (got --exact)"},
        {"--filter sets AA -b Kh9h8d", 2,
         "filter: unknown class or draw \"sets\" (classes: set, two_pair, top_pair, ...; draws: flush_draw, "
         "open_ended, ...)"},
        {"--filter set AA -b Kh9h", 2, "filter: give a board of three to five cards"},
        // The default method decides at once that this cannot be dealt.
        {"-b 6c7d8h9sTc -d JcJd $(yes random | head -n 15)", 1,
         "no compatible deal: 15 hands need 30 cards, and 29 are left"},
        // Each way out that writes: the report, the ordering, the picture alone.
        {"AA KK > /dev/full", 1, full}, {"--ordering > /dev/full", 1, full}, {"--svg - AA KK > /dev/full", 1, full},
    };
    for (const auto& [arguments, status, message, out] : cases) {
        SCOPED_TRACE(arguments);
        const testing::Ran p = run(arguments);
        EXPECT_EQ(p.status, status);
        EXPECT_EQ(p.out, out);
        EXPECT_EQ(p.err, message.empty() ? "" : "varnolith: " + message + "\n");
    }
}

// Each option's part of the JSON with its fields in order, and a precision in
// any usual notation. An exact run's fields and figures are the answer line
// the batch tests compare whole.
TEST(VarnolithCommand, JsonHasThePartsItsOptionsAskFor) {
    const Json s = Json::parse(run("--json --seed 42 --trials 20000 --threads 2 'QQ+, AKs' random -b Kh9c8d").out);
    EXPECT_EQ(keys(s), (Keys{"method", "rules", "board", "dead", "trials", "seed", "elapsed_seconds", "players"}));
    EXPECT_EQ(Json({s["method"], s["trials"], s["seed"]}), Json({"monte_carlo", 20000, 42}));
    for (const char* precision : {"1E-2", ".01", "0.1e-1"})
        EXPECT_EQ(Json::parse(run(std::string("--json AA KK --seed 3 --precision ") + precision).out)["method"],
                  "monte_carlo")
            << precision;
    // Hits by name in every player, for every class and draw; which they are is the ranges' tests'.
    const Json hits = Json::parse(run("--json --hits 'QQ+, AKs' 'JJ-88, AQs+' -b Kh9h8d").out)["players"];
    ASSERT_EQ(hits.size(), 2u);
    for (const Json& player : hits) {
        ASSERT_EQ(player["hits"].size(), 22u);
        EXPECT_EQ(keys(player["hits"][0]), (Keys{"class", "kind", "combos", "share", "equity"}));
    }
    // The flop rows and their CSV in step.
    const Json flops = Json::parse(run("--json --flops AA KK").out);
    EXPECT_EQ(keys(flops["textures"][0]), (Keys{"kind", "texture", "flops", "probability", "equity"}));
    const testing::Ran csv = run("--flops --csv AA KK");
    EXPECT_EQ(csv.status, 0);
    const auto rows = static_cast<std::size_t>(std::count(csv.out.begin(), csv.out.end(), '\n')) - 1; // and a heading
    EXPECT_EQ(rows, flops["flops"].size());
    // Exact without --exact; 36 cards less the flop and the dead Ts: no card is held in every deal.
    const Json next = Json::parse(run("--json --by-card 'AK, QQ' 'JT, 99' '77' -b Kh9c8d -d Ts").out);
    EXPECT_EQ(next["method"], "exact");
    ASSERT_EQ(next["next_cards"].size(), 32u);
    for (const Json& c : next["next_cards"]) {
        ASSERT_EQ(keys(c), (Keys{"card", "probability", "equity"}));
        EXPECT_EQ(c["equity"].size(), 3u);
    }
}

// A long run is said before it starts, and Ctrl-C stops even a run of hours
// at once: status 130, nothing more said, no report.
TEST(VarnolithCommand, WarnsBeforeALongRunAndStopsAtOnceOnInterrupt) {
    const std::string file = std::filesystem::temp_directory_path() / ("varnolith_long_" + std::to_string(::getpid()));
    const auto said = [&] {
        std::ostringstream text;
        text << std::ifstream(file).rdbuf();
        return text.str();
    };
    const std::pair<std::string, std::string> cases[] = {
        {"--exact random random random", "this exact run is expected to take about "},
        {"AA KK --trials 99999999999999", "; fewer --trials shortens it\n"},
        {"AA KK --precision 1e-300", "; a larger --precision shortens it\n"},
    };
    for (const auto& [arguments, advice] : cases) {
        SCOPED_TRACE(advice);
        std::ofstream{file}; // empty of the last case's warning
        const std::string line = "exec '" VARNOLITH_COMMAND_PATH "' " + arguments + " >'" + file + "' 2>&1";
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::execl("/bin/sh", "sh", "-c", line.c_str(), nullptr);
            ::_exit(98);
        }
        for (int wait = 0; wait < 100 && said().find('\n') == std::string::npos; ++wait) ::usleep(50'000);
        const std::string warning = said();
        ::usleep(200'000); // into the run itself
        const auto sent = std::chrono::steady_clock::now();
        ::kill(child, SIGINT);
        int raw = 0;
        ::waitpid(child, &raw, 0);
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - sent).count(), 5.0);
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 130) << raw;
        EXPECT_EQ(said(), warning);
        EXPECT_TRUE(warning.starts_with("varnolith: this ")) << warning;
        EXPECT_NE(warning.find(advice), std::string::npos) << warning;
    }
    std::filesystem::remove(file);
}

// "AhKd" -> "AKo", worked out here apart from the command.
constexpr std::string_view ranks = "AKQJT9876";
std::string class_of(const std::string& hand) {
    const std::size_t first = ranks.find(hand[0]), second = ranks.find(hand[2]);
    const std::string both{ranks[std::min(first, second)], ranks[std::max(first, second)]};
    return first == second ? both : both + (hand[1] == hand[3] ? 's' : 'o');
}

// Each cell is its combinations' weight and their equity averaged by weight,
// row by row from AA.
TEST(VarnolithCommand, GridAgreesWithTheHands) {
    const std::string spot = "'QQ+, AK:0.5, AKs, A9s+:0.3' 'TT-77, AQo+:0.7, KQs' -b 6c7d8h";
    const Json players = Json::parse(run("--json --categories --by-hand --grid " + spot).out)["players"];
    ASSERT_EQ(players.size(), 2u);
    for (const Json& player : players) {
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
        }
    }
}

// The JSON, field by field, is the table; docs/ordering.md holds the table as
// it stands (ordering_doc_check.py), running counts and all.
TEST(VarnolithCommand, OrderingTableAndJsonAgree) {
    std::string table = "Place  Class  Combos  Cumulative  Cumulative %  Equity %\n";
    for (const Json& c : Json::parse(run("--ordering --json").out)) {
        ASSERT_EQ(keys(c), (Keys{"place", "class", "combos", "cumulative_combos", "cumulative_percent", "equity"}));
        char row[128];
        std::snprintf(row, sizeof row, "%5d  %-5s  %6d  %10d  %12.2f  %8.3f\n", c["place"].get<int>(),
                      c["class"].get<std::string>().c_str(), c["combos"].get<int>(), c["cumulative_combos"].get<int>(),
                      c["cumulative_percent"].get<double>(), 100.0 * c["equity"].get<double>());
        table += row;
    }
    EXPECT_EQ(run("--ordering").out, table);
}

// On Ac Kd Jh 7s 6c against QhQd: aces and kings make trips (100%), queens split (50%), tens lose (0%); QhQc is
// never dealt and has no share. At equal shares the quartiles sit on the boundaries, 1/4 and 2/4; the weighted
// quantile itself is the grid tests'.
TEST(VarnolithCommand, QuartilesOfARiverSpot) {
    const testing::Ran p = run("--by-hand 'AhAd, QsQc, TsTh, KhKs, QhQc' QhQd -b AcKdJh7s6c");
    EXPECT_NE(p.out.find("every live combination, percent\nEquity quartiles by share: 0.000, 50.000, 100.000\n\nHand"),
              std::string::npos)
        << p.out << p.err;
}

// "@PATH" is the file's text as it stands: a comment, a line break, CRLF.
TEST(RangeFiles, AFileIsItsTextAsItStands) {
    const testing::Scratch scratch;
    scratch.write("opening.txt", "# opening range\r\nQQ+, AKs,\nA**:0.5, !A*6*  # no small aces\n");
    const auto json = [&](const std::string& range) {
        Json answer =
            Json::parse(testing::run_in(scratch, VARNOLITH_COMMAND_PATH, "--json " + range + " KhKd -b 7c8c9c").out);
        answer.erase("elapsed_seconds");
        return answer;
    };
    Json from_file = json("@opening.txt"), typed = json("'QQ+, AKs, A**:0.5, !A*6*'");
    EXPECT_EQ(from_file["players"][0]["range"], "@opening.txt"); // as typed, as any range is shown
    typed["players"][0]["range"] = "@opening.txt";
    EXPECT_EQ(from_file, typed);
}

} // namespace
} // namespace varnolith
