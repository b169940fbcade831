// Every seven-card set of the 36-card deck, the fast evaluator against the plain one.

#include <gtest/gtest.h>

#include <array>

#include "reference_evaluator.hpp"

namespace varnolith {
namespace {

TEST(EvaluateSevenExhaustive, MatchesTheReferenceOnEverySevenCardSet) {
    const auto deck = full_deck();
    std::vector<int64_t> per_category(10);
    int64_t mismatches = 0;
    // Each set is a 36-bit mask with seven bits set, visited in increasing order.
    for (uint64_t set = 0x7F; set < uint64_t{1} << 36;) {
        std::array<Card, 7> seven;
        for (uint64_t rest = set, k = 0; rest; rest &= rest - 1) seven[k++] = deck[__builtin_ctzll(rest)];
        const HandValue value = evaluate_seven(seven);
        if (value != testing::reference_evaluate(seven) && ++mismatches <= 5) ADD_FAILURE() << "mismatch: " << value;
        ++per_category[std::clamp(value / 1'000'000, 0, 9)];
        const uint64_t low = set & -set, carried = set + low; // the next mask with as many bits
        set = carried | (((carried ^ set) >> 2) / low);
    }
    EXPECT_EQ(mismatches, 0);
    // Sets per category, high card to straight flush, and none above.
    EXPECT_EQ(per_category, (std::vector<int64_t>{233'100, 2'316'600, 3'157'056, 607'200, 1'169'940, 633'024, 175'560,
                                                   44'640, 10'560, 0}));
}

} // namespace
} // namespace varnolith
