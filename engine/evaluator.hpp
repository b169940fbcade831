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

// Value of exactly seven cards in any order; 0 for any other length and for a
// card outside ranks 6..14 or suits 0..3. A card listed twice counts twice.
// Reentrant, allocation-free.
HandValue evaluate_seven(std::span<const Card> cards);

namespace detail {

inline constexpr uint64_t rank_lsbs = 0x0111'1111'1100'0000; // bit 4r for ranks 6..14

constexpr uint64_t rank_bit(int32_t rank) { return uint64_t{1} << (4 * rank); }

// Highest rank whose bit 4r is set, 0 for an empty mask: a kicker that does not
// exist adds nothing to the value.
inline int32_t top_rank(uint64_t mask) { return (63 - __builtin_clzll(mask | 1)) >> 2; }

// High card of the best straight within the rank mask, or 0 for none.
inline int32_t straight_high(uint64_t present) {
    const uint64_t run = present & present >> 4 & present >> 8 & present >> 12 & present >> 16;
    if (run) return top_rank(run) + 4; // bit 4r: ranks r .. r+4 all present
    constexpr uint64_t wheel = rank_bit(14) | rank_bit(6) | rank_bit(7) | rank_bit(8) | rank_bit(9);
    return (present & wheel) == wheel ? 9 : 0;
}

// Taken from the low end, kicker digits do not wait on one another: each step
// is a trailing-zero count and a clear-lowest-bit, both one instruction.
inline int32_t low_rank(uint64_t mask) { return __builtin_ctzll(mask) >> 2; }
inline uint64_t drop_lowest(uint64_t mask) { return mask & (mask - 1); }

// Base-15 value of a mask holding exactly five ranks, highest digit first.
inline int32_t five_digits(uint64_t mask) {
    const int32_t r5 = low_rank(mask);
    mask = drop_lowest(mask);
    const int32_t r4 = low_rank(mask);
    mask = drop_lowest(mask);
    const int32_t r3 = low_rank(mask);
    mask = drop_lowest(mask);
    const int32_t r2 = low_rank(mask);
    mask = drop_lowest(mask);
    return 50'625 * low_rank(mask) + 3'375 * r2 + 225 * r3 + 15 * r4 + r5;
}

// The general rules, for seven cards among which one may be listed twice
// (rank counts up to 7): groups are ranks held exactly 2, 3 or 4 times, and a
// quad or full house is tested before the flush because a repeat can make both.
HandValue value_with_repeats(const HandBits& hand, const Card* seven);

// Seven valid, distinct cards: no rank is held more than four times, so the
// counts' low three bits say everything, and a flush excludes quads and full
// houses, so the rare flush is settled first.
inline HandValue value_of_distinct(uint64_t cards, uint64_t ranks, uint32_t suits) {
    const uint64_t once_bit = ranks & rank_lsbs;
    const uint64_t twice_bit = (ranks >> 1) & rank_lsbs;
    const uint64_t fours = (ranks >> 2) & rank_lsbs;
    const uint64_t present = once_bit | twice_bit | fours;
    const uint32_t flush_flags = (suits + 0x7B7B'7B7Bu) & 0x8080'8080u; // a suit count >= 5
    if (__builtin_expect(flush_flags != 0, 0)) {
        const int32_t suit = __builtin_ctz(flush_flags) >> 3;
        uint64_t flush_ranks = (cards >> suit) & rank_lsbs;
        if (const int32_t high = straight_high(flush_ranks)) return 8'000'000 + high;
        const uint32_t count = (suits >> (8 * suit)) & 0xFF; // five to seven: keep the top five
        if (count > 5) flush_ranks = drop_lowest(flush_ranks);
        if (count > 6) flush_ranks = drop_lowest(flush_ranks);
        return 6'000'000 + five_digits(flush_ranks);
    }
    if (__builtin_expect(fours != 0, 0)) {
        const int32_t quad = top_rank(fours);
        return 7'000'000 + 100 * quad + top_rank(present & ~rank_bit(quad));
    }
    const uint64_t threes = twice_bit & once_bit; // count 3
    const uint64_t pairs = twice_bit;             // count 2 or 3
    const int32_t trips = top_rank(threes);
    const uint64_t other_pairs = pairs & ~rank_bit(trips);
    if (threes && other_pairs) return 5'000'000 + 100 * trips + top_rank(other_pairs);
    if (const int32_t high = straight_high(present)) return 4'000'000 + high;
    // Seven distinct cards without a better hand leave a known number of
    // kickers: four beside trips, five beside one pair, seven for high card.
    // Dropping the lowest ones leaves exactly the kickers that count.
    if (threes) {
        const uint64_t kickers = drop_lowest(drop_lowest(present & ~rank_bit(trips)));
        return 3'000'000 + 10'000 * trips + 100 * low_rank(drop_lowest(kickers)) + low_rank(kickers);
    }
    if (pairs) {
        const int32_t p1 = top_rank(pairs);
        const uint64_t rest = pairs & ~rank_bit(p1);
        if (rest) { // the third pair, if any, stays a kicker candidate
            const int32_t p2 = top_rank(rest);
            return 2'000'000 + 10'000 * p1 + 100 * p2 + top_rank(present & ~rank_bit(p1) & ~rank_bit(p2));
        }
        uint64_t kickers = drop_lowest(drop_lowest(present & ~rank_bit(p1)));
        const int32_t k3 = low_rank(kickers);
        kickers = drop_lowest(kickers);
        return 1'000'000 + 10'000 * p1 + 100 * low_rank(drop_lowest(kickers)) + 10 * low_rank(kickers) + k3;
    }
    return five_digits(drop_lowest(drop_lowest(present)));
}

} // namespace detail

// Value of seven valid, distinct cards given as packed bits: the hot-path form
// used by the board walk and the trial loop.
inline HandValue evaluate_bits(const HandBits& hand) {
    return detail::value_of_distinct(hand.cards, hand.ranks, hand.suits);
}

} // namespace varnolith
