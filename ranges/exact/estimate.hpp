#pragma once
// How long an exact run would take on this machine: its work counted (board
// classes after the suit symmetry, combinations and deals per board), then
// priced at costs measured here.

#include "ranges/equity.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

// The exact driver's work, in the units it is priced by.
struct ExactWork {
    double completions = 0;  // boards the listing of classes goes through
    double classes = 0;      // boards settled: one per suit class
    double pair_values = 0;  // rank pairs valued, over all classes
    double sort_keys = 0;    // heads-up sweep: keys sorted, over all classes
    double sweep_combos = 0; // heads-up sweep: combinations swept, over all classes
    double combo_values = 0; // otherwise: combinations valued, over all classes
    double pairings = 0;     // heads-up against a handful: pairs of combinations tried
    double walk_steps = 0;   // three or more: combinations tried by the walk of the deals
    double count_steps = 0;  // three or more: steps of the count of the deals
    double sweeps = 0;       // three or more: deals of all but two, each settled by a sweep of those two
    double swept_combos = 0; // three or more: combinations those sweeps go through
};

// Counts by a bounded walk: a spot whose deals take too long to count is
// extrapolated from those counted. Assumes a well-formed spot with enough cards.
ExactWork exact_work(const PreparedSpot& spot);

// Expected wall time of range_equity_exact on `threads` threads (0: every
// core) on a machine like this one. 0 for a spot the driver refuses at once.
double estimate_exact_seconds(const PreparedSpot& spot, int threads);

// The same from the work already counted: pricing it on several thread
// counts counts it once.
double estimate_exact_seconds(const PreparedSpot& spot, const ExactWork& work, int threads);

// The same from the spot as given; throws as prepare_spot does.
double estimate_exact_seconds(const RangeSpot& spot, int threads = 0);

// The deals a Monte Carlo run draws: `trials` when positive, else as many as
// a run to `precision` needs at most (a player's share of a pot varies by at
// most 1/2, so its standard error after n deals is at most 0.5 / sqrt(n)).
// Infinite for a precision too small to reach.
double expected_trials(int64_t trials, double precision);

// Expected wall time of range_equity_monte_carlo with those choices on
// `threads` threads (0: every core), priced per deal and player as measured here.
double estimate_simulation_seconds(const PreparedSpot& spot, int64_t trials, double precision, int threads);

} // namespace varnolith
