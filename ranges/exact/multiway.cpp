#include "ranges/exact/multiway.hpp"

#include <algorithm>
#include <numeric>

namespace varnolith {

namespace {

// Weight of the pairs of hands, one from each side, that share no card: every
// pair, less those meeting on a card. Pairs on the same two cards meet twice
// and are added back by the caller, who knows which it has.
double apart(double total_a, const std::array<double, card_index_span>& a, double total_b, const std::array<double, card_index_span>& b) {
    double meeting = 0;
    for (std::size_t card = first_card_index; card < card_index_end; ++card) meeting += a[card] * b[card];
    return total_a * total_b - meeting;
}

uint64_t cards_of(const SweepCombo& c) { return uint64_t{1} << c.first | uint64_t{1} << c.second; }

} // namespace

std::vector<std::size_t> multiway_order(const PreparedSpot& spot) {
    std::vector<std::size_t> by_size(spot.live.size());
    std::iota(by_size.begin(), by_size.end(), std::size_t{0});
    std::stable_sort(by_size.begin(), by_size.end(),
                     [&](std::size_t a, std::size_t b) { return spot.live[a].size() > spot.live[b].size(); });
    std::vector<std::size_t> order(by_size.begin() + 2, by_size.end());
    std::sort(order.begin(), order.end());
    order.push_back(std::min(by_size[0], by_size[1]));
    order.push_back(std::max(by_size[0], by_size[1]));
    return order;
}

Multiway::Multiway(const PreparedSpot& s, const SumLayout& l, const RankPairs& pairs, const RangeOptions& o,
                   DealWalk walk)
    : spot(s), layout(l), options(o), order(multiway_order(s)),
      last_two(s, l, pairs, {order[order.size() - 2], order[order.size() - 1]}),
      sweeps(walk == DealWalk::sweep_last_two && last_two.sweeps()) {}

void Multiway::settle(const BoardValues& board, double scale, HeadsUpScratch& sweep, MultiwayScratch& s, double* sums,
                      BoardSlice slice) const {
    if (sweeps) {
        last_two.sort_by_value(board, sweep);
        last_two.weigh_board(board.share.board.cards, sweep);
    }
    deal(board, sweep, s, sums, 0, {.used = 0, .weight = scale, .best = -1, .sharers = 0, .at = 0.0, .span = 1.0}, slice);
}

void Multiway::deal(const BoardValues& board, const HeadsUpScratch& sweep, MultiwayScratch& s, double* sums,
                    std::size_t place, Deal dealt, BoardSlice slice) const {
    const std::size_t players = order.size();
    if (sweeps && place + 2 == players) return sweep_last_two(board, sweep, s, sums, dealt);
    if (place + 1 == players) return last_player(board, s, sums, dealt);
    const std::size_t player = order[place];
    const auto& live = spot.live[player];
    const auto& values = board.values[player];
    const std::size_t begin = place == 0 ? live.size() * slice.index / slice.count : 0;
    const std::size_t end = place == 0 ? live.size() * (slice.index + 1) / slice.count : live.size();
    const double share = dealt.span / static_cast<double>(std::max<std::size_t>(end - begin, 1)); // of each hand here
    for (std::size_t i = begin; i < end; ++i) {
        // Every place dealt tells how far the walk is and looks for a cancel:
        // with many players one hand near the top holds years of work.
        const double at = dealt.at + share * static_cast<double>(i - begin);
        if (s.ticker.tick != nullptr) s.ticker.tick(s.ticker.context, at);
        if (cancelled(options)) return; // the figures are thrown away
        if (values[i] < 0 || (live[i].bits.cards & dealt.used)) continue;
        s.chosen[place] = i;
        const int32_t v = values[i];
        const Deal deeper{.used = dealt.used | live[i].bits.cards,
                          .weight = dealt.weight * live[i].weight,
                          .best = std::max(v, dealt.best),
                          .sharers = v > dealt.best ? 1 : v == dealt.best ? dealt.sharers + 1 : dealt.sharers,
                          .at = at,
                          .span = share};
        deal(board, sweep, s, sums, place + 1, deeper, slice);
    }
}

// The last player's combinations against the best of the others, settled in
// one pass; the others' shares are added once for the whole pass.
void Multiway::last_player(const BoardValues& board, MultiwayScratch& s, double* sums, Deal dealt) const {
    const std::size_t last_place = order.size() - 1, last = order[last_place];
    const auto& live = spot.live[last];
    const auto& values = board.values[last];
    double* own = sums + layout.offset[last];
    const int32_t best = dealt.best;
    const int sharers = dealt.sharers;
    // The others' deal weight: in all, where the last hand loses, where it ties.
    double all = 0, beaten = 0, tied = 0;
    for (std::size_t i = 0; i < live.size(); ++i) {
        if (values[i] < 0 || (live[i].bits.cards & dealt.used)) continue;
        const double w = dealt.weight * live[i].weight;
        all += w;
        own[SumLayout::category_at + static_cast<std::size_t>(category_of(values[i]))] += w;
        own[SumLayout::combos_at + 2 * i + 1] += w;
        if (values[i] > best) {
            own[SumLayout::win_at] += w;
            own[SumLayout::combos_at + 2 * i] += w;
        } else if (values[i] == best) {
            const double share = w / (sharers + 1);
            own[SumLayout::tie_at] += share;
            own[SumLayout::combos_at + 2 * i] += share;
            tied += w;
        } else {
            beaten += w;
        }
    }
    if (all == 0) return;
    for (std::size_t place = 0; place < last_place; ++place) {
        const std::size_t p = order[place], i = s.chosen[place];
        double* figures = sums + layout.offset[p];
        const int32_t value = board.values[p][i];
        figures[SumLayout::category_at + static_cast<std::size_t>(category_of(value))] += all;
        figures[SumLayout::combos_at + 2 * i + 1] += all;
        if (value != best) continue;
        const double won = tied / (sharers + 1) + (sharers == 1 ? 0.0 : beaten / sharers);
        figures[SumLayout::tie_at] += won;
        if (sharers == 1) figures[SumLayout::win_at] += beaten;
        figures[SumLayout::combos_at + 2 * i] += won + (sharers == 1 ? beaten : 0.0);
    }
}

// The swept players' weight left by the board and the dealt hands, in all and
// per card: what holds a dealt card is taken off, and what holds two of them
// was taken off twice.
void Multiway::leave_dealt_cards(const HeadsUpScratch& sweep, MultiwayScratch& s, uint64_t used,
                                 std::array<double, 2>& all_total) const {
    std::array<int, card_index_span> held{};
    int count = 0;
    for (uint64_t left = used; left; left &= left - 1)
        held[static_cast<std::size_t>(count++)] = __builtin_ctzll(left) - first_card_index;
    for (std::size_t p = 0; p < 2; ++p) {
        const double* two = last_two.weight_by_two[p].data();
        s.all[p] = sweep.all[p];
        double* all = s.all[p].data() + first_card_index;
        double total = sweep.all_total[p];
        for (int i = 0; i < count; ++i) {
            const int card = held[static_cast<std::size_t>(i)];
            const double* row = two + deck_size * card;
            for (int x = 0; x < deck_size; ++x) all[x] -= row[x];
            total -= sweep.all[p][static_cast<std::size_t>(card + first_card_index)];
            for (int j = 0; j < i; ++j) total += row[held[static_cast<std::size_t>(j)]];
        }
        all_total[p] = total;
    }
}

// The two swept players against the dealt hands' best value `best`, held by
// `sharers`. Level by level up the values, each combination's weight against
// the other swept player is the total below (or at) its value less what holds
// one of its cards. The dealt hands' shares come from the pairs of swept hands
// below and at `best`, counted the same way once the sweep reaches it.
void Multiway::sweep_last_two(const BoardValues& board, const HeadsUpScratch& sweep, MultiwayScratch& s, double* sums,
                              Deal dealt) const {
    const uint64_t used = dealt.used;
    const int32_t best = dealt.best;
    const double sharers = dealt.sharers;
    std::array<double, 2> all_total{};
    leave_dealt_cards(sweep, s, used, all_total);
    for (auto& cards : s.below) cards.fill(0.0);
    std::array<double, 2> below{}, won{}, tied{};
    std::array<double*, 2> combo_sums{sums + layout.combos[last_two.who[0]], sums + layout.combos[last_two.who[1]]};
    // Pairs of swept hands: both below `best`, one below and one at it (either
    // way), both at it. Same-card pairs are counted from player 0's side.
    double pairs_below = 0, pairs_below_at = 0, pairs_at_below = 0, pairs_at = 0, same_below = 0;
    bool reached = false;
    const SweepCombo* sorted = sweep.sorted.data();
    uint32_t start = 0;
    for (const SweepLevel& level : sweep.levels) {
        const std::array<uint32_t, 2> from{start, level.middle}, to{level.middle, level.end};
        start = level.end;
        const int32_t value = level.value;
        if (!reached && value >= best) {
            reached = true;
            pairs_below = apart(below[0], s.below[0], below[1], s.below[1]) + same_below;
        }
        std::array<double, 2> at{};
        double same_at = 0;
        for (std::size_t p = 0; p < 2; ++p) {
            double* own = s.at[p].data();
            for (uint32_t k = from[p]; k < to[p]; ++k) {
                const SweepCombo& c = sorted[k];
                if (cards_of(c) & used) continue;
                at[p] += c.weight;
                own[c.first] += c.weight;
                own[c.second] += c.weight;
                if (p == 0) same_at += c.weight * last_two.same[0][c.index];
            }
        }
        if (at[0] == 0 && at[1] == 0) continue;
        if (value == best) {
            pairs_below_at = apart(below[0], s.below[0], at[1], s.at[1]);
            pairs_at_below = apart(at[0], s.at[0], below[1], s.below[1]);
            pairs_at = apart(at[0], s.at[0], at[1], s.at[1]) + same_at;
        }
        const std::size_t category = SumLayout::category_at + static_cast<std::size_t>(category_of(value));
        for (std::size_t p = 0; p < 2; ++p) {
            const std::size_t q = 1 - p;
            const double *other_below = s.below[q].data(), *other_at = s.at[q].data(), *other_all = s.all[q].data();
            const double* same_weight = last_two.same[p].data();
            double* figures = combo_sums[p];
            double against = 0;
            for (uint32_t k = from[p]; k < to[p]; ++k) {
                const SweepCombo& c = sorted[k];
                if (cards_of(c) & used) continue;
                const double same = same_weight[c.index];
                const double all = all_total[q] - other_all[c.first] - other_all[c.second] + same;
                const double w = dealt.weight * c.weight;
                against += w * all;
                figures[2 * c.index + 1] += w * all;
                if (value < best) continue;
                const double under = below[q] - other_below[c.first] - other_below[c.second];
                const double even = at[q] - other_at[c.first] - other_at[c.second] + same;
                double share;
                if (value > best) {
                    share = under + 0.5 * even;
                    won[p] += w * under;
                    tied[p] += w * 0.5 * even;
                } else {
                    share = under / (sharers + 1) + even / (sharers + 2);
                    tied[p] += w * share;
                }
                figures[2 * c.index] += w * share;
            }
            sums[layout.offset[last_two.who[p]] + category] += against;
        }
        for (std::size_t p = 0; p < 2; ++p) {
            lower_level(sorted, from[p], to[p], s.below[p], s.at[p]);
            below[p] += at[p];
        }
        same_below += same_at;
    }
    if (!reached) pairs_below = apart(below[0], s.below[0], below[1], s.below[1]) + same_below;
    const double pairs_all = apart(below[0], s.below[0], below[1], s.below[1]) + same_below;
    for (std::size_t p = 0; p < 2; ++p) {
        sums[layout.offset[last_two.who[p]] + SumLayout::win_at] += won[p];
        sums[layout.offset[last_two.who[p]] + SumLayout::tie_at] += tied[p];
    }
    if (pairs_all == 0) return;
    const double alone = sharers == 1 ? pairs_below : 0; // the pot to the one dealt hand at `best`
    const double split = (sharers == 1 ? 0 : pairs_below / sharers) +
                         (pairs_below_at + pairs_at_below) / (sharers + 1) + pairs_at / (sharers + 2);
    for (std::size_t place = 0; place + 2 < order.size(); ++place) {
        const std::size_t p = order[place], i = s.chosen[place];
        double* figures = sums + layout.offset[p];
        const int32_t value = board.values[p][i];
        figures[SumLayout::category_at + static_cast<std::size_t>(category_of(value))] += dealt.weight * pairs_all;
        figures[SumLayout::combos_at + 2 * i + 1] += dealt.weight * pairs_all;
        if (value != best) continue;
        figures[SumLayout::win_at] += dealt.weight * alone;
        figures[SumLayout::tie_at] += dealt.weight * split;
        figures[SumLayout::combos_at + 2 * i] += dealt.weight * (alone + split);
    }
}

} // namespace varnolith
