#include "ranges/sampling/plan.hpp"

#include <algorithm>


namespace varnolith {

namespace {

// The pilot: draws on fixed streams, run on one thread.
constexpr int64_t pilot_trials = 4096;
constexpr uint64_t pilot_key = 0x7069'6C6F'7420'6472;
constexpr double least_acceptance = 0.05; // plain rejection while at least this share of draws fits
constexpr int boards_per_deal = 8;

// A range of every two cards left, all of one weight, adds the same number of
// ways to every deal of the others: such players are left out of the drawing
// and dealt two cards from what remains, which is exact and never rejected.
bool holds_every_hand(const PreparedSpot& spot, const std::vector<LiveCombo>& live) {
    if (live.size() != choose(spot.deck.size(), 2)) return false;
    return std::all_of(live.begin(), live.end(), [&](const LiveCombo& c) { return c.weight == live[0].weight; });
}

// Whether trial t of the plain way accepts its first draw.
bool first_draw_fits(const Plan& plan, int64_t trial) {
    TrialStream stream(pilot_key, trial);
    uint64_t used = 0;
    for (const std::size_t p : plan.drawn) {
        const uint64_t cards = plan.spot.live[p][plan.tables[p].draw(stream())].bits.cards;
        if (used & cards) return false;
        used |= cards;
    }
    return true;
}

} // namespace

Plan make_plan(const PreparedSpot& spot, uint64_t seed) {
    Plan plan{spot, {}, mix64(seed ^ 0x7661'726E'6F6C'6974), {}, {}, {}};
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
    if (plain_acceptance(plan) < least_acceptance) {
        plan.in_turn = true;
        plan.sequence = make_in_turn(spot, plan.drawn);
        // A deal costs far more than a board, and most of the spread is the
        // board's: several boards per deal settle more per unit of time.
        plan.boards_per_deal = spot.to_come > 0 || !plan.dealt.empty() ? boards_per_deal : 1;
    }
    return plan;
}

double plain_acceptance(const Plan& plan) {
    if (plan.drawn.size() < 2) return 1.0; // one range drawn: nothing to collide
    int64_t fits = 0;
    for (int64_t t = 0; t < pilot_trials; ++t) fits += first_draw_fits(plan, t) ? 1 : 0;
    return static_cast<double>(fits) / pilot_trials;
}

} // namespace varnolith
