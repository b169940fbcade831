// Ranges written back as notation: short, and read back to the same range.

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "ranges/notation/writer.hpp"

namespace varnolith {
namespace {

std::map<std::pair<int32_t, int32_t>, double> as_set(const Range& r) {
    std::map<std::pair<int32_t, int32_t>, double> set;
    for (const WeightedCombo& c : r) set[{card_index(c.hand.first), card_index(c.hand.second)}] = c.weight;
    return set;
}

TEST(RangeNotationOut, WritesWholeClassesAsRuns) {
    const std::pair<const char*, const char*> cases[] = {
        {"AA, KK, QQ, ATs, AJs, AQs, AKs, AKo", "QQ+, ATs+, AKo"}, {"AKs, AQs, AJs, ATs, AKo", "ATs+, AKo"},
        {"99, 88, 77, AJo, ATo, A9o, KQ", "99-77, AJo-A9o, KQ"},     {"AsKs, AhKh, AdKd, AcKc", "AKs"},
        {"random", "random"}, {"random:0.25", "random:0.25"},          {"AA, KK:0.5, AhKh", "AA, KK:0.5, AhKh"},
        {"66+, A6+", "66+, A6+"},                                      {"QQ:0.00001", "QQ:0.00001"},
        // A weight whose digits outrun any short buffer.
        {"QQ:0.0000000000000000000000000000000000000000000000000000000000000000000001",
         "QQ:0.0000000000000000000000000000000000000000000000000000000000000000000001"},
        // Strongest first, as players write them.
        {"QQ, AA", "AA, QQ"}, {"77, 99, KK+", "KK+, 99, 77"}, {"A7s, ATs+", "ATs+, A7s"},
        // Connectors and gappers down the square are one run from three on.
        {"T9s, 98s, 87s, 76s", "T9s-76s"}, {"AKo, KQo, QJo", "AKo-QJo"}, {"J9s, T8s, 97s, 86s", "J9s-86s"},
        {"T9, 98, 87", "T9-87"},           {"T9s, 98s", "T9s, 98s"},    {"AKs, KQs, QJs, JTs, K9s", "AKs-JTs, K9s"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(range_notation(parse_range(in)), out) << in;
    EXPECT_EQ(range_notation({}), "");
}

// Random subsets of random classes and combinations at a few weights.
TEST(RangeNotationOut, ReadsBackToTheSameRange) {
    std::mt19937_64 random(7);
    const double weights[] = {1.0, 0.5, 0.3, 1.0 / 3};
    for (int round = 0; round < 300; ++round) {
        Range range;
        const int mode = round % 3;
        for (int square = 0; square < hand_class_count; ++square) {
            if (random() % 3 != 0) continue;
            const double w = weights[random() % 4];
            for (WeightedCombo c : parse_range(hand_class_name(square))) {
                if (mode == 2 && random() % 2 == 0) continue; // a partial class
                c.weight = mode == 0 ? 1.0 : w;
                range.push_back(c);
            }
        }
        if (range.empty()) continue;
        EXPECT_EQ(as_set(parse_range(range_notation(range))), as_set(range)) << range_notation(range);
    }
}

} // namespace
} // namespace varnolith
