#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "equity_result.hpp"
#include "report.hpp"

namespace varnolith {
namespace {

std::string enumeration_report(const EquityResult& result) {
    std::ostringstream out;
    print_enumeration_report(out, result);
    return out.str();
}

std::string monte_carlo_report(const EquityResult& result) {
    std::ostringstream out;
    print_monte_carlo_report(out, result);
    return out.str();
}

struct ReportCase {
    std::string name;
    EquityResult result;
    std::string enumeration;
    std::string monte_carlo;
};

TEST(Reports, PrintEachPlayerAsAThreeDecimalPercentage) {
    const std::vector<ReportCase> cases = {
        {"406 boards: 200 and 190 won outright, 16 split",
         {{200, 190}, {8.0, 8.0}, 406},
         "Equity: 51.232, 48.768\nWin: 49.261, 46.798\nTie: 1.970, 1.970\nTotal combinations: 406\n",
         "Equity: 51.232, 48.768\nWin: 49.261, 46.798\nTie: 1.970, 1.970\n"},
        {"one board won by the first player",
         {{1, 0}, {0.0, 0.0}, 1},
         "Equity: 100.000, 0.000\nWin: 100.000, 0.000\nTie: 0.000, 0.000\nTotal combinations: 1\n",
         "Equity: 100.000, 0.000\nWin: 100.000, 0.000\nTie: 0.000, 0.000\n"},
        {"one board split two ways",
         {{0, 0}, {0.5, 0.5}, 1},
         "Equity: 50.000, 50.000\nWin: 0.000, 0.000\nTie: 50.000, 50.000\nTotal combinations: 1\n",
         "Equity: 50.000, 50.000\nWin: 0.000, 0.000\nTie: 50.000, 50.000\n"},
        {"three players, one board split three ways",
         {{0, 0, 0}, {1.0 / 3.0, 1.0 / 3.0, 1.0 / 3.0}, 1},
         "Equity: 33.333, 33.333, 33.333\nWin: 0.000, 0.000, 0.000\nTie: 33.333, 33.333, 33.333\n"
         "Total combinations: 1\n",
         "Equity: 33.333, 33.333, 33.333\nWin: 0.000, 0.000, 0.000\nTie: 33.333, 33.333, 33.333\n"},
        {"a single player",
         {{3}, {1.0}, 4},
         "Equity: 100.000\nWin: 75.000\nTie: 25.000\nTotal combinations: 4\n",
         "Equity: 100.000\nWin: 75.000\nTie: 25.000\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(enumeration_report(c.result), c.enumeration) << c.name;
        EXPECT_EQ(monte_carlo_report(c.result), c.monte_carlo) << c.name;
    }
}

TEST(Reports, MonteCarloNeverPrintsATotalLine) {
    for (const int64_t trials : {int64_t{1}, int64_t{406}, int64_t{2'000'000}, int64_t{10'000'000}}) {
        const EquityResult result{{trials / 2, trials - trials / 2}, {0.0, 0.0}, trials};
        const std::string text = monte_carlo_report(result);
        EXPECT_EQ(text.find("Total"), std::string::npos) << trials;
        EXPECT_TRUE(text.ends_with("\nTie: 0.000, 0.000\n")) << text;
    }
}

TEST(Reports, EnumerationPrintsTheTotalAsAnInteger) {
    const EquityResult result{{1'000'000, 0}, {0.0, 0.0}, 1'000'000};
    const std::string text = enumeration_report(result);
    EXPECT_NE(text.find("\nTotal combinations: 1000000\n"), std::string::npos) << text;
}

TEST(Reports, LeaveTheStreamFormattingAsFound) {
    std::ostringstream out;
    out.precision(9);
    out << std::scientific;
    const auto flags = out.flags();
    print_enumeration_report(out, {{1, 0}, {0.0, 0.0}, 1});
    EXPECT_EQ(out.flags(), flags);
    EXPECT_EQ(out.precision(), 9);
}

} // namespace
} // namespace varnolith
