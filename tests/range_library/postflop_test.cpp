// The postflop study through the C header: hit lines and flop rows read by their accessors, the CSV form, and
// filters with their refusals. The classes, their order and the figures are the engine's to test.

#include <gtest/gtest.h>

#include <varnolith/range.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>

#include "run_program.hpp"

namespace {

using Result = std::unique_ptr<varnolith_range_result, decltype(&varnolith_range_free)>;

// `ranges` on `board` with the hits asked, or else the flops.
Result compute(std::initializer_list<const char*> ranges, const char* board, bool hits) {
    varnolith_range_options options;
    varnolith_range_options_init(&options);
    (hits ? options.hits : options.flops) = 1;
    return {varnolith_range_compute(std::data(ranges), static_cast<int32_t>(ranges.size()), board, nullptr, &options),
            varnolith_range_free};
}

TEST(RangePostflop, HitLinesSplitTheRangeByName) {
    const Result r = compute({"QQ+, AKs", "JJ-88, AQs+"}, "Kh9h8d", true);
    ASSERT_EQ(varnolith_range_status(r.get()), VARNOLITH_RANGE_OK) << varnolith_range_message(r.get());
    ASSERT_EQ(varnolith_range_hits(r.get(), 0), 22);
    const char* name = nullptr;
    int32_t draw = -1;
    double combos = 0;
    ASSERT_EQ(varnolith_range_hit(r.get(), 0, 5, &name, &draw, &combos, nullptr, nullptr), VARNOLITH_RANGE_OK);
    EXPECT_EQ(std::string(name) + " " + std::to_string(draw) + " " + std::to_string(combos), "set 0 3.000000");
    // The last line, a draw; none past it, nor for a third player, nor flops.
    ASSERT_EQ(varnolith_range_hit(r.get(), 0, 21, &name, &draw, nullptr, nullptr, nullptr), VARNOLITH_RANGE_OK);
    EXPECT_EQ(draw, 1) << name;
    EXPECT_EQ(varnolith_range_hit(r.get(), 0, 22, nullptr, nullptr, nullptr, nullptr, nullptr),
              VARNOLITH_RANGE_ERROR_ARGUMENT);
    EXPECT_EQ(varnolith_range_hits(r.get(), 2), 0);
    EXPECT_EQ(varnolith_range_flops(r.get()), 0);
    EXPECT_EQ(varnolith_range_report(r.get(), VARNOLITH_RANGE_CSV, 0, nullptr, 0), 0u);
}

TEST(RangePostflop, FlopRowsAndTheirCsvAreTheCommands) {
    const Result r = compute({"AA", "KK"}, nullptr, false);
    ASSERT_EQ(varnolith_range_status(r.get()), VARNOLITH_RANGE_OK) << varnolith_range_message(r.get());
    std::string csv(varnolith_range_report(r.get(), VARNOLITH_RANGE_CSV, 0, nullptr, 0), '\0');
    varnolith_range_report(r.get(), VARNOLITH_RANGE_CSV, 0, csv.data(), csv.size() + 1);
    EXPECT_EQ(csv, varnolith::testing::run_program("'" VARNOLITH_COMMAND_PATH "' --flops --csv AA KK").out);
    // Each row as the accessors read it starts its line of the CSV.
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line); // the header
    int32_t rows = 0;
    for (char flop[7]; std::getline(lines, line); ++rows) {
        int32_t flops = 0;
        ASSERT_EQ(varnolith_range_flop(r.get(), rows, flop, &flops, nullptr), VARNOLITH_RANGE_OK);
        EXPECT_EQ(line.rfind(std::string(flop) + "," + std::to_string(flops) + ",", 0), 0u) << line;
    }
    EXPECT_EQ(varnolith_range_flops(r.get()), rows);
    EXPECT_TRUE(std::isnan(varnolith_range_flop_equity(r.get(), rows, 0)));
    const Result board = compute({"AA", "KK"}, "6c7d8h", false);
    EXPECT_EQ(varnolith_range_status(board.get()), VARNOLITH_RANGE_ERROR_ARGUMENT);
    EXPECT_STREQ(varnolith_range_error_field(board.get()), "flops");
}

// A bad name is the engine's to refuse (its field here); a null one the C layer's.
TEST(RangePostflop, FilterKeepsNamedClassesAndRefusesBadNames) {
    const char* ranges[] = {"KK, 99, AQ", "88-66", "AA"};
    const auto filter = [&](int32_t count, const char* names) {
        return Result{varnolith_range_filter(ranges, count, "Kh9h8d", nullptr, names, nullptr), varnolith_range_free};
    };
    const Result r = filter(3, "set, !nothing");
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
    for (const char* names : {"sets", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(varnolith_range_status(filter(1, names).get()), VARNOLITH_RANGE_ERROR_ARGUMENT);
        EXPECT_STREQ(varnolith_range_error_field(filter(1, names).get()), "filter");
    }
}

} // namespace
