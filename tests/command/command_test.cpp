// The real varnolith command run as a process: JSON fields, exit statuses and
// the one line a bad command line gets.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <tuple>

#include "library_version.hpp"

namespace varnolith {
namespace {

using Json = nlohmann::ordered_json;
using Keys = std::vector<std::string>;

struct Process {
    std::string out, err;
    int status;
};

Process run(const std::string& arguments) {
    const auto dir = std::filesystem::temp_directory_path() / ("varnolith_command_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const int raw = std::system(("'" VARNOLITH_COMMAND_PATH "' " + arguments + " < /dev/null > '" +
                                 (dir / "out").string() + "' 2> '" + (dir / "err").string() + "'").c_str());
    std::ostringstream out, err;
    out << std::ifstream(dir / "out").rdbuf();
    err << std::ifstream(dir / "err").rdbuf();
    std::filesystem::remove_all(dir);
    return {out.str(), err.str(), WIFEXITED(raw) ? WEXITSTATUS(raw) : -1};
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
    EXPECT_EQ(keys(j), (Keys{"method", "rules", "board", "dead", "deals", "boards", "elapsed_seconds", "players"}));
    EXPECT_EQ(j["method"], "exact");
    EXPECT_EQ(j["board"], Json({"6c", "7d", "8h"}));
    EXPECT_EQ(j["deals"], 1);
    EXPECT_EQ(j["boards"], 406);
    EXPECT_EQ(keys(j["players"][0]), (Keys{"range", "combos", "equity", "win", "tie", "stderr"}));
    EXPECT_EQ(j["players"][0]["range"], "AhKd");
    // AhKd wins 195 of the 406 boards and splits 28 with QsQc: (195 + 28 / 2) / 406.
    EXPECT_NEAR(j["players"][0]["equity"].get<double>(), 209.0 / 406.0, 1e-12);
    EXPECT_EQ(j["players"][1]["stderr"], 0.0);
    EXPECT_EQ(run("--version").out, "varnolith " + testing::library_version() + "\n");
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
// The messages themselves are the notation's and the spot reader's.
// Messages in the command's own words, whole; a bad character is named whole
// and a newline typed into an argument does not break the line.
TEST(VarnolithCommand, SaysWhatToFix) {
    const std::pair<std::string, std::string> cases[] = {
        {"AA KK --precision 0.05%",
         "--precision: P must be a number above 0 and below 1, such as 0.001 or 1e-4 (got 0.05%)"},
        {"AA KK --precision inf", "--precision: P must be a number above 0 and below 1, such as 0.001 or 1e-4 (got inf)"},
        {"AA KK --precision 0x1p-4",
         "--precision: P must be a number above 0 and below 1, such as 0.001 or 1e-4 (got 0x1p-4)"},
        {"AA KK --precision 1e-400",
         "--precision: P must be a number above 0 and below 1, such as 0.001 or 1e-4 (got 1e-400)"},
        // The usual slips, named with what to type instead.
        {"AA KK -b 6c7d8h -b 9s", "-b is given twice: give each option once"},
        {"AA KK -b 6c7d8h --board=9s", "-b and --board are one option, given twice: give it once"},
        {"AA KK --trials 5 --trials 6", "--trials is given twice: give each option once"},
        {"QQ+, AKs JJ", "range 1 (\"QQ+,\") ends with a comma: a range with blanks is one argument, so quote it, as in "
                        "\"QQ+, AKs\""},
        {"AA KK -b 6c 7d 8h", "range 3 (\"7d\") is a card, not a range: board cards go together, as in -b 6c7d8h"},
        {"-d 6c 7d AA KK", "range 1 (\"7d\") is a card, not a range: dead cards go together, as in -d 6c7d"},
        {"A5s KK", "range 1: item \"A5s\": '5' is not a rank: short deck has no ranks below 6"},
        {"any KK", "range 1: item \"any\": write random for every hand"},
        {"AA KK -b Ac5d", "board: card \"5d\": '5' is not a rank: short deck has no ranks below 6"},
        {"KK AA -b KhKdKc -d Ks", "no compatible deal: every combination of range 1 is blocked by Kh Kd Kc on the board "
                                  "and Ks dead"},
        {"AA KK --foo", "unknown option --foo (varnolith --help lists them)"},
        {"AA KK --board", "--board: a value is missing"},
        {"AA KK --exact --precision 0.01", "--exact, --trials and --precision exclude one another: give at most one"},
        {"aks KK", "range 1: item \"aks\": 'a' is not a rank: ranks are 6789TJQKA in upper case, suits cdhs in lower case"},
        {"AA KK -b 6c10h", "board: card \"10h\": write T for ten"},
        {"'QQ+ AKs' KK", "range 1: item \"QQ+ AKs\": separate items with commas"},
        {"\"$(printf 'AA\\nKK')\" QQ", "range 1: item \"AA\\nKK\": '\\n' is not a rank or a suit"},
        {"AA KK --seed \"$(printf '1\\n2')\"", "--seed: S must be a whole number from 0 to 18446744073709551615 (got 1\\n2)"},
        {"AhKd AhQc", "no compatible deal: Ah is in the hands of players 1 and 2"},
    };
    for (const auto& [arguments, message] : cases) {
        SCOPED_TRACE(arguments);
        const Process p = run(arguments);
        EXPECT_EQ(p.err, "varnolith: " + message + "\n");
        EXPECT_EQ(p.status, message.starts_with("no compatible") ? 1 : 2);
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

// Output that cannot be written is a failure with one line, whatever is written.
TEST(VarnolithCommand, FailsWhenItsOutputCannotBeWritten) {
    for (const std::string arguments : {"AA KK", "--json AA KK", "--ordering", "--svg - AA KK"}) {
        const int raw = std::system(("'" VARNOLITH_COMMAND_PATH "' " + arguments + " > /dev/full 2> /dev/null").c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1) << arguments;
    }
    const auto dir = std::filesystem::temp_directory_path() / ("varnolith_full_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const int raw = std::system(("'" VARNOLITH_COMMAND_PATH "' AA KK > /dev/full 2> '" + (dir / "err").string() + "'").c_str());
    std::ostringstream err;
    err << std::ifstream(dir / "err").rdbuf();
    std::filesystem::remove_all(dir);
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    EXPECT_EQ(err.str(), "varnolith: cannot write the output: No space left on device\n");
}

// A simulation of days is said before it starts, as a long exact run is.
TEST(VarnolithCommand, WarnsBeforeALongSimulation) {
    const auto dir = std::filesystem::temp_directory_path() / ("varnolith_long_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string err = (dir / "err").string();
    for (const auto& [option, advice] : {std::pair{"--trials 99999999999999", "fewer --trials"},
                                         std::pair{"--precision 1e-300", "a larger --precision"}}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (!std::freopen("/dev/null", "w", stdout) || !std::freopen(err.c_str(), "w", stderr)) ::_exit(99);
            const std::string o = option;
            const std::string flag = o.substr(0, o.find(' ')), value = o.substr(o.find(' ') + 1);
            ::execl(VARNOLITH_COMMAND_PATH, "varnolith", "AA", "KK", flag.c_str(), value.c_str(), nullptr);
            ::_exit(98);
        }
        std::string said;
        for (int wait = 0; wait < 100 && said.find('\n') == std::string::npos; ++wait) {
            ::usleep(50'000);
            std::ostringstream text;
            text << std::ifstream(err).rdbuf();
            said = text.str();
        }
        ::kill(child, SIGINT);
        int raw = 0;
        ::waitpid(child, &raw, 0);
        EXPECT_TRUE(said.starts_with("varnolith: this simulation is expected to take ")) << said;
        EXPECT_NE(said.find(std::string("; ") + advice + " shortens it\n"), std::string::npos) << said;
        EXPECT_EQ(WEXITSTATUS(raw), 130);
    }
    std::filesystem::remove_all(dir);
}

// Ctrl-C stops even a run of hours at once: status 130, no report.
TEST(VarnolithCommand, StopsAtOnceOnInterrupt) {
    const auto dir = std::filesystem::temp_directory_path() / ("varnolith_interrupt_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string out = (dir / "out").string();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen((out + ".err").c_str(), "w", stderr)) ::_exit(99);
        ::execl(VARNOLITH_COMMAND_PATH, "varnolith", "--exact", "random", "random", "random", nullptr);
        ::_exit(98);
    }
    ::usleep(500'000);
    const auto sent = std::chrono::steady_clock::now();
    ::kill(child, SIGINT);
    int raw = 0;
    ::waitpid(child, &raw, 0);
    const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - sent;
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 130) << raw;
    EXPECT_LT(waited.count(), 5.0);
    EXPECT_EQ(std::filesystem::file_size(out), 0u);
    // Before a run of half a minute begins, the command says so.
    std::ostringstream said;
    said << std::ifstream(out + ".err").rdbuf();
    EXPECT_EQ(said.str().rfind("varnolith: this exact run is expected to take about ", 0), 0u) << said.str();
    std::filesystem::remove_all(dir);
}

TEST(VarnolithCommand, RefusesWithOneLine) {
    const std::tuple<std::string, int, std::string> cases[] = {
        {"--frobnicate AhKd QsQc", 2, "varnolith: "},
        {"AhKd", 2, "varnolith: give two to fifteen ranges"},
        {"--exact --trials 10 AhKd QsQc", 2, "varnolith: "},
        {"AhKd QQs", 2, "varnolith: range 2: item \"QQs\": "},
        {"AhKd QsQc -b 6c7d8h -d 8h", 2, "varnolith: card 8h "},
        {"AhKd QsQc --trials 0", 2, "varnolith: --trials"},
        {"AA AA AA -b Ac", 1, "varnolith: no compatible deal"},
        {"AhKd QsQc --svg ''", 2, "varnolith: --svg"},
        {"AhKd QsQc --scale relative", 2, "varnolith: --scale: must be absolute or fair (got relative)\n"},
        {"--ordering AhKd QsQc", 2, "varnolith: --ordering takes no ranges: it prints the preflop ordering alone\n"},
        {"--ordering --exact", 2, "varnolith: --ordering goes with --rules and --json alone (got --exact)\n"},
        {"--by-card AhKd QsQc", 2, "varnolith: --by-card needs a flop or a turn: three or four board cards (got 0)\n"},
        {"--by-card AhKd QsQc -b 6c7d8h9sTs", 2, "varnolith: --by-card needs a flop or a turn: three or four board cards (got 5)\n"},
        {"--by-card --trials 10 AhKd QsQc -b 6c7d8h", 2, "varnolith: --by-card is exact: it goes with neither --trials nor --precision\n"},
        {"--by-card --precision 0.01 AhKd QsQc -b 6c7d8h", 2, "varnolith: --by-card is exact"},
        {"AhKd QsQc --svg /nonexistent/grid.svg", 1,
         "varnolith: cannot write /nonexistent/grid.svg: No such file or directory"},
        // The default method decides at once that this cannot be dealt.
        {"-b 6c7d8h9sTc -d JcJd random random random random random random random random random random random "
         "random random random random",
         1, "varnolith: no compatible deal: 15 hands need 30 cards, and 29 are left\n"},
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
        if (i > 0) {
            EXPECT_LE(c["equity"].get<double>(), classes[i - 1]["equity"].get<double>());
        }
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

// Every card that can come, once, in deck order; the probabilities add up to
// 1 and the equities they weight to each player's own. Exact without --exact.
TEST(VarnolithCommand, NextCardsAddUpToTheSpot) {
    const std::string spots[] = {
        "'QQ+, AKs' 'JJ-88, AQs+' -b Kh9c8d",
        "'AA, KQs' 'TT, 98s:0.5' '77' -b Ac8d7h",
        "'AK, QQ' 'JT, 99' -b Kh9c8d6s -d Ts",
    };
    const std::string deck = "6789TJQKA";
    for (const std::string& spot : spots) {
        SCOPED_TRACE(spot);
        const Process p = run("--json --by-card " + spot);
        ASSERT_EQ(p.status, 0) << p.err;
        const Json j = Json::parse(p.out);
        EXPECT_EQ(j["method"], "exact");
        const Json& cards = j["next_cards"];
        ASSERT_FALSE(cards.empty());
        double probability = 0;
        std::vector<double> equity(j["players"].size());
        int last = -1;
        for (const Json& c : cards) {
            ASSERT_EQ(keys(c), (Keys{"card", "probability", "equity"}));
            const std::string card = c["card"];
            const int order = static_cast<int>(deck.find(card[0]) * 4 + std::string("cdhs").find(card[1]));
            EXPECT_GT(order, last) << card;
            last = order;
            EXPECT_EQ(std::count(j["board"].begin(), j["board"].end(), card) +
                          std::count(j["dead"].begin(), j["dead"].end(), card),
                      0)
                << card;
            probability += c["probability"].get<double>();
            ASSERT_EQ(c["equity"].size(), equity.size());
            for (std::size_t i = 0; i < equity.size(); ++i)
                equity[i] += c["probability"].get<double>() * c["equity"][i].get<double>();
        }
        EXPECT_NEAR(probability, 1.0, 1e-12);
        for (std::size_t i = 0; i < equity.size(); ++i)
            EXPECT_NEAR(equity[i], j["players"][i]["equity"].get<double>(), 1e-12) << "player " << i + 1;
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
