#pragma once
// Counter-based random numbers: draw d of trial t in a run is a pure function
// of (run key, t, d), so results do not depend on which thread ran a trial or
// how many threads there were, and no two trials share a number.

#include <cstdint>

namespace varnolith {

inline constexpr uint64_t golden_gamma = 0x9E37'79B9'7F4A'7C15;

// SplitMix64's output function: a bijection with strong avalanche.
constexpr uint64_t mix64(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58'476D'1CE4'E5B9;
    z = (z ^ (z >> 27)) * 0x94D0'49BB'1331'11EB;
    return z ^ (z >> 31);
}

// Position 4t + w of the run's SplitMix64 stream gives trial t's draws 2w and
// 2w + 1 as its two 32-bit halves; a trial draws at most five.
constexpr uint64_t trial_word(uint64_t run_key, uint64_t trial, uint32_t word) {
    return mix64(run_key + (trial * 4 + word + 1) * golden_gamma);
}

// x mod d for 32-bit x without a hardware divide: Lemire's exact
// multiply-shift reduction with a constant fixed once per divisor.
struct FastModulo {
    uint64_t multiplier = 0;
    uint32_t divisor = 1;

    FastModulo() = default;
    explicit FastModulo(uint32_t d) : multiplier(UINT64_MAX / d + 1), divisor(d) {}

    uint32_t operator()(uint32_t x) const {
        __extension__ using u128 = unsigned __int128;
        return static_cast<uint32_t>((static_cast<u128>(multiplier * x) * divisor) >> 64);
    }
};

} // namespace varnolith
