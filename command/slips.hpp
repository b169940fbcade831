#pragma once
// The usual slips at a command line, named with what to type instead: an
// option given twice, a range split by the shell at its blanks, board cards
// written apart so that the shell made ranges of them.

#include <string>
#include <vector>

namespace varnolith {

// "-b is given twice: give each option once", or "" when no option that
// takes a value is given twice.
std::string repeated_option(int argc, const char* const* argv);

// The option a CLI11 "value missing" refers to: the first one that takes a
// value and has none after it; "" when none shows.
std::string option_without_value(int argc, const char* const* argv);

// What a range argument says of the slip that made it, or "" when none shows.
std::string range_slip(const std::vector<std::string>& ranges, int argc, const char* const* argv);

} // namespace varnolith
