// Every seven-card set of the 36-card deck, fast evaluator against the plain one.

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "evaluator.hpp"
#include "reference_evaluator.hpp"

namespace varnolith {
namespace {

TEST(EvaluateSevenExhaustive, MatchesTheReferenceOnEverySevenCardSet) {
    const auto deck = full_deck();
    std::array<int64_t, 9> category_count{};
    std::array<HandValue, 9> smallest, largest;
    smallest.fill(INT32_MAX);
    largest.fill(INT32_MIN);
    std::vector<bool> seen(9'000'000, false);
    int64_t sets = 0, mismatches = 0;
    std::array<Card, 7> seven;
    int i[7];
    for (i[0] = 0; i[0] < 30; ++i[0])
        for (i[1] = i[0] + 1; i[1] < 31; ++i[1])
            for (i[2] = i[1] + 1; i[2] < 32; ++i[2])
                for (i[3] = i[2] + 1; i[3] < 33; ++i[3])
                    for (i[4] = i[3] + 1; i[4] < 34; ++i[4])
                        for (i[5] = i[4] + 1; i[5] < 35; ++i[5])
                            for (i[6] = i[5] + 1; i[6] < 36; ++i[6]) {
                                for (int k = 0; k < 7; ++k) seven[k] = deck[i[k]];
                                const HandValue value = evaluate_seven(seven);
                                if (value != testing::reference_evaluate(seven) && ++mismatches <= 5)
                                    ADD_FAILURE() << "mismatch at set " << sets << ": " << value;
                                ++sets;
                                const int category = value / 1'000'000;
                                ASSERT_TRUE(value > 0 && category < 9) << value;
                                ++category_count[category];
                                smallest[category] = std::min(smallest[category], value);
                                largest[category] = std::max(largest[category], value);
                                seen[value] = true;
                            }
    EXPECT_EQ(sets, 8'347'680);
    EXPECT_EQ(mismatches, 0);
    const std::array<int64_t, 9> expected_count = {233'100, 2'316'600, 3'157'056, 607'200, 1'169'940,
                                                   633'024, 175'560,   44'640,    10'560};
    EXPECT_EQ(category_count, expected_count);
    const std::array<HandValue, 9> expected_smallest = {701'243,   1'061'319, 2'070'611, 3'061'109, 4'000'009,
                                                        5'000'607, 6'589'161, 7'000'607, 8'000'009};
    const std::array<HandValue, 9> expected_largest = {755'499,   1'141'431, 2'141'312, 3'141'312, 4'000'014,
                                                       5'001'413, 6'755'499, 7'001'413, 8'000'014};
    EXPECT_EQ(smallest, expected_smallest);
    EXPECT_EQ(largest, expected_largest);
    std::array<int, 9> distinct{};
    for (int v = 0; v < 9'000'000; ++v)
        if (seen[v]) ++distinct[v / 1'000'000];
    const std::array<int, 9> expected_distinct = {10, 138, 203, 125, 6, 72, 120, 72, 6};
    EXPECT_EQ(distinct, expected_distinct);
}

} // namespace
} // namespace varnolith
