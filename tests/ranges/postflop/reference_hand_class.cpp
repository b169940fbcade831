#include "reference_hand_class.hpp"

#include <algorithm>
#include <vector>

namespace varnolith::testing {

namespace {

// Categories as the engine numbers them: 0 high card .. 8 straight flush.
constexpr int pair_category = 1, trips_category_ = 3, straight_category_ = 4, full_house_category = 5,
              flush_category = 6, quads_category = 7, straight_flush_category = 8;

// High card of the best straight among the ranks marked, 0 for none; A-6-7-8-9 is the lowest.
int straight_high(const bool (&has)[15]) {
    for (int high = 14; high >= 10; --high)
        if (has[high] && has[high - 1] && has[high - 2] && has[high - 3] && has[high - 4]) return high;
    return has[14] && has[6] && has[7] && has[8] && has[9] ? 9 : 0;
}

// A five-card hand: its category, and a worth that orders hands under the
// ranking (the category's place, then the ranks that break ties).
struct Five {
    int category = -1;
    long worth = -1;
};

Five five_card_hand(const Card* five, Ranking ranking) {
    int count[15] = {};
    bool has[15] = {};
    for (int i = 0; i < 5; ++i) ++count[five[i].rank], has[five[i].rank] = true;
    bool flush = true;
    for (int i = 1; i < 5; ++i) flush = flush && five[i].suit == five[0].suit;
    // Ranks by how often held, then by rank: K K 9 9 6 -> K 9 6.
    int order[5] = {}, distinct = 0;
    for (int times = 4; times >= 1; --times)
        for (int r = 14; r >= 6; --r)
            if (count[r] == times) order[distinct++] = r;
    const int high = distinct == 5 ? straight_high(has) : 0;
    int category = 0;
    if (flush && high) category = straight_flush_category;
    else if (count[order[0]] == 4) category = quads_category;
    else if (count[order[0]] == 3 && count[order[1]] == 2) category = full_house_category;
    else if (flush) category = flush_category;
    else if (high) category = straight_category_;
    else if (count[order[0]] == 3) category = trips_category_;
    else if (count[order[0]] == 2) category = count[order[1]] == 2 ? 2 : pair_category;
    int place = category;
    if (ranking == Ranking::trips && category == trips_category_) place = straight_category_;
    if (ranking == Ranking::trips && category == straight_category_) place = trips_category_;
    long worth = place;
    for (int i = 0; i < 5; ++i) worth = worth * 15 + (high ? (i == 0 ? high : 0) : (i < distinct ? order[i] : 0));
    return {category, worth};
}

// The best of the five-card hands among five to seven cards.
Five best_hand(const std::vector<Card>& cards, Ranking ranking) {
    Five best;
    const int n = static_cast<int>(cards.size());
    for (int mask = 0; mask < (1 << n); ++mask) {
        if (__builtin_popcount(mask) != 5) continue;
        Card five[5];
        for (int i = 0, k = 0; i < n; ++i)
            if (mask >> i & 1) five[k++] = cards[i];
        const Five h = five_card_hand(five, ranking);
        if (h.worth > best.worth) best = h;
    }
    return best;
}

bool holds(const std::vector<Card>& cards, Card c) { return std::find(cards.begin(), cards.end(), c) != cards.end(); }

MadeClass made_class(const HoleHand& hand, const Board& board, const std::vector<Card>& all, Ranking ranking) {
    const int a = hand.first.rank, b = hand.second.rank;
    int on_board[15] = {}, in_all[15] = {};
    for (const Card& c : board) ++on_board[c.rank];
    for (const Card& c : all) ++in_all[c.rank];

    // The strong classes: the final hand's category, when it beats the board
    // alone (fewer than five board cards make none of these categories).
    const Five best = best_hand(all, ranking);
    const bool better = board.size() < 5 || best.worth > best_hand(board, ranking).worth;
    if (best.category == straight_flush_category && better) return MadeClass::straight_flush;
    if (best.category == quads_category)
        for (int r = 6; r <= 14; ++r)
            if (in_all[r] == 4 && on_board[r] < 4) return MadeClass::quads;
    if (best.category == flush_category && better) return MadeClass::flush;
    if (best.category == full_house_category && better) return MadeClass::full_house;
    if (best.category == straight_category_ && better) return MadeClass::straight;

    // What the hole cards make with the board's ranks.
    const bool pocket = a == b;
    int top = 0, second = 0;
    for (int r = 14; r >= 6; --r)
        if (on_board[r] > 0) {
            if (!top) top = r;
            else if (!second) second = r;
        }
    if (pocket && on_board[a] > 0) return MadeClass::set;
    if (!pocket && (on_board[a] >= 2 || on_board[b] >= 2)) return MadeClass::trips;
    if (!pocket && on_board[a] > 0 && on_board[b] > 0) return MadeClass::two_pair;
    if (pocket && a > top) return MadeClass::overpair;
    if (a == top || b == top) return MadeClass::top_pair;
    if (pocket) return MadeClass::pocket_pair_below_top;
    if (second && (a == second || b == second)) return MadeClass::middle_pair;
    if (on_board[a] > 0 || on_board[b] > 0) return MadeClass::weak_pair;
    if (a == 14 || b == 14) return MadeClass::ace_high;
    return MadeClass::nothing;
}

DrawFlags draws(const HoleHand& hand, const Board& board, const std::vector<Card>& all) {
    if (board.size() == 5) return 0;
    DrawFlags flags = 0;
    const auto set = [&](Draw d) { flags |= draw_bit(d); };

    // Flushes, suit by suit.
    bool flush_made = false, flush_draw = false;
    for (int s = 0; s < 4; ++s) {
        int count = 0;
        for (const Card& c : all) count += c.suit == s;
        const bool hole_in_suit = hand.first.suit == s || hand.second.suit == s;
        flush_made = flush_made || count >= 5;
        if (count == 4 && hole_in_suit) {
            flush_draw = true;
            // The higher hole card of the suit against every card of it still out.
            int best_hole = 0, best_out = 0;
            for (const Card& c : {hand.first, hand.second})
                if (c.suit == s) best_hole = std::max(best_hole, c.rank);
            for (int r = 6; r <= 14; ++r)
                if (!holds(all, Card{r, s})) best_out = r;
            if (best_hole > best_out) set(Draw::nut_flush_draw);
        }
        if (count == 3 && hole_in_suit && board.size() == 3) set(Draw::backdoor_flush);
    }
    if (flush_made) flush_draw = false;
    if (flush_draw) set(Draw::flush_draw);
    if (flush_draw) flags &= static_cast<DrawFlags>(~draw_bit(Draw::backdoor_flush));

    // Straight outs: each card still out that gives the hole cards a straight
    // better than the board and that card make alone.
    bool with_hand[15] = {}, board_only[15] = {};
    for (const Card& c : all) with_hand[c.rank] = true;
    for (const Card& c : board) board_only[c.rank] = true;
    int outs = 0;
    if (!straight_high(with_hand))
        for (int r = 6; r <= 14; ++r)
            for (int s = 0; s < 4; ++s) {
                if (holds(all, Card{r, s})) continue;
                bool with[15], board_with[15];
                std::copy(with_hand, with_hand + 15, with);
                std::copy(board_only, board_only + 15, board_with);
                with[r] = board_with[r] = true;
                outs += straight_high(with) > straight_high(board_with);
            }
    if (outs >= 8) set(Draw::open_ended);
    if (outs >= 1 && outs <= 7) set(Draw::gutshot);
    if (flush_draw && outs > 0) set(Draw::combo_draw);

    int top = 0;
    for (const Card& c : board) top = std::max(top, c.rank);
    if (hand.first.rank != hand.second.rank && std::min(hand.first.rank, hand.second.rank) > top) set(Draw::overcards);
    return flags;
}

} // namespace

HandClass reference_classify(const HoleHand& hand, const Board& board, Ranking ranking) {
    std::vector<Card> all = board;
    all.push_back(hand.first);
    all.push_back(hand.second);
    HandClass result{made_class(hand, board, all, ranking), draws(hand, board, all)};
    // Overcards are a reason to go on with a hand that has made nothing.
    if (result.made != MadeClass::ace_high && result.made != MadeClass::nothing)
        result.draws &= static_cast<DrawFlags>(~draw_bit(Draw::overcards));
    return result;
}

} // namespace varnolith::testing
