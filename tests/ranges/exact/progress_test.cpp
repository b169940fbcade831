// An exact run reports its progress while it runs, only forward, and stops
// when cancelled from anywhere, the progress callback included.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <tuple>

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

// The first report, short of the end, cancels each run from the callback.
// Three wide ranges preflop take half a minute. Five on a river are one board
// of minutes, cut into 16 slices of many seconds each that report as they go.
// Ten hold years of work in one hand near the top of the walk, so progress and
// the cancel are looked for at every level.
TEST(RangeExactProgress, ACancelFromTheCallbackStopsTheRun) {
    const Range random = parse_range("random");
    // The spot, its threads, and a bound on where the first report comes.
    const std::tuple<RangeSpot, int, double> cases[] = {
        {{{random, random, random}, {}, {}}, 0, 0.01},
        {{std::vector<Range>(5, random), parse_card_list("6c 7d 8h 9s Tc"), {}}, 1, 1.0 / 16}, // within the first slice
        {{std::vector<Range>(10, random), parse_card_list("6c 7d 8h 9s Tc"), {}}, 0, 1.0},
    };
    for (const auto& [spot, threads, first_below] : cases) {
        std::atomic<bool> stop{false};
        Seen seen{{}, &stop};
        RangeOptions options{.threads = threads, .progress = record, .progress_context = &seen, .cancel = &stop};
        EXPECT_THROW(range_equity_exact(spot, options), RangeCancelled) << spot.ranges.size();
        ASSERT_EQ(seen.done.size(), 1u) << spot.ranges.size();
        EXPECT_GT(seen.done[0], 0.0);
        EXPECT_LT(seen.done[0], first_below);
    }
}

} // namespace
} // namespace varnolith
