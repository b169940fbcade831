#pragma once
// Every flop of a preflop spot: how likely it is given the ranges and the dead
// cards, and each player's equity when it comes, exactly. It is the preflop
// exact run with each board's sums kept and shared among the ten flops the
// board holds, so it costs about what the run does.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "ranges/equity.hpp"
#include "ranges/exact/suit_symmetry.hpp"
#include "ranges/spot.hpp"

namespace varnolith {

enum class FlopSuits : uint8_t { rainbow, two_tone, monotone };
enum class FlopPairing : uint8_t { unpaired, paired, trips };
inline constexpr std::array<std::string_view, 3> flop_suits_names{"rainbow", "two_tone", "monotone"};
inline constexpr std::array<std::string_view, 3> flop_pairing_names{"unpaired", "paired", "trips"};

struct FlopTexture {
    FlopSuits suits = FlopSuits::rainbow;
    FlopPairing pairing = FlopPairing::unpaired;
    int32_t high = 0;               // the highest rank, 6..14
    bool straight_possible = false; // some two hole cards make a straight with it
};

FlopTexture flop_texture(const Board& flop);

// The flops a relabelling of the suits that leaves the spot unchanged maps
// onto one another: one row for them all, their figures the same.
struct FlopRow {
    Board flop;               // one of them, highest card first
    int flops = 0;            // how many flops the row stands for
    double probability = 0;   // of any one of them coming, summed over the row
    std::vector<double> equity; // per player, on any one of them
    FlopTexture texture;
};

// A texture group's flops together: their probability and each player's
// equity given that one of them comes.
struct TextureGroup {
    std::string_view kind;  // "suits", "pairing", "high_card", "straight_possible"
    std::string texture;    // "rainbow", ..., "A", ..., "yes", "no"
    int flops = 0;
    double probability = 0;
    std::vector<double> equity;
};

struct FlopReport {
    RangeResult preflop;          // the exact preflop figures, from the same run
    std::vector<FlopRow> rows;    // by player 1's equity, highest first
    std::vector<TextureGroup> textures;
};

// Throws RangeError (usage, field flops) for a spot with board cards, and what
// the exact driver throws.
FlopReport flop_report(const RangeSpot& spot, const RangeOptions& options);

// The same on a preflop spot already prepared, with a compatible deal and its
// suit symmetry found.
FlopReport flop_report(const PreparedSpot& spot, const SuitSymmetry& symmetry, const RangeOptions& options);

} // namespace varnolith
