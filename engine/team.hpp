#pragma once
// The thread team's questions behind one seam: OpenMP answers them where the
// compiler has it; a build without it (WebAssembly) is a team of one, and its
// `#pragma omp` lines are left aside by the compiler.

#ifdef _OPENMP
#include <omp.h>
#endif

namespace varnolith {

// The cores the machine offers.
inline int core_count() {
#ifdef _OPENMP
    return omp_get_num_procs();
#else
    return 1;
#endif
}

// The threads a parallel region would start by default.
inline int default_team_size() {
#ifdef _OPENMP
    return omp_get_max_threads();
#else
    return 1;
#endif
}

// Inside a parallel region: how many threads it has, and which one this is.
inline int team_size() {
#ifdef _OPENMP
    return omp_get_num_threads();
#else
    return 1;
#endif
}

inline int thread_index() {
#ifdef _OPENMP
    return omp_get_thread_num();
#else
    return 0;
#endif
}

} // namespace varnolith
