#include "ranges/exact/heads_up_sweep.hpp"

#include <algorithm>

namespace varnolith {

namespace {

// Against a range this small the pairs of a board are fewer than a sweep's
// steps. Fixed, so that sums add up in the same order at any thread count.

constexpr uint64_t flushing_key = uint64_t{1} << 30;

std::vector<double> same_combo_weights(const std::vector<LiveCombo>& mine, const std::vector<LiveCombo>& theirs) {
    std::vector<double> same(mine.size(), 0.0);
    for (std::size_t i = 0; i < mine.size(); ++i)
        for (const LiveCombo& t : theirs)
            if (t.bits.cards == mine[i].bits.cards) same[i] = t.weight;
    return same;
}

} // namespace

HeadsUpScratch::HeadsUpScratch(const PreparedSpot& spot) {
    std::vector<std::size_t> sizes;
    for (const auto& live : spot.live) sizes.push_back(live.size());
    std::sort(sizes.rbegin(), sizes.rend());
    const std::size_t combos = sizes[0] + sizes[1]; // any two players may be swept
    keys.reserve(2 * combos); // a key per rank pair and per flushing combination, each at most one per combination
    sorted.resize(combos + 1); // each combination is written before it is kept or not
    levels.reserve(combos);
}

HeadsUp::HeadsUp(const PreparedSpot& s, const SumLayout& l, const RankPairs& p, std::array<std::size_t, 2> two)
    : spot(s), layout(l), pairs(p), who(two) {
    for (std::size_t player = 0; player < 2; ++player) {
        const auto& live = s.live[who[player]];
        for (std::size_t i = 0; i < live.size(); ++i)
            combos[player].push_back({live[i].weight, static_cast<uint16_t>(i), live[i].first, live[i].second});
        for (const uint16_t i : p.members[who[player]]) grouped[player].push_back(combos[player][i]);
        same[player] = same_combo_weights(live, s.live[who[1 - player]]);
        weight_by_two[player].assign(deck_size * deck_size, 0.0);
        for (const LiveCombo& c : live) {
            weight_total[player] += c.weight;
            weight_by_card[player][c.first] += c.weight;
            weight_by_card[player][c.second] += c.weight;
            weight_by_two[player][(c.first - first_card_index) * deck_size + c.second - first_card_index] += c.weight;
            weight_by_two[player][(c.second - first_card_index) * deck_size + c.first - first_card_index] += c.weight;
        }
    }
}

// Each player's weight that the board leaves, in all and per card: what holds
// a board card is taken off, and what holds two of them was taken off twice.
void HeadsUp::weigh_board(uint64_t board_cards, HeadsUpScratch& s) const {
    std::array<int, 5> cards{};
    int count = 0;
    for (uint64_t left = board_cards; left; left &= left - 1) cards[static_cast<std::size_t>(count++)] = __builtin_ctzll(left) - first_card_index;
    for (std::size_t p = 0; p < 2; ++p) {
        const double* two = weight_by_two[p].data();
        double* all = s.all[p].data() + first_card_index;
        std::copy_n(weight_by_card[p].data() + first_card_index, deck_size, all);
        double total = weight_total[p];
        for (int i = 0; i < count; ++i) {
            const double* row = two + deck_size * cards[static_cast<std::size_t>(i)];
            for (int x = 0; x < deck_size; ++x) all[x] -= row[x];
            total -= weight_by_card[p][static_cast<std::size_t>(cards[static_cast<std::size_t>(i)] + first_card_index)];
            for (int j = 0; j < i; ++j) total += row[cards[static_cast<std::size_t>(j)]];
        }
        s.all_total[p] = total;
    }
}

bool HeadsUp::sweeps() const { return std::min(spot.live[who[0]].size(), spot.live[who[1]].size()) > pairwise_limit; }

void HeadsUp::settle_pairs(const BoardValues& board, double scale, double* sums) const {
    const std::size_t few = spot.live[0].size() <= spot.live[1].size() ? 0 : 1, many = 1 - few;
    const auto& small = spot.live[few];
    const auto& large = spot.live[many];
    const auto& small_values = board.values[few];
    const auto& large_values = board.values[many];
    double* small_sums = sums + layout.offset[few];
    double* large_sums = sums + layout.offset[many];
    for (std::size_t i = 0; i < small.size(); ++i) {
        const int32_t v = small_values[i];
        if (v < 0) continue;
        double above = 0, level = 0, all = 0; // the large side's weight against this combination
        const double own = scale * small[i].weight;
        for (std::size_t j = 0; j < large.size(); ++j) {
            const int32_t u = large_values[j];
            if (u < 0 || (large[j].bits.cards & small[i].bits.cards)) continue;
            const double w = own * large[j].weight;
            double* theirs = large_sums + SumLayout::combos_at + 2 * j;
            theirs[1] += w;
            large_sums[SumLayout::category_at + static_cast<std::size_t>(category_of(u))] += w;
            all += w;
            if (u > v) {
                large_sums[SumLayout::win_at] += w;
                theirs[0] += w;
            } else if (u == v) {
                large_sums[SumLayout::tie_at] += 0.5 * w;
                theirs[0] += 0.5 * w;
                level += w;
            } else {
                above += w;
            }
        }
        small_sums[SumLayout::win_at] += above;
        small_sums[SumLayout::tie_at] += 0.5 * level;
        small_sums[SumLayout::category_at + static_cast<std::size_t>(category_of(v))] += all;
        small_sums[SumLayout::combos_at + 2 * i] += above + 0.5 * level;
        small_sums[SumLayout::combos_at + 2 * i + 1] += all;
    }
}

// The board's live combinations in order of value, level by level: rank pairs
// and flushing combinations are sorted as keys, then the keys' combinations
// copied out.
void HeadsUp::sort_by_value(const BoardValues& board, HeadsUpScratch& s) const {
    s.keys.clear();
    for (uint64_t p = 0; p < 2; ++p) {
        const std::size_t player = who[p];
        const auto& groups = pairs.groups[player];
        for (std::size_t g = 0; g < groups.size(); ++g)
            s.keys.push_back(static_cast<uint64_t>(board.by_pair[groups[g].pair]) << 32 | p << 31 | g);
        for (const uint16_t i : board.flushing[player])
            s.keys.push_back(static_cast<uint64_t>(board.values[player][i]) << 32 | p << 31 | flushing_key | i);
    }
    std::sort(s.keys.begin(), s.keys.end());
    s.levels.clear();
    SweepCombo* out = s.sorted.data();
    uint32_t size = 0;
    const uint64_t board_cards = board.share.board.cards, flush_cards = board.share.flush_suit_cards;
    const uint64_t two_needed = board.share.two_needed;
    for (const uint64_t key : s.keys) {
        const auto value = static_cast<int32_t>(key >> 32);
        const std::size_t p = key >> 31 & 1;
        const uint32_t before = size;
        if (key & flushing_key) {
            out[size++] = combos[p][key & 0xFFFF];
        } else {
            const PairGroup& group = pairs.groups[who[p]][key & 0xFFFF];
            const SweepCombo* members = grouped[p].data();
            for (uint32_t m = group.first; m < group.last; ++m) {
                const SweepCombo c = members[m];
                const uint64_t cards = uint64_t{1} << c.first | uint64_t{1} << c.second;
                const uint64_t suited = cards & flush_cards; // as makes_flush, on values at hand
                out[size] = c;
                size += !(cards & board_cards) && !(suited & (suited - two_needed));
            }
        }
        if (size == before) continue;
        if (s.levels.empty() || s.levels.back().value != value) s.levels.push_back({value, before, before});
        SweepLevel& level = s.levels.back();
        level.end = size;
        if (p == 0) level.middle = size;
    }
}

void HeadsUp::sweep(const BoardValues& board, double scale, HeadsUpScratch& s, double* sums) const {
    sort_by_value(board, s);
    weigh_board(board.share.board.cards, s);
    for (auto& cards : s.below) cards.fill(0.0);
    std::array<double, 2> below{}, win{}, tie{};
    std::array<double*, 2> combo_sums{sums + layout.combos[who[0]], sums + layout.combos[who[1]]};
    const SweepCombo* sorted = s.sorted.data();
    uint32_t start = 0;
    for (const SweepLevel& level : s.levels) {
        const std::array<uint32_t, 2> from{start, level.middle}, to{level.middle, level.end};
        start = level.end;
        const std::size_t category = SumLayout::category_at + static_cast<std::size_t>(category_of(level.value));
        if (from[0] == to[0] || from[1] == to[1]) { // one player alone at this value: no ties, no shared cards
            const std::size_t p = from[0] == to[0] ? 1 : 0;
            const double* other_below = s.below[1 - p].data();
            const double* other_all = s.all[1 - p].data();
            double* own_below = s.below[p].data();
            double* figures = combo_sums[p];
            double won = 0, added = 0, against = 0;
            for (uint32_t k = from[p]; k < to[p]; ++k) {
                const SweepCombo& c = sorted[k];
                const double under = below[1 - p] - other_below[c.first] - other_below[c.second];
                const double all = s.all_total[1 - p] - other_all[c.first] - other_all[c.second];
                const double w = scale * c.weight;
                won += w * under;
                against += w * all;
                figures[2 * c.index] += w * under;
                figures[2 * c.index + 1] += w * all;
                own_below[c.first] += c.weight; // the other player's arrays only are read
                own_below[c.second] += c.weight;
                added += c.weight;
            }
            win[p] += won;
            below[p] += added;
            sums[layout.offset[who[p]] + category] += against;
            continue;
        }
        std::array<double, 2> at{};
        for (std::size_t p = 0; p < 2; ++p) {
            double* own = s.at[p].data();
            double total = 0;
            for (uint32_t k = from[p]; k < to[p]; ++k) {
                const SweepCombo& c = sorted[k];
                total += c.weight;
                own[c.first] += c.weight;
                own[c.second] += c.weight;
            }
            at[p] = total;
        }
        for (std::size_t p = 0; p < 2; ++p) {
            const double* other_below = s.below[1 - p].data();
            const double* other_at = s.at[1 - p].data();
            const double* other_all = s.all[1 - p].data();
            const double* same_weight = same[p].data();
            double* figures = combo_sums[p];
            double won = 0, tied = 0, against = 0;
            for (uint32_t k = from[p]; k < to[p]; ++k) {
                const SweepCombo& c = sorted[k];
                const double under = below[1 - p] - other_below[c.first] - other_below[c.second];
                const double even = at[1 - p] - other_at[c.first] - other_at[c.second] + same_weight[c.index];
                const double all = s.all_total[1 - p] - other_all[c.first] - other_all[c.second] + same_weight[c.index];
                const double w = scale * c.weight;
                won += w * under;
                tied += w * even;
                against += w * all;
                figures[2 * c.index] += w * (under + 0.5 * even);
                figures[2 * c.index + 1] += w * all;
            }
            win[p] += won;
            tie[p] += tied;
            sums[layout.offset[who[p]] + category] += against;
        }
        for (std::size_t p = 0; p < 2; ++p) {
            lower_level(sorted, from[p], to[p], s.below[p], s.at[p]);
            below[p] += at[p];
        }
    }
    for (std::size_t p = 0; p < 2; ++p) {
        sums[layout.offset[who[p]] + SumLayout::win_at] += win[p];
        sums[layout.offset[who[p]] + SumLayout::tie_at] += 0.5 * tie[p];
    }
}

} // namespace varnolith
