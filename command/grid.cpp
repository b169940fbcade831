#include "grid.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace varnolith {

namespace {

// The usual three-colour scale; dark text stays readable on all of it.
constexpr Rgb scale_low{248, 105, 107};
constexpr Rgb scale_middle{255, 235, 132};
constexpr Rgb scale_high{99, 190, 123};

int blend(int from, int to, double t) { return static_cast<int>(std::lround(from + (to - from) * t)); }

Rgb blend(Rgb from, Rgb to, double t) {
    return {blend(from.red, to.red, t), blend(from.green, to.green, t), blend(from.blue, to.blue, t)};
}

// The six levels each channel of the terminal's cube takes.
constexpr std::array<int, 6> cube_levels{0, 95, 135, 175, 215, 255};

int cube_step(int channel) {
    int best = 0;
    for (int i = 1; i < static_cast<int>(cube_levels.size()); ++i)
        if (std::abs(cube_levels[static_cast<std::size_t>(i)] - channel) <
            std::abs(cube_levels[static_cast<std::size_t>(best)] - channel))
            best = i;
    return best;
}

} // namespace

RangeGrid range_grid(const RangePlayerResult& player) {
    RangeGrid grid;
    std::array<double, hand_class_count> share{}; // sum of weight * equity
    std::array<double, hand_class_count> counted{}; // the weight that has an equity
    for (int i = 0; i < hand_class_count; ++i) grid[static_cast<std::size_t>(i)].name = hand_class_name(i);
    for (const HandEquity& h : player.hands) {
        const auto at = static_cast<std::size_t>(hand_class_index(h.hand));
        grid[at].weight += h.weight;
        if (h.weight > 0 && !std::isnan(h.equity)) {
            share[at] += h.weight * h.equity;
            counted[at] += h.weight;
        }
    }
    for (std::size_t i = 0; i < grid.size(); ++i)
        grid[i].equity = counted[i] > 0 ? share[i] / counted[i] : std::numeric_limits<double>::quiet_NaN();
    return grid;
}

char grid_rank(int line) { return card_text(Card{highest_rank - line, 0})[0]; }

Rgb equity_colour(double equity) {
    const double e = std::clamp(equity, 0.0, 1.0);
    return e < 0.5 ? blend(scale_low, scale_middle, 2 * e) : blend(scale_middle, scale_high, 2 * e - 1);
}

int terminal_colour(Rgb colour) {
    return 16 + 36 * cube_step(colour.red) + 6 * cube_step(colour.green) + cube_step(colour.blue);
}

bool colour_wanted(bool output_is_terminal, const char* no_color) {
    return output_is_terminal && (no_color == nullptr || *no_color == '\0');
}

} // namespace varnolith
