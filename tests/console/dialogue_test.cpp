// The dialogue driven in-process: scripted input, exact output, error text and status.

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "dialogue.hpp"
#include "dialogue_script.hpp"

namespace varnolith {
namespace {

using namespace testing;

struct Transcript {
    std::string out, err;
    int status;
};

Transcript run(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = run_dialogue(in, out, err);
    return {out.str(), err.str(), status};
}

const std::string two_hands_summary = "\nInput Summary:\nPlayer 1: Ah Kd\nPlayer 2: Qs Qc\n";

// The three report lines of a simulation, figures unknown.
bool is_monte_carlo_report(const std::string& text, int players) {
    std::string figures = "( \\d{1,3}\\.\\d{3})";
    for (int p = 1; p < players; ++p) figures += "(, \\d{1,3}\\.\\d{3})";
    return std::regex_match(text, std::regex("Equity:" + figures + "\nWin:" + figures + "\nTie:" + figures + "\n"));
}

struct Refusal {
    const char* input;
    std::string out;
    const char* err;
};

TEST(Dialogue, RefusesBadInputWithTheRightMessage) {
    const Refusal refusals[] = {
        {"1\n", ask_count, "At least two hands are needed to calculate equity.\n"},
        {"0\n", ask_count, "At least two hands are needed to calculate equity.\n"},
        {"-2\n", ask_count, "At least two hands are needed to calculate equity.\n"},
        {"abc\n", ask_count, "At least two hands are needed to calculate equity.\n"},
        {"", ask_count, "At least two hands are needed to calculate equity.\n"},
        {"16\n", ask_count, "At most 15 hands fit in a 36-card deck.\n"},
        {"99999999999\n", ask_count, "At most 15 hands fit in a 36-card deck.\n"},
        {"2\nAhKd\nAh Kd\n", ask_count + example + ask_combo(1) + ask_combo(2),
         "Error: Hand must be 4 characters long (e.g., KdTd)\n"},
        {"3 \nAhKd\n", ask_count + example + ask_combo(1), "Error: Hand must be 4 characters long (e.g., KdTd)\n"},
        {"2\nKdKd\nQsQc\n", ask_count + example + ask_combo(1), "Error: Hand cannot have two identical cards: KdKd\n"},
        {"2\nAhXd\n", ask_count + example + ask_combo(1), "Error: Invalid Rank: Xd\n"},
        {"2\nAHKD\n", ask_count + example + ask_combo(1), "Error: Invalid Suit:  AH\n"},
        {"2\nAhKd\n", ask_count + example + ask_combo(1) + ask_combo(2),
         "Error: Hand must be 4 characters long (e.g., KdTd)\n"}, // input ends early
        {"2\nAhKd\nQsQc\nx\n", prompts(2, 0), "Invalid input for board cards count.\n"},
        {"2\nAhKd\nQsQc\n99999999999\n", prompts(2, 0), "Invalid input for board cards count.\n"},
        {"2\nAhKd\nQsQc\n6\n", prompts(2, 0), "Invalid number of board cards. Must be between 0 and 5.\n"},
        {"2\nAhKd\nQsQc\n-1\n", prompts(2, 0), "Invalid number of board cards. Must be between 0 and 5.\n"},
        {"2\nAhKd\nQsQc\n2\nAh\nAh\n", prompts(2, 2), "Error parsing board cards: Duplicate card in board: Ah\n"},
        {"2\nAhKd\nQsQc\n3\nAs\nZz\nAs\n", prompts(2, 3), "Error parsing board cards: Invalid Rank: Zz\n"},
        {"2\nAhKd\nQsQc\n1\n10h\n", prompts(2, 1), "Error parsing board cards: Invalid Card Format: 10h\n"},
        {"2\nAhKd\nAhQs\n3\n6c\n7d\n8h\n", prompts(2, 3), "Error: Duplicate card in hands\n"},
        {"2\nAhKd\nQsQc\n3\n6c\nKd\n8h\n", prompts(2, 3),
         "Error: Duplicate card in board or between board and hands\n"},
    };
    for (const Refusal& r : refusals) {
        const Transcript result = run(r.input);
        EXPECT_EQ(result.out, r.out) << r.input;
        EXPECT_EQ(result.err, r.err) << r.input;
        EXPECT_EQ(result.status, 1) << r.input;
    }
}

TEST(Dialogue, EnumeratesTheFlop) {
    const Transcript result = run("2\nAhKd\nQsQc\n3\n6c\n7d\n8h\n");
    EXPECT_EQ(result.out, prompts(2, 3) + two_hands_summary + "Board: 6c 7d 8h \n" + enumerating +
                              "Equity: 51.478, 48.522\nWin: 48.030, 45.074\nTie: 3.448, 3.448\n"
                              "Total combinations: 406\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 0);
}

TEST(Dialogue, CountsAreReadTheWayTheyAreTyped) {
    // Blank lines before the count are skipped; " 2" and "2 cards" both mean two board cards.
    const Transcript result = run("\n\n2\nAhKd\nQsQc\n 2 cards\n6c\n7d\n");
    EXPECT_EQ(result.out.substr(0, prompts(2, 2).size()), prompts(2, 2));
    EXPECT_EQ(result.status, 0);
}

TEST(Dialogue, SettlesACompleteBoardOnce) {
    const Transcript won = run("2\nAhKd\nQsQc\n5\n6c\n7d\n8h\n9s\nJc\n");
    EXPECT_EQ(won.out, prompts(2, 5) + two_hands_summary + "Board: 6c 7d 8h 9s Jc \n" + enumerating +
                           "Equity: 100.000, 0.000\nWin: 100.000, 0.000\nTie: 0.000, 0.000\nTotal combinations: 1\n");
    const Transcript split = run("2\nAhKd\nAsKc\n5\nQd\nJh\nTd\n8c\n9c\n");
    EXPECT_EQ(split.out.substr(split.out.find("Equity")),
              "Equity: 50.000, 50.000\nWin: 0.000, 0.000\nTie: 50.000, 50.000\nTotal combinations: 1\n");
}

TEST(Dialogue, FallsBackWithoutAskingForIterations) {
    struct Case {
        const char* input;
        std::string before_report;
        int players;
    };
    const Case cases[] = {
        {"2\nAhKd\nQsQc\n2\n6c\n7d\n", prompts(2, 2) + two_hands_summary + "Board: 6c 7d \n" + enumerating + fallback, 2},
        {"4\nAhKd\nQsQc\n7c7d\n6h6s\n5\nQd\nJh\nTd\n8c\n9c\n",
         prompts(4, 5) + "\nInput Summary:\nPlayer 1: Ah Kd\nPlayer 2: Qs Qc\nPlayer 3: 7c 7d\nPlayer 4: 6h 6s\n"
                         "Board: Qd Jh Td 8c 9c \n" + enumerating + fallback,
         4},
    };
    for (const Case& c : cases) {
        const Transcript result = run(c.input);
        ASSERT_EQ(result.out.substr(0, c.before_report.size()), c.before_report);
        EXPECT_TRUE(is_monte_carlo_report(result.out.substr(c.before_report.size()), c.players)) << result.out;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.status, 0);
    }
}

TEST(Dialogue, ReadsTheIterationCount) {
    struct Case {
        const char* answer;
        const char* warning;
        const char* iterations;
    };
    const Case cases[] = {
        {"\n", "", "500000"},
        {"0\n", "Invalid iterations. Using default (500000).\n", "500000"},
        {"-5\n", "Invalid iterations. Using default (500000).\n", "500000"},
        {"abc\n", "Invalid input for iterations. Using default (500000).\n", "500000"},
        {"12345678901\n", "Invalid input for iterations. Using default (500000).\n", "500000"},
        {"1000abc\n", "", "1000"},
        {"", "", "500000"}, // input ended: the default
    };
    for (const Case& c : cases) {
        const Transcript result = run(std::string("2\nAhKd\nQsQc\n\n") + c.answer);
        const std::string before = prompts(2, 0) + two_hands_summary + ask_iterations +
                                   "Running Monte Carlo simulation with " + c.iterations + " iterations...\n";
        ASSERT_EQ(result.out.substr(0, before.size()), before) << c.answer;
        EXPECT_TRUE(is_monte_carlo_report(result.out.substr(before.size()), 2));
        EXPECT_EQ(result.err, c.warning);
        EXPECT_EQ(result.status, 0);
    }
}

TEST(Dialogue, ElevenHandsWork) {
    std::string input = "11\n";
    const char* hands[] = {"AhKd", "QsQc", "7c7d", "6h6s", "AsKc", "JhTh", "9s9d", "8c8d", "Jc Tc", "Ac6c", "Ks7s"};
    for (const char* h : hands) input += std::string(h) + "\n";
    input += "0\n";
    input.replace(input.find("Jc Tc"), 5, "JcTc");
    const Transcript result = run(input);
    EXPECT_EQ(result.status, 0) << result.err;
    const std::size_t report = result.out.find("Equity:");
    ASSERT_NE(report, std::string::npos);
    EXPECT_NE(result.out.find(fallback), std::string::npos);
    EXPECT_TRUE(is_monte_carlo_report(result.out.substr(report), 11)) << result.out.substr(report);
}

} // namespace
} // namespace varnolith
