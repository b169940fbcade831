// Monte Carlo range equity. A trial draws each player's combination by weight
// and draws again, all players at once, while any card is held twice: the
// accepted deals then follow exactly the weighted distribution over compatible
// deals. The board is completed from the cards left, each card drawn uniformly
// and drawn again when already out.
//
// Trial t's draws are a pure function of (run key, t), and all tallies are
// integers, so a seeded run gives the same figures at any thread count.

#include <omp.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "evaluator.hpp"
#include "monte_carlo.hpp"
#include "random.hpp"
#include "range_equity.hpp"
#include "range_spot.hpp"
#include "tally.hpp"

namespace varnolith {

namespace {

__extension__ using u128 = unsigned __int128;

// Vose's alias table: column by one uniform word, then the column or its alias
// by the same word's fractional part.
struct AliasTable {
    std::vector<uint64_t> keep; // keep the column when the fraction is below this (2^64 scale)
    std::vector<uint32_t> alias;

    explicit AliasTable(const std::vector<LiveCombo>& live) : keep(live.size()), alias(live.size()) {
        const std::size_t n = live.size();
        double total = 0;
        for (const LiveCombo& c : live) total += c.weight;
        std::vector<double> scaled(n);
        std::vector<uint32_t> small, large;
        for (std::size_t i = 0; i < n; ++i) {
            scaled[i] = live[i].weight * static_cast<double>(n) / total;
            (scaled[i] < 1.0 ? small : large).push_back(static_cast<uint32_t>(i));
        }
        while (!small.empty() && !large.empty()) {
            const uint32_t s = small.back(), l = large.back();
            small.pop_back();
            keep[s] = to_threshold(scaled[s]);
            alias[s] = l;
            scaled[l] -= 1.0 - scaled[s];
            if (scaled[l] < 1.0) {
                large.pop_back();
                small.push_back(l);
            }
        }
        for (const uint32_t i : large) keep[i] = UINT64_MAX, alias[i] = i;
        for (const uint32_t i : small) keep[i] = UINT64_MAX, alias[i] = i; // rounding leftovers: probability 1
    }

    static uint64_t to_threshold(double p) {
        return p >= 1.0 ? UINT64_MAX : static_cast<uint64_t>(std::ldexp(std::max(p, 0.0), 64));
    }

