#pragma once
// How a range's equity is spread over its combinations: the combinations
// weakest first, each as wide as its share of the player's deals.

#include <vector>

#include "ranges/equity.hpp"

namespace varnolith {

struct CurveStep {
    double equity = 0;
    double share_to = 0; // this combination's share and every weaker one's, out of 1
};

// Live combinations with an equity and a share, by equity ascending (equal
// equities in the range's order); the last step's share_to is 1.
std::vector<CurveStep> equity_curve(const RangePlayerResult& player);

// The weighted q-quantile, 0 < q <= 1: the smallest equity e such that the
// combinations with equity at most e hold at least q of the shares. With four
// equal shares at 10, 20, 30 and 40%, q = 0.5 gives 20% and q = 0.51 30%.
// NaN for an empty curve.
double equity_percentile(const std::vector<CurveStep>& curve, double q);

} // namespace varnolith
