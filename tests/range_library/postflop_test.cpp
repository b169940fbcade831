// The postflop study through the C header: hit lines and flop rows read by
// their accessors, the CSV form, and filters with their refusals.

#include <gtest/gtest.h>

#include <varnolith/range.h>

#include <cmath>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "run_program.hpp"

namespace {

using Result = std::unique_ptr<varnolith_range_result, decltype(&varnolith_range_free)>;

Result compute(std::vector<const char*> ranges, const char* board, const std::function<void(varnolith_range_options&)>& set) {
    varnolith_range_options options;
    varnolith_range_options_init(&options);
    set(options);
    return {varnolith_range_compute(ranges.data(), static_cast<int32_t>(ranges.size()), board, nullptr, &options),
            varnolith_range_free};
}

std::string report(const varnolith_range_result* r, int32_t form) {
    std::string text(varnolith_range_report(r, form, 0, nullptr, 0), '\0');
    varnolith_range_report(r, form, 0, text.data(), text.size() + 1);
    return text;
}

TEST(RangePostflop, HitLinesSplitTheRangeByName) {
    const Result r = compute({"QQ+, AKs", "JJ-88, AQs+"}, "Kh9h8d", [](varnolith_range_options& o) { o.hits = 1; });
    ASSERT_EQ(varnolith_range_status(r.get()), VARNOLITH_RANGE_OK) << varnolith_range_message(r.get());
    // The figures are the engine's; here the accessors' order, names and bounds.
    ASSERT_EQ(varnolith_range_hits(r.get(), 0), 22);
    for (int32_t i = 0; i < 22; ++i) {
        const char* name = nullptr;
        int32_t draw = -1;
        double combos = 0;
        ASSERT_EQ(varnolith_range_hit(r.get(), 0, i, &name, &draw, &combos, nullptr, nullptr), VARNOLITH_RANGE_OK);
        EXPECT_EQ(draw, i >= 15 ? 1 : 0) << name;
        if (i == 5) {
            EXPECT_EQ(std::string(name) + " " + std::to_string(combos), "set 3.000000");
        }
    }
    EXPECT_EQ(varnolith_range_hit(r.get(), 0, 22, nullptr, nullptr, nullptr, nullptr, nullptr), VARNOLITH_RANGE_ERROR_ARGUMENT);
    EXPECT_EQ(varnolith_range_hits(r.get(), 2), 0);
    EXPECT_EQ(varnolith_range_flops(r.get()), 0);
    EXPECT_EQ(report(r.get(), VARNOLITH_RANGE_CSV), ""); // no flops to write
}

TEST(RangePostflop, FlopRowsAndTheirCsvAreTheCommands) {
    const Result r = compute({"AA", "KK"}, nullptr, [](varnolith_range_options& o) { o.flops = 1; });
    ASSERT_EQ(varnolith_range_status(r.get()), VARNOLITH_RANGE_OK) << varnolith_range_message(r.get());
    const std::string csv = report(r.get(), VARNOLITH_RANGE_CSV);
    EXPECT_EQ(csv, varnolith::testing::run_program("'" VARNOLITH_COMMAND_PATH "' --flops --csv AA KK").out);
    // Each row as the accessors read it starts its line of the CSV.
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    int32_t rows = 0;
    for (; std::getline(lines, line); ++rows) {
        char flop[7];
        int32_t flops = 0;
        ASSERT_EQ(varnolith_range_flop(r.get(), rows, flop, &flops, nullptr), VARNOLITH_RANGE_OK);
        EXPECT_EQ(line.rfind(std::string(flop) + "," + std::to_string(flops) + ",", 0), 0u) << line;
    }
    EXPECT_EQ(varnolith_range_flops(r.get()), rows);
    EXPECT_TRUE(std::isnan(varnolith_range_flop_equity(r.get(), rows, 0)));
    const Result board = compute({"AA", "KK"}, "6c7d8h", [](varnolith_range_options& o) { o.flops = 1; });
    EXPECT_EQ(varnolith_range_status(board.get()), VARNOLITH_RANGE_ERROR_ARGUMENT);
    EXPECT_STREQ(varnolith_range_error_field(board.get()), "flops");
}

TEST(RangePostflop, FilterKeepsNamedClassesAndRefusesBadNames) {
    const char* ranges[] = {"KK, 99, AQ", "88-66", "AA"};
    const Result r{varnolith_range_filter(ranges, 3, "Kh9h8d", nullptr, "set, !nothing", nullptr), varnolith_range_free};
    ASSERT_EQ(varnolith_range_status(r.get()), VARNOLITH_RANGE_OK) << varnolith_range_message(r.get());
    const auto filtered = [&](int32_t player) {
        std::string text(varnolith_range_filtered(r.get(), player, nullptr, 0), '\0');
        varnolith_range_filtered(r.get(), player, text.data(), text.size() + 1);
        return text;
    };
    EXPECT_EQ(filtered(0), "KdKc, KsKc, KsKd, 9d9c, 9s9c, 9s9d");
    EXPECT_EQ(filtered(1), "8h8c, 8s8c, 8s8h");
    EXPECT_EQ(filtered(2), ""); // nothing kept
    EXPECT_EQ(varnolith_range_filtered(r.get(), 3, nullptr, 0), 0u);
    EXPECT_EQ(varnolith_range_players(r.get()), 0); // no figures
    const Result bad{varnolith_range_filter(ranges, 1, "Kh9h8d", nullptr, "sets", nullptr), varnolith_range_free};
    EXPECT_EQ(varnolith_range_status(bad.get()), VARNOLITH_RANGE_ERROR_ARGUMENT);
    EXPECT_STREQ(varnolith_range_error_field(bad.get()), "filter");
    const Result no_ranges{varnolith_range_filter(nullptr, 1, "Kh9h8d", nullptr, "set", nullptr), varnolith_range_free};
    EXPECT_EQ(varnolith_range_status(no_ranges.get()), VARNOLITH_RANGE_ERROR_ARGUMENT);
}

} // namespace
