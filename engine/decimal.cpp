#include "decimal.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#if !defined(__EMSCRIPTEN__)
#include <charconv>
#endif

namespace varnolith {

namespace detail {

bool strtod_read_decimal(std::string_view text, double& value) {
    const std::string copy(text); // strtod wants the NUL
    char* end = nullptr;
    errno = 0;
    const double read = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size()) return false;
    // strtod says ERANGE for subnormal results too; from_chars takes those.
    if (errno == ERANGE && (read == 0.0 || std::isinf(read))) return false;
    value = read;
    return true;
}

namespace {

double read_back(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// The decimal one unit up or down in its last place: "0.25" -> "0.26" or
// "0.24"; "" when going down would leave zero or less.
std::string next_in_last_place(std::string text, int step) {
    for (std::size_t i = text.size(); i-- > 0;) {
        if (text[i] == '.') continue;
        if (step > 0) {
            if (text[i] != '9') {
                ++text[i];
                return text;
            }
            text[i] = '0';
        } else {
            if (text[i] != '0') {
                --text[i];
                return text.find_first_not_of("0.") == std::string::npos ? std::string() : text;
            }
            text[i] = '9';
        }
    }
    return step > 0 ? "1" + text : std::string();
}

} // namespace

// The precision is the smallest that reads back; of the texts of that
// precision the nearest, which is printf's own unless the value's rounding
// interval is lopsided (at a power of two) and a neighbour reads back instead.
std::string printf_fixed_shortest(double value) {
    for (int precision = 0;; ++precision) {
        const int length = std::snprintf(nullptr, 0, "%.*f", precision, value);
        std::string text(static_cast<std::size_t>(length), '\0');
        std::snprintf(text.data(), text.size() + 1, "%.*f", precision, value);
        if (read_back(text) == value) return text;
        for (const int step : {1, -1}) {
            const std::string neighbour = next_in_last_place(text, step);
            if (!neighbour.empty() && read_back(neighbour) == value) return neighbour;
        }
    }
}

} // namespace detail

#if defined(__EMSCRIPTEN__)

bool read_decimal(std::string_view text, double& value) { return detail::strtod_read_decimal(text, value); }

std::string fixed_shortest(double value) { return detail::printf_fixed_shortest(value); }

#else

bool read_decimal(std::string_view text, double& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::general);
    return error == std::errc{} && stop == end;
}

std::string fixed_shortest(double value) {
    char text[1100]; // the longest: a subnormal's 1074 decimals
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    return error == std::errc{} ? std::string(text, end) : std::string();
}

#endif

} // namespace varnolith