    uint32_t draw(uint64_t word) const {
        const u128 product = static_cast<u128>(word) * keep.size();
        const auto column = static_cast<uint32_t>(product >> 64);
        return static_cast<uint64_t>(product) < keep[column] ? column : alias[column];
    }
};

// A uniform index below n from one word: the high half of a 64 x 64 product.
uint32_t below(uint64_t word, std::size_t n) { return static_cast<uint32_t>((static_cast<u128>(word) * n) >> 64); }

// Draw k of trial t: a second SplitMix64 stream keyed by the trial's position
// in the run's stream, so a trial may draw as often as its rejections need.
struct TrialStream {
    uint64_t key;
    uint64_t next = 0;
    TrialStream(uint64_t run_key, int64_t trial) : key(mix64(run_key + (static_cast<uint64_t>(trial) + 1) * golden_gamma)) {}
    uint64_t operator()() { return mix64(key + ++next * 0xD1B5'4A32'D192'ED03); }
};

constexpr int64_t max_attempts = 1'000'000; // per trial: beyond this the ranges practically never fit

// Integer tallies of one thread, per player: wins, splits by the number of
// sharers, categories, then (times held, pot share in split units) per combination.
struct Layout {
    std::vector<std::size_t> offset;
    std::size_t size = 0;
    explicit Layout(const PreparedSpot& spot) {
        for (const auto& live : spot.live) {
            offset.push_back(size);
            size += splits_at + max_range_players + 1 + 2 * live.size();
        }
        size += 8; // keeps the next thread's block off this one's last cache line
    }
    static constexpr std::size_t wins_at = 0, categories_at = 1, splits_at = 1 + category_count;
    static constexpr std::size_t combos_at(std::size_t) { return splits_at + max_range_players + 1; }
};

// A range of every two cards left, all of one weight, adds the same number of
// ways to every deal of the others: such players are left out of the rejection
// and dealt two cards from what remains, which is exact and never rejected.
bool holds_every_hand(const PreparedSpot& spot, const std::vector<LiveCombo>& live) {
    if (live.size() != choose(spot.deck.size(), 2)) return false;
    return std::all_of(live.begin(), live.end(), [&](const LiveCombo& c) { return c.weight == live[0].weight; });
}

struct Plan {
    const PreparedSpot& spot;
    const Layout& layout;
    std::vector<AliasTable> tables;
    uint64_t run_key;
    std::vector<std::size_t> drawn, dealt; // players drawn from their range, players dealt any two cards
    std::vector<std::vector<int16_t>> combo_of_cards; // per dealt player: 64 * high + low card index -> combination
};

Plan make_plan(const PreparedSpot& spot, const Layout& layout, uint64_t seed) {
    Plan plan{spot, layout, {}, mix64(seed ^ 0x7661'726E'6F6C'6974), {}, {}, {}};
    for (std::size_t p = 0; p < spot.live.size(); ++p) {
        plan.tables.emplace_back(spot.live[p]);
        auto& combo_of_cards = plan.combo_of_cards.emplace_back();
        if (!holds_every_hand(spot, spot.live[p])) {
            plan.drawn.push_back(p);
            continue;
        }
        plan.dealt.push_back(p);
        combo_of_cards.assign(64 * 64, -1);
        for (std::size_t i = 0; i < spot.live[p].size(); ++i)
            combo_of_cards[spot.live[p][i].first * 64u + spot.live[p][i].second] = static_cast<int16_t>(i);
    }
    return plan;
}

// Plays trials [first, last); returns false when a trial found no compatible deal.
bool play(const Plan& plan, int64_t first, int64_t last, std::vector<int64_t>& tally, std::vector<uint32_t>& chosen,
          std::vector<int32_t>& values) {
    const PreparedSpot& spot = plan.spot;
    const std::size_t players = spot.live.size();
    for (int64_t trial = first; trial < last; ++trial) {
        TrialStream stream(plan.run_key, trial);
        uint64_t used = 0;
        for (int64_t attempt = 0;; ++attempt) {
            if (attempt == max_attempts) return false;
            used = 0;
            std::size_t k = 0;
            for (; k < plan.drawn.size(); ++k) {
                const std::size_t p = plan.drawn[k];
                chosen[p] = plan.tables[p].draw(stream());
                const uint64_t cards = spot.live[p][chosen[p]].bits.cards;
                if (used & cards) break;
                used |= cards;
            }
            if (k == plan.drawn.size()) break;
        }
        // A card drawn uniformly from the cards left, drawn again when already out.
        auto deal_card = [&] {
            while (true) {
                const uint8_t index = spot.deck[below(stream(), spot.deck.size())];
                const uint64_t bit = uint64_t{1} << index;
                if (used & bit) continue;
                used |= bit;
                return index;
            }
        };
        for (const std::size_t p : plan.dealt) {
            const uint8_t a = deal_card(), b = deal_card();
            chosen[p] = static_cast<uint32_t>(plan.combo_of_cards[p][std::max(a, b) * 64u + std::min(a, b)]);
        }
        HandBits board = spot.board_bits;
        for (int d = 0; d < spot.to_come; ++d) board = board + bits_of_index(deal_card());
        int32_t best = -1;
        int sharers = 0;
        for (std::size_t p = 0; p < players; ++p) {
            values[p] = evaluate_bits(board + spot.live[p][chosen[p]].bits);
            if (values[p] > best) best = values[p], sharers = 1;
            else if (values[p] == best) ++sharers;
        }
        for (std::size_t p = 0; p < players; ++p) {
            int64_t* own = tally.data() + plan.layout.offset[p];
            int64_t* combo = own + Layout::combos_at(p) + 2 * chosen[p];
            ++own[Layout::categories_at + static_cast<std::size_t>(values[p] / 1'000'000)];
            ++combo[0];
            if (values[p] != best) continue;
            if (sharers == 1) ++own[Layout::wins_at];
            else ++own[Layout::splits_at + static_cast<std::size_t>(sharers)];
            combo[1] += split_unit / sharers;
        }
    }
    return true;
}

struct Totals {
    std::vector<int64_t> sums;
    int64_t trials = 0;
    double reported = 0; // the progress last reported: it never goes back
};

// Runs trials [first, last) on the team and adds their tallies into `totals`.
// Progress is measured against `planned` trials in all; 0: not yet known.
void run_batch(const Plan& plan, int64_t first, int64_t last, int threads, Totals& totals, const RangeOptions& options,
               int64_t planned) {
    std::vector<std::vector<int64_t>> tallies(static_cast<std::size_t>(threads));
    std::atomic<bool> failed{false}, impossible{false};
#pragma omp parallel num_threads(threads)
    {
        try {
            const int team = omp_get_num_threads(), me = omp_get_thread_num();
            auto& tally = tallies[static_cast<std::size_t>(me)];
            tally.assign(plan.layout.size, 0);
            std::vector<uint32_t> chosen(plan.spot.live.size());
            std::vector<int32_t> values(plan.spot.live.size());
            const TrialRange mine = front_loaded_share(last - first, team, me);
            constexpr int64_t slice = 1 << 15;
            for (int64_t at = mine.first; at < mine.last && !failed && !impossible && !cancelled(options);
                 at += slice) {
                const int64_t end = std::min(at + slice, mine.last);
                if (!play(plan, first + at, first + end, tally, chosen, values)) impossible = true;
                if (me != 0 || !options.progress || planned <= 0) continue;
                const double done = static_cast<double>(totals.trials + (end - mine.first) * team);
                totals.reported = std::max(totals.reported, std::min(1.0, done / static_cast<double>(planned)));
                options.progress(totals.reported, options.progress_context);
            }
        } catch (...) {
            failed = true;
        }
    }
    if (failed) throw std::runtime_error("a worker thread failed during the simulation");
    if (cancelled(options)) throw RangeCancelled{};
    if (impossible)
        throw std::runtime_error("no compatible deal found in " + std::to_string(max_attempts) +
                                 " draws: the ranges practically never fit together");
    for (const auto& tally : tallies)
        for (std::size_t i = 0; i < tally.size() && i < totals.sums.size(); ++i) totals.sums[i] += tally[i];
    totals.trials += last - first;
}

// Equity, win, tie and the standard error of the equity, from integer tallies.
RangeResult finish(const PreparedSpot& spot, const Layout& layout, const Totals& totals) {
    RangeResult result = empty_result(spot, RangeMethod::monte_carlo);
    result.trials = totals.trials;
    const double n = static_cast<double>(totals.trials);
    for (std::size_t p = 0; p < spot.live.size(); ++p) {
        const int64_t* own = totals.sums.data() + layout.offset[p];
        RangePlayerResult& player = result.players[p];
        double tie = 0, squares = static_cast<double>(own[Layout::wins_at]);
        for (int m = 2; m <= max_range_players; ++m) {
            const double splits = static_cast<double>(own[Layout::splits_at + static_cast<std::size_t>(m)]);
            tie += splits / m;
            squares += splits / (m * m);
        }
        player.win = static_cast<double>(own[Layout::wins_at]) / n;
        player.tie = tie / n;
        player.equity = player.win + player.tie;
        const double variance = std::max(0.0, squares / n - player.equity * player.equity);
        player.standard_error = totals.trials > 1 ? std::sqrt(variance / (n - 1)) : 0.0;
        for (int c = 0; c < category_count; ++c)
            player.categories[static_cast<std::size_t>(c)] =
                static_cast<double>(own[Layout::categories_at + static_cast<std::size_t>(c)]) / n;
        for (std::size_t i = 0; i < player.hands.size(); ++i) {
            const int64_t held = own[Layout::combos_at(p) + 2 * i], units = own[Layout::combos_at(p) + 2 * i + 1];
            player.hands[i].weight = static_cast<double>(held) / n;
            player.hands[i].equity = held > 0 ? static_cast<double>(units) / split_unit / static_cast<double>(held)
                                              : std::numeric_limits<double>::quiet_NaN();
        }
    }
    return result;
}

double largest_error(const RangeResult& result) {
    double largest = 0;
    for (const RangePlayerResult& p : result.players) largest = std::max(largest, p.standard_error);
    return largest;
}

} // namespace

RangeResult range_equity_monte_carlo(const RangeSpot& range_spot, const RangeOptions& options) {
    if (options.trials <= 0 && !(options.precision > 0))
        throw std::invalid_argument("Monte Carlo needs a positive trial count or precision");
    const PreparedSpot spot = prepare_spot(range_spot);
    require_a_deal(spot);
    const Layout layout(spot);
    const Plan plan = make_plan(spot, layout, options.seed);
    const int threads = options.threads > 0 ? options.threads : omp_get_num_procs();
    Totals totals{std::vector<int64_t>(layout.size, 0)};
    if (options.trials > 0) {
        run_batch(plan, 0, options.trials, threads, totals, options, options.trials);
        RangeResult result = finish(spot, layout, totals);
        result.seed = options.seed;
        return result;
    }
    // Batches whose sizes depend only on the figures so far, so the stopping
    // point is the same at any thread count.
    constexpr int64_t first_batch = 20'000;
    int64_t next = first_batch;
    while (true) {
        // The first batch is what tells how many trials the run needs.
        run_batch(plan, totals.trials, totals.trials + next, threads, totals, options,
                  totals.trials == 0 ? 0 : totals.trials + next);
        RangeResult result = finish(spot, layout, totals);
        const double error = largest_error(result);
        if (error <= options.precision) {
            result.seed = options.seed;
            return result;
        }
        const double needed = static_cast<double>(totals.trials) * (error / options.precision) * (error / options.precision);
        next = std::clamp(static_cast<int64_t>(needed * 1.05) - totals.trials, first_batch, 4 * totals.trials);
    }
}

} // namespace varnolith
