#include "evaluator.hpp"

namespace varnolith {

namespace {

using detail::rank_bit;
using detail::rank_lsbs;
using detail::top_rank;

constexpr uint64_t deck_cards = 0x0FFF'FFFF'FF00'0000; // bits 24..59

// Bit 4r set for every rank held exactly `count` times (counts never exceed 7).
uint64_t ranks_held(uint64_t ranks, uint64_t count) {
    const uint64_t x = ranks ^ (rank_lsbs * count);
    return ~(x | x >> 1 | x >> 2 | x >> 3) & rank_lsbs;
}

// Used only where a repeated card can leave fewer ranks than kickers.
int32_t take_top_rank(uint64_t& mask) {
    const int32_t rank = top_rank(mask);
    mask &= ~rank_bit(rank);
    return rank;
}

// The five highest ranks as the digits of a base-15 number; missing ones are 0.
int32_t five_high(uint64_t mask) {
    int32_t value = 0;
    for (int i = 0; i < 5; ++i) value = value * 15 + take_top_rank(mask);
    return value;
}

// Flush weights from the list itself: the card mask would hide a repeated card.
int32_t five_high_of_suit(const Card* seven, int32_t suit) {
    int32_t ranks[7];
    int count = 0;
    for (int i = 0; i < 7; ++i) {
        if (seven[i].suit != suit) continue;
        int at = count++; // insertion keeps the list in descending order
        while (at > 0 && ranks[at - 1] < seven[i].rank) {
            ranks[at] = ranks[at - 1];
            --at;
        }
        ranks[at] = seven[i].rank;
    }
    int32_t value = 0;
    for (int i = 0; i < 5; ++i) value = value * 15 + (i < count ? ranks[i] : 0);
    return value;
}

// Number of cards of each suit, an 8-bit count at bit 8 * suit: a multiply sums
// the suit's nine rank bits into the top nibble.
uint32_t suit_counts(uint64_t cards) {
    uint32_t counts = 0;
    for (int suit = 0; suit < 4; ++suit)
        counts |= static_cast<uint32_t>((((cards >> suit) & rank_lsbs) * 0x1111'1111'1111'1111) >> 60) << (8 * suit);
    return counts;
}

// This path is kept out of line so that the common one does not hold the
// cards' partial results in registers for it.
[[gnu::noinline]] HandValue evaluate_with_repeats(const Card* seven) {
    HandBits hand;
    for (int i = 0; i < 7; ++i) hand = hand + bits_of(seven[i]);
    return detail::value_with_repeats(hand, seven);
}

[[gnu::noinline]] HandValue evaluate_records_with_repeats(const int32_t* records) {
    Card seven[7];
    for (int i = 0; i < 7; ++i) seven[i] = Card{records[2 * i], records[2 * i + 1]};
    return evaluate_with_repeats(seven);
}

// Seven cards through `rank_of(i)` and `suit_of(i)`. Each field is read on its
// own: one wider read across both would wait on the caller's separate stores.
// Range faults are caught in bulk, negative values included as large unsigned
// ones: with every suit within 0..3, an index 4 * rank + suit below 64 means a
// rank within 0..15, so the card bits are distinct, and ranks 0..5 and 15 land
// outside the deck's 24..59.
template <typename RankOf, typename SuitOf, typename Repeats>
inline HandValue evaluate_cards(RankOf rank_of, SuitOf suit_of, Repeats repeats) {
    uint64_t indices_seen = 0, suits_seen = 0, mask = 0;
    for (int i = 0; i < 7; ++i) {
        const uint64_t s = static_cast<uint32_t>(suit_of(i));
        const uint64_t index = uint64_t{static_cast<uint32_t>(rank_of(i))} * 4 + s;
        indices_seen |= index;
        suits_seen |= s;
        mask |= uint64_t{1} << (index & 63);
    }
    if ((indices_seen & ~uint64_t{63}) | (suits_seen & ~uint64_t{3}) | (mask & ~deck_cards)) return 0;
    // Cards per rank, a 4-bit count at bit 4 * rank: each nibble's population count.
    uint64_t ranks = mask - ((mask >> 1) & 0x5555'5555'5555'5555);
    ranks = (ranks & 0x3333'3333'3333'3333) + ((ranks >> 2) & 0x3333'3333'3333'3333);
    if (((ranks * 0x1111'1111'1111'1111) >> 60) != 7) return repeats(); // a card twice
    // A suit's nine rank bits summed into the top nibble by one multiply; adding
    // 3 there carries into bit 63 for a count of five or more.
    uint64_t five_of_a_suit = 0;
    for (int suit = 0; suit < 4; ++suit)
        five_of_a_suit |= ((mask >> suit) & rank_lsbs) * 0x1111'1111'1111'1111 + (uint64_t{3} << 60);
    if (__builtin_expect(five_of_a_suit >> 63, 0)) return detail::value_of_distinct(mask, ranks, suit_counts(mask));
    return detail::value_without_flush(ranks);
}

} // namespace

namespace detail {

HandValue value_with_repeats(const HandBits& hand, const Card* seven) {
    const uint64_t ranks = hand.ranks;
    const uint64_t present = (ranks | ranks >> 1 | ranks >> 2 | ranks >> 3) & rank_lsbs;
    const uint32_t flush_flags = (hand.suits + 0x7B7B'7B7Bu) & 0x8080'8080u;
    const int32_t flush_suit = flush_flags ? __builtin_ctz(flush_flags) >> 3 : 0;
    if (flush_flags)
        if (const int32_t high = straight_high((hand.cards >> flush_suit) & rank_lsbs)) return 8'000'000 + high;
    if (const uint64_t fours = ranks_held(ranks, 4)) {
        const int32_t quad = top_rank(fours);
        return 7'000'000 + 100 * quad + top_rank(present & ~rank_bit(quad));
    }
    const uint64_t threes = ranks_held(ranks, 3);
    const uint64_t twos = ranks_held(ranks, 2);
    if (threes && (twos || (threes & (threes - 1)))) {
        const int32_t trips = top_rank(threes);
        const uint64_t at_least_two = (ranks >> 1 | ranks >> 2 | ranks >> 3) & rank_lsbs;
        return 5'000'000 + 100 * trips + top_rank(at_least_two & ~rank_bit(trips));
    }
    if (flush_flags) return 6'000'000 + five_high_of_suit(seven, flush_suit);
    if (const int32_t high = straight_high(present)) return 4'000'000 + high;
    if (threes) {
        const int32_t trips = top_rank(threes);
        uint64_t kickers = present & ~rank_bit(trips);
        const int32_t k1 = take_top_rank(kickers);
        return 3'000'000 + 10'000 * trips + 100 * k1 + top_rank(kickers);
    }
    if (twos) {
        uint64_t pairs = twos;
        const int32_t p1 = take_top_rank(pairs);
        if (pairs) {
            const int32_t p2 = top_rank(pairs);
            return 2'000'000 + 10'000 * p1 + 100 * p2 + top_rank(present & ~rank_bit(p1) & ~rank_bit(p2));
        }
        uint64_t kickers = present & ~rank_bit(p1);
        const int32_t k1 = take_top_rank(kickers);
        const int32_t k2 = take_top_rank(kickers);
        return 1'000'000 + 10'000 * p1 + 100 * k1 + 10 * k2 + top_rank(kickers);
    }
    return five_high(present);
}

} // namespace detail

HandValue evaluate_seven(std::span<const Card> cards) {
    if (cards.size() != 7) return 0;
    const Card* seven = cards.data();
    return evaluate_cards([=](int i) { return seven[i].rank; }, [=](int i) { return seven[i].suit; },
                          [=] { return evaluate_with_repeats(seven); });
}

HandValue evaluate_seven_records(const int32_t* records) noexcept {
    return evaluate_cards([=](int i) { return records[2 * i]; }, [=](int i) { return records[2 * i + 1]; },
                          [=] { return evaluate_records_with_repeats(records); });
}

} // namespace varnolith
