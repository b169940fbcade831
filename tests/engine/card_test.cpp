#include <gtest/gtest.h>

#include <set>

#include "card.hpp"

namespace varnolith {
namespace {

TEST(FullDeck, HoldsThirtySixDistinctCardsRankMajor) {
    const auto deck = full_deck();
    ASSERT_EQ(deck.size(), 36u);
    EXPECT_EQ(deck[0], (Card{6, 0}));
    EXPECT_EQ(deck[4], (Card{7, 0}));
    EXPECT_EQ(deck[35], (Card{14, 3}));
    EXPECT_TRUE(std::is_sorted(deck.begin(), deck.end()));
    EXPECT_EQ(std::set<Card>(deck.begin(), deck.end()).size(), 36u);
}

TEST(SuitMajorDeck, ListsEachSuitRankByRank) {
    const auto deck = suit_major_deck();
    ASSERT_EQ(deck.size(), 36u);
    EXPECT_EQ(deck[0], (Card{6, 0}));
    EXPECT_EQ(deck[8], (Card{14, 0}));
    EXPECT_EQ(deck[9], (Card{6, 1}));
    EXPECT_EQ(deck[35], (Card{14, 3}));
    EXPECT_EQ(std::set<Card>(deck.begin(), deck.end()).size(), 36u);
}

TEST(CardIndex, MapsValidCardsOneToOneOnto24To59) {
    EXPECT_EQ(card_index({6, 0}), 24);
    EXPECT_EQ(card_index({10, 2}), 42);
    EXPECT_EQ(card_index({14, 3}), 59);
    std::set<int32_t> seen;
    for (const Card c : full_deck()) {
        EXPECT_TRUE(seen.insert(card_index(c)).second);
        EXPECT_EQ(card_from_index(card_index(c)), c);
    }
    EXPECT_EQ(*seen.begin(), 24);
    EXPECT_EQ(*seen.rbegin(), 59);
}

TEST(CardOrder, ComparesRankThenSuit) {
    EXPECT_LT((Card{9, 3}), (Card{10, 0}));
    EXPECT_LT((Card{10, 0}), (Card{10, 1}));
    EXPECT_NE((Card{10, 0}), (Card{10, 1}));
    EXPECT_EQ((Card{10, 1}), (Card{10, 1}));
}

TEST(CardValidity, AcceptsOnlyTheShortDeck) {
    EXPECT_TRUE(is_valid_card({6, 0}));
    EXPECT_TRUE(is_valid_card({14, 3}));
    EXPECT_FALSE(is_valid_card({5, 0}));
    EXPECT_FALSE(is_valid_card({15, 0}));
    EXPECT_FALSE(is_valid_card({6, -1}));
    EXPECT_FALSE(is_valid_card({6, 4}));
}

} // namespace
} // namespace varnolith
