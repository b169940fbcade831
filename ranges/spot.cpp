#include "ranges/spot.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <numeric>
#include <stdexcept>
#include <string>

#include "card_text.hpp"
#include "ranges/deal_search.hpp"
#include "ranges/error.hpp"

namespace varnolith {

namespace {

uint64_t bit_of(Card c) { return uint64_t{1} << card_index(c); }

void require_valid(Card c, const char* where, ErrorField field, int player = -1) {
    if (!is_valid_card(c))
        throw RangeError(ErrorKind::cards, std::string("a card outside the 36-card deck in ") + where, field, player);
}

// "Ah on the board and As dead": the cards that take a range's every combination.
std::string blocking_cards(const Range& range, const RangeSpot& spot) {
    uint64_t held = 0;
    for (const WeightedCombo& w : range) held |= bit_of(w.hand.first) | bit_of(w.hand.second);
    const auto among = [&](const std::vector<Card>& cards) {
        std::vector<Card> found;
        for (const Card c : cards)
            if (held & bit_of(c)) found.push_back(c);
        return found;
    };
    const std::vector<Card> board = among(spot.board), dead = among(spot.dead);
    std::string text;
    if (!board.empty()) text += cards_text(board) + " on the board";
    if (!board.empty() && !dead.empty()) text += " and ";
    if (!dead.empty()) text += cards_text(dead) + " dead";
    return text;
}

// Combinations counted in all, per card and per two cards: how many are left
// when some cards are taken follows from the cards taken.
struct CardCounts {
    uint64_t total = 0;
    std::array<uint64_t, 64> by_card{};
    // Read only when cards are taken. Left empty otherwise: a heads-up count
    // is made once per run, and for a small spot making the table would cost
    // more than the run.
    std::vector<uint64_t> by_two;

    explicit CardCounts(bool cards_taken) : by_two(cards_taken ? 64 * 64 : 0, 0) {}

    void add(const LiveCombo& c) {
        ++total;
        ++by_card[c.first];
        ++by_card[c.second];
        if (by_two.empty()) return;
        ++by_two[64u * c.first + c.second];
        ++by_two[64u * c.second + c.first];
    }
    // Left once the cards `taken` (count of them) are gone: what holds one is
    // taken off, and what holds two of them was taken off twice.
    uint64_t left(const std::array<int, 64>& taken, int count) const {
        uint64_t n = total;
        for (int i = 0; i < count; ++i) {
            n -= by_card[static_cast<std::size_t>(taken[static_cast<std::size_t>(i)])];
            for (int j = 0; j < i; ++j)
                n += by_two[64u * static_cast<std::size_t>(taken[static_cast<std::size_t>(i)]) +
                            static_cast<std::size_t>(taken[static_cast<std::size_t>(j)])];
        }
        return n;
    }
    uint64_t left_holding(int card, const std::array<int, 64>& taken, int count) const {
        uint64_t n = by_card[static_cast<std::size_t>(card)];
        for (int i = 0; i < count; ++i)
            n -= by_two[64u * static_cast<std::size_t>(card) + static_cast<std::size_t>(taken[static_cast<std::size_t>(i)])];
        return n;
    }
};

// Pairs of combinations of two players that share no card, with each other or
// with the cards already dealt: every pair, less those meeting on a card, with
// the pairs of the same two cards (which meet twice) added back.
// `cards_taken`: apart() is asked with cards already dealt, not only with none.
struct PairCount {
    CardCounts first, second, both; // `both`: the same two cards in either range
    PairCount(const std::vector<LiveCombo>& a, const std::vector<LiveCombo>& b, bool cards_taken)
        : first(cards_taken), second(cards_taken), both(cards_taken) {
        std::vector<uint64_t> theirs;
        for (const LiveCombo& c : a) first.add(c);
        for (const LiveCombo& c : b) {
            second.add(c);
            theirs.push_back(c.bits.cards);
        }
        std::sort(theirs.begin(), theirs.end());
        for (const LiveCombo& c : a)
            if (std::binary_search(theirs.begin(), theirs.end(), c.bits.cards)) both.add(c);
    }
    uint64_t apart(uint64_t used) const {
        std::array<int, 64> taken{};
        int count = 0;
        for (uint64_t rest = used; rest; rest &= rest - 1) taken[static_cast<std::size_t>(count++)] = std::countr_zero(rest);
        uint64_t meeting = 0;
        for (int card = 24; card < 60; ++card)
            if (!(used >> card & 1))
                meeting += first.left_holding(card, taken, count) * second.left_holding(card, taken, count);
        return first.left(taken, count) * second.left(taken, count) - meeting + both.left(taken, count);
    }
};

// Depth-first walk over the deals, players taken in `order`; stops once
// `limit` deals are counted or `budget` steps are spent. With `last_two`, the
// last two players in the order are counted together for each deal of the
// others.
struct DealCounter {
    const PreparedSpot& spot;
    std::vector<int> order;
    uint64_t limit;
    uint64_t count = 0;
    uint64_t budget = UINT64_MAX;
    const PairCount* last_two = nullptr;

