#include "ranges/exact/board_values.hpp"

#include <algorithm>
#include <numeric>

namespace varnolith {

namespace {

uint8_t pair_of_combo(const LiveCombo& c) {
    const int high = std::max(c.first, c.second) >> 2, low = std::min(c.first, c.second) >> 2;
    return static_cast<uint8_t>(9 * (high - lowest_rank) + low - lowest_rank);
}

// The two ranks of a pair as 4-bit counts.
uint64_t pair_ranks(uint8_t pair) {
    return (uint64_t{1} << (4 * (pair / 9 + lowest_rank))) + (uint64_t{1} << (4 * (pair % 9 + lowest_rank)));
}

} // namespace

RankPairs::RankPairs(const PreparedSpot& spot) {
    std::array<bool, rank_pairs> held{};
    for (const auto& live : spot.live) {
        auto& pairs = pair_of.emplace_back(live.size());
        auto& suits = holding_suit.emplace_back();
        for (std::size_t i = 0; i < live.size(); ++i) {
            held[pairs[i] = pair_of_combo(live[i])] = true;
            for (std::size_t suit = 0; suit < 4; ++suit)
                if ((live[i].first & 3) == suit || (live[i].second & 3) == suit) suits[suit].push_back(static_cast<uint16_t>(i));
        }
        auto& order = members.emplace_back(live.size());
        std::iota(order.begin(), order.end(), uint16_t{0});
        std::stable_sort(order.begin(), order.end(), [&](uint16_t a, uint16_t b) { return pairs[a] < pairs[b]; });
        auto& own = groups.emplace_back();
        for (uint32_t at = 0; at < order.size(); ++at) {
            if (own.empty() || own.back().pair != pairs[order[at]]) own.push_back({pairs[order[at]], at, at});
            ++own.back().last;
        }
    }
    for (int pair = 0; pair < rank_pairs; ++pair)
        if (held[static_cast<std::size_t>(pair)]) used.push_back(static_cast<uint8_t>(pair));
}

BoardValues::BoardValues(const PreparedSpot& spot) {
    for (const auto& live : spot.live) {
        values.emplace_back(live.size());
        flushing.emplace_back().reserve(live.size());
    }
}

void value_rank_pairs(const RankPairs& pairs, const HandBits& board, Ranking ranking, BoardValues& out) {
    out.share = board_share(board);
    // Flushes (valued below, card by card) rank alike under both rankings.
    if (ranking == Ranking::trips)
        for (const uint8_t pair : pairs.used)
            out.by_pair[pair] = evaluate_ranks_on_board<Ranking::trips>(out.share, pair_ranks(pair));
    else
        for (const uint8_t pair : pairs.used) out.by_pair[pair] = evaluate_ranks_on_board(out.share, pair_ranks(pair));
}

bool value_combos(const PreparedSpot& spot, const RankPairs& pairs, BoardValues& out) {
    const HandBits& board = out.share.board;
    bool dealt = true;
    for (std::size_t p = 0; p < spot.live.size(); ++p) {
        const auto& live = spot.live[p];
        const uint8_t* pair_of = pairs.pair_of[p].data();
        int32_t* values = out.values[p].data();
        auto& flushing = out.flushing[p];
        flushing.clear();
        std::size_t left = 0;
        for (std::size_t i = 0; i < live.size(); ++i) {
            const uint64_t cards = live[i].bits.cards;
            if (cards & board.cards) {
                values[i] = -1;
                continue;
            }
            ++left;
            if (makes_flush(out.share, cards)) {
                values[i] = evaluate_bits(board + live[i].bits);
                flushing.push_back(static_cast<uint16_t>(i));
            } else {
                values[i] = out.by_pair[pair_of[i]];
            }
        }
        dealt = dealt && left > 0;
    }
    return dealt;
}

void find_flushing(const PreparedSpot& spot, const RankPairs& pairs, BoardValues& out) {
    const HandBits& board = out.share.board;
    const int suit = out.share.flush_suit_cards ? __builtin_ctzll(out.share.flush_suit_cards) & 3 : -1;
    for (std::size_t p = 0; p < spot.live.size(); ++p) {
        auto& flushing = out.flushing[p];
        flushing.clear();
        if (suit < 0) continue;
        const auto& live = spot.live[p];
        for (const uint16_t i : pairs.holding_suit[p][static_cast<std::size_t>(suit)]) {
            const uint64_t cards = live[i].bits.cards;
            if (cards & board.cards || !makes_flush(out.share, cards)) continue;
            out.values[p][i] = evaluate_bits(board + live[i].bits);
            flushing.push_back(i);
        }
    }
}

} // namespace varnolith
