#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "card_text.hpp"
#include "evaluator.hpp"
#include "reference_evaluator.hpp"

namespace varnolith {
namespace {

using testing::cards;

struct KnownHand {
    const char* cards;
    HandValue value;
};

const KnownHand known_hands[] = {
    {"Ts Js Qs Ks As 6c 7d", 8'000'014}, // ace-high straight flush
    {"Ah 6h 7h 8h 9h Kc Qd", 8'000'009}, // A-6-7-8-9 is the lowest straight flush
    {"6h 7h 8h 9h Th Jc Kd", 8'000'010}, // the mixed-suit jack-high straight does not count
    {"Ac Ad Ah As Kc 6d 7h", 7'001'413},
    {"6c 6d 6h 6s Ac Ad Ah", 7'000'614}, // kicker from the three aces
    {"Ah Kh 9h 7h 6h 8c Qd", 6'754'761}, // flush beats the A-6-7-8-9 straight
    {"Ah Kh Qh Jh 9h 7h 8c", 6'755'499}, // six hearts: the lowest is left out
    {"Kc Kd Kh Ac Ad 6h 7s", 5'001'314},
    {"7c 7d 7h 8c 8d 8h Ac", 5'000'807}, // two trips: eights full of sevens
    {"6c 6d 6h 9c 9d Th Ts", 5'000'610}, // the higher pair fills the house
    {"Tc Jd Qh Ks Ac 6d 6h", 4'000'014},
    {"Ac 6d 7h 8s 9c Qd Qh", 4'000'009},
    {"Ac 6d 7h 8s 9c Td Kh", 4'000'010}, // the ten-high straight counts
    {"6c 6d 6h 7s 8c 9d Th", 4'000'010}, // a straight beats trips
    {"9c 9d 9h Ac Kd 6h 7s", 3'091'413},
    {"Ac Ad Kc Kd Qh 6s 7c", 2'141'312},
    {"Ac Ad Kc Kd Qh Qs 6c", 2'141'312}, // third pair serves as kicker
    {"7c 7d 8c 8d 9h 9s Ac", 2'090'814}, // single ace outranks the third pair
    {"6c 6d Ah Ks Qc Jd 9h", 1'061'542},
    {"Ac Kd Qh Js 9c 7d 6h", 755'499},
};

TEST(EvaluateSeven, GivesTheKnownValues) {
    for (const KnownHand& known : known_hands) {
        const auto seven = cards(known.cards);
        EXPECT_EQ(evaluate_seven(seven), known.value) << known.cards;
        EXPECT_EQ(testing::reference_evaluate(seven), known.value) << known.cards;
    }
}

TEST(EvaluateSeven, IgnoresTheOrderOfTheCards) {
    std::mt19937 shuffler(7);
    for (const KnownHand& known : known_hands) {
        auto seven = cards(known.cards);
        std::reverse(seven.begin(), seven.end());
        EXPECT_EQ(evaluate_seven(seven), known.value) << known.cards;
        for (int i = 0; i < 20; ++i) {
            std::shuffle(seven.begin(), seven.end(), shuffler);
            EXPECT_EQ(evaluate_seven(seven), known.value) << known.cards;
        }
    }
}

TEST(EvaluateSeven, OtherLengthsEvaluateNothing) {
    EXPECT_EQ(evaluate_seven({}), 0);
    EXPECT_EQ(evaluate_seven(cards("Ts Js Qs Ks As 6c")), 0);
    EXPECT_EQ(evaluate_seven(cards("Ts Js Qs Ks As 6c 7d 8d")), 0);
}

TEST(EvaluateSeven, CardsOutsideTheDeckEvaluateNothing) {
    const Card bad[] = {{5, 0}, {15, 1}, {2, 0}, {6, 4}, {6, -1}, {-100, 0}, {INT32_MAX, 3}, {14, INT32_MIN}, {INT32_MIN, 0}, {INT32_MIN + 6, 2}};
    for (const Card b : bad) {
        auto seven = cards("Ts Js Qs Ks As 6c 7d");
        for (std::size_t at = 0; at < seven.size(); ++at) {
            auto copy = seven;
            copy[at] = b;
            EXPECT_EQ(evaluate_seven(copy), 0) << b.rank << "," << b.suit << " at " << at;
        }
    }
}

// A card listed twice counts twice toward its rank and suit; the plain
// evaluator is the yardstick.
TEST(EvaluateSeven, CountsARepeatedCardTwice) {
    const char* repeated[] = {
        "Ah Ah Kh Qh Jh 6c 7d", // flush with the ace twice: A A K Q J
        "Ah Ah Ah Kh Kh Qc Jd", // five hearts but a full house wins first
        "Ac Ac Ac Ac Ac Kd Qd", // five aces: no group of exactly 2, 3 or 4
        "9s 9s Ts Js Qs Kd 6c", // straight flush test uses the set of ranks
        "6c 6c 6c 6c 7d 7d 8h",
    };
    for (const char* text : repeated) {
        const auto seven = cards(text);
        EXPECT_EQ(evaluate_seven(seven), testing::reference_evaluate(seven)) << text;
    }
    EXPECT_EQ(evaluate_seven(cards("Ah Ah Kh Qh Jh 6c 7d")), 6'000'000 + 50'625 * 14 + 3'375 * 14 + 225 * 13 + 15 * 12 + 11);
}

TEST(EvaluateSeven, MatchesTheReferenceOnRandomRepeatedCards) {
    std::mt19937 random(11);
    const auto deck = full_deck();
    std::uniform_int_distribution<int> pick(0, 35);
    std::uniform_int_distribution<int> narrow(0, 7); // few distinct cards: many repeats
    for (int i = 0; i < 200'000; ++i) {
        std::vector<Card> seven;
        const int base = pick(random) % 28;
        for (int j = 0; j < 7; ++j) seven.push_back(deck[(i & 1) ? pick(random) : base + narrow(random)]);
        ASSERT_EQ(evaluate_seven(seven), testing::reference_evaluate(seven));
    }
}

} // namespace
} // namespace varnolith
