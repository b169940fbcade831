#pragma once
// The exact driver with its board walk chosen by the caller: by suit class
// (what range_equity_exact does) or every board in turn, so that tests and
// benchmarks can hold one against the other.

#include "range_equity.hpp"

namespace varnolith {

enum class BoardWalk { by_class, every_board };

RangeResult range_equity_exact(const RangeSpot& spot, const RangeOptions& options, BoardWalk walk);

} // namespace varnolith
