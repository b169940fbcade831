#pragma once
// Sets the OpenMP thread count for one test and restores it afterwards.

#include <omp.h>

namespace varnolith::testing {

struct ThreadCount {
    int saved = omp_get_max_threads();
    explicit ThreadCount(int threads) { omp_set_num_threads(threads); }
    ~ThreadCount() { omp_set_num_threads(saved); }
    ThreadCount(const ThreadCount&) = delete;
    ThreadCount& operator=(const ThreadCount&) = delete;
};

} // namespace varnolith::testing
