#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "card.hpp"
#include "notation.hpp"

namespace varnolith {
namespace {

// Runs `parse` and returns the message of the std::invalid_argument it throws,
// or a marker that no such exception came.
template <class Parse>
std::string refusal(Parse parse) {
    try {
        parse();
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return "<accepted>";
}

struct CardCase {
    std::string text;
    Card expected;
};

TEST(ParseCard, ReadsEveryRankAndSuitCharacter) {
    const std::vector<CardCase> cases = {
        {"6c", {6, 0}},  {"7d", {7, 1}},  {"8h", {8, 2}},  {"9s", {9, 3}},  {"Tc", {10, 0}},
        {"Jd", {11, 1}}, {"Qh", {12, 2}}, {"Ks", {13, 3}}, {"Ah", {14, 2}},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(parse_card(text), expected) << text;
}

struct RefusalCase {
    std::string text;
    std::string message;
};

TEST(ParseCard, RefusesWithTheMessageOfTheFirstProblem) {
    const std::vector<RefusalCase> cases = {
        // Length is counted in bytes of the text as read; nothing is trimmed.
        {"", "Invalid Card Format: "},
        {"A", "Invalid Card Format: A"},
        {"10h", "Invalid Card Format: 10h"},
        {"AhKd", "Invalid Card Format: AhKd"},
        {" Ah", "Invalid Card Format:  Ah"},
        {"Ah ", "Invalid Card Format: Ah "},
        {"Ah\n", "Invalid Card Format: Ah\n"},
        {"\xC3\x84h", "Invalid Card Format: \xC3\x84h"}, // two characters, three bytes
        {"\xC3\x84", "Invalid Rank: \xC3\x84"},            // one character, two bytes
        // Ranks: upper-case letters only, nothing below six, ten only as T.
        {"ah", "Invalid Rank: ah"},
        {"th", "Invalid Rank: th"},
        {"5h", "Invalid Rank: 5h"},
        {"2c", "Invalid Rank: 2c"},
        {"0s", "Invalid Rank: 0s"},
        {"1d", "Invalid Rank: 1d"},
        {" h", "Invalid Rank:  h"},
        // The rank is tested first, so a text wrong in both places is a rank error.
        {"Xx", "Invalid Rank: Xx"},
        {"Zz", "Invalid Rank: Zz"},
        // Suits: lower-case letters only; the suit prefix carries two blanks.
        {"AH", "Invalid Suit:  AH"},
        {"KD", "Invalid Suit:  KD"},
        {"TC", "Invalid Suit:  TC"},
        {"6S", "Invalid Suit:  6S"},
        {"Ax", "Invalid Suit:  Ax"},
        {"A ", "Invalid Suit:  A "},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(refusal([&t = text] { parse_card(t); }), message) << '"' << text << '"';
}

struct HandCase {
    std::string text;
    HoleHand expected;
};

TEST(ParseHand, KeepsBothCardsInTheOrderWritten) {
    const std::vector<HandCase> cases = {
        {"AhKd", {{14, 2}, {13, 1}}},
        {"KdAh", {{13, 1}, {14, 2}}},
        {"Th9s", {{10, 2}, {9, 3}}},
        {"KdTd", {{13, 1}, {10, 1}}},
        {"AhAd", {{14, 2}, {14, 1}}},
        {"6c6d", {{6, 0}, {6, 1}}},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(parse_hand(text), expected) << text;
}

TEST(ParseHand, RefusesWithTheMessageOfTheFirstProblem) {
    const std::string wrong_length = "Hand must be 4 characters long (e.g., KdTd)";
    const std::vector<RefusalCase> cases = {
        // The length message is fixed and never quotes the text.
        {"", wrong_length},
        {"Ah", wrong_length},
        {"AhK", wrong_length},
        {"Ah Kd", wrong_length},
        {" AhKd", wrong_length},
        {"AhKd ", wrong_length},
        {"AhKd\n", wrong_length},
        {"10h9s", wrong_length},
        // A card error passes through and quotes only the failing piece.
        {"AhXd", "Invalid Rank: Xd"},
        {"XdAh", "Invalid Rank: Xd"},
        {"ahkd", "Invalid Rank: ah"},
        {"AHKD", "Invalid Suit:  AH"},
        {"AhKD", "Invalid Suit:  KD"},
        {"5hAh", "Invalid Rank: 5h"},
        // The first card is parsed before the second.
        {"AxXd", "Invalid Suit:  Ax"},
        // Identical cards quote the whole hand.
        {"AhAh", "Hand cannot have two identical cards: AhAh"},
        {"6c6c", "Hand cannot have two identical cards: 6c6c"},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(refusal([&t = text] { parse_hand(t); }), message) << '"' << text << '"';
}

TEST(ParseBoard, KeepsTheCardsInEntryOrder) {
    EXPECT_TRUE(parse_board({}).empty());
    EXPECT_EQ(parse_board({"Ah"}), (Board{{14, 2}}));
    EXPECT_EQ(parse_board({"Ah", "Kd", "6c"}), (Board{{14, 2}, {13, 1}, {6, 0}}));
    EXPECT_EQ(parse_board({"Ts", "Js", "Qs", "Ks", "As"}), (Board{{10, 3}, {11, 3}, {12, 3}, {13, 3}, {14, 3}}));
    // Same rank in another suit is a different card.
    EXPECT_EQ(parse_board({"Ah", "Ad"}), (Board{{14, 2}, {14, 1}}));
}

struct BoardRefusalCase {
    std::vector<std::string> texts;
    std::string message;
};

TEST(ParseBoard, StopsAtTheFirstProblemInEntryOrder) {
    const std::vector<BoardRefusalCase> cases = {
        {{"Ah", "Kd", "Ah"}, "Duplicate card in board: Ah"},
        {{"6c", "6c"}, "Duplicate card in board: 6c"},
        {{"Ah", "Kd", "Qs", "Jc", "Kd"}, "Duplicate card in board: Kd"},
        // The bad second entry is met before the repeat on the third.
        {{"Ah", "Zz", "Ah"}, "Invalid Rank: Zz"},
        {{"Ah", "Ah", "Zz"}, "Duplicate card in board: Ah"},
        {{"10h"}, "Invalid Card Format: 10h"},
        {{"AhKd"}, "Invalid Card Format: AhKd"},
        {{"5h"}, "Invalid Rank: 5h"},
        {{"Ah", "KD"}, "Invalid Suit:  KD"},
        {{"Ah", ""}, "Invalid Card Format: "},
    };
    for (const auto& [texts, message] : cases) {
        std::string joined;
        for (const auto& t : texts) joined += '"' + t + "\" ";
        EXPECT_EQ(refusal([&t = texts] { parse_board(t); }), message) << joined;
    }
}

TEST(CardToString, WritesRankThenSuit) {
    EXPECT_EQ(card_to_string({14, 2}), "Ah");
    EXPECT_EQ(card_to_string({10, 0}), "Tc");
    EXPECT_EQ(card_to_string({6, 3}), "6s");
    EXPECT_EQ(card_to_string({13, 1}), "Kd");
}

TEST(CardToString, MarksValuesOutsideTheShortDeck) {
    const std::vector<CardCase> cases = {
        {"?c", {5, 0}}, {"?c", {2, 0}},  {"?h", {15, 2}}, {"?d", {0, 1}},   {"?s", {-1, 3}},
        {"6?", {6, 4}}, {"A?", {14, -1}}, {"T?", {10, 7}}, {"??", {5, 4}}, {"??", {0, -3}},
    };
    for (const auto& [text, c] : cases)
        EXPECT_EQ(card_to_string(c), text) << "rank " << c.rank << " suit " << c.suit;
}

TEST(CardToString, RoundTripsEveryCardOfTheDeck) {
    const auto deck = full_deck();
    ASSERT_EQ(deck.size(), 36u);
    for (const Card c : deck) {
        const std::string text = card_to_string(c);
        ASSERT_EQ(text.size(), 2u);
        EXPECT_EQ(parse_card(text), c) << text;
        EXPECT_EQ(card_to_string(parse_card(text)), text);
    }
}

} // namespace
} // namespace varnolith
