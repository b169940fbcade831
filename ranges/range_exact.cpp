// Exact range equity: every board completion, and on each board every
// compatible deal of hands, weighted by the product of the weights.
//
// Each live combination is evaluated once per board. Heads-up, the pairs of a
// board are then settled together: with both players' combinations sorted by
// value, a sweep keeps the weight below the current value in total and per
// card, and a combination's wins are the total less what holds one of its own
// two cards. Three or more players walk the deals of the board over the
// values already known.

#include <omp.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "evaluator.hpp"
#include "range_equity.hpp"
#include "range_spot.hpp"

namespace varnolith {

namespace {

constexpr int max_chunks = 256;
// Against a range this small the pairs of a board are fewer than a sort's steps.
constexpr std::size_t pairwise_limit = 6; // fixed, so that sums add up in the same order at any thread count

// Where each player's figures sit in a flat block of sums: win, tie, the nine
// categories, then (share, weight) for every live combination.
struct Layout {
    std::vector<std::size_t> offset;
    std::size_t size = 0;
    explicit Layout(const PreparedSpot& spot) {
        for (const auto& live : spot.live) {
            offset.push_back(size);
            size += 2 + category_count + 2 * live.size();
        }
    }
};
constexpr std::size_t win_at = 0, tie_at = 1, category_at = 2, combos_at = 2 + category_count;

int category_of(int32_t value) { return value / 1'000'000; }

std::vector<HandBits> list_boards(const PreparedSpot& spot) {
    std::vector<HandBits> boards;
    const int n = static_cast<int>(spot.deck.size()), k = spot.to_come;
    boards.reserve(choose(static_cast<uint64_t>(n), static_cast<uint64_t>(k)));
    std::array<int, 5> at{};
    for (int i = 0; i < k; ++i) at[static_cast<std::size_t>(i)] = i;
    while (true) {
        HandBits board = spot.board_bits;
        for (int i = 0; i < k; ++i) board = board + bits_of_index(spot.deck[static_cast<std::size_t>(at[static_cast<std::size_t>(i)])]);
        boards.push_back(board);
        int i = k - 1;
        while (i >= 0 && at[static_cast<std::size_t>(i)] == n - k + i) --i;
        if (i < 0) break;
        ++at[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < k; ++j) at[static_cast<std::size_t>(j)] = at[static_cast<std::size_t>(j - 1)] + 1;
    }
    return boards;
}

// One thread's working data, made once per run.
struct Scratch {
    std::vector<std::vector<int32_t>> values; // per player and combination; -1 when the board holds a card of it
    std::vector<uint64_t> order[2];           // heads-up: value << 16 | combination, sorted
    std::vector<std::size_t> chosen;          // three or more: the combination of each player in the deal
    std::vector<double> sums;
    Scratch(const PreparedSpot& spot, const Layout& layout) : chosen(static_cast<std::size_t>(spot.players)), sums(layout.size) {
        for (const auto& live : spot.live) values.emplace_back(live.size());
    }
};

// Per-card weights of one player's combinations below, at, or in all.
struct Sweep {
    double below = 0, at = 0, all = 0;
    std::array<double, 64> below_by_card{}, at_by_card{}, all_by_card{};
};

// The weight of the other player's combination made of the same two cards,
// 0 when the other range has none: it shares both cards, so it is subtracted
// twice and added back once.
std::vector<double> same_combo_weights(const std::vector<LiveCombo>& mine, const std::vector<LiveCombo>& theirs) {
    std::vector<double> same(mine.size(), 0.0);
    for (std::size_t i = 0; i < mine.size(); ++i)
        for (const LiveCombo& t : theirs)
            if (t.bits.cards == mine[i].bits.cards) same[i] = t.weight;
    return same;
}

struct HeadsUp {
    const PreparedSpot& spot;
    const Layout& layout;
    std::array<std::vector<double>, 2> same;

