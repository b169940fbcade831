#pragma once
// The exact driver with its walks chosen by the caller: boards by suit class
// (what range_equity_exact does) or every board in turn, and for three or more
// players the sweep of the last two or every deal in turn, so that tests and
// benchmarks can hold one against the other.

#include "ranges/exact/multiway.hpp"
#include "ranges/exact/suit_symmetry.hpp"
#include "ranges/equity.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

enum class BoardWalk { by_class, every_board };

RangeResult range_equity_exact(const RangeSpot& spot, const RangeOptions& options, BoardWalk walk,
                               DealWalk deals = DealWalk::sweep_last_two);

// The same on a spot already prepared, known to have a compatible deal, and
// its suit symmetry already found: a planned run does that work once.
RangeResult range_equity_exact(const PreparedSpot& spot, SuitSymmetry symmetry, const RangeOptions& options,
                               BoardWalk walk = BoardWalk::by_class, DealWalk deals = DealWalk::sweep_last_two);

} // namespace varnolith
