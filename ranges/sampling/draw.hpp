#pragma once
// The random draws of range Monte Carlo: a trial's own stream of words, a
// uniform index from one word, a range's combination by weight from one word.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "random.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

__extension__ using u128 = unsigned __int128;

// A uniform index below n from one word: the high half of a 64 x 64 product.
inline uint32_t below(uint64_t word, std::size_t n) {
    return static_cast<uint32_t>((static_cast<u128>(word) * n) >> 64);
}

// A uniform double in [0, 1) from the word's top 53 bits.
inline double unit_interval(uint64_t word) { return static_cast<double>(word >> 11) * 0x1p-53; }

// Draw k of trial t: a second SplitMix64 stream keyed by the trial's position
// in the run's stream, so a trial may draw as often as it needs.
struct TrialStream {
    uint64_t key;
    uint64_t next = 0;
    TrialStream(uint64_t run_key, int64_t trial) : key(mix64(run_key + (static_cast<uint64_t>(trial) + 1) * golden_gamma)) {}
    uint64_t operator()() { return mix64(key + ++next * 0xD1B5'4A32'D192'ED03); }
};

// Vose's alias table: column by one uniform word, then the column or its alias
// by the same word's fractional part.
struct AliasTable {
    std::vector<uint64_t> keep; // keep the column when the fraction is below this (2^64 scale)
    std::vector<uint32_t> alias;

    AliasTable() = default;
    explicit AliasTable(const std::vector<LiveCombo>& live) : AliasTable(weights_of(live)) {}

    explicit AliasTable(const std::vector<double>& weights) : keep(weights.size()), alias(weights.size()) {
        const std::size_t n = weights.size();
        double total = 0;
        for (const double w : weights) total += w;
        std::vector<double> scaled(n);
        std::vector<uint32_t> small, large;
        for (std::size_t i = 0; i < n; ++i) {
            scaled[i] = weights[i] * static_cast<double>(n) / total;
            (scaled[i] < 1.0 ? small : large).push_back(static_cast<uint32_t>(i));
        }
        while (!small.empty() && !large.empty()) {
            const uint32_t s = small.back(), l = large.back();
            small.pop_back();
            keep[s] = to_threshold(scaled[s]);
            alias[s] = l;
            scaled[l] -= 1.0 - scaled[s];
            if (scaled[l] < 1.0) {
                large.pop_back();
                small.push_back(l);
            }
        }
        for (const uint32_t i : large) keep[i] = UINT64_MAX, alias[i] = i;
        for (const uint32_t i : small) keep[i] = UINT64_MAX, alias[i] = i; // rounding leftovers: probability 1
    }

    static std::vector<double> weights_of(const std::vector<LiveCombo>& live) {
        std::vector<double> weights;
        for (const LiveCombo& c : live) weights.push_back(c.weight);
        return weights;
    }

    static uint64_t to_threshold(double p) {
        return p >= 1.0 ? UINT64_MAX : static_cast<uint64_t>(std::ldexp(std::max(p, 0.0), 64));
    }

    uint32_t draw(uint64_t word) const {
        const u128 product = static_cast<u128>(word) * keep.size();
        const auto column = static_cast<uint32_t>(product >> 64);
        return static_cast<uint64_t>(product) < keep[column] ? column : alias[column];
    }
};

} // namespace varnolith
