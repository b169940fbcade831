#pragma once
// Monte Carlo runs to a precision: batches whose sizes depend only on the
// figures so far, so the stopping point is the same at any thread count.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "ranges/equity.hpp"

namespace varnolith {

inline double largest_error(const RangeResult& result) {
    double largest = 0;
    for (const RangePlayerResult& p : result.players) largest = std::max(largest, p.standard_error);
    return largest;
}

// `batch(first, last, planned)` runs trials [first, last), `planned` the
// trials the run now expects to need (0 while unknown) and `drawn` counting
// the trials run; `figures()` answers the result so far, or nothing while
// there is none.
template <class Batch, class Figures>
RangeResult run_to_precision(double precision, const int64_t& drawn, Batch batch, Figures figures) {
    constexpr int64_t first_batch = 20'000;
    int64_t next = first_batch;
    while (true) {
        // The first batch is what tells how many trials the run needs.
        batch(drawn, drawn + next, drawn == 0 ? 0 : drawn + next);
        const std::optional<RangeResult> result = figures();
        const double error = result ? largest_error(*result) : std::numeric_limits<double>::infinity();
        if (error <= precision) return *result;
        const double needed = static_cast<double>(drawn) * (error / precision) * (error / precision);
        next = std::isfinite(needed) ? std::clamp(static_cast<int64_t>(needed * 1.05) - drawn, first_batch, 4 * drawn)
                                     : 4 * drawn;
    }
}

} // namespace varnolith
