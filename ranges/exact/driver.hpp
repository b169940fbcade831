#pragma once
// The exact driver with its walks chosen by the caller: boards by suit class
// (what range_equity_exact does) or every board in turn, and for three or more
// players the sweep of the last two or every deal in turn, so that tests and
// benchmarks can hold one against the other.

#include <cstdint>
#include <vector>

#include "ranges/exact/multiway.hpp"
#include "ranges/exact/suit_symmetry.hpp"
#include "ranges/equity.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

enum class BoardWalk { by_class, every_board };

RangeResult range_equity_exact(const RangeSpot& spot, const RangeOptions& options, BoardWalk walk,
                               DealWalk deals = DealWalk::sweep_last_two);

// Each board's own figures, kept when a caller asks for more than the totals
// (a flop report): per unit of work, a board class or a slice of one, every
// player's pot share and then the deals' weight, in units' order. A unit's
// figures count its class's size.
struct PerBoardFigures {
    std::vector<uint64_t> boards;   // per unit: the whole board's card mask
    std::vector<double> figures;    // per unit: players + 1 doubles
};

// The same on a spot already prepared, known to have a compatible deal, and
// its suit symmetry already found: a planned run does that work once.
RangeResult range_equity_exact(const PreparedSpot& spot, SuitSymmetry symmetry, const RangeOptions& options,
                               BoardWalk walk = BoardWalk::by_class, DealWalk deals = DealWalk::sweep_last_two,
                               PerBoardFigures* per_board = nullptr);

} // namespace varnolith
