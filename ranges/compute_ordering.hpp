#pragma once
// The preflop ordering worked out afresh with the exact range engine, for the
// tool that writes the checked-in table and the test that checks it. Kept out
// of notation/, which reads "15%" from the table alone.

#include "ranges/notation/ordering.hpp"

namespace varnolith {

// One combination of each class against `random` (every combination of a
// class has the same equity, suits being interchangeable), sorted by
// ordered_before. About a minute on two cores.
PreflopOrdering compute_preflop_ordering(Ranking ranking, int threads = 0);

} // namespace varnolith
