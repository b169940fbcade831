// varnolith_range_batch through the C header: the lines it counts, its refusals as a whole, and the answers.

#include <gtest/gtest.h>

#include <varnolith/range.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

using Result = std::unique_ptr<varnolith_range_result, decltype(&varnolith_range_free)>;

// A null `lines` with the length of `lines` when `null`.
Result batch(const std::string& lines, int32_t threads = 0, varnolith_range_stop* stop = nullptr, bool null = false) {
    return {varnolith_range_batch(null ? nullptr : lines.data(), lines.size(), threads, stop), varnolith_range_free};
}

const std::string flop = R"({"ranges": ["AhKd", "QsQc"], "board": "6c7d8h"})";

// One answer per line, the last line's newline optional, an empty line a line.
TEST(RangeBatch, AnswersEveryLine) {
    const std::pair<std::string, int64_t> cases[] = {{"", 0}, {"\n", 1}, {flop, 1}, {flop + "\n", 1},
                                                     {flop + "\n\n" + flop, 3}};
    for (const auto& [lines, count] : cases) {
        const Result r = batch(lines);
        ASSERT_EQ(varnolith_range_status(r.get()), VARNOLITH_RANGE_OK) << lines;
        EXPECT_EQ(varnolith_range_batch_lines(r.get()), count) << lines;
    }
    EXPECT_EQ(varnolith_range_status(batch("", 0, nullptr, true).get()), VARNOLITH_RANGE_OK);
    const Result r = batch(flop + "\nQQ\n");
    const auto text = [&](int64_t line) {
        std::string answer(varnolith_range_batch_answer(r.get(), line, nullptr, 0), '\0');
        varnolith_range_batch_answer(r.get(), line, answer.data(), answer.size() + 1);
        return answer;
    };
    EXPECT_EQ(text(0).rfind(R"({"method":"exact","rules":"straight","board":["6c","7d","8h"],)", 0), 0u);
    EXPECT_EQ(text(1), R"({"error":{"code":"bad_json","message":"the body is not JSON","field":null,"player":null}})");
    // Copied out as the reports are (tested with them); a line out of range is an empty text.
    char out[16];
    for (const int64_t line : {2, -1}) {
        std::memset(out, '#', sizeof out);
        EXPECT_EQ(varnolith_range_batch_answer(r.get(), line, out, sizeof out), 0u) << line;
        EXPECT_EQ(out[0], '\0') << line;
    }
    // A batch has no figures of its own; a single spot has no lines.
    EXPECT_EQ(varnolith_range_players(r.get()), 0);
    EXPECT_EQ(varnolith_range_report(r.get(), VARNOLITH_RANGE_JSON, 0, nullptr, 0), 0u);
    const char* ranges[] = {"AhKd", "QsQc"};
    const Result spot{varnolith_range_compute(ranges, 2, "6c7d8h", nullptr, nullptr), varnolith_range_free};
    EXPECT_EQ(varnolith_range_batch_lines(spot.get()), 0);
    EXPECT_EQ(varnolith_range_batch_answer(spot.get(), 0, nullptr, 0), 0u);
}

TEST(RangeBatch, RefusesTheCallAsAWhole) {
    varnolith_range_stop* stop = varnolith_range_stop_new();
    varnolith_range_stop_request(stop);
    const struct {
        Result r;
        int32_t status;
        const char* field;
    } cases[] = {{batch("abc", 0, nullptr, true), VARNOLITH_RANGE_ERROR_ARGUMENT, ""},
                 {batch(flop, -1), VARNOLITH_RANGE_ERROR_ARGUMENT, "threads"}, // the bounds are the engine's
                 {batch(flop, 0, stop), VARNOLITH_RANGE_ERROR_CANCELLED, ""}};
    varnolith_range_stop_free(stop);
    EXPECT_STREQ(varnolith_range_message(cases[0].r.get()), "no lines: the pointer is null");
    for (const auto& c : cases) {
        EXPECT_EQ(varnolith_range_status(c.r.get()), c.status) << c.field;
        EXPECT_STREQ(varnolith_range_error_field(c.r.get()), c.field);
        EXPECT_EQ(varnolith_range_batch_lines(c.r.get()), 0);
    }
}

} // namespace
