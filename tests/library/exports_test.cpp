#include <gtest/gtest.h>

#include <varnolith/varnolith.h>

namespace {

TEST(EvaluateHandDirect, RanksSevenCardRecords) {
    const int32_t royal[14] = {10, 3, 11, 3, 12, 3, 13, 3, 14, 3, 6, 0, 7, 1};
    EXPECT_EQ(evaluate_hand_direct(royal, 7), 8'000'014);
    const int32_t wheel_flush[14] = {14, 2, 6, 2, 7, 2, 8, 2, 9, 2, 13, 0, 12, 1};
    EXPECT_EQ(evaluate_hand_direct(wheel_flush, 7), 8'000'009);
}

TEST(EvaluateHandDirect, OtherCountsGiveZeroWithoutReadingTheCards) {
    EXPECT_EQ(evaluate_hand_direct(nullptr, 6), 0);
    EXPECT_EQ(evaluate_hand_direct(nullptr, 8), 0);
    EXPECT_EQ(evaluate_hand_direct(nullptr, -1), 0);
    EXPECT_EQ(evaluate_hand_direct(nullptr, 7), 0);
}

TEST(EvaluateHandDirect, CardsOutsideTheDeckGiveZero) {
    int32_t cards[14] = {10, 3, 11, 3, 12, 3, 13, 3, 14, 3, 6, 0, 7, 1};
    cards[6] = 99;
    EXPECT_EQ(evaluate_hand_direct(cards, 7), 0);
    cards[6] = 12;
    cards[13] = -7;
    EXPECT_EQ(evaluate_hand_direct(cards, 7), 0);
}

} // namespace