    // Few combinations on one side: every pair directly, no sort.
    void settle_pairs(Scratch& s, std::size_t few) const {
        const std::size_t many = 1 - few;
        const auto& small = spot.live[few];
        const auto& large = spot.live[many];
        const auto& small_values = s.values[few];
        const auto& large_values = s.values[many];
        double* small_sums = s.sums.data() + layout.offset[few];
        double* large_sums = s.sums.data() + layout.offset[many];
        for (std::size_t i = 0; i < small.size(); ++i) {
            const int32_t v = small_values[i];
            if (v < 0) continue;
            double above = 0, level = 0, all = 0; // the large side's weight against this combination
            for (std::size_t j = 0; j < large.size(); ++j) {
                const int32_t u = large_values[j];
                if (u < 0 || (large[j].bits.cards & small[i].bits.cards)) continue;
                const double w = small[i].weight * large[j].weight;
                double* theirs = large_sums + combos_at + 2 * j;
                theirs[1] += w;
                large_sums[category_at + static_cast<std::size_t>(category_of(u))] += w;
                all += w;
                if (u > v) {
                    large_sums[win_at] += w;
                    theirs[0] += w;
                } else if (u == v) {
                    large_sums[tie_at] += 0.5 * w;
                    theirs[0] += 0.5 * w;
                    level += w;
                } else {
                    above += w;
                }
            }
            small_sums[win_at] += above;
            small_sums[tie_at] += 0.5 * level;
            small_sums[category_at + static_cast<std::size_t>(category_of(v))] += all;
            small_sums[combos_at + 2 * i] += above + 0.5 * level;
            small_sums[combos_at + 2 * i + 1] += all;
        }
    }

    void settle(Scratch& s) const {
        const std::size_t few = spot.live[0].size() <= spot.live[1].size() ? 0 : 1;
        if (spot.live[few].size() <= pairwise_limit) return settle_pairs(s, few);
        std::array<Sweep, 2> sweep;
        for (int p = 0; p < 2; ++p) {
            auto& order = s.order[p];
            order.clear();
            const auto& values = s.values[static_cast<std::size_t>(p)];
            const auto& live = spot.live[static_cast<std::size_t>(p)];
            for (std::size_t i = 0; i < live.size(); ++i) {
                if (values[i] < 0) continue;
                order.push_back(static_cast<uint64_t>(values[i]) << 16 | i);
                sweep[static_cast<std::size_t>(p)].all += live[i].weight;
                sweep[static_cast<std::size_t>(p)].all_by_card[live[i].first] += live[i].weight;
                sweep[static_cast<std::size_t>(p)].all_by_card[live[i].second] += live[i].weight;
            }
            std::sort(order.begin(), order.end());
        }
        std::array<std::size_t, 2> next{0, 0};
        while (next[0] < s.order[0].size() || next[1] < s.order[1].size()) {
            uint64_t value = UINT64_MAX;
            for (int p = 0; p < 2; ++p)
                if (next[p] < s.order[p].size()) value = std::min(value, s.order[p][next[p]] >> 16);
            std::array<std::size_t, 2> end = next;
            for (int p = 0; p < 2; ++p) {
                const auto& live = spot.live[static_cast<std::size_t>(p)];
                Sweep& own = sweep[static_cast<std::size_t>(p)];
                while (end[p] < s.order[p].size() && s.order[p][end[p]] >> 16 == value) {
                    const LiveCombo& c = live[s.order[p][end[p]++] & 0xFFFF];
                    own.at += c.weight;
                    own.at_by_card[c.first] += c.weight;
                    own.at_by_card[c.second] += c.weight;
                }
            }
            const int category = category_of(static_cast<int32_t>(value));
            for (int p = 0; p < 2; ++p) {
                const Sweep& other = sweep[static_cast<std::size_t>(1 - p)];
                double* sums = s.sums.data() + layout.offset[static_cast<std::size_t>(p)];
                const auto& live = spot.live[static_cast<std::size_t>(p)];
                for (std::size_t k = next[p]; k < end[p]; ++k) {
                    const std::size_t i = s.order[p][k] & 0xFFFF;
                    const LiveCombo& c = live[i];
                    const double same_weight = same[static_cast<std::size_t>(p)][i];
                    const double below = other.below - other.below_by_card[c.first] - other.below_by_card[c.second];
                    const double at = other.at - other.at_by_card[c.first] - other.at_by_card[c.second] + same_weight;
                    const double all = other.all - other.all_by_card[c.first] - other.all_by_card[c.second] + same_weight;
                    sums[win_at] += c.weight * below;
                    sums[tie_at] += c.weight * at * 0.5;
                    sums[category_at + static_cast<std::size_t>(category)] += c.weight * all;
                    sums[combos_at + 2 * i] += c.weight * (below + 0.5 * at);
                    sums[combos_at + 2 * i + 1] += c.weight * all;
                }
            }
            for (int p = 0; p < 2; ++p) {
                Sweep& own = sweep[static_cast<std::size_t>(p)];
                const auto& live = spot.live[static_cast<std::size_t>(p)];
                for (std::size_t k = next[p]; k < end[p]; ++k) {
                    const LiveCombo& c = live[s.order[p][k] & 0xFFFF];
                    own.below_by_card[c.first] += c.weight;
                    own.below_by_card[c.second] += c.weight;
                    own.at_by_card[c.first] = 0;
                    own.at_by_card[c.second] = 0;
                }
                own.below += own.at;
                own.at = 0;
            }
            next = end;
        }
    }
};

struct Multiway {
    const PreparedSpot& spot;
    const Layout& layout;
    const RangeOptions& options; // a board of wide ranges takes tens of milliseconds: cancel checked within it

