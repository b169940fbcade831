// Every seven-card set of the 36-card deck, the fast evaluator against the plain one.

#include <gtest/gtest.h>

#include <array>

#include "reference_evaluator.hpp"

namespace varnolith {
namespace {

// Calls visit(seven, bits) for each seven-card set: a 36-bit mask with seven
// bits set, visited in increasing order.
template <typename Visit>
void for_every_seven_card_set(Visit visit) {
    const auto deck = full_deck();
    for (uint64_t set = 0x7F; set < uint64_t{1} << 36;) {
        std::array<Card, 7> seven;
        HandBits bits;
        for (uint64_t rest = set, k = 0; rest; rest &= rest - 1) bits = bits + bits_of(seven[k++] = deck[__builtin_ctzll(rest)]);
        visit(seven, bits);
        const uint64_t low = set & -set, carried = set + low; // the next mask with as many bits
        set = carried | (((carried ^ set) >> 2) / low);
    }
}

TEST(EvaluateSevenExhaustive, MatchesTheReferenceOnEverySevenCardSet) {
    std::vector<int64_t> per_category(10);
    int64_t mismatches = 0;
    for_every_seven_card_set([&](const std::array<Card, 7>& seven, const HandBits&) {
        const HandValue value = evaluate_seven(seven);
        if (value != testing::reference_evaluate(seven) && ++mismatches <= 5) ADD_FAILURE() << "mismatch: " << value;
        ++per_category[std::clamp(value / 1'000'000, 0, 9)];
    });
    EXPECT_EQ(mismatches, 0);
    // Sets per category, high card to straight flush, and none above.
    EXPECT_EQ(per_category, (std::vector<int64_t>{233'100, 2'316'600, 3'157'056, 607'200, 1'169'940, 633'024, 175'560,
                                                   44'640, 10'560, 0}));
}

// Under the trips ranking, against the best of each set's 21 five-card hands.
TEST(EvaluateSevenExhaustive, TheTripsRankingMatchesTheBestFiveCardHandOnEverySet) {
    std::vector<int64_t> per_category(10);
    int64_t mismatches = 0;
    for_every_seven_card_set([&](const std::array<Card, 7>& seven, const HandBits& bits) {
        const HandValue value = evaluate_bits<Ranking::trips>(bits);
        if (value != testing::reference_best_five(seven, Ranking::trips) && ++mismatches <= 5)
            ADD_FAILURE() << "mismatch: " << value;
        ++per_category[std::clamp(category_place(value / 1'000'000, Ranking::trips), 0, 9)];
    });
    EXPECT_EQ(mismatches, 0);
    // By category, high card to straight flush: the 30,360 sets holding three
    // of a kind and a straight move from the straights to the threes of a kind.
    EXPECT_EQ(per_category, (std::vector<int64_t>{233'100, 2'316'600, 3'157'056, 637'560, 1'139'580, 633'024, 175'560,
                                                   44'640, 10'560, 0}));
}

} // namespace
} // namespace varnolith
