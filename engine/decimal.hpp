#pragma once
// Decimal text and doubles, read and written alike in every build: the
// standard library's std::from_chars and std::to_chars where they take
// doubles, and the C library's strtod and snprintf made to give the same
// answers where they do not (WebAssembly's libc++).

#include <string>
#include <string_view>

namespace varnolith {

// A decimal already checked for form (digits, a point, an exponent; no sign,
// no blanks), read as std::from_chars reads it: correctly rounded, false for a
// value too large for a double or one that rounds to zero from digits that
// are not all zero.
bool read_decimal(std::string_view text, double& value);

// The fewest digits after the point that read back to the same double, as
// std::to_chars writes it in fixed notation ("0.25", "1", "0.1"). Positive,
// finite values.
std::string fixed_shortest(double value);

namespace detail {

// The C library's forms of the two, compiled in every build so that a test
// holds them to the standard library's.
bool strtod_read_decimal(std::string_view text, double& value);
std::string printf_fixed_shortest(double value);

} // namespace detail

} // namespace varnolith
