#pragma once
// The run's numbers as a person types them (trials, precision, seed), read by
// one set of rules and refused in one wording: the command's options and the
// API's fields given as text say the same thing about the same slip.

#include <cstdint>
#include <string>
#include <string_view>

namespace varnolith {

// Plain decimal digits from `low` to `high`: no sign, no "1e3", no spaces.
bool read_whole_text(std::string_view text, uint64_t low, uint64_t high, uint64_t& value);

// A number above 0 and below 1 as people write one: 0.001, .001, 1e-3, 5E-4;
// no sign, no "inf" or "nan", no hexadecimal.
bool read_fraction_text(std::string_view text, double& value);

// Each reads its value, or returns the message that refuses it ("" when read):
// "--trials: N must be a whole number of at least 1 (got abc)".
std::string read_trials(std::string_view text, int64_t& trials);
std::string read_precision(std::string_view text, double& precision);
std::string read_seed(std::string_view text, uint64_t& seed);

} // namespace varnolith