    double* sums_of(Scratch& s, std::size_t p) const { return s.sums.data() + layout.offset[p]; }

    // The last player's combinations against the best of the others, settled
    // in one pass; the others' shares are added once for the whole pass.
    void last_level(Scratch& s, uint64_t used, double weight, int32_t best, int sharers) const {
        const std::size_t last = static_cast<std::size_t>(spot.players - 1);
        const auto& live = spot.live[last];
        const auto& values = s.values[last];
        double* own = sums_of(s, last);
        double all = 0, beaten = 0, level = 0; // the others' deal weight: in all, where the last hand loses, ties
        for (std::size_t i = 0; i < live.size(); ++i) {
            if (values[i] < 0 || (live[i].bits.cards & used)) continue;
            const double w = weight * live[i].weight;
            all += w;
            own[category_at + static_cast<std::size_t>(category_of(values[i]))] += w;
            own[combos_at + 2 * i + 1] += w;
            if (values[i] > best) {
                own[win_at] += w;
                own[combos_at + 2 * i] += w;
            } else if (values[i] == best) {
                const double share = w / (sharers + 1);
                own[tie_at] += share;
                own[combos_at + 2 * i] += share;
                level += w;
            } else {
                beaten += w;
            }
        }
        if (all == 0) return;
        for (std::size_t p = 0; p < last; ++p) {
            double* sums = sums_of(s, p);
            const std::size_t i = s.chosen[p];
            const int32_t value = s.values[p][i];
            sums[category_at + static_cast<std::size_t>(category_of(value))] += all;
            sums[combos_at + 2 * i + 1] += all;
            if (value != best) continue;
            const double won = level / (sharers + 1) + (sharers == 1 ? 0.0 : beaten / sharers);
            sums[tie_at] += won;
            if (sharers == 1) sums[win_at] += beaten;
            sums[combos_at + 2 * i] += won + (sharers == 1 ? beaten : 0.0);
        }
    }