    void walk(std::size_t level, uint64_t used) {
        if (last_two != nullptr && level + 2 == order.size()) {
            count += last_two->apart(used);
            budget -= std::min<uint64_t>(budget, 1);
            return;
        }
        const auto& combos = spot.live[static_cast<std::size_t>(order[level])];
        const bool last = level + 1 == order.size();
        for (const LiveCombo& c : combos) {
            if (count >= limit || budget == 0) return;
            --budget;
            if (c.bits.cards & used) continue;
            if (last) ++count;
            else walk(level + 1, used | c.bits.cards);
        }
    }
};

// Two players given one and the same card is a typing slip more often than a
// question; say which card and whose.
void refuse_colliding_hands(const PreparedSpot& spot) {
    for (std::size_t p = 0; p < spot.live.size(); ++p)
        for (std::size_t q = p + 1; q < spot.live.size(); ++q) {
            if (spot.live[p].size() != 1 || spot.live[q].size() != 1) continue;
            const uint64_t shared = spot.live[p][0].bits.cards & spot.live[q][0].bits.cards;
            if (shared == 0) continue;
            throw RangeError(ErrorKind::no_deal,
                             "no compatible deal: " +
                                 card_text(card_from_index(static_cast<int32_t>(std::countr_zero(shared)))) +
                                 " is in the hands of players " + std::to_string(p + 1) + " and " +
                                 std::to_string(q + 1),
                             ErrorField::ranges, static_cast<int>(q));
        }
}

} // namespace

uint64_t choose(uint64_t n, uint64_t k) {
    if (k > n) return 0;
    uint64_t result = 1;
    for (uint64_t i = 1; i <= k; ++i) result = result * (n - k + i) / i;
    return result;
}

PreparedSpot prepare_spot(const RangeSpot& spot) {
    const int players = static_cast<int>(spot.ranges.size());
    if (players < 2 || players > max_range_players)
        throw RangeError(ErrorKind::usage, "between 2 and 15 ranges are needed, got " + std::to_string(players),
                         ErrorField::ranges);
    if (spot.board.size() > 5) throw RangeError(ErrorKind::cards, "a board has at most five cards", ErrorField::board);
    PreparedSpot prepared;
    prepared.players = players;
    prepared.ranking = spot.ranking;
    for (const Card c : spot.board) {
        require_valid(c, "the board", ErrorField::board);
        if (prepared.blocked & bit_of(c))
            throw RangeError(ErrorKind::cards, "a card is given twice: " + card_text(c), ErrorField::board);
        prepared.blocked |= bit_of(c);
        prepared.board_bits = prepared.board_bits + bits_of(c);
    }
    for (const Card c : spot.dead) {
        require_valid(c, "the dead cards", ErrorField::dead);
        if (prepared.blocked & bit_of(c))
            throw RangeError(ErrorKind::cards, "a card is given twice: " + card_text(c), ErrorField::dead);
        prepared.blocked |= bit_of(c);
    }
    for (int p = 0; p < players; ++p) {
        const Range& range = spot.ranges[static_cast<std::size_t>(p)];
        const std::string which = "range " + std::to_string(p + 1);
        if (range.empty()) throw RangeError(ErrorKind::range, which + " is empty", ErrorField::ranges, p);
        auto& live = prepared.live.emplace_back();
        for (const WeightedCombo& w : range) {
            require_valid(w.hand.first, "a range", ErrorField::ranges, p);
            require_valid(w.hand.second, "a range", ErrorField::ranges, p);
            if (w.hand.first == w.hand.second || !(w.weight > 0.0 && w.weight <= 1.0))
                throw RangeError(ErrorKind::range, "a malformed combination in " + which, ErrorField::ranges, p);
            const uint64_t cards = bit_of(w.hand.first) | bit_of(w.hand.second);
            if (cards & prepared.blocked) continue;
            live.push_back({bits_of(w.hand.first) + bits_of(w.hand.second),
                            static_cast<uint8_t>(card_index(w.hand.first)),
                            static_cast<uint8_t>(card_index(w.hand.second)), w.weight});
        }
        if (live.empty())
            throw RangeError(ErrorKind::no_deal,
                             "no compatible deal: every combination of " + which + " is blocked by " +
                                 blocking_cards(range, spot),
                             ErrorField::ranges, p);
    }
    refuse_colliding_hands(prepared);
    for (int32_t index = 24; index < 60; ++index)
        if (!(prepared.blocked & (uint64_t{1} << index))) prepared.deck.push_back(static_cast<uint8_t>(index));
    prepared.to_come = 5 - static_cast<int>(spot.board.size());
    return prepared;
}

uint64_t count_deals(const PreparedSpot& spot, uint64_t limit, uint64_t steps) {
    if (spot.players == 2) return std::min(PairCount(spot.live[0], spot.live[1], false).apart(0), limit);
    // The two widest ranges last, counted together.
    DealCounter counter{spot, std::vector<int>(static_cast<std::size_t>(spot.players)), limit};
    counter.budget = steps;
    std::iota(counter.order.begin(), counter.order.end(), 0);
    std::sort(counter.order.begin(), counter.order.end(), [&](int a, int b) {
        const std::size_t x = spot.live[static_cast<std::size_t>(a)].size();
        const std::size_t y = spot.live[static_cast<std::size_t>(b)].size();
        return x < y || (x == y && a < b);
    });
    const std::size_t players = counter.order.size();
    const PairCount last_two(spot.live[static_cast<std::size_t>(counter.order[players - 2])],
                             spot.live[static_cast<std::size_t>(counter.order[players - 1])], true);
    counter.last_two = &last_two;
    counter.walk(0, 0);
    return counter.budget == 0 ? std::max(counter.count, limit) : counter.count;
}

bool enough_cards(const PreparedSpot& spot) {
    return static_cast<int>(spot.deck.size()) - 2 * spot.players >= spot.to_come;
}

void require_a_deal(const PreparedSpot& spot) {
    const DealSearch search = search_a_deal(spot);
    // Undecided is rare and not a refusal: the drivers then find out as they deal.
    if (search.verdict == DealVerdict::none)
        throw RangeError(ErrorKind::no_deal, "no compatible deal: " + search.why, ErrorField::ranges);
}

RangeResult empty_result(const PreparedSpot& spot, RangeMethod method) {
    RangeResult result;
    result.method = method;
    for (const auto& live : spot.live) {
        RangePlayerResult& player = result.players.emplace_back();
        player.combos = static_cast<int>(live.size());
        for (const LiveCombo& c : live)
            player.hands.push_back({{card_from_index(c.first), card_from_index(c.second)}, 0.0, 0.0});
    }
    return result;
}

} // namespace varnolith
