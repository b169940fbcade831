#pragma once
// The figures the console prints at the end of every calculation.

#include <ostream>

#include "equity_result.hpp"

namespace varnolith {

// Writes "Equity:", "Win:" and "Tie:" lines, one percentage per player in entry
// order with three decimals, then "Total combinations: N". Leaves the stream's
// number formatting as it found it.
void print_enumeration_report(std::ostream& out, const EquityResult& result);

// The same three lines for a simulation, without the total line: a trial count
// is not a number of combinations.
void print_monte_carlo_report(std::ostream& out, const EquityResult& result);

} // namespace varnolith
