#include "reference_evaluator.hpp"

#include <algorithm>
#include <functional>
#include <vector>

namespace varnolith::testing {

namespace {

struct Straight {
    int mask;
    int high;
};
// Rank masks, bit (rank - 6), top row first.
constexpr Straight straights[6] = {{0x1F0, 14}, {0x0F8, 13}, {0x07C, 12},
                                   {0x03E, 11}, {0x01F, 10}, {0x10F, 9}};

int first_straight(int mask) {
    for (const Straight& s : straights)
        if ((mask & s.mask) == s.mask) return s.high;
    return 0;
}

// The first `want` ranks from ace down to six with a count of at least 1,
// skipping the excluded ones; missing kickers are 0.
std::vector<int> scan_kickers(const int (&count)[15], std::vector<int> excluded, int want) {
    std::vector<int> found;
    for (int r = 14; r >= 6 && static_cast<int>(found.size()) < want; --r)
        if (count[r] >= 1 && std::find(excluded.begin(), excluded.end(), r) == excluded.end()) found.push_back(r);
    while (static_cast<int>(found.size()) < want) found.push_back(0);
    return found;
}

} // namespace

HandValue reference_evaluate(std::span<const Card> cards) {
    // 1. Exactly seven cards.
    if (cards.size() != 7) return 0;
    for (const Card& c : cards)
        if (!is_valid_card(c)) return 0;
    // 2. Counts per rank and per suit.
    int rank_count[15] = {};
    int suit_count[4] = {};
    for (const Card& c : cards) {
        ++rank_count[c.rank];
        ++suit_count[c.suit];
    }
    // 3. Flush suit.
    int flush_suit = -1;
    for (int s = 0; s < 4; ++s)
        if (suit_count[s] >= 5) {
            flush_suit = s;
            break;
        }
    // 4. Rank mask.
    int rank_mask = 0;
    for (int r = 6; r <= 14; ++r)
        if (rank_count[r] >= 1) rank_mask |= 1 << (r - 6);
    // 5. Straight.
    const int straight = first_straight(rank_mask);
    // 6. Straight flush.
    std::vector<int> flush_ranks;
    if (flush_suit >= 0) {
        int flush_mask = 0;
        for (const Card& c : cards)
            if (c.suit == flush_suit) {
                flush_ranks.push_back(c.rank);
                flush_mask |= 1 << (c.rank - 6);
            }
        if (const int high = first_straight(flush_mask)) return 8'000'000 + high;
    }
    // 7. Groups, by rank ascending.
    std::vector<int> fours, threes, pairs;
    for (int r = 6; r <= 14; ++r) {
        if (rank_count[r] == 4) fours.push_back(r);
        if (rank_count[r] == 3) threes.push_back(r);
        if (rank_count[r] == 2) pairs.push_back(r);
    }
    // 8. Four of a kind.
    if (!fours.empty()) {
        const int q = fours.back();
        return 7'000'000 + 100 * q + scan_kickers(rank_count, {q}, 1)[0];
    }
    // 9. Full house.
    if (!threes.empty() && (!pairs.empty() || threes.size() >= 2)) {
        const int t = threes.back();
        int p = 0;
        for (int r = 14; r >= 6; --r)
            if (r != t && rank_count[r] >= 2) {
                p = r;
                break;
            }
        return 5'000'000 + 100 * t + p;
    }
    // 10. Flush.
    if (flush_suit >= 0) {
        std::sort(flush_ranks.begin(), flush_ranks.end(), std::greater<>());
        const int w[5] = {50'625, 3'375, 225, 15, 1};
        int sum = 0;
        for (int i = 0; i < 5; ++i) sum += w[i] * flush_ranks[i];
        return 6'000'000 + sum;
    }
    // 11. Straight.
    if (straight) return 4'000'000 + straight;
    // 12. Three of a kind.
    if (!threes.empty()) {
        const int t = threes[0];
        const auto k = scan_kickers(rank_count, {t}, 2);
        return 3'000'000 + 10'000 * t + 100 * k[0] + k[1];
    }
    // 13. Two pair.
    if (pairs.size() >= 2) {
        std::sort(pairs.begin(), pairs.end(), std::greater<>());
        const int p1 = pairs[0], p2 = pairs[1];
        return 2'000'000 + 10'000 * p1 + 100 * p2 + scan_kickers(rank_count, {p1, p2}, 1)[0];
    }
    // 14. One pair.
    if (pairs.size() == 1) {
        const int p = pairs[0];
        const auto k = scan_kickers(rank_count, {p}, 3);
        return 1'000'000 + 10'000 * p + 100 * k[0] + 10 * k[1] + k[2];
    }
    // 15. High card.
    const auto r = scan_kickers(rank_count, {}, 5);
    return 50'625 * r[0] + 3'375 * r[1] + 225 * r[2] + 15 * r[3] + r[4];
}

} // namespace varnolith::testing
