#include "range_spot.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <numeric>
#include <stdexcept>
#include <string>

namespace varnolith {

namespace {

uint64_t bit_of(Card c) { return uint64_t{1} << card_index(c); }

void require_valid(Card c, const char* where) {
    if (!is_valid_card(c)) throw std::invalid_argument(std::string("a card outside the 36-card deck in ") + where);
}

// Depth-first walk over the deals, players taken in `order`; stops once
// `limit` deals are counted or `budget` steps are spent.
struct DealCounter {
    const PreparedSpot& spot;
    std::vector<int> order;
    uint64_t limit;
    uint64_t count = 0;
    uint64_t budget = UINT64_MAX;

    void walk(std::size_t level, uint64_t used) {
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

uint64_t count_two(const PreparedSpot& spot) {
    std::array<uint64_t, 64> holding{}; // the second player's combinations holding each card
    std::vector<uint64_t> second;
    for (const LiveCombo& c : spot.live[1]) {
        ++holding[c.first];
        ++holding[c.second];
        second.push_back(c.bits.cards);
    }
    std::sort(second.begin(), second.end());
    uint64_t deals = 0;
    for (const LiveCombo& c : spot.live[0]) {
        const bool same = std::binary_search(second.begin(), second.end(), c.bits.cards);
        deals += spot.live[1].size() - holding[c.first] - holding[c.second] + (same ? 1 : 0);
    }
    return deals;
}

// Two players given one and the same card is a typing slip more often than a
// question; say which card and whose.
void refuse_colliding_hands(const PreparedSpot& spot) {
    for (std::size_t p = 0; p < spot.live.size(); ++p)
        for (std::size_t q = p + 1; q < spot.live.size(); ++q) {
            if (spot.live[p].size() != 1 || spot.live[q].size() != 1) continue;
            const uint64_t shared = spot.live[p][0].bits.cards & spot.live[q][0].bits.cards;
            if (shared == 0) continue;
            throw std::runtime_error("no compatible deal: " +
                                     card_text(card_from_index(static_cast<int32_t>(std::countr_zero(shared)))) +
                                     " is in the hands of players " + std::to_string(p + 1) + " and " +
                                     std::to_string(q + 1));
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
        throw std::invalid_argument("between 2 and 15 ranges are needed, got " + std::to_string(players));
    if (spot.board.size() > 5) throw std::invalid_argument("a board has at most five cards");
    PreparedSpot prepared;
    prepared.players = players;
    for (const Card c : spot.board) {
        require_valid(c, "the board");
        if (prepared.blocked & bit_of(c)) throw std::invalid_argument("a card is given twice: " + card_text(c));
        prepared.blocked |= bit_of(c);
        prepared.board_bits = prepared.board_bits + bits_of(c);
    }
    for (const Card c : spot.dead) {
        require_valid(c, "the dead cards");
        if (prepared.blocked & bit_of(c)) throw std::invalid_argument("a card is given twice: " + card_text(c));
        prepared.blocked |= bit_of(c);
    }
    for (int p = 0; p < players; ++p) {
        const Range& range = spot.ranges[static_cast<std::size_t>(p)];
        if (range.empty()) throw std::invalid_argument("range " + std::to_string(p + 1) + " is empty");
        auto& live = prepared.live.emplace_back();
        for (const WeightedCombo& w : range) {
            require_valid(w.hand.first, "a range");
            require_valid(w.hand.second, "a range");
            if (w.hand.first == w.hand.second || !(w.weight > 0.0 && w.weight <= 1.0))
                throw std::invalid_argument("a malformed combination in range " + std::to_string(p + 1));
            const uint64_t cards = bit_of(w.hand.first) | bit_of(w.hand.second);
            if (cards & prepared.blocked) continue;
            live.push_back({bits_of(w.hand.first) + bits_of(w.hand.second),
                            static_cast<uint8_t>(card_index(w.hand.first)),
                            static_cast<uint8_t>(card_index(w.hand.second)), w.weight});
        }
        if (live.empty())
            throw std::runtime_error("no compatible deal: every combination of range " + std::to_string(p + 1) +
                                     " is blocked by the board or the dead cards");
    }
    refuse_colliding_hands(prepared);
    for (int32_t index = 24; index < 60; ++index)
        if (!(prepared.blocked & (uint64_t{1} << index))) prepared.deck.push_back(static_cast<uint8_t>(index));
    prepared.to_come = 5 - static_cast<int>(spot.board.size());
    return prepared;
}

uint64_t count_deals(const PreparedSpot& spot, uint64_t limit, uint64_t steps) {
    if (spot.players == 2) return std::min(count_two(spot), limit);
    DealCounter counter{spot, std::vector<int>(static_cast<std::size_t>(spot.players)), limit};
    counter.budget = steps;
    std::iota(counter.order.begin(), counter.order.end(), 0);
    counter.walk(0, 0);
    return counter.budget == 0 ? std::max(counter.count, limit) : counter.count;
}

bool enough_cards(const PreparedSpot& spot) {
    return static_cast<int>(spot.deck.size()) - 2 * spot.players >= spot.to_come;
}

void require_a_deal(const PreparedSpot& spot) {
    const int left = static_cast<int>(spot.deck.size()) - 2 * spot.players;
    if (left < spot.to_come)
        throw std::runtime_error("no compatible deal: " + std::to_string(spot.players) + " hands leave " +
                                 std::to_string(std::max(left, 0)) + " cards for the board");
    // Smallest ranges first: a dead end shows up early.
    DealCounter counter{spot, std::vector<int>(static_cast<std::size_t>(spot.players)), 1};
    std::iota(counter.order.begin(), counter.order.end(), 0);
    std::stable_sort(counter.order.begin(), counter.order.end(), [&](int a, int b) {
        return spot.live[static_cast<std::size_t>(a)].size() < spot.live[static_cast<std::size_t>(b)].size();
    });
    // A search that runs this long has found neither a deal nor proof that
    // none exists; the drivers then find out as they deal.
    counter.budget = 50'000'000;
    counter.walk(0, 0);
    if (counter.count == 0 && counter.budget > 0)
        throw std::runtime_error("no compatible deal: the ranges cannot be dealt without a card held twice");
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
