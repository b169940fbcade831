// An exact run reports its progress while it runs, only forward, and stops
// when cancelled from anywhere, the progress callback included.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "card_text.hpp"
#include "ranges/equity.hpp"

namespace varnolith {
namespace {

struct Seen {
    std::vector<double> done;
    std::atomic<bool>* stop = nullptr; // set at the first report short of the end
};

void record(double done, void* context) {
    auto& seen = *static_cast<Seen*>(context);
    seen.done.push_back(done);
    if (seen.stop != nullptr && done < 1.0) *seen.stop = true;
}

TEST(RangeExactProgress, MovesForwardToTheEnd) {
    Seen seen;
    RangeOptions options{.progress = record, .progress_context = &seen};
    range_equity_exact({{parse_range("random, AcKd:0.5"), parse_range("QQ+, AK")}, {}, {}}, options);
    ASSERT_GE(seen.done.size(), 2u); // some on the way, and the end
    EXPECT_TRUE(std::is_sorted(seen.done.begin(), seen.done.end()));
    EXPECT_GT(seen.done.front(), 0.0);
    EXPECT_EQ(seen.done.back(), 1.0);
}

// Three wide ranges preflop take half a minute: the first report stops them.
TEST(RangeExactProgress, ACancelFromTheCallbackStopsTheRun) {
    std::atomic<bool> stop{false};
    Seen seen{{}, &stop};
    RangeOptions options{.progress = record, .progress_context = &seen, .cancel = &stop};
    const RangeSpot spot{{parse_range("random"), parse_range("random"), parse_range("random")}, {}, {}};
    EXPECT_THROW(range_equity_exact(spot, options), RangeCancelled);
    ASSERT_EQ(seen.done.size(), 1u);
    EXPECT_LT(seen.done[0], 0.01);
}

// Five wide ranges on a river: one board of minutes, cut into 16 slices of
// many seconds each, which report their progress as they go.
TEST(RangeExactProgress, ALongBoardReportsWithinIt) {
    std::atomic<bool> stop{false};
    Seen seen{{}, &stop};
    RangeOptions options{.threads = 1, .progress = record, .progress_context = &seen, .cancel = &stop};
    const Range random = parse_range("random");
    EXPECT_THROW(
        range_equity_exact({{random, random, random, random, random}, parse_card_list("6c 7d 8h 9s Tc"), {}}, options),
        RangeCancelled);
    ASSERT_EQ(seen.done.size(), 1u);
    EXPECT_GT(seen.done[0], 0.0);
    EXPECT_LT(seen.done[0], 1.0 / 16); // within the first slice
}

// Ten wide ranges: one hand near the top of the walk holds years of work, so
// progress and the cancel are looked for at every level.
TEST(RangeExactProgress, TenPlayersStopWhenCancelled) {
    std::atomic<bool> stop{false};
    Seen seen{{}, &stop};
    RangeOptions options{.progress = record, .progress_context = &seen, .cancel = &stop};
    const RangeSpot spot{std::vector<Range>(10, parse_range("random")), parse_card_list("6c 7d 8h 9s Tc"), {}};
    EXPECT_THROW(range_equity_exact(spot, options), RangeCancelled);
    ASSERT_EQ(seen.done.size(), 1u);
}

} // namespace
} // namespace varnolith
