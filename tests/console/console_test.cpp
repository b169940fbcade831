#include <gtest/gtest.h>
#include <omp.h>

#include <functional>
#include <iomanip>
#include <regex>

#include "run_program.hpp"
#include "test_cards.hpp"
#include "console_monte_carlo.hpp"
#include "dialogue.hpp"
#include "method.hpp"
#include "notation.hpp"
#include "report.hpp"

namespace varnolith {
namespace {

using testing::hand;

TEST(Notation, ReadsCardsAndRefusesWithTheMessageOfTheFirstProblem) {
    EXPECT_EQ(parse_hand("AhKd"), (HoleHand{{14, 2}, {13, 1}}));
    EXPECT_EQ(parse_board({"Ah", "Ad", "6s"}), testing::cards("Ah Ad 6s"));
    for (const Card c : full_deck()) EXPECT_EQ(parse_card(card_to_string(c)), c) << card_to_string(c);
    EXPECT_EQ(card_to_string({5, 0}) + card_to_string({15, 2}) + card_to_string({6, 4}) + card_to_string({14, -1}), "?c?h6?A?");
    // Lengths count bytes; the rank is tested before the suit, the first card before the second, the board in order.
    const std::pair<std::function<void()>, std::string> refusals[] = {
        {[] { parse_card("\xC3\x84h"); }, "Invalid Card Format: \xC3\x84h"},
        {[] { parse_card("ah"); }, "Invalid Rank: ah"},
        {[] { parse_card("AH"); }, "Invalid Suit:  AH"},
        {[] { parse_hand("Ah Kd"); }, "Hand must be 4 characters long (e.g., KdTd)"},
        {[] { parse_hand("AhXd"); }, "Invalid Rank: Xd"},
        {[] { parse_hand("AxXd"); }, "Invalid Suit:  Ax"},
        {[] { parse_hand("AhAh"); }, "Hand cannot have two identical cards: AhAh"},
        {[] { parse_board({"Ah", "Kd", "Ah"}); }, "Duplicate card in board: Ah"},
        {[] { parse_board({"Ah", "Zz", "Ah"}); }, "Invalid Rank: Zz"},
    };
    for (const auto& [parse, message] : refusals) {
        try {
            parse();
            ADD_FAILURE() << "accepted, not: " << message;
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ(e.what(), message);
        }
    }
}

TEST(SelectMethod, FollowsTheNumberOfCompletions) {
    using enum Method;
    // Either side of 10,000 boards; below, fewer than three board cards or more than three hands fall back.
    const std::tuple<int, int, int64_t, Method> cases[] = {
        {8, 0, 15'504, monte_carlo_user_count}, {9, 0, 8'568, monte_carlo_fallback}, {2, 3, 406, enumeration},
        {2, 2, 4'060, monte_carlo_fallback},    {4, 3, 300, monte_carlo_fallback},  {3, 4, 26, enumeration},
        {2, 5, 1, enumeration},                 {4, 5, 1, monte_carlo_fallback}};
    for (const auto& [hands, board, boards, method] : cases) {
        EXPECT_EQ(possible_boards(hands, board), boards) << hands << " hands, " << board;
        EXPECT_EQ(select_method(hands, board), method) << hands << " hands, " << board;
    }
}

TEST(Report, PrintsThreeDecimalPercentagesAndLeavesTheStreamAsFound) {
    std::ostringstream simulated, enumerated;
    const EquityResult three_way{{0, 0, 3}, {1. / 3, 1. / 3, 1. / 3}, 4};
    print_monte_carlo_report(simulated, three_way);
    EXPECT_EQ(simulated.str(), "Equity: 8.333, 8.333, 83.333\nWin: 0.000, 0.000, 75.000\nTie: 8.333, 8.333, 8.333\n");
    enumerated << std::scientific << std::setprecision(9);
    print_enumeration_report(enumerated, three_way);
    enumerated << 0.5;
    EXPECT_EQ(enumerated.str(), simulated.str() + "Total combinations: 4\n5.000000000e-01");
}

TEST(ConsoleMonteCarlo, RunsExactlyTheTrialsForEveryPlayerOnATeamOfAtMostSixteen) {
    std::vector<HoleHand> fifteen;
    for (int p = 0; p < 30; p += 2) fifteen.push_back({full_deck()[p], full_deck()[p + 1]});
    for (const int threads : {1, 8, 40}) {
        omp_set_num_threads(threads);
        int team = 0;
        const EquityResult result = console_monte_carlo(fifteen, {}, 20'011, {}, &team);
        EXPECT_EQ(team, std::min(threads, 16));
        EXPECT_EQ(result.total, 20'011);
        double sum = 0;
        for (std::size_t p = 0; p < 15; ++p) sum += result.equity(p);
        EXPECT_NEAR(sum, 1.0, 1e-9);
        EXPECT_GT(result.wins[14], 0);
    }
}

TEST(RunMonteCarlo, DrawsTheProgressLineOnlyWhenAskedAndErasesIt) {
    const std::vector<HoleHand> hands = {hand("Ah Kd"), hand("Qs Qc")};
    std::ostringstream out, progress, quiet;
    run_monte_carlo(hands, {}, 0, out, {&progress});
    run_monte_carlo({}, {}, 100, out, {&progress});
    EXPECT_EQ(out.str() + progress.str(), ""); // nothing at all without trials or hands
    run_monte_carlo(hands, {}, 1'000, out, {&quiet});
    EXPECT_EQ(quiet.str(), ""); // a short run draws no line
    run_monte_carlo(hands, {}, 300'000, out, {&progress, 0, 0}); // as on a long run: shown from the first slice on
    EXPECT_TRUE(std::regex_match(progress.str(), std::regex("(\r *\\d+\\.\\d% done, \\d+ trials/s   )+\r {48}\r")));
    EXPECT_TRUE(out.str().starts_with("Equity: ")); // the report itself is untouched
}

using Transcript = testing::Ran;

Transcript in_process(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = run_dialogue(in, out, err, {.trial_cap = 1'000}); // simulated figures are not compared
    return {out.str(), err.str(), status};
}

Transcript as_process(const std::string& input) { return testing::run_program("'" VARNOLITH_CLI_PATH "'", input); }

// The prompts for `hands` hands, then for the board count and `board` board cards unless `board` is negative.
std::string prompts(int hands, int board = -1) {
    std::string text = "Enter the number of hands: Example combo format: AhKd (Ace of hearts, King of diamonds)\n";
    for (int i = 1; i <= hands; ++i) text += "Enter Combo " + std::to_string(i) + ": ";
    if (board < 0) return text;
    text += "Enter number of board cards (0 to 5): ";
    for (int j = 1; j <= board; ++j) text += "Enter board card " + std::to_string(j) + ": ";
    return text;
}

// Scripted input against exact output, errors and exit status, in-process and through the real varnolith_cli.
TEST(Dialogue, AnswersEachKindOfScript) {
    const std::string summary = "\nInput Summary:\nPlayer 1: Ah Kd\nPlayer 2: Qs Qc\n", figures = "Equity: #, #\nWin: #, #\nTie: #, #\n";
    const std::string simulating = prompts(2, 0) + summary +
                                   "Enter Monte Carlo iterations (default 500000, press Enter for default): "
                                   "Running Monte Carlo simulation with ";
    const std::string by_default = simulating + "500000 iterations...\n" + figures;
    const std::tuple<Transcript (*)(const std::string&), std::string, Transcript> scripts[] = {
        // The README's session, compared there, is the enumeration.
        {in_process, "2\nAhKd\nQsQc\n2\n6c\n7d\n",
         {prompts(2, 2) + summary + "Board: 6c 7d \nRunning complete enumeration...\n"
              "[Fallback Monte Carlo - troppo complesso per enumerazione]\n" + figures, "", 0}},
        // Input that ends at the iteration count, and two counts that are no use: the default.
        {in_process, "2\nAhKd\nQsQc\n\n", {by_default, "", 0}},
        {in_process, "2\nAhKd\nQsQc\n0\n0\n", {by_default, "Invalid iterations. Using default (500000).\n", 0}},
        {in_process, "2\nAhKd\nQsQc\n\nabc\n", {by_default, "Invalid input for iterations. Using default (500000).\n", 0}},
        // A refusal of each kind of input; input may also end early.
        {in_process, "", {"Enter the number of hands: ", "At least two hands are needed to calculate equity.\n", 1}},
        {in_process, "16\n", {"Enter the number of hands: ", "At most 15 hands fit in a 36-card deck.\n", 1}},
        {in_process, "2\nAhKd\n", {prompts(2), "Error: Hand must be 4 characters long (e.g., KdTd)\n", 1}},
        {in_process, "2\nAhKd\nQsQc\nx\n", {prompts(2, 0), "Invalid input for board cards count.\n", 1}},
        {in_process, "2\nAhKd\nQsQc\n6\n", {prompts(2, 0), "Invalid number of board cards. Must be between 0 and 5.\n", 1}},
        {in_process, "2\nAhKd\nQsQc\n2\nAh\nAh\n", {prompts(2, 2), "Error parsing board cards: Duplicate card in board: Ah\n", 1}},
        {in_process, "2\nAhKd\nQsQc\n1\nKd\n", {prompts(2, 1), "Error: Duplicate card in board or between board and hands\n", 1}},
        // The real program: its exit status, and no progress line when standard error is not a terminal.
        {as_process, "2\nAhKd\nQsQc\n\n1 trial\n", {simulating + "1 iterations...\n" + figures, "", 0}},
        {as_process, "2\nAhKd\nAhQs\n0\n", {prompts(2, 0), "Error: Duplicate card in hands\n", 1}},
    };
    for (const auto& [run, input, expected] : scripts) {
        Transcript got = run(input);
        if (expected.out.find('#') != std::string::npos) got.out = std::regex_replace(got.out, std::regex("\\d+\\.\\d{3}"), "#");
        EXPECT_EQ(got.out, expected.out) << input;
        EXPECT_EQ(got.err, expected.err) << input;
        EXPECT_EQ(got.status, expected.status) << input;
    }
}

} // namespace
} // namespace varnolith
