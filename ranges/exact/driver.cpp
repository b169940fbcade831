// Exact range equity: every board completion, and on each board every
// compatible deal of hands, weighted by the product of the weights.
//
// Boards that a relabelling of the suits leaving the spot unchanged maps onto
// each other give the same figures, combination by combination moved to their
// images: one board per class is settled, weighted by the class's size, and
// the combinations' figures are spread over their images at the end.
//
// On a board each rank pair is evaluated once and each combination valued from
// its pair or, when it makes a flush, on its own. Heads-up, the pairs of a
// board are then settled together by a sweep over the values; three or more
// players deal all but two hands and sweep those two (multiway.hpp).

#include "ranges/exact/driver.hpp"

#include "team.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <limits>
#include <optional>
#include <stdexcept>
#include <utility>

#include "ranges/exact/board_classes.hpp"
#include "ranges/exact/board_values.hpp"
#include "evaluator.hpp"
#include "ranges/exact/sums.hpp"
#include "ranges/exact/heads_up_sweep.hpp"
#include "ranges/exact/multiway.hpp"
#include "ranges/error.hpp"
#include "ranges/spot.hpp"
#include "ranges/exact/suit_symmetry.hpp"

namespace varnolith {

namespace {

constexpr int max_chunks = 256; // fixed, so that sums add up in the same order at any thread count

// One thread's working data, made once per run.
struct Scratch {
    BoardValues board;
    HeadsUpScratch heads_up;
    MultiwayScratch multiway;
    std::vector<double> sums;
    std::vector<double> aside; // the players' running figures while one board's are kept apart
    Scratch(const PreparedSpot& spot, const SumLayout& layout)
        : board(spot), heads_up(spot), multiway(spot), sums(layout.size),
          aside(layout.offset.size() * SumLayout::combos_at) {}

    // Zeroes the players' win, tie and categories, so that after a board they
    // hold that board's alone.
    void set_headers_aside(const SumLayout& layout) {
        for (std::size_t p = 0; p < layout.offset.size(); ++p)
            for (std::size_t i = 0; i < SumLayout::combos_at; ++i)
                aside[p * SumLayout::combos_at + i] = std::exchange(sums[layout.offset[p] + i], 0.0);
    }

    // Writes the board's pot shares and deal weight (the first player's
    // categories hold every deal once), then adds the running figures back.
    void keep_board_figures(const SumLayout& layout, double* out) {
        const std::size_t players = layout.offset.size();
        for (std::size_t p = 0; p < players; ++p)
            out[p] = sums[layout.offset[p] + SumLayout::win_at] + sums[layout.offset[p] + SumLayout::tie_at];
        double weight = 0;
        for (int c = 0; c < category_count; ++c) weight += sums[layout.offset[0] + SumLayout::category_at + static_cast<std::size_t>(c)];
        out[players] = weight;
        for (std::size_t p = 0; p < players; ++p)
            for (std::size_t i = 0; i < SumLayout::combos_at; ++i)
                sums[layout.offset[p] + i] += aside[p * SumLayout::combos_at + i];
    }
};

// Boards settled, counted by every thread now and then into one total that
// thread 0 reports a few times a second. A board counts `parts` parts, which a
// long board reports as it goes. The clock is read every `stride` reports, a
// stride kept near a millisecond's work.
struct ProgressMeter {
    using Clock = std::chrono::steady_clock;
    static constexpr int64_t parts = int64_t{1} << 40; // fine enough for a deal deep in a walk of ten; 376,992 boards fit
    const RangeOptions& options;
    std::atomic<int64_t>& done;
    double total; // parts in all
    bool reports;
    int64_t unsent = 0, within = 0, stride = 1, countdown = 1;
    double reported = 0;
    Clock::time_point checked = Clock::now(), sent = checked, shown = checked;

    void board_settled() {
        advance(parts - within);
        within = 0;
    }

    static void part_settled(void* meter, double done) {
        auto& m = *static_cast<ProgressMeter*>(meter);
        const auto reached = std::clamp(static_cast<int64_t>(done * parts), m.within, parts);
        m.advance(reached - m.within);
        m.within = reached;
    }

