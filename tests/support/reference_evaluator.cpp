#include "reference_evaluator.hpp"

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

namespace varnolith::testing {

namespace {

// The first five ranks from the ace down that pass `test`, then zeros.
template <class Test>
std::array<int, 5> top_ranks(Test test) {
    std::array<int, 5> found{};
    for (int r = 14, n = 0; r >= 6 && n < 5; --r)
        if (test(r)) found[n++] = r;
    return found;
}

// High card of the best straight among the ranks marked, 0 for none; A-6-7-8-9 is the lowest.
int best_straight(const bool (&has)[15]) {
    for (int high = 14; high >= 10; --high)
        if (has[high] && has[high - 1] && has[high - 2] && has[high - 3] && has[high - 4]) return high;
    return has[14] && has[6] && has[7] && has[8] && has[9] ? 9 : 0;
}

int base15(const int* r) { return 50'625 * r[0] + 3'375 * r[1] + 225 * r[2] + 15 * r[3] + r[4]; }

} // namespace

HandValue reference_evaluate(std::span<const Card> cards) {
    // Seven cards of the short deck, counted per rank and per suit; a repeated card counts twice.
    if (cards.size() != 7 || !std::all_of(cards.begin(), cards.end(), is_valid_card)) return 0;
    int count[15] = {}, suit_count[4] = {};
    bool held[15] = {};
    for (const Card& c : cards) {
        ++count[c.rank];
        ++suit_count[c.suit];
        held[c.rank] = true;
    }
    // The flush suit's ranks, highest first, taken from the list itself.
    const int flush_suit = static_cast<int>(std::find_if(suit_count, suit_count + 4, [](int n) { return n >= 5; }) - suit_count);
    int flush[7] = {}, flush_size = 0;
    bool in_flush[15] = {};
    for (int r = 14; r >= 6; --r)
        for (const Card& c : cards)
            if (c.suit == flush_suit && c.rank == r) {
                flush[flush_size++] = r;
                in_flush[r] = true;
            }
    // Groups are ranks held exactly four, three or two times; kickers are the other ranks held.
    const auto quads = top_ranks([&](int r) { return count[r] == 4; });
    const auto threes = top_ranks([&](int r) { return count[r] == 3; });
    const auto pairs = top_ranks([&](int r) { return count[r] == 2; });
    const auto kickers = [&](int a, int b) { return top_ranks([&](int r) { return held[r] && r != a && r != b; }); };
    // The categories from the top.
    if (flush_size > 0 && best_straight(in_flush)) return 8'000'000 + best_straight(in_flush);
    if (quads[0]) return 7'000'000 + 100 * quads[0] + kickers(quads[0], 0)[0];
    if (threes[0] && (pairs[0] || threes[1]))
        return 5'000'000 + 100 * threes[0] + top_ranks([&](int r) { return count[r] >= 2 && r != threes[0]; })[0];
    if (flush_size > 0) return 6'000'000 + base15(flush);
    if (best_straight(held)) return 4'000'000 + best_straight(held);
    if (threes[0]) return 3'000'000 + 10'000 * threes[0] + 100 * kickers(threes[0], 0)[0] + kickers(threes[0], 0)[1];
    if (pairs[1]) return 2'000'000 + 10'000 * pairs[0] + 100 * pairs[1] + kickers(pairs[0], pairs[1])[0];
    if (pairs[0]) {
        const auto k = kickers(pairs[0], 0);
        return 1'000'000 + 10'000 * pairs[0] + 100 * k[0] + 10 * k[1] + k[2];
    }
    return base15(kickers(0, 0).data());
}

namespace {

// Five cards as a hand of poker: its category under the ranking and the ranks
// that break ties within it, in the engine's encoding.
HandValue value_of_five(const std::array<Card, 5>& five, Ranking ranking) {
    int count[15] = {};
    for (const Card& c : five) ++count[c.rank];
    const bool flush = std::all_of(five.begin(), five.end(), [&](const Card& c) { return c.suit == five[0].suit; });
    // Ranks ordered by how often they come, then by rank: AAKKQ -> A K Q.
    std::vector<int> ranks;
    for (int r = 14; r >= 6; --r)
        if (count[r] > 0) ranks.push_back(r);
    std::stable_sort(ranks.begin(), ranks.end(), [&](int a, int b) { return count[a] > count[b]; });
    int high = 0; // of a straight
    if (ranks.size() == 5) {
        std::vector<int> sorted = ranks;
        std::sort(sorted.rbegin(), sorted.rend());
        if (sorted[0] - sorted[4] == 4) high = sorted[0];
        if (sorted == std::vector<int>{14, 9, 8, 7, 6}) high = 9;
    }
    const bool trips_ranking = ranking == Ranking::trips;
    const int straight_base = trips_ranking ? 3'000'000 : 4'000'000, trips_base = trips_ranking ? 4'000'000 : 3'000'000;
    if (flush && high) return 8'000'000 + high;
    if (count[ranks[0]] == 4) return 7'000'000 + 100 * ranks[0] + ranks[1];
    if (count[ranks[0]] == 3 && count[ranks[1]] == 2) return 5'000'000 + 100 * ranks[0] + ranks[1];
    if (flush) return 6'000'000 + base15(ranks.data());
    if (high) return straight_base + high;
    if (count[ranks[0]] == 3) return trips_base + 10'000 * ranks[0] + 100 * ranks[1] + ranks[2];
    if (count[ranks[1]] == 2) return 2'000'000 + 10'000 * ranks[0] + 100 * ranks[1] + ranks[2];
    if (count[ranks[0]] == 2) return 1'000'000 + 10'000 * ranks[0] + 100 * ranks[1] + 10 * ranks[2] + ranks[3];
    return base15(ranks.data());
}

} // namespace

HandValue reference_best_five(std::span<const Card> seven, Ranking ranking) {
    HandValue best = 0;
    // Leave out two of the seven, every way.
    for (std::size_t a = 0; a < 7; ++a)
        for (std::size_t b = a + 1; b < 7; ++b) {
            std::array<Card, 5> five;
            std::size_t n = 0;
            for (std::size_t i = 0; i < 7; ++i)
                if (i != a && i != b) five[n++] = seven[i];
            best = std::max(best, value_of_five(five, ranking));
        }
    return best;
}

ReferenceShares reference_board_walk(std::span<const HoleHand> hands, std::span<const Card> board,
                                     std::span<const Card> dead, Ranking ranking) {
    std::vector<Card> out(board.begin(), board.end()), left;
    out.insert(out.end(), dead.begin(), dead.end());
    for (const HoleHand& h : hands) out.insert(out.end(), {h.first, h.second});
    // The deck written out here, not taken from the engine: the fuzzers link
    // this file against the shared library alone.
    for (int32_t rank = 6; rank <= 14; ++rank)
        for (int32_t suit = 0; suit < 4; ++suit)
            if (const Card c{rank, suit}; std::find(out.begin(), out.end(), c) == out.end()) left.push_back(c);

    ReferenceShares result{std::vector<double>(hands.size()), 0};
    std::vector<Card> full(board.begin(), board.end());
    // The cards to come in deck order, so that each completion comes once.
    const std::function<void(std::size_t)> walk = [&](std::size_t from) {
        if (full.size() < 5) {
            for (std::size_t i = from; i < left.size(); ++i) {
                full.push_back(left[i]);
                walk(i + 1);
                full.pop_back();
            }
            return;
        }
        std::vector<HandValue> values;
        for (const HoleHand& h : hands) {
            std::vector<Card> seven = {h.first, h.second};
            seven.insert(seven.end(), full.begin(), full.end());
            values.push_back(ranking == Ranking::straight ? reference_evaluate(seven) : reference_best_five(seven, ranking));
        }
        const HandValue best = *std::max_element(values.begin(), values.end());
        const auto sharers = static_cast<double>(std::count(values.begin(), values.end(), best));
        for (std::size_t p = 0; p < values.size(); ++p)
            if (values[p] == best) result.shares[p] += 1 / sharers;
        ++result.boards;
    };
    walk(0);
    return result;
}

} // namespace varnolith::testing
