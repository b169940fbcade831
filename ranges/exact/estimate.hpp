#pragma once
// How long an exact run would take on this machine: its work counted (board
// classes after the suit symmetry, combinations and deals per board), then
// priced at costs measured here.

#include "ranges/equity.hpp"
#include "ranges/exact/suit_symmetry.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

// Seconds per unit of work on one core of a two-core machine, measured.
struct Costs {
    double run = 0.3e-3;        // a run's fixed share: preparing, threads
    double completion = 8e-9;   // listing the boards ...
    double listed = 30e-9;      // ... and keeping one per class
    double board = 80e-9;       // a board settled: its share, its sums
    double pair_value = 4e-9;
    double sort_key = 12e-9;
    double sweep_combo = 9e-9;
    double combo_value = 1.2e-9;
    double pairing = 1.5e-9;
    double walk_step = 2.5e-9;
    double count_step = 1.5e-9;
    double sweep = 1e-6;           // three or more: a sweep's fixed share ...
    double swept_combo = 5e-9;     // ... and each combination it goes through
    double trial = 40e-9;          // Monte Carlo: a deal drawn and its board completed ...
    double trial_player = 45e-9;   // ... and each player's hand valued
};

// The machine an estimate prices work on: its cores, and what each unit of
// work costs on one of them. Tests give their own; runs take this_machine().
struct Machine {
    int cores = 1;
    Costs costs;
};

Machine this_machine();

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
ExactWork exact_work(const PreparedSpot& spot, const SuitSymmetry& symmetry);
ExactWork exact_work(const PreparedSpot& spot);

// Expected wall time of range_equity_exact on `threads` threads (0: every
// core) on a machine like this one. 0 for a spot the driver refuses at once.
double estimate_exact_seconds(const PreparedSpot& spot, int threads);

// The same from the work already counted: pricing it on several thread
// counts counts it once.
double estimate_exact_seconds(const PreparedSpot& spot, const ExactWork& work, int threads,
                              const Machine& machine = this_machine());

// The default method's choice (choose_range_method) from the work counted.
RangeMethod choose_range_method(const PreparedSpot& spot, const ExactWork& work, int threads,
                                const Machine& machine = this_machine());

// The same from the spot as given; throws as prepare_spot does.
double estimate_exact_seconds(const RangeSpot& spot, int threads = 0);

// The deals a Monte Carlo run draws: `trials` when positive, else as many as
// a run to `precision` needs at most (a player's share of a pot varies by at
// most 1/2, so its standard error after n deals is at most 0.5 / sqrt(n)).
// Infinite for a precision too small to reach.
double expected_trials(int64_t trials, double precision);

// Expected wall time of range_equity_monte_carlo with those choices on
// `threads` threads (0: every core), priced per deal and player as measured here.
double estimate_simulation_seconds(const PreparedSpot& spot, int64_t trials, double precision, int threads,
                                   const Machine& machine = this_machine());

} // namespace varnolith
