// varnolith_range_batch through the C header: the lines it counts, the
// refusals of the call as a whole, and answers sized as the reports are,
// never written past the caller's buffer.

#include <gtest/gtest.h>

#include <varnolith/range.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

using Result = std::unique_ptr<varnolith_range_result, decltype(&varnolith_range_free)>;

Result batch(const std::string& lines, int32_t threads = 0, varnolith_range_stop* stop = nullptr) {
    return {varnolith_range_batch(lines.data(), lines.size(), threads, stop), varnolith_range_free};
}

std::string answer(const varnolith_range_result* result, int64_t line) {
    std::string text(varnolith_range_batch_answer(result, line, nullptr, 0), '\0');
    varnolith_range_batch_answer(result, line, text.data(), text.size() + 1);
    return text;
}

const std::string flop = R"({"ranges": ["AhKd", "QsQc"], "board": "6c7d8h"})";

// One answer per line, the last line's newline optional, an empty line a line.
TEST(RangeBatch, AnswersEveryLine) {
    const struct {
        std::string lines;
        int64_t count;
    } cases[] = {{"", 0}, {"\n", 1}, {flop, 1}, {flop + "\n", 1}, {flop + "\n\n" + flop, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        const Result r = batch(c.lines);
        ASSERT_EQ(varnolith_range_status(r.get()), VARNOLITH_RANGE_OK);
        EXPECT_EQ(varnolith_range_batch_lines(r.get()), c.count);
    }
    const Result r = batch(flop + "\nQQ\n");
    EXPECT_EQ(answer(r.get(), 0).rfind(R"({"method":"exact","rules":"straight","board":["6c","7d","8h"],)", 0), 0u);
    EXPECT_EQ(answer(r.get(), 1), R"({"error":{"code":"bad_json","message":"the body is not JSON","field":null,"player":null}})");
    // A batch has no figures of its own; a single spot has no lines.
    EXPECT_EQ(varnolith_range_players(r.get()), 0);
    EXPECT_EQ(varnolith_range_report(r.get(), VARNOLITH_RANGE_JSON, 0, nullptr, 0), 0u);
    const char* ranges[] = {"AhKd", "QsQc"};
    const Result spot{varnolith_range_compute(ranges, 2, "6c7d8h", nullptr, nullptr), varnolith_range_free};
    EXPECT_EQ(varnolith_range_batch_lines(spot.get()), 0);
    EXPECT_EQ(varnolith_range_batch_answer(spot.get(), 0, nullptr, 0), 0u);
}

TEST(RangeBatch, RefusesTheCallAsAWhole) {
    const Result null_lines{varnolith_range_batch(nullptr, 3, 0, nullptr), varnolith_range_free};
    EXPECT_EQ(varnolith_range_status(null_lines.get()), VARNOLITH_RANGE_ERROR_ARGUMENT);
    EXPECT_STREQ(varnolith_range_message(null_lines.get()), "no lines: the pointer is null");
    const Result no_lines{varnolith_range_batch(nullptr, 0, 0, nullptr), varnolith_range_free};
    EXPECT_EQ(varnolith_range_status(no_lines.get()), VARNOLITH_RANGE_OK);
    for (const int32_t threads : {-1, 257}) {
        const Result r = batch(flop, threads);
        EXPECT_EQ(varnolith_range_status(r.get()), VARNOLITH_RANGE_ERROR_ARGUMENT);
        EXPECT_STREQ(varnolith_range_error_field(r.get()), "threads");
        EXPECT_EQ(varnolith_range_batch_lines(r.get()), 0);
    }
    varnolith_range_stop* stop = varnolith_range_stop_new();
    varnolith_range_stop_request(stop);
    const Result stopped = batch(flop, 0, stop);
    EXPECT_EQ(varnolith_range_status(stopped.get()), VARNOLITH_RANGE_ERROR_CANCELLED);
    EXPECT_EQ(varnolith_range_batch_lines(stopped.get()), 0);
    varnolith_range_stop_free(stop);
}

// The answer is copied as the reports are (sized as snprintf sizes, tested
// with them); a line out of range is an empty text.
TEST(RangeBatch, AnswersOnlyTheLinesItRead) {
    const Result r = batch(flop + "\n[]");
    const std::string whole = answer(r.get(), 1);
    EXPECT_EQ(whole.rfind(R"({"error":{"code":"bad_request",)", 0), 0u);
    char out[16];
    for (const int64_t line : {2, -1}) {
        std::memset(out, '#', sizeof out);
        EXPECT_EQ(varnolith_range_batch_answer(r.get(), line, out, sizeof out), 0u) << line;
        EXPECT_EQ(out[0], '\0') << line;
    }
    EXPECT_EQ(varnolith_range_batch_answer(r.get(), 1, out, 11), whole.size());
    EXPECT_EQ(std::string(out), whole.substr(0, 10));
}

} // namespace
