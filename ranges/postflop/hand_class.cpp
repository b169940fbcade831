#include "ranges/postflop/hand_class.hpp"

#include <algorithm>
#include <bit>

#include "hand_bits.hpp"

namespace varnolith {

namespace {

HandBits bits_of_cards(const Board& cards) {
    HandBits bits;
    for (const Card c : cards) bits = bits + bits_of(c);
    return bits;
}

// Seven cards' value, or five cards' when they make a straight or better: the
// evaluator's kicker steps need seven cards below a straight.
HandValue value_under(const HandBits& cards, Ranking ranking) {
    return ranking == Ranking::straight ? evaluate_bits<Ranking::straight>(cards) : evaluate_bits<Ranking::trips>(cards);
}

// Bit 4r for every rank present.
uint64_t ranks_present(uint64_t cards) {
    return (cards | cards >> 1 | cards >> 2 | cards >> 3) & detail::rank_lsbs;
}

int rank_count(const HandBits& bits, int32_t rank) { return static_cast<int>((bits.ranks >> (4 * rank)) & 0xF); }

// The category of three to seven distinct cards, 0 high card to 8 straight
// flush, in the straight ranking's numbering whatever the ranking: under
// trips a hand holding three of a kind and a straight is three of a kind.
int category_of_cards(const HandBits& cards, Ranking ranking) {
    bool flush = false;
    for (int32_t suit = 0; suit < suit_count; ++suit) {
        if (((cards.suits >> (8 * suit)) & 0xFF) < 5) continue;
        if (detail::straight_high((cards.cards >> suit) & detail::rank_lsbs) != 0) return 8;
        flush = true;
    }
    int threes = 0, pairs = 0;
    for (int32_t rank = lowest_rank; rank <= highest_rank; ++rank) {
        const int count = rank_count(cards, rank);
        if (count == 4) return 7;
        threes += count == 3;
        pairs += count == 2;
    }
    if (flush) return 6;
    if (threes >= 2 || (threes == 1 && pairs >= 1)) return 5;
    if (detail::straight_high(ranks_present(cards.cards)) != 0 && !(threes == 1 && ranking == Ranking::trips))
        return straight_category;
    if (threes == 1) return trips_category;
    return pairs >= 2 ? 2 : pairs;
}

// The made categories a hole card can reach beyond the board: straight and up.
std::optional<MadeClass> made_by_category(int category) {
    switch (category) {
    case 8: return MadeClass::straight_flush;
    case 7: return MadeClass::quads;
    case 6: return MadeClass::flush;
    case 5: return MadeClass::full_house;
    case straight_category: return MadeClass::straight;
    default: return std::nullopt;
    }
}

// What the hole cards make by their ranks against the board's.
MadeClass made_by_ranks(const HoleHand& hand, const HandBits& board) {
    const int32_t high = std::max(hand.first.rank, hand.second.rank), low = std::min(hand.first.rank, hand.second.rank);
    const int32_t top = detail::top_rank(ranks_present(board.cards));
    if (high == low) {
        if (rank_count(board, high) > 0) return MadeClass::set;
        return high > top ? MadeClass::overpair : MadeClass::pocket_pair_below_top;
    }
    const int high_count = rank_count(board, high), low_count = rank_count(board, low);
    if (high_count >= 2 || low_count >= 2) return MadeClass::trips;
    if (high_count > 0 && low_count > 0) return MadeClass::two_pair;
    if (high_count > 0 || low_count > 0) {
        const int32_t paired = high_count > 0 ? high : low;
        if (paired == top) return MadeClass::top_pair;
        const int32_t second = detail::top_rank(ranks_present(board.cards) & ~detail::rank_bit(top));
        return paired == second ? MadeClass::middle_pair : MadeClass::weak_pair;
    }
    return high == highest_rank ? MadeClass::ace_high : MadeClass::nothing;
}

MadeClass made_class(const HoleHand& hand, const HandBits& board, const HandBits& all, Ranking ranking) {
    const int category = category_of_cards(all, ranking);
    if (const std::optional<MadeClass> made = made_by_category(category)) {
        if (category_of_cards(board, ranking) != category) return *made;
        // The same category as the board's own, so a river: a hole card plays
        // when the hand beats the board. The board's quads stay the board's.
        if (category != 7 && value_under(all, ranking) > value_under(board, ranking)) return *made;
    }
    return made_by_ranks(hand, board);
}

int suit_count_of(const HandBits& bits, int32_t suit) { return static_cast<int>((bits.suits >> (8 * suit)) & 0xFF); }

DrawFlags flush_draws(const HoleHand& hand, const HandBits& board, const HandBits& all) {
    DrawFlags draws = 0;
    for (int32_t suit = 0; suit < suit_count; ++suit) {
        const int held = (hand.first.suit == suit) + (hand.second.suit == suit);
        if (held == 0) continue;
        const int total = suit_count_of(all, suit);
        if (total == 4) {
            draws |= draw_bit(Draw::flush_draw);
            // The best card of the suit not on the board: the nut draw holds it.
            const uint64_t out = (detail::rank_lsbs << suit) & ~board.cards;
            const int32_t best = detail::top_bit(out) >> 2;
            if ((hand.first.suit == suit && hand.first.rank == best) || (hand.second.suit == suit && hand.second.rank == best))
                draws |= draw_bit(Draw::nut_flush_draw);
        } else if (total == 3 && std::popcount(board.cards) == 3) {
            draws |= draw_bit(Draw::backdoor_flush);
        }
    }
    if (draws & draw_bit(Draw::flush_draw)) draws &= static_cast<DrawFlags>(~draw_bit(Draw::backdoor_flush));
    return draws;
}

// Cards still out that give the hole cards a straight they play in: the
// board with that card makes none, or a lower one.
int straight_outs(const HandBits& board, const HandBits& all) {
    if (detail::straight_high(ranks_present(all.cards)) != 0) return 0;
    int outs = 0;
    for (int32_t index = first_card_index; index < card_index_end; ++index) {
        const uint64_t card = uint64_t{1} << index;
        if (all.cards & card) continue;
        const int32_t made = detail::straight_high(ranks_present(all.cards | card));
        if (made != 0 && made > detail::straight_high(ranks_present(board.cards | card))) ++outs;
    }
    return outs;
}

} // namespace

std::array<MadeClass, made_class_count> made_classes_in_order(Ranking ranking) {
    std::array<MadeClass, made_class_count> order{};
    for (int i = 0; i < made_class_count; ++i) order[static_cast<std::size_t>(i)] = static_cast<MadeClass>(i);
    // Under trips a set and trips come before the straight.
    if (ranking == Ranking::trips)
        std::rotate(order.begin() + static_cast<int>(MadeClass::straight), order.begin() + static_cast<int>(MadeClass::set),
                    order.begin() + static_cast<int>(MadeClass::two_pair));
    return order;
}

HandClass classify_hand(const HoleHand& hand, const Board& board_cards, Ranking ranking) {
    const HandBits board = bits_of_cards(board_cards);
    const HandBits all = board + bits_of(hand.first) + bits_of(hand.second);
    HandClass result{made_class(hand, board, all, ranking), 0};
    if (board_cards.size() >= 5) return result;
    DrawFlags draws = flush_draws(hand, board, all);
    const int outs = straight_outs(board, all);
    if (outs >= 8) draws |= draw_bit(Draw::open_ended);
    else if (outs > 0) draws |= draw_bit(Draw::gutshot);
    if ((draws & draw_bit(Draw::flush_draw)) && (draws & (draw_bit(Draw::open_ended) | draw_bit(Draw::gutshot))))
        draws |= draw_bit(Draw::combo_draw);
    const int32_t top = detail::top_rank(ranks_present(board.cards));
    const bool made_nothing = result.made == MadeClass::ace_high || result.made == MadeClass::nothing;
    if (made_nothing && hand.first.rank != hand.second.rank && std::min(hand.first.rank, hand.second.rank) > top)
        draws |= draw_bit(Draw::overcards);
    result.draws = draws;
    return result;
}

std::optional<MadeClass> made_class_named(std::string_view name) {
    const auto at = std::find(made_class_names.begin(), made_class_names.end(), name);
    if (at == made_class_names.end()) return std::nullopt;
    return static_cast<MadeClass>(at - made_class_names.begin());
}

std::optional<Draw> draw_named(std::string_view name) {
    const auto at = std::find(draw_names.begin(), draw_names.end(), name);
    if (at == draw_names.end()) return std::nullopt;
    return static_cast<Draw>(at - draw_names.begin());
}

} // namespace varnolith
