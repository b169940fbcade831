// The range grid drawn in-process: the class of a combination and its place
// in the square, the terminal's colours, the SVG's titles. The command's tests
// check the plain square and the cells against --by-hand.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>

#include "card_text.hpp"
#include "grid.hpp"
#include "range.hpp"
#include "report.hpp"

namespace varnolith {
namespace {

// Pairs on the diagonal, suited above it, offsuit below, AA top left, and
// every one of the 630 combinations in the cell its class names.
TEST(CommandGrid, PlacesEveryCombinationInTheCellOfItsClass) {
    const std::pair<const char*, const char*> cases[] = {
        {"Ac Ad", "AA"}, {"Ah Kh", "AKs"}, {"Kd Ah", "AKo"}, {"Ah Kd", "AKo"}, {"Qs Qh", "QQ"},
        {"9c 8d", "98o"}, {"7h 6h", "76s"}, {"Ac 6c", "A6s"}, {"6d Ac", "A6o"}, {"6s 6c", "66"},
    };
    for (const auto& [hand, name] : cases) EXPECT_EQ(hand_class(testing::hand(hand)), name) << hand;
    std::array<int, hand_class_count> combos{};
    for (const WeightedCombo& c : parse_range("random")) ++combos[static_cast<std::size_t>(hand_class_index(c.hand))];
    const std::string ranks = "AKQJT9876";
    for (int index = 0; index < hand_class_count; ++index) {
        const int row = index / 9, column = index % 9;
        const std::string name = std::string{ranks[std::min(row, column)], ranks[std::max(row, column)]} +
                                 (row == column ? "" : row < column ? "s" : "o");
        EXPECT_EQ(hand_class_name(index), name);
        EXPECT_EQ(combos[static_cast<std::size_t>(index)], row == column ? 6 : row < column ? 4 : 12) << name;
    }
}

TEST(CommandGrid, ColoursOnlyATerminalWithoutNoColor) {
    const std::tuple<bool, const char*, bool> cases[] = {
        {true, nullptr, true}, {true, "", true}, {true, "1", false}, {false, nullptr, false}, {false, "", false}};
    for (const auto& [terminal, no_color, colour] : cases)
        EXPECT_EQ(colour_wanted(terminal, no_color), colour) << terminal << " " << (no_color ? no_color : "unset");
}

TEST(CommandGrid, ScaleRunsFromRedToGreen) {
    const std::pair<double, int> cases[] = {{-0.5, 203}, {0.0, 203}, {0.5, 222}, {1.0, 72}, {1.5, 72}};
    for (const auto& [equity, colour] : cases) EXPECT_EQ(terminal_colour(equity_colour(equity)), colour) << equity;
}

struct Drawn {
    CommandOptions options;
    RangeSpot spot;
    RangeResult result;

    Drawn(const std::vector<std::string>& ranges, const std::string& board) {
        options.ranges = ranges;
        for (const std::string& r : ranges) spot.ranges.push_back(parse_range(r));
        spot.board = parse_card_list(board);
        result = range_equity_exact(spot);
    }
    CommandReport report(bool colour) const { return {options, spot, result, 0, colour}; }
    std::string text(bool colour) const {
        std::ostringstream out;
        write_grid_text(out, report(colour));
        return out.str();
    }
};

TEST(CommandGrid, ColouredSquareIsThePlainOnePainted) {
    const Drawn d({"QQ+, AK, A9s+", "TT-77, AQo+, KQs"}, "6c7d8h");
    const std::string coloured = d.text(true);
    EXPECT_NE(coloured.find("\x1b[30;48;5;"), std::string::npos);
    const std::string stripped = std::regex_replace(coloured, std::regex("\x1b\\[[0-9;]*m"), "");
    EXPECT_EQ(stripped, d.text(false) + "\nScale     0%   25%   50%   75%  100%\n");
}

// Its cells are counted by grid_svg_check.py on the README's picture.
TEST(CommandGrid, SvgEscapesTheRangesInItsTitles) {
    Drawn d({"QQ+, AKs", "AQo, KQo"}, "Kh9c8d");
    d.options.ranges[1] = "AQo & <KQo>";
    const std::string svg = svg_picture(d.report(false));
    EXPECT_NE(svg.find(">AQo &amp; &lt;KQo&gt;</text>"), std::string::npos);
    EXPECT_EQ(svg.find("<KQo>"), std::string::npos);
}

} // namespace
} // namespace varnolith
