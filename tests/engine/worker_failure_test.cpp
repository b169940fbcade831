// A worker thread that fails inside the parallel region must not terminate
// the process: the drivers report the failure after the region, the exports
// turn it into the neutral 1/n and the range library into its internal error. Allocation failures are injected by
// replacing operator new for this test program only.

#include <gtest/gtest.h>
#include <omp.h>

#include <varnolith/range.h>
#include <varnolith/varnolith.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "test_cards.hpp"
#include "console_monte_carlo.hpp"
#include "monte_carlo.hpp"

static std::atomic<bool> fail_off_the_calling_thread{false};

// Out of line, so that the compiler does not pair an inlined free with new.
[[gnu::noinline]] void* operator new(std::size_t size) {
    if (fail_off_the_calling_thread && omp_in_parallel() && omp_get_thread_num() != 0) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
// std::stable_sort takes its buffer from this one and returns it to the delete below.
[[gnu::noinline]] void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size ? size : 1);
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace varnolith {
namespace {

TEST(WorkerFailure, DriversReportItAndExportsAnswerNeutrally) {
    omp_set_num_threads(2);
    const std::vector<HoleHand> hands = {testing::hand("Ah Kd"), testing::hand("Qs Qc")};
    const auto records = testing::records("Ah Kd Qs Qc");
    std::vector<double> results(2);
    fail_off_the_calling_thread = true;
    EXPECT_THROW(monte_carlo_equity(hands, {}, 10'000, results), std::runtime_error);
    EXPECT_THROW(console_monte_carlo(hands, {}, 10'000), std::runtime_error);
    compute_equity_montecarlo_ultra_fast(records.data(), 2, nullptr, 0, 10'000, results.data());
    EXPECT_EQ(results, (std::vector<double>{0.5, 0.5}));
    const char* ranges[] = {"AhKd", "QsQc"};
    varnolith_range_options options;
    varnolith_range_options_init(&options);
    options.method = VARNOLITH_RANGE_MONTE_CARLO;
    options.trials = 10'000;
    options.threads = 2;
    varnolith_range_result* failed = varnolith_range_compute(ranges, 2, nullptr, nullptr, &options);
    EXPECT_EQ(varnolith_range_status(failed), VARNOLITH_RANGE_ERROR_INTERNAL) << varnolith_range_message(failed);
    varnolith_range_free(failed);
    fail_off_the_calling_thread = false; // and the next call succeeds
    compute_equity_montecarlo_ultra_fast(records.data(), 2, nullptr, 0, 10'000, results.data());
    EXPECT_NE(results[0], 0.5);
}

} // namespace
} // namespace varnolith
