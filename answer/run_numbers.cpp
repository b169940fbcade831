#include "run_numbers.hpp"

#include <charconv>
#include <limits>

#include "decimal.hpp"
#include "user_text.hpp"

namespace varnolith {

bool read_whole_text(std::string_view text, uint64_t low, uint64_t high, uint64_t& value) {
    const char* end = text.data() + text.size();
    // from_chars takes no sign and no spaces; "-1" would otherwise wrap to the largest seed.
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc{} && stop == end && value >= low && value <= high;
}

bool read_fraction_text(std::string_view text, double& value) {
    const auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t at = 0, digits = 0;
    for (; at < text.size() && is_digit(text[at]); ++at) ++digits;
    if (at < text.size() && text[at] == '.')
        for (++at; at < text.size() && is_digit(text[at]); ++at) ++digits;
    if (digits == 0) return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
        const std::size_t exponent = at;
        while (at < text.size() && is_digit(text[at])) ++at;
        if (at == exponent) return false;
    }
    if (at != text.size()) return false;
    return read_decimal(text, value) && value > 0.0 && value < 1.0;
}

std::string read_trials(std::string_view text, int64_t& trials) {
    uint64_t value = 0;
    if (!read_whole_text(text, 1, std::numeric_limits<int64_t>::max(), value))
        return "--trials: N must be a whole number of at least 1 (got " + shown_text(text) + ")";
    trials = static_cast<int64_t>(value);
    return {};
}

std::string read_precision(std::string_view text, double& precision) {
    if (!read_fraction_text(text, precision))
        return "--precision: P must be a number above 0 and below 1, such as 0.001 or 1e-4 (got " +
               shown_text(text) + ")";
    return {};
}

std::string read_seed(std::string_view text, uint64_t& seed) {
    if (!read_whole_text(text, 0, std::numeric_limits<uint64_t>::max(), seed))
        return "--seed: S must be a whole number from 0 to 18446744073709551615 (got " + shown_text(text) + ")";
    return {};
}

} // namespace varnolith
