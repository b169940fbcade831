// The trips ranking: three of a kind over a straight, the rest as ever.

#include <gtest/gtest.h>

#include <tuple>

#include "reference_evaluator.hpp"
#include "test_cards.hpp"

namespace varnolith {
namespace {

HandValue under(Ranking ranking, const std::string& text) {
    HandBits bits;
    for (const Card c : testing::cards(text)) bits = bits + bits_of(c);
    return ranking == Ranking::trips ? evaluate_bits<Ranking::trips>(bits) : evaluate_bits(bits);
}

TEST(TripsRanking, AHandHoldingBothPlaysTheRankingsChoice) {
    // The cards, and their value under the straight and the trips ranking.
    const std::tuple<const char*, HandValue, HandValue> cases[] = {
        // Three sixes and a run to the ten: the straight, or the sixes with T 9 kickers.
        {"6c 6d 6h 7s 8c 9d Th", 4'000'010, 4'061'009},
        // The wheel A-6-7-8-9 beside three nines.
        {"Ac 6d 7h 8s 9c 9d 9h", 4'000'009, 4'091'408},
        // Both in one suit: a straight flush; three of a kind in a flush: the flush.
        {"6c 6d 6h 7c 8c 9c Tc", 8'000'010, 8'000'010},
        {"6c 6d 6h 7c 8c 9c Qc", 6'639'786, 6'639'786},
        // Alone, each keeps its detail and changes its category.
        {"6c 7d 8h 9s Tc Kd Ah", 4'000'010, 3'000'010},
        {"Qc Qd Qh 6s 8c Td Ah", 3'121'410, 4'121'410},
        // Below and above the two, nothing moves.
        {"Kc Kd 8h 8s 6c 7d Ah", 2'130'814, 2'130'814},
        {"6c 7c 8c 9c Tc Kd Ah", 8'000'010, 8'000'010},
    };
    for (const auto& [text, straight, trips] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(under(Ranking::straight, text), straight);
        EXPECT_EQ(under(Ranking::trips, text), trips);
        const auto seven = testing::cards(text);
        EXPECT_EQ(testing::reference_best_five(seven, Ranking::trips), trips);
        EXPECT_EQ(testing::reference_best_five(seven, Ranking::straight), straight);
    }
}

} // namespace
} // namespace varnolith
