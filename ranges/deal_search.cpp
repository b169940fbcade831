#include "ranges/deal_search.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <numeric>
#include <unordered_set>
#include <vector>

namespace varnolith {

namespace {

// Dead ends kept at most: about 16 MB of set.
constexpr std::size_t most_dead_ends = std::size_t{1} << 19;

// Edmonds' blossom algorithm over the card indices: the size of a largest set
// of edges no two of which share a card. `partners[v]` holds v's neighbours.
int largest_matching(const std::array<uint64_t, 64>& partners) {
    std::array<int, card_index_span> mate, parent, base;
    mate.fill(-1);
    int size = 0;
    // Greedy first: most of the matching comes for free.
    for (int v = 0; v < card_index_span; ++v) {
        if (mate[static_cast<std::size_t>(v)] >= 0) continue;
        for (uint64_t n = partners[static_cast<std::size_t>(v)]; n != 0; n &= n - 1) {
            const int u = std::countr_zero(n);
            if (mate[static_cast<std::size_t>(u)] < 0) {
                mate[static_cast<std::size_t>(v)] = u, mate[static_cast<std::size_t>(u)] = v, ++size;
                break;
            }
        }
    }
    const auto at = [](auto& array, int i) -> auto& { return array[static_cast<std::size_t>(i)]; };
    // The lowest common base of a and b in the alternating forest.
    const auto common_base = [&](int a, int b) {
        uint64_t seen = 0;
        while (true) {
            a = at(base, a);
            seen |= uint64_t{1} << a;
            if (at(mate, a) < 0) break;
            a = at(parent, at(mate, a));
        }
        while (true) {
            b = at(base, b);
            if (seen >> b & 1) return b;
            b = at(parent, at(mate, b));
        }
    };
    for (int root = 0; root < card_index_span; ++root) {
        if (at(mate, root) >= 0 || partners[static_cast<std::size_t>(root)] == 0) continue;
        parent.fill(-1);
        for (int i = 0; i < card_index_span; ++i) at(base, i) = i;
        uint64_t in_tree = uint64_t{1} << root;
        std::array<int, card_index_span> queue{};
        int head = 0, tail = 0;
        queue[static_cast<std::size_t>(tail++)] = root;
        int augmented_at = -1;
        // Marks the path from v up to the blossom's base b, with `child` below it.
        const auto mark_path = [&](uint64_t& in_blossom, int v, int b, int child) {
            while (at(base, v) != b) {
                in_blossom |= uint64_t{1} << at(base, v) | uint64_t{1} << at(base, at(mate, v));
                at(parent, v) = child;
                child = at(mate, v);
                v = at(parent, at(mate, v));
            }
        };
        while (head < tail && augmented_at < 0) {
            const int v = queue[static_cast<std::size_t>(head++)];
            for (uint64_t n = partners[static_cast<std::size_t>(v)]; n != 0 && augmented_at < 0; n &= n - 1) {
                const int u = std::countr_zero(n);
                if (at(base, v) == at(base, u) || at(mate, v) == u) continue;
                if (u == root || (at(mate, u) >= 0 && at(parent, at(mate, u)) >= 0)) {
                    const int b = common_base(v, u);
                    uint64_t in_blossom = 0;
                    mark_path(in_blossom, v, b, u);
                    mark_path(in_blossom, u, b, v);
                    for (int i = 0; i < card_index_span; ++i)
                        if (in_blossom >> at(base, i) & 1) {
                            at(base, i) = b;
                            if (!(in_tree >> i & 1)) {
                                in_tree |= uint64_t{1} << i;
                                queue[static_cast<std::size_t>(tail++)] = i;
                            }
                        }
                } else if (at(parent, u) < 0) {
                    at(parent, u) = v;
                    if (at(mate, u) < 0) {
                        augmented_at = u;
                    } else {
                        in_tree |= uint64_t{1} << at(mate, u);
                        queue[static_cast<std::size_t>(tail++)] = at(mate, u);
                    }
                }
            }
        }
        if (augmented_at < 0) continue;
        for (int v = augmented_at; v >= 0;) {
            const int p = at(parent, v), next = at(mate, p);
            at(mate, v) = p, at(mate, p) = v;
            v = next;
        }
        ++size;
    }
    return size;
}

struct Searcher {
    std::vector<std::vector<uint64_t>> combos; // per place in the order: the cards of each live combination
    std::vector<bool> same_as_before;          // the player before holds the very same combinations
    uint64_t budget;
    uint64_t steps = 0;
    std::unordered_set<uint64_t> dead_ends; // (place, cards used)