    void advance(int64_t settled) {
        unsent += settled;
        if (--countdown > 0) return;
        const Clock::time_point now = Clock::now();
        const auto since = now - checked;
        if (since < std::chrono::microseconds(500)) stride = std::min<int64_t>(stride * 2, 1 << 16);
        else if (since > std::chrono::milliseconds(2)) stride = std::max<int64_t>(stride / 2, 1);
        countdown = stride;
        checked = now;
        if (now - sent >= std::chrono::milliseconds(20)) {
            done.fetch_add(unsent, std::memory_order_relaxed);
            unsent = 0;
            sent = now;
        }
        if (reports && now - shown >= std::chrono::milliseconds(100)) {
            shown = now;
            const double fraction = std::min(static_cast<double>(done.load(std::memory_order_relaxed) + unsent) / total, 1.0);
            if (fraction > reported) options.progress(reported = fraction, options.progress_context);
        }
    }
};

// The board counter on a cache line of its own: the threads add to it, not per board.
struct alignas(64) SharedCount {
    std::atomic<int64_t> value{0};
};

// part / whole for sums where part <= whole holds exactly: the same deals'
// weights added in another order, or per player rather than in all, can round
// the quotient a little past 1.
double fraction(double part, double whole) { return std::clamp(part / whole, 0.0, 1.0); }

RangeResult finish(const PreparedSpot& spot, const SumLayout& layout, const std::vector<double>& sums) {
    RangeResult result = empty_result(spot, RangeMethod::exact);
    double total = 0;
    for (std::size_t i = 0; i < spot.live[0].size(); ++i) total += sums[SumLayout::combos_at + 2 * i + 1];
    if (!(total > 0)) throw RangeError(ErrorKind::no_deal, "no compatible deal: the ranges cannot be dealt without a card held twice", ErrorField::ranges);
    result.deal_weight = total;
    for (std::size_t p = 0; p < spot.live.size(); ++p) {
        const double* own = sums.data() + layout.offset[p];
        RangePlayerResult& player = result.players[p];
        player.win = fraction(own[SumLayout::win_at], total);
        player.tie = fraction(own[SumLayout::tie_at], total);
        player.equity = fraction(own[SumLayout::win_at] + own[SumLayout::tie_at], total);
        for (int c = 0; c < category_count; ++c)
            player.categories[static_cast<std::size_t>(category_place(c, spot.ranking))] =
                fraction(own[SumLayout::category_at + static_cast<std::size_t>(c)], total);
        for (std::size_t i = 0; i < player.hands.size(); ++i) {
            const double share = own[SumLayout::combos_at + 2 * i], weight = own[SumLayout::combos_at + 2 * i + 1];
            player.hands[i].weight = fraction(weight, total);
            player.hands[i].equity = weight > 0 ? fraction(share, weight) : std::numeric_limits<double>::quiet_NaN();
        }
    }
    return result;
}

} // namespace

RangeResult range_equity_exact(const RangeSpot& range_spot, const RangeOptions& options) {
    return range_equity_exact(range_spot, options, BoardWalk::by_class);
}

RangeResult range_equity_exact(const RangeSpot& range_spot, const RangeOptions& options, BoardWalk walk, DealWalk deals) {
    const PreparedSpot spot = prepare_spot(range_spot);
    require_a_deal(spot);
    return range_equity_exact(spot, find_suit_symmetry(spot), options, walk, deals);
}

RangeResult range_equity_exact(const PreparedSpot& spot, SuitSymmetry symmetry, const RangeOptions& options,
                               BoardWalk walk, DealWalk deals, PerBoardFigures* per_board) {
    const SumLayout layout(spot);
    if (walk == BoardWalk::every_board) {
        symmetry.group.resize(1);
        symmetry.image.resize(1);
    }
    const std::vector<BoardClass> boards = board_classes(spot, symmetry.group);
    const int64_t board_count = static_cast<int64_t>(boards.size());
    const auto slices = static_cast<int64_t>(board_slices(spot.players, static_cast<double>(board_count)));
    const int64_t units = board_count * slices; // a board, or a slice of one
    const int chunks = static_cast<int>(std::min<int64_t>(units, max_chunks));
    std::vector<std::vector<double>> chunk_sums(static_cast<std::size_t>(chunks));
    const RankPairs pairs(spot);
    // Each builds tables of its two players' weights: only the one the spot uses.
    std::optional<const HeadsUp> heads_up;
    std::optional<const Multiway> multiway;
    if (spot.players == 2) heads_up.emplace(spot, layout, pairs);
    else multiway.emplace(spot, layout, pairs, options, deals);
    const bool sweep = heads_up && heads_up->sweeps();
    const std::size_t kept = static_cast<std::size_t>(spot.players) + 1;
    if (per_board != nullptr) {
        per_board->boards.resize(static_cast<std::size_t>(units));
        per_board->figures.assign(static_cast<std::size_t>(units) * kept, 0.0);
    }
    SharedCount settled;
    std::atomic<int> next_chunk{0}; // taken one at a time: their lengths differ
    std::atomic<bool> failed{false};
    const int threads = options.threads > 0 ? options.threads : core_count();
    run_team(threads, [&] {
        // An exception must not leave the region: it is reported after it.
        try {
            Scratch s(spot, layout);
            ProgressMeter meter{options, settled.value,
                                static_cast<double>(std::max<int64_t>(units, 1) * ProgressMeter::parts),
                                options.progress != nullptr && thread_index() == 0};
            s.multiway.ticker = {ProgressMeter::part_settled, &meter};
            for (int c = next_chunk++; c < chunks; c = next_chunk++) {
                std::fill(s.sums.begin(), s.sums.end(), 0.0);
                const int64_t first = units * c / chunks, last = units * (c + 1) / chunks;
                for (int64_t u = first; u < last && !failed.load(std::memory_order_relaxed) && !cancelled(options);
                     ++u) {
                    const BoardClass& board = boards[static_cast<std::size_t>(u / slices)];
                    const BoardSlice slice{static_cast<std::size_t>(u % slices), static_cast<std::size_t>(slices)};
                    if (per_board != nullptr) s.set_headers_aside(layout);
                    value_rank_pairs(pairs, packed_board(board.cards), spot.ranking, s.board);
                    if (sweep) {
                        find_flushing(spot, pairs, s.board);
                        heads_up->sweep(s.board, board.size, s.heads_up, s.sums.data());
                    } else if (value_combos(spot, pairs, s.board)) {
                        if (heads_up) heads_up->settle_pairs(s.board, board.size, s.sums.data());
                        else multiway->settle(s.board, board.size, s.heads_up, s.multiway, s.sums.data(), slice);
                    }
                    if (per_board != nullptr) {
                        per_board->boards[static_cast<std::size_t>(u)] = board.cards;
                        s.keep_board_figures(layout, per_board->figures.data() + static_cast<std::size_t>(u) * kept);
                    }
                    meter.board_settled();
                }
                chunk_sums[static_cast<std::size_t>(c)] = s.sums;
            }
        } catch (...) {
            failed = true;
        }
    });
    if (failed) throw RangeError(ErrorKind::internal, "a worker thread failed during the enumeration");
    if (cancelled(options)) throw RangeCancelled{};
    std::vector<double> sums(layout.size, 0.0);
    for (const auto& part : chunk_sums)
        for (std::size_t i = 0; i < sums.size(); ++i) sums[i] += part[i];
    spread_over_classes(symmetry, layout.combos, 2, sums);
    RangeResult result = finish(spot, layout, sums);
    result.deals = count_deals(spot, UINT64_MAX);
    result.boards = choose(spot.deck.size() - 2 * static_cast<uint64_t>(spot.players), static_cast<uint64_t>(spot.to_come));
    if (options.progress) options.progress(1.0, options.progress_context);
    return result;
}

} // namespace varnolith
