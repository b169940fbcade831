// A worker thread that fails inside the parallel region must not terminate
// the process: the drivers report the failure after the region, and the
// exports turn it into the neutral 1/n. Allocation failures are injected by
// replacing operator new for this test program only.

#include <gtest/gtest.h>
#include <omp.h>

#include <varnolith/varnolith.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "card_text.hpp"
#include "console_monte_carlo.hpp"
#include "monte_carlo.hpp"
#include "thread_count.hpp"

namespace {

std::atomic<bool> fail_off_the_calling_thread{false};

} // namespace

// Out of line, so that the compiler does not pair an inlined free with new.
[[gnu::noinline]] void* operator new(std::size_t size) {
    if (fail_off_the_calling_thread && omp_in_parallel() && omp_get_thread_num() != 0) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace varnolith {
namespace {

using testing::hand;

struct InjectedFailure {
    InjectedFailure() { fail_off_the_calling_thread = true; }
    ~InjectedFailure() { fail_off_the_calling_thread = false; }
};

const std::vector<HoleHand> hands = {hand("Ah Kd"), hand("Qs Qc")};

TEST(WorkerFailure, LibraryDriverReportsItAfterTheRegion) {
    const testing::ThreadCount two(2);
    std::vector<double> results;
    const InjectedFailure failing;
    EXPECT_THROW(monte_carlo_equity(hands, {}, 10'000, results), std::runtime_error);
}

TEST(WorkerFailure, ConsoleDriverReportsItAfterTheRegion) {
    const testing::ThreadCount two(2);
    const InjectedFailure failing;
    EXPECT_THROW(console_monte_carlo(hands, {}, 10'000), std::runtime_error);
}

TEST(WorkerFailure, ExportsWriteTheNeutralShare) {
    const testing::ThreadCount two(2);
    const int32_t records[8] = {14, 2, 13, 1, 12, 3, 12, 0};
    double results[2] = {0, 0};
    {
        const InjectedFailure failing;
        compute_equity_montecarlo_ultra_fast(records, 2, nullptr, 0, 10'000, results);
    }
    EXPECT_EQ(results[0], 0.5);
    EXPECT_EQ(results[1], 0.5);
    compute_equity_montecarlo_ultra_fast(records, 2, nullptr, 0, 10'000, results); // and it recovers
    EXPECT_NE(results[0], 0.5);
}

} // namespace
} // namespace varnolith
