#pragma once
// The thread team behind one seam. OpenMP runs it where the compiler has it;
// WebAssembly with threads (a cross-origin isolated page) runs it on the
// browser's Workers that emscripten keeps ready; a build with neither is a
// team of one. The range drivers ask only run_team, team_size and thread_index.

#include <algorithm>
#include <cstddef>
#include <vector>

#ifdef _OPENMP
#include <omp.h>
#elif defined(__EMSCRIPTEN_PTHREADS__)
#include <emscripten/threading.h>

#include <atomic>
#include <thread>
#endif

namespace varnolith {

#if !defined(_OPENMP) && defined(__EMSCRIPTEN_PTHREADS__)
namespace team_detail {
inline thread_local int size = 1, index = 0;
} // namespace team_detail
#endif

// The cores the machine offers; in a browser, those it tells the page of, for
// each of which the page starts a Worker beside its own thread.
inline int core_count() {
#ifdef _OPENMP
    return omp_get_num_procs();
#elif defined(__EMSCRIPTEN_PTHREADS__)
    return std::max(1, emscripten_num_logical_cores());
#else
    return 1;
#endif
}

// The threads a parallel region would start by default.
inline int default_team_size() {
#ifdef _OPENMP
    return omp_get_max_threads();
#else
    return core_count();
#endif
}

// Inside run_team's body: how many threads the team has, and which one this
// is (the caller is 0).
inline int team_size() {
#ifdef _OPENMP
    return omp_get_num_threads();
#elif defined(__EMSCRIPTEN_PTHREADS__)
    return team_detail::size;
#else
    return 1;
#endif
}

inline int thread_index() {
#ifdef _OPENMP
    return omp_get_thread_num();
#elif defined(__EMSCRIPTEN_PTHREADS__)
    return team_detail::index;
#else
    return 0;
#endif
}

// A thread's small working vector, given a cache line of room past its end:
// another thread's, allocated beside it on a heap the threads share (as in
// WebAssembly), then never shares a line it writes.
template <class T>
void keep_apart(std::vector<T>& v) {
    constexpr std::size_t line = 64;
    v.reserve(v.size() + line / sizeof(T) + 1);
}

// Runs body() once on each of up to `threads` threads, the caller among
// them, and returns when all are done. The body must not throw: a member's
// failure is the body's to note.
template <class Body>
void run_team([[maybe_unused]] int threads, Body&& body) {
#ifdef _OPENMP
#pragma omp parallel num_threads(threads)
    body();
#elif defined(__EMSCRIPTEN_PTHREADS__)
    // The members start together, once all exist: a member that could not be
    // started would leave its share undone, so then none starts and the run fails.
    const int team = std::clamp(threads, 1, core_count());
    std::atomic<int> start{0}; // 1: go; 2: give up
    std::vector<std::thread> others;
    others.reserve(static_cast<std::size_t>(team - 1));
    try {
        for (int i = 1; i < team; ++i)
            others.emplace_back([&body, &start, team, i] {
                start.wait(0);
                if (start != 1) return;
                team_detail::size = team;
                team_detail::index = i;
                body();
            });
    } catch (...) {
        start = 2;
        start.notify_all();
        for (std::thread& other : others) other.join();
        throw;
    }
    start = 1;
    start.notify_all();
    team_detail::size = team;
    body();
    team_detail::size = 1;
    for (std::thread& other : others) other.join();
#else
    body();
#endif
}

} // namespace varnolith
