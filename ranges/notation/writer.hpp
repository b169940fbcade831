#pragma once
// A range written back as notation, as short as the items allow.

#include <string>

#include "ranges/notation/range.hpp"

namespace varnolith {

// Notation that parse_range reads back to the same combinations with the same
// weights (in another order, perhaps): whole classes as pairs and runs
// ("QQ+", "99-77", "ATs+", "AJo-A9o", "KQ"), "random" for every combination at
// one weight, single combinations ("AhKh") for classes only partly in, and
// ":w" after items whose weight is not 1. "" for an empty range.
std::string range_notation(const Range& range);

} // namespace varnolith