    void deal(Scratch& s, std::size_t level, uint64_t used, double weight, int32_t best, int sharers) const {
        if (level + 1 == static_cast<std::size_t>(spot.players)) return last_level(s, used, weight, best, sharers);
        const auto& live = spot.live[level];
        const auto& values = s.values[level];
        for (std::size_t i = 0; i < live.size(); ++i) {
            if (values[i] < 0 || (live[i].bits.cards & used)) continue;
            if (level == 0 && cancelled(options)) return; // the figures are thrown away
            s.chosen[level] = i;
            const int32_t v = values[i];
            deal(s, level + 1, used | live[i].bits.cards, weight * live[i].weight, std::max(v, best),
                 v > best ? 1 : v == best ? sharers + 1 : sharers);
        }
    }
};

// False when some player holds none of the range's combinations on this
// board: no deal is dealt there, so nothing is evaluated.
bool evaluate_board(const PreparedSpot& spot, const HandBits& board, Scratch& s) {
    for (const auto& live : spot.live)
        if (std::none_of(live.begin(), live.end(), [&](const LiveCombo& c) { return !(c.bits.cards & board.cards); }))
            return false;
    for (std::size_t p = 0; p < spot.live.size(); ++p) {
        const auto& live = spot.live[p];
        auto& values = s.values[p];
        for (std::size_t i = 0; i < live.size(); ++i)
            values[i] = (live[i].bits.cards & board.cards) ? -1 : evaluate_bits(board + live[i].bits);
    }
    return true;
}

RangeResult finish(const PreparedSpot& spot, const Layout& layout, const std::vector<double>& sums) {
    RangeResult result = empty_result(spot, RangeMethod::exact);
    double total = 0;
    for (std::size_t i = 0; i < spot.live[0].size(); ++i) total += sums[combos_at + 2 * i + 1];
    if (!(total > 0)) throw std::runtime_error("no compatible deal: the ranges cannot be dealt without a card held twice");
    result.deal_weight = total;
    for (std::size_t p = 0; p < spot.live.size(); ++p) {
        const double* own = sums.data() + layout.offset[p];
        RangePlayerResult& player = result.players[p];
        player.win = own[win_at] / total;
        player.tie = own[tie_at] / total;
        player.equity = (own[win_at] + own[tie_at]) / total;
        for (int c = 0; c < category_count; ++c) player.categories[static_cast<std::size_t>(c)] = own[category_at + static_cast<std::size_t>(c)] / total;
        for (std::size_t i = 0; i < player.hands.size(); ++i) {
            const double share = own[combos_at + 2 * i], weight = own[combos_at + 2 * i + 1];
            player.hands[i].weight = weight / total;
            player.hands[i].equity = weight > 0 ? share / weight : std::numeric_limits<double>::quiet_NaN();
        }
    }
    return result;
}

} // namespace

RangeResult range_equity_exact(const RangeSpot& range_spot, const RangeOptions& options) {
    const PreparedSpot spot = prepare_spot(range_spot);
    require_a_deal(spot);
    const Layout layout(spot);
    const std::vector<HandBits> boards = list_boards(spot);
    const int64_t board_count = static_cast<int64_t>(boards.size());
    const int chunks = static_cast<int>(std::min<int64_t>(board_count, max_chunks));
    std::vector<std::vector<double>> chunk_sums(static_cast<std::size_t>(chunks));
    const HeadsUp heads_up{spot, layout,
                           {same_combo_weights(spot.live[0], spot.live[1]), same_combo_weights(spot.live[1], spot.live[0])}};
    const Multiway multiway{spot, layout, options};
    std::atomic<int> chunks_done{0};
    std::atomic<bool> failed{false};
    const int threads = options.threads > 0 ? options.threads : omp_get_num_procs();
#pragma omp parallel num_threads(threads)
    {
        // An exception must not leave the region: it is reported after it.
        try {
            Scratch s(spot, layout);
#pragma omp for schedule(dynamic)
            for (int c = 0; c < chunks; ++c) {
                std::fill(s.sums.begin(), s.sums.end(), 0.0);
                const int64_t first = board_count * c / chunks, last = board_count * (c + 1) / chunks;
                for (int64_t b = first; b < last && !failed.load(std::memory_order_relaxed) && !cancelled(options);
                     ++b) {
                    if (!evaluate_board(spot, boards[static_cast<std::size_t>(b)], s)) continue;
                    if (spot.players == 2) heads_up.settle(s);
                    else multiway.deal(s, 0, 0, 1.0, -1, 0);
                }
                chunk_sums[static_cast<std::size_t>(c)] = s.sums;
                const int done = chunks_done.fetch_add(1) + 1;
                if (options.progress && omp_get_thread_num() == 0)
                    options.progress(static_cast<double>(done) / chunks, options.progress_context);
            }
        } catch (...) {
            failed = true;
        }
    }
    if (failed) throw std::runtime_error("a worker thread failed during the enumeration");
    if (cancelled(options)) throw RangeCancelled{};
    std::vector<double> sums(layout.size, 0.0);
    for (const auto& part : chunk_sums)
        for (std::size_t i = 0; i < sums.size(); ++i) sums[i] += part[i];
    RangeResult result = finish(spot, layout, sums);
    result.deals = count_deals(spot, UINT64_MAX);
    result.boards = choose(spot.deck.size() - 2 * static_cast<uint64_t>(spot.players), static_cast<uint64_t>(spot.to_come));
    return result;
}

} // namespace varnolith