    bool out_of_steps() const { return steps >= budget; }

    // How many disjoint hands at most the cards free can make for the players
    // from `place` on, whoever holds which: the largest matching of the graph
    // whose edges are their combinations.
    int most_hands(std::size_t place, uint64_t used) {
        std::array<uint64_t, 64> partners{};
        for (std::size_t p = place; p < combos.size(); ++p) {
            steps += combos[p].size();
            for (const uint64_t c : combos[p]) {
                if (c & used) continue;
                const int a = std::countr_zero(c), b = 63 - std::countl_zero(c);
                partners[static_cast<std::size_t>(a)] |= uint64_t{1} << b;
                partners[static_cast<std::size_t>(b)] |= uint64_t{1} << a;
            }
        }
        steps += deck_size * deck_size;
        return largest_matching(partners);
    }

    // Whether the players from `place` on can be dealt, the first of them
    // taking a combination after `after` when it has the same range as the one before.
    bool deal(std::size_t place, uint64_t used, std::size_t after) {
        if (place == combos.size()) return true;
        const uint64_t key = (used >> 24) | (static_cast<uint64_t>(place) << 40) |
                             (same_as_before[place] ? static_cast<uint64_t>(after + 1) << 44 : 0);
        if (dead_ends.contains(key)) return false;
        const int left = static_cast<int>(combos.size() - place);
        if (left >= 2 && most_hands(place, used) < left) return remember(key);
        const auto& mine = combos[place];
        const std::size_t first = same_as_before[place] ? after + 1 : 0;
        for (std::size_t i = first; i < mine.size(); ++i) {
            if (++steps >= budget) return false;
            if (mine[i] & used) continue;
            const std::size_t next = place + 1 < combos.size() && same_as_before[place + 1] ? i : 0;
            if (deal(place + 1, used | mine[i], next)) return true;
            if (out_of_steps()) return false;
        }
        return remember(key);
    }

    bool remember(uint64_t key) {
        if (dead_ends.size() < most_dead_ends) dead_ends.insert(key);
        return false;
    }
};

std::vector<uint64_t> cards_of(const std::vector<LiveCombo>& live) {
    std::vector<uint64_t> cards;
    cards.reserve(live.size());
    for (const LiveCombo& c : live) cards.push_back(c.bits.cards);
    return cards;
}

} // namespace

DealSearch search_a_deal(const PreparedSpot& spot, uint64_t budget) {
    DealSearch result;
    const int left = static_cast<int>(spot.deck.size()) - 2 * spot.players;
    if (left < spot.to_come) {
        result.verdict = DealVerdict::none;
        const std::string hands = std::to_string(spot.players) + " hands ";
        result.why = left < 0 ? hands + "need " + std::to_string(2 * spot.players) + " cards, and " +
                                    std::to_string(spot.deck.size()) + " are left"
                              : hands + "leave " + std::to_string(left) + (left == 1 ? " card" : " cards") +
                                    " for the board, which needs " + std::to_string(spot.to_come);
        return result;
    }
    // Narrowest first, so that dead ends show early; the same ranges side by side.
    std::vector<std::vector<uint64_t>> ranges;
    for (const auto& live : spot.live) ranges.push_back(cards_of(live));
    std::vector<std::size_t> order(ranges.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (ranges[a].size() != ranges[b].size()) return ranges[a].size() < ranges[b].size();
        return ranges[a] < ranges[b] || (ranges[a] == ranges[b] && a < b);
    });
    Searcher searcher{{}, {}, budget, 0, {}};
    for (std::size_t i = 0; i < order.size(); ++i) {
        searcher.combos.push_back(ranges[order[i]]);
        searcher.same_as_before.push_back(i > 0 && ranges[order[i]] == ranges[order[i - 1]]);
    }
    const int hands = searcher.most_hands(0, 0);
    if (hands < spot.players) {
        result.verdict = DealVerdict::none;
        result.why = std::to_string(spot.players) + " players need " + std::to_string(spot.players) +
                     " hands at once, and the cards their ranges hold make at most " + std::to_string(hands);
        return result;
    }
    const bool found = searcher.deal(0, 0, 0);
    result.steps = searcher.steps;
    if (found) result.verdict = DealVerdict::found;
    else if (!searcher.out_of_steps()) {
        result.verdict = DealVerdict::none;
        result.why = "the ranges cannot be dealt without a card held twice";
    }
    return result;
}

} // namespace varnolith
