// The C library's reading and writing of decimals, which a build without the
// standard library's (WebAssembly) uses, held to std::from_chars and
// std::to_chars: the same accepted texts, the same doubles, the same digits.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <charconv>
#include <random>
#include <string>

#include "decimal.hpp"

namespace varnolith {
namespace {

std::string standard_fixed(double value) {
    char text[1100];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    return error == std::errc{} ? std::string(text, end) : "error";
}

TEST(Decimal, WritesTheDigitsToCharsWrites) {
    std::vector<double> values{1.0, 0.5, 0.1, 1.0 / 3, 0.3, 2.0 / 3, 1e-7, 5e-324, 2.2250738585072014e-308, 1e-70};
    for (int k = 1; k <= 80; ++k) values.push_back(std::ldexp(1.0, -k)); // lopsided intervals
    values.push_back(std::ldexp(1.0, -1022));
    std::mt19937_64 random(7);
    for (int i = 0; i < 5'000; ++i) { // doubles in (0, 1] with any digits, most of them above 1e-20
        const double value = std::bit_cast<double>(random() % 0x3FF0'0000'0000'0000 + 1);
        int exponent = 0;
        const double mantissa = std::frexp(value, &exponent); // in [0.5, 1)
        values.push_back(i % 50 == 0 ? value : std::ldexp(mantissa, -static_cast<int>(random() % 64)));
        values.push_back(std::round(value * 1000) / 1000 + 0.001); // weights as people type them
    }
    for (const double value : values) {
        ASSERT_EQ(detail::printf_fixed_shortest(value), standard_fixed(value)) << std::hexfloat << value;
        ASSERT_EQ(fixed_shortest(value), standard_fixed(value));
    }
}

TEST(Decimal, ReadsWhatFromCharsReadsAndRefusesWhatItRefuses) {
    std::vector<std::string> texts{"0",      "0.5",  "1",      "0.1",      "0e5",    "1e-320", "2e-324", "3e-324",
                                   "1e-400", "1e308", "1.8e308", "1e400", "00001.000", "2.4703282292062327e-324",
                                   "2.4703282292062328e-324", "0.30000000000000004", "9007199254740993"};
    std::mt19937_64 random(11);
    for (int i = 0; i < 20'000; ++i) {
        std::string text = std::to_string(random() % 100000);
        if (random() % 2) text.append(".").append(std::to_string(random()));
        if (random() % 3 == 0) text.append(random() % 2 ? "e-" : "e").append(std::to_string(random() % 330));
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        double standard = -1, portable = -1;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), standard);
        const bool read = error == std::errc{} && end == text.data() + text.size();
        ASSERT_EQ(detail::strtod_read_decimal(text, portable), read) << text;
        if (read) {
            ASSERT_EQ(std::bit_cast<uint64_t>(portable), std::bit_cast<uint64_t>(standard)) << text;
        }
    }
}

} // namespace
} // namespace varnolith
