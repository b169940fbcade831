#include "equity_curve.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace varnolith {

namespace {

// Shares are sums of many products: a boundary such as 2 of 4 equal shares
// must count as reached when rounding leaves it a hair short.
constexpr double share_slack = 1e-12;

} // namespace

std::vector<CurveStep> equity_curve(const RangePlayerResult& player) {
    std::vector<const HandEquity*> live;
    double total = 0;
    for (const HandEquity& h : player.hands)
        if (h.weight > 0 && !std::isnan(h.equity)) {
            live.push_back(&h);
            total += h.weight;
        }
    std::stable_sort(live.begin(), live.end(), [](const HandEquity* a, const HandEquity* b) { return a->equity < b->equity; });
    std::vector<CurveStep> curve;
    double running = 0;
    for (const HandEquity* h : live) {
        running += h->weight;
        curve.push_back({h->equity, running / total});
    }
    if (!curve.empty()) curve.back().share_to = 1;
    return curve;
}

double equity_percentile(const std::vector<CurveStep>& curve, double q) {
    for (const CurveStep& step : curve)
        if (step.share_to >= q - share_slack) return step.equity;
    return curve.empty() ? std::numeric_limits<double>::quiet_NaN() : curve.back().equity;
}

} // namespace varnolith
