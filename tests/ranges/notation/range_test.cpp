// Range notation read: how many combinations each form names, in which order
// and with which weights, and the words that refuse a bad item; card lists.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "card_text.hpp"
#include "test_cards.hpp"
#include "ranges/notation/range.hpp"

namespace varnolith {
namespace {

// The message of the std::invalid_argument that `parse` throws for `text`.
template <class Parse>
std::string refusal(Parse parse, const std::string& text) {
    try {
        parse(text);
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return "<accepted>";
}

TEST(RangeNotation, CountsTheCombinationsOfEachForm) {
    const std::pair<std::string, std::size_t> cases[] = {
        {"AhKd", 1},      {"QQ", 6},         {"AKs", 4},         {"AKo", 12},     {"AK", 16},      {"QQ+", 18},
        {"ATs+", 16},     {"ATo+", 48},      {"AT+", 64},        {"AKs+", 4},     {"AA+", 6},      {"66+", 54},
        {"99-66", 24},    {"66-99", 24},     {"99 - 66", 24},    {"AJs-A8s", 16}, {"8Ao-JAo", 48}, {"KAs", 4},
        {"KdAh", 1},      {"random", 630},   {"QQ, QQ", 6},      {"T9s-76s", 16}, {"76s-T9s", 16}, {"KQo-T9o", 48},
        {"AK, AKs", 16},  {"random, AA", 630}, {" \tAA , KK\t", 12}, {"AA:1.000", 6}, {"QQ : .5", 6},
        // 5% of 630 is 31.5: TT+ (30) is nearer than TT+ with AKs (34).
        {"5%", 30},       {"15%", 94},       {"5%-15%", 64},     {"100%", 630},   {"10%, 76s", 62}, {"12.5% : 0.5", 78},
        // Card patterns: a rank or *, then a suit, * or a suit letter.
        {"Ah*", 35},  {"*Ah", 35},  {"AhK*", 4},  {"A**", 134}, {"*A*", 134}, {"*h*h", 36}, {"*h*", 279}, {"**", 630},
        {"***", 630}, {"AxKx", 4},  {"AxKy", 12}, {"AxAy", 6},  {"*x*x", 144}, {"*x*y", 486}, {"AhKx", 4}, {"AhA*", 3},
        {"Ah*:0.5", 35},  {"Ah*, AhKd", 35},
        // '!' takes out what the items before hold, as weight 0 does.
        {"random, !QQ+, !AK", 596}, {"random, QQ+:0, AK:0", 596}, {"AA, !AA", 0}, {"!AA, KK", 6}, {"A**, !Ah*", 99},
        {"random, !15%", 536}, {"QQ+, !AhAd, AA", 18}, {"AA:0.0", 0}, {"! QQ, JJ", 6},
        // Line breaks separate items; '#' comments to the end of the line.
        {"AA\nKK", 12}, {"AA,\r\nKK,\n\n# queens\nQQ # and no more\n", 18}, {"\xEF\xBB\xBF" "AA", 6}, {"# none\nAA", 6},
    };
    for (const auto& [text, count] : cases) EXPECT_EQ(parse_range(text).size(), count) << text;
}

// The combinations in the order listed, with their weights where not 1.
std::string listed(const std::string& text) {
    std::string out;
    for (const WeightedCombo& c : parse_range(text))
        out += hand_text(c.hand) + (c.weight == 1.0 ? std::string() : ':' + std::to_string(c.weight)) + ' ';
    return out;
}

// A pattern lists its combinations in random's order, so it names a class in
// its own order; a combination taken out or weighted again keeps its first
// place, the last weight winning; a percentage names whole classes of the
// ordering, best first, and a band is the difference of two tops.
TEST(RangeNotation, ListsInItemOrderHigherCardFirst) {
    const std::pair<const char*, const char*> same[] = {
        {"**", "random"}, {"A*K*", "AK"}, {"K*A*", "AK"}, {"AxKx", "AKs"}, {"AxKy", "AKo"}, {"Q*Q*", "QQ"},
        {"AhKd, QQ, !AhKd, KdAh:0.5", "AhKd:0.5, QQ"}, {"AhKd:0.5, AK:.25, QQ, KdAh", "AhKd, AK:.25, QQ, AhKd"},
        {"5%", "AA, KK, QQ, JJ, TT"}, {"5%-6%", "AKs, AQs"}, // 6% is 37.8: 38 is nearer than 34 or 50
        {"20%:0.5", "20%, 20%:0.5"},
    };
    for (const auto& [text, as] : same) EXPECT_EQ(listed(text), listed(as)) << text;
    EXPECT_EQ(listed("KAs, QhQs, 77"), "AcKc AdKd AhKh AsKs QsQh 7d7c 7h7c 7h7d 7s7c 7s7d 7s7h ");
    EXPECT_EQ(listed("AhKd:0.5, AK:.25, QQ, KdAh").substr(0, 23), "AhKd AcKc:0.250000 AcKd");
}

TEST(RangeNotation, RefusesTheFirstBadItemByName) {
    const auto parse = [](const std::string& t) { return parse_range(t); };
    // Said in full: no item, an item after good ones, or one shown with its bytes escaped.
    const std::pair<std::vector<std::string>, std::string> whole[] = {
        {{"", " \t ", "# nothing\n\n"}, "the range is empty: it needs items such as QQ+, AKs"},
        {{"AA,\n,KK", "AA,,KK"}, "item \"\": empty"},
        {{"AA, 5h5d"}, "item \"5h5d\": '5' is not a rank: short deck has no ranks below 6"},
        {{"QQ+, Any2:0.5"}, "item \"Any2:0.5\": write random for every hand"},
        {{"AA\rKK"}, "item \"AA\\rKK\": '\\r' is not a rank or a suit"},
        {{"K\xc3\xa9"}, "item \"K\xc3\xa9\": '\xc3\xa9' is not a rank or a suit"},
        {{"K\xc3"}, "item \"K\\xc3\": '\\xc3' is not a rank or a suit"},
        {{"A\x1b[31m"}, "item \"A\\x1b[31m\": '\\x1b' is not a rank or a suit"},
    };
    for (const auto& [texts, message] : whole)
        for (const std::string& text : texts) EXPECT_EQ(refusal(parse, text), message) << '"' << text << '"';
    // The rest: item "<the text>": <why>.
    const std::pair<std::vector<std::string>, std::string> why[] = {
        {{"QQs"}, "a pair is neither suited nor offsuit"}, {{"any"}, "write random for every hand"},
        {{"A5s"}, "'5' is not a rank: short deck has no ranks below 6"},
        {{"7d"}, "one card is not a hand: a hand is two cards, such as AhKd"},
        {{"AKx"}, "'x' is not s (suited) or o (offsuit)"}, {{"QQ!"}, "'!' is not s (suited) or o (offsuit)"},
        {{"AKQJ9"}, "not a hand such as AhKd, QQ, AKs, AKo, AK, A** or random"},
        {{"AhAh"}, "the same card twice: a hand is two different cards"},
        {{"AxAx"}, "the same card twice: one letter is one suit, so two aces are AxAy"},
        {{"A*"}, "one card is not a hand: write A** for every hand holding an ace"},
        {{"*h"}, "one card is not a hand: write *h* for every hand holding a heart"},
        {{"*"}, "one card is not a hand: write ** for every hand"},
        {{"Ahh"}, "the second card needs a rank or *, as in Ah*h"},
        {{"AhK"}, "the second card needs a suit or *, as in AhK*"},
        {{"*AK"}, "each card is a rank or * and then a suit, * or x/y, as in Ah*, A** or AxKx"},
        {{"AhKz"}, "'z' is not a suit"}, {{"A**+"}, "'+' cannot follow a card pattern"},
        {{"!"}, "'!' needs an item to take out, such as !QQ+"}, {{"!!QQ"}, "one '!' takes an item out: write !QQ"},
        {{"!QQ:0.5"}, "'!' takes the item out whatever its weight: write it without one"},
        {{"AhKd+"}, "'+' cannot follow a combination"}, {{"random+"}, "'+' cannot follow random"},
        {{"QQ++"}, "'+' belongs only at the end"}, {{"QQ+-99"}, "'+' and '-' cannot be combined"},
        {{"QQ-99-77"}, "more than one '-'"}, {{"QQ-"}, "'-' needs a hand at both ends"},
        {{"AhKd-AhQd"}, "'-' joins pairs or two ranks only"}, {{"AKs-QQ"}, "the two ends are of different shapes"},
        {{"AJs-K8s", "T9s-86s"}, "the two ends share neither the first rank (AJs-A8s) nor the gap (T9s-76s)"},
        {{"AJs-A8o"}, "the two ends differ in suitedness"}, {{"AA:"}, "the weight is missing"},
        {{"AA:abc", "AA:1e-1"}, "the weight must be a plain decimal such as 0.5"},
        {{"AA:-0.5", "AA:1.5", "AA:1.00000000000000000001"}, "the weight must be from 0 to 1 (0 takes the item out)"},
        {{"aks"}, "'a' is not a rank: ranks are 6789TJQKA in upper case, suits cdhs in lower case"},
        {{"AhKD"}, "'D' is not a suit: ranks are 6789TJQKA in upper case, suits cdhs in lower case"},
        {{"10h9h"}, "write T for ten"}, {{"QQ+ AKs"}, "separate items with commas"},
        {{"0%", "101%"}, "a percentage is above 0% and at most 100%"},
        {{"-5%", "5%-"}, "a band is two percentages, such as 5%-15%"},
        {{"15%-5%"}, "a band goes from the smaller percentage to the larger, such as 5%-15%"},
        {{"%"}, "a percentage needs a number, such as 15%"}, {{"15%+"}, "'+' cannot follow a percentage"},
        {{"1e2%"}, "a percentage is a plain decimal such as 15% or 12.5%"},
        {{"0.4%"}, "too small to hold a class (AA alone is 0.95%)"},
        {{"5%-5.01%"}, "no class lies between the two percentages"},
    };
    for (const auto& [texts, reason] : why)
        for (const std::string& text : texts) EXPECT_EQ(refusal(parse, text), "item \"" + text + "\": " + reason);
}

TEST(CardList, ReadsRunTogetherOrSeparatedCardsAndNamesABadOne) {
    for (const char* text : {"6c7d8h", "6c 7d 8h", "6c,7d, 8h", "\t6c7d ,8h,"})
        EXPECT_EQ(parse_card_list(text), testing::cards("6c 7d 8h")) << text;
    EXPECT_TRUE(parse_card_list("").empty());
    EXPECT_EQ(parse_card_text("Ah"), (Card{14, 2}));
    const std::pair<std::string, std::string> bad[] = {
        {"6c7x8h", "card \"7x\": 'x' is not a suit"}, {"6c10h", "card \"10h\": write T for ten"},
        {"6c 7 8h", "card \"7\": a card is a rank and a suit, such as Ah"},
        {"6c7d8", "card \"8\": a card is a rank and a suit, such as Ah"},
        {"ah", "card \"ah\": 'a' is not a rank: ranks are 6789TJQKA in upper case, suits cdhs in lower case"},
        {"6c7\xc3\xa9", "card \"6c7\xc3\xa9\": '\xc3\xa9' is not a rank or a suit"},
        {"6c\n7d", "card \"6c\\n7d\": '\\n' is not a rank or a suit"},
    };
    for (const auto& [text, message] : bad) EXPECT_EQ(refusal(parse_card_list, text), message) << text;
}

} // namespace
} // namespace varnolith
