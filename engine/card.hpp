#pragma once
// The card model every part of varnolith shares.

#include <compare>
#include <cstdint>
#include <vector>

namespace varnolith {

inline constexpr int32_t lowest_rank = 6;   // six; there are no twos to fives
inline constexpr int32_t highest_rank = 14; // ace
inline constexpr int32_t suit_count = 4;    // 0 = c, 1 = d, 2 = h, 3 = s
inline constexpr int deck_size = 36;

// Card indices (below) run from 6c's to As's; each fits a bit of a 64-bit
// mask, so tables by card index are 64 long.
inline constexpr int32_t first_card_index = lowest_rank * 4;      // 24, 6c
inline constexpr int32_t card_index_end = (highest_rank + 1) * 4; // 60, one past As
inline constexpr int card_index_span = 64;
static_assert(card_index_end - first_card_index == deck_size && card_index_end <= card_index_span);

// The clubs of a card mask, bit 4r for ranks 6..14; shifted by a suit, that suit's.
inline constexpr uint64_t clubs_mask = 0x0111'1111'1100'0000;

// A playing card: rank 6..14 (10 = T, 11 = J, 12 = Q, 13 = K, 14 = A), suit 0..3.
// Ordered by rank, then suit.
struct Card {
    int32_t rank = 0;
    int32_t suit = 0;
    friend constexpr bool operator==(Card, Card) = default;
    friend constexpr auto operator<=>(Card, Card) = default;
};

// A player's two hole cards, in the order given.
struct HoleHand {
    Card first;
    Card second;
    friend constexpr bool operator==(const HoleHand&, const HoleHand&) = default;
};

// Community cards in the order given; engines append dealt cards at the end.
using Board = std::vector<Card>;

// rank * 4 + suit: the 36 valid cards map one-to-one onto 24..59.
constexpr int32_t card_index(Card c) { return (c.rank << 2) | c.suit; }

constexpr Card card_from_index(int32_t index) { return Card{index >> 2, index & 3}; }

constexpr bool is_valid_card(Card c) {
    return c.rank >= lowest_rank && c.rank <= highest_rank && c.suit >= 0 && c.suit < suit_count;
}

// The 36 cards in rank-major order: 6c 6d 6h 6s 7c ... As.
std::vector<Card> full_deck();

// The 36 cards in suit-major order: 6c 7c ... Ac 6d ... As.
std::vector<Card> suit_major_deck();

} // namespace varnolith
