#include "grid.hpp"

#include "card_text.hpp"
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string_view>

namespace varnolith {

namespace {

// The usual three-colour scale; dark text stays readable on all of it. The
// page's web/style.css holds the same three, and a test keeps them equal.
constexpr Rgb scale_low{248, 105, 107};
constexpr Rgb scale_middle_colour{255, 235, 132};
constexpr Rgb scale_high{99, 190, 123};

// Picked by hand from the cube, one per tenth of the scale: the nearest cube
// colours fold whole tenths together around the middle.
constexpr std::array<int, 11> cube_tenths{203, 209, 215, 221, 222, 228, 186, 150, 114, 78, 72};

int blend(int from, int to, double t) { return static_cast<int>(std::lround(from + (to - from) * t)); }

Rgb blend(Rgb from, Rgb to, double t) {
    return {blend(from.red, to.red, t), blend(from.green, to.green, t), blend(from.blue, to.blue, t)};
}

} // namespace

std::array<double, hand_class_count> range_weights(const RangePlayerResult& player, const Range& range) {
    std::array<double, hand_class_count> sum{};
    std::array<int, hand_class_count> count{};
    std::size_t at = 0; // the live hands come in the range's order
    for (const HandEquity& h : player.hands) {
        while (at < range.size() && !(range[at].hand == h.hand)) ++at;
        if (at == range.size()) break;
        const auto cell = static_cast<std::size_t>(hand_class_index(h.hand));
        sum[cell] += range[at].weight;
        ++count[cell];
    }
    for (std::size_t i = 0; i < sum.size(); ++i)
        if (count[i] > 0) sum[i] /= count[i];
    return sum;
}

char grid_rank(int line) { return card_text(Card{highest_rank - line, 0})[0]; }

double scale_middle(ColourScale scale, std::size_t players) {
    return scale == ColourScale::fair ? 1.0 / static_cast<double>(players) : 0.5;
}

double scale_position(double equity, double middle) {
    const double e = std::clamp(equity, 0.0, 1.0);
    return e < middle ? 0.5 * e / middle : 0.5 + 0.5 * (e - middle) / (1 - middle);
}

double scale_equity(double position, double middle) {
    const double p = std::clamp(position, 0.0, 1.0);
    return p < 0.5 ? 2 * p * middle : middle + (2 * p - 1) * (1 - middle);
}

std::string scale_note(ColourScale scale, std::size_t players) {
    return scale == ColourScale::fair ? "yellow at the fair share, 1/" + std::to_string(players) : "";
}

std::string short_percent(double fraction) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", 100.0 * fraction);
    std::string shown = text;
    if (shown.ends_with(".0")) shown.resize(shown.size() - 2);
    return shown;
}

std::string hex_colour(Rgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red, c.green, c.blue);
    return text;
}

Rgb scale_colour(double position) {
    const double p = std::clamp(position, 0.0, 1.0);
    return p < 0.5 ? blend(scale_low, scale_middle_colour, 2 * p) : blend(scale_middle_colour, scale_high, 2 * p - 1);
}

int cube_colour(double position) {
    return cube_tenths[static_cast<std::size_t>(std::lround(10 * std::clamp(position, 0.0, 1.0)))];
}

TerminalColour terminal_colour(bool output_is_terminal, const char* no_color, const char* colorterm) {
    if (!output_is_terminal || (no_color != nullptr && *no_color != '\0')) return TerminalColour::none;
    const std::string_view depth = colorterm == nullptr ? "" : colorterm;
    return depth == "truecolor" || depth == "24bit" ? TerminalColour::rgb : TerminalColour::cube;
}

} // namespace varnolith
