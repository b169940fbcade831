#include "reference_evaluator.hpp"

#include <algorithm>
#include <array>

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

} // namespace varnolith::testing
