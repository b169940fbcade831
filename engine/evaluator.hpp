#pragma once
// The seven-card evaluator: one comparable integer per hand under the
// Short-Deck ranking (flush above full house, A-6-7-8-9 the lowest straight).

#include <cstdint>
#include <span>

#include "card.hpp"
#include "hand_bits.hpp"

namespace varnolith {

// category * 1,000,000 + detail; larger is better, equal values split the pot,
// 0 means "nothing evaluated". Categories: 0 high card, 1 pair, 2 two pair,
// 3 three of a kind, 4 straight, 5 full house, 6 flush, 7 quads, 8 straight flush.
using HandValue = int32_t;

// The two rankings short deck is played under. `straight` (the one above) puts
// a straight over three of a kind; `trips` puts three of a kind over a
// straight, and a hand holding both plays the three of a kind. Everything
// else is the same in both: a flush beats a full house, A-6-7-8-9 is the
// lowest straight.
enum class Ranking { straight, trips };

// Under `trips` the two categories trade places in the value, so values still
// compare as hands do: category 3 is then the straight, 4 three of a kind.
inline constexpr int trips_category = 3;
inline constexpr int straight_category = 4;
constexpr int category_place(int category, Ranking ranking) {
    if (ranking == Ranking::trips && (category == trips_category || category == straight_category))
        return trips_category + straight_category - category;
    return category;
}

inline constexpr int category_count = 9;            // high card .. straight flush
inline constexpr HandValue category_step = 1'000'000; // a value's category is value / category_step

// The category of a value: 0 high card to 8 straight flush, in the value's own
// order (see category_place).
constexpr int category_of(HandValue value) { return value / category_step; }

// Value of exactly seven cards in any order; 0 for any other length and for a
// card outside ranks 6..14 or suits 0..3. A card listed twice counts twice.
// Reentrant, allocation-free.
HandValue evaluate_seven(std::span<const Card> cards);

// The same for the library's record form, 14 int32 in a row (rank, suit per
// card), read where they lie.
HandValue evaluate_seven_records(const int32_t* records) noexcept;

namespace detail {

inline constexpr uint64_t rank_lsbs = clubs_mask; // bit 4r for ranks 6..14

constexpr uint64_t rank_bit(int32_t rank) { return uint64_t{1} << (4 * rank); }

// Bit position 4r of the highest rank present, 0 for an empty mask: a kicker
// that does not exist adds nothing to the value. 63 ^ clz is a single bsr.
inline int32_t top_bit(uint64_t mask) { return 63 ^ __builtin_clzll(mask | 1); }
inline int32_t top_rank(uint64_t mask) { return top_bit(mask) >> 2; }

// High card of the best straight within the rank mask, or 0 for none. The ace
// is copied down to rank 5, so the wheel is one more run of five, ending at 9.
inline int32_t straight_high(uint64_t present) {
    const uint64_t ranks = present | ((present >> 36) & rank_bit(5));
    const uint64_t two = ranks & ranks >> 4;           // bit 4r: ranks r, r+1
    const uint64_t run = two & two >> 8 & ranks >> 16; // ranks r .. r+4
    return run ? top_rank(run) + 4 : 0;
}

// Kicker digits are taken from the low end so that they do not wait on one
// another: each step is a trailing-zero count and a clear-lowest-bit, both one
// instruction.
inline int32_t low_bit(uint64_t mask) { return __builtin_ctzll(mask); }
inline uint64_t drop_lowest(uint64_t mask) { return mask & (mask - 1); }

// Values are weighted sums of ranks. Bit positions are four times the rank, so
// the weights are applied to positions and the sum is divided by four once.

// Base-15 value of a mask holding exactly five ranks, highest digit first.
inline int32_t five_digits(uint64_t mask) {
    const int32_t b5 = low_bit(mask);
    mask = drop_lowest(mask);
    const int32_t b4 = low_bit(mask);
    mask = drop_lowest(mask);
    const int32_t b3 = low_bit(mask);
    mask = drop_lowest(mask);
    const int32_t b2 = low_bit(mask);
    mask = drop_lowest(mask);
    return (50'625 * low_bit(mask) + 3'375 * b2 + 225 * b3 + 15 * b4 + b5) >> 2;
}

// The general rules, for seven cards among which one may be listed twice
// (rank counts up to 7): groups are ranks held exactly 2, 3 or 4 times, and a
// quad or full house is tested before the flush because a repeat can make both.
HandValue value_with_repeats(const HandBits& hand, const Card* seven);

// A straight's and three of a kind's value bases under each ranking; the
// shifted forms carry the factor of four of the bit positions.
template <Ranking ranking> inline constexpr int32_t straight_base = ranking == Ranking::straight ? 4'000'000 : 3'000'000;
template <Ranking ranking> inline constexpr int32_t trips_base_x4 = ranking == Ranking::straight ? 12'000'000 : 16'000'000;

// Trips or quads among seven distinct cards: rarer, so kept apart from the
// pairs-only road. Without a flush, a quad is alone and a full house has no
// room for a straight.
template <Ranking ranking = Ranking::straight>
inline HandValue value_of_sets(uint64_t present, uint64_t twice_bit, uint64_t threes, uint64_t fours) {
    if (fours) return (28'000'000 + 100 * low_bit(fours) + top_bit(present & ~fours)) >> 2;
    const int32_t trips = top_bit(threes);
    const uint64_t others = twice_bit & ~(uint64_t{1} << trips); // a pair or a second trips
    if (others) return (20'000'000 + 100 * trips + top_bit(others)) >> 2;
    if constexpr (ranking == Ranking::straight)
        if (const int32_t high = straight_high(present)) return 4'000'000 + high;
    // Four other ranks: the top two are the kickers.
    const uint64_t kickers = drop_lowest(drop_lowest(present & ~threes));
    return (trips_base_x4<ranking> + 10'000 * trips + 100 * low_bit(drop_lowest(kickers)) + low_bit(kickers)) >> 2;
}

// Seven valid, distinct cards without five of a suit: no rank is held more
// than four times, so the counts' low three bits say everything.
template <Ranking ranking = Ranking::straight>
inline HandValue value_without_flush(uint64_t ranks) {
    const uint64_t once_bit = ranks & rank_lsbs;         // count 1 or 3
    const uint64_t twice_bit = (ranks >> 1) & rank_lsbs; // count 2 or 3
    const uint64_t fours = (ranks >> 2) & rank_lsbs;
    const uint64_t present = once_bit | twice_bit | fours;
    const uint64_t threes = once_bit & twice_bit;
    if (__builtin_expect((threes | fours) != 0, 0)) return value_of_sets<ranking>(present, twice_bit, threes, fours);
    // Only pairs and single cards from here; a known number of ranks is left
    // for kickers, and dropping the lowest ones leaves exactly those that count.
    if (const int32_t high = straight_high(present)) return straight_base<ranking> + high;
    const uint64_t pairs = twice_bit;
    const uint64_t upper_pairs = drop_lowest(pairs);
    if (upper_pairs) { // of three pairs the lowest is only a kicker candidate
        const uint64_t best = drop_lowest(upper_pairs) ? upper_pairs : pairs;
        return (8'000'000 + 10'000 * top_bit(best) + 100 * low_bit(best) + top_bit(present & ~best)) >> 2;
    }
    if (pairs) {
        uint64_t kickers = drop_lowest(drop_lowest(present & ~pairs));
        const int32_t k3 = low_bit(kickers);
        kickers = drop_lowest(kickers);
        const int32_t k2 = low_bit(kickers);
        return (4'000'000 + 10'000 * low_bit(pairs) + 100 * low_bit(drop_lowest(kickers)) + 10 * k2 + k3) >> 2;
    }
    return five_digits(drop_lowest(drop_lowest(present)));
}

// Five to seven of the seven distinct cards in one suit: nothing else left
// can make quads or a full house, so only a straight flush beats the flush.
inline HandValue value_of_flush(uint64_t cards, int32_t suit, uint32_t count) {
    uint64_t flush_ranks = (cards >> suit) & rank_lsbs;
    if (const int32_t high = straight_high(flush_ranks)) return 8'000'000 + high;
    if (count > 5) flush_ranks = drop_lowest(flush_ranks); // keep the top five
    if (count > 6) flush_ranks = drop_lowest(flush_ranks);
    return 6'000'000 + five_digits(flush_ranks);
}

// Seven valid, distinct cards; the rare flush is settled first.
template <Ranking ranking = Ranking::straight>
inline HandValue value_of_distinct(uint64_t cards, uint64_t ranks, uint32_t suits) {
    const uint32_t flush_flags = (suits + 0x7B7B'7B7Bu) & 0x8080'8080u; // a suit count >= 5
    if (__builtin_expect(flush_flags != 0, 0)) {
        const int32_t suit = __builtin_ctz(flush_flags) >> 3;
        return value_of_flush(cards, suit, (suits >> (8 * suit)) & 0xFF);
    }
    return value_without_flush<ranking>(ranks);
}

} // namespace detail

// Value of seven valid, distinct cards given as packed bits: the hot-path form
// used by the board walk and the trial loop.
template <Ranking ranking = Ranking::straight>
inline HandValue evaluate_bits(const HandBits& hand) {
    return detail::value_of_distinct<ranking>(hand.cards, hand.ranks, hand.suits);
}

// The board's share of the evaluations on one five-card board, worked out
// once: its packed cards and the suit in which hole cards could still make a
// flush. Without a flush the value depends on the hole cards' ranks alone, so
// combinations of one rank pair share it.
struct BoardShare {
    HandBits board;
    uint64_t flush_suit_cards = 0; // every card of the suit held three or more times on the board; 0 for none
    uint64_t two_needed = 0;       // 1 when a flush needs both hole cards of that suit, 0 when one will do
};

inline BoardShare board_share(const HandBits& board) {
    BoardShare share{board};
    const uint32_t three_or_more = (board.suits + 0x7D7D'7D7Du) & 0x8080'8080u; // a suit count >= 3
    if (three_or_more) {
        const int32_t suit = __builtin_ctz(three_or_more) >> 3;
        const int32_t count = static_cast<int32_t>((board.suits >> (8 * suit)) & 0xFF);
        share.flush_suit_cards = detail::rank_lsbs << suit;
        share.two_needed = count == 3;
    }
    return share;
}

// Whether two hole cards (a card mask) make a flush with the board: only then
// does their value need them card by card. Clearing the lowest of the suited
// cards leaves one when both were needed and held.
inline bool makes_flush(const BoardShare& share, uint64_t hole_cards) {
    const uint64_t suited = hole_cards & share.flush_suit_cards;
    return (suited & (suited - share.two_needed)) != 0;
}

// Value of the board with two hole cards that make no flush with it, from
// their ranks (4-bit counts, as HandBits::ranks). A board of five suited cards
// stays the flush it is: no two cards make quads on five distinct ranks.
template <Ranking ranking = Ranking::straight>
inline HandValue evaluate_ranks_on_board(const BoardShare& share, uint64_t hole_ranks) {
    return detail::value_of_distinct<ranking>(share.board.cards, share.board.ranks + hole_ranks, share.board.suits);
}

} // namespace varnolith
