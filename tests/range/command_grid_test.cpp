// The range grid drawn in-process: the class of a combination and its place
// in the square, the averages in the cells, the terminal's colours and the
// SVG's cells.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <regex>
#include <sstream>
#include <string>

#include "card_text.hpp"
#include "grid.hpp"
#include "range.hpp"
#include "report.hpp"

namespace varnolith {
namespace {

TEST(CommandGrid, NamesAndPlacesTheClassOfACombination) {
    const struct {
        std::string hand, name;
        int index;
    } cases[] = {
        {"Ac Ad", "AA", 0},  {"Ah Kh", "AKs", 1}, {"Kd Ah", "AKo", 9},  {"Ah Kd", "AKo", 9},  {"Qs Qh", "QQ", 20},
        {"Ts 9s", "T9s", 41}, {"9c 8d", "98o", 59}, {"8d 9c", "98o", 59}, {"7h 6h", "76s", 71}, {"6d Ac", "A6o", 72},
        {"Ac 6c", "A6s", 8}, {"6s 6c", "66", 80},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hand);
        EXPECT_EQ(hand_class(testing::hand(c.hand)), c.name);
        EXPECT_EQ(hand_class_index(testing::hand(c.hand)), c.index);
    }
}

// Pairs on the diagonal, suited above it, offsuit below, and every one of
// the 630 combinations in the cell its class names.
TEST(CommandGrid, SquareHoldsEveryCombinationOnce) {
    std::array<int, hand_class_count> combos{};
    for (const WeightedCombo& c : parse_range("random")) {
        const int index = hand_class_index(c.hand);
        ASSERT_EQ(hand_class_name(index), hand_class(c.hand)) << hand_text(c.hand);
        ++combos[static_cast<std::size_t>(index)];
    }
    for (int row = 0; row < 9; ++row)
        for (int column = 0; column < 9; ++column) {
            const int index = row * 9 + column;
            const std::string name = hand_class_name(index);
            SCOPED_TRACE(name);
            EXPECT_EQ(name[0], grid_rank(std::min(row, column)));
            EXPECT_EQ(name[1], grid_rank(std::max(row, column)));
            const int expected = row == column ? 6 : row < column ? 4 : 12;
            EXPECT_EQ(combos[static_cast<std::size_t>(index)], expected);
            EXPECT_EQ(name.size() == 2 ? ' ' : name[2], row == column ? ' ' : row < column ? 's' : 'o');
        }
}

TEST(CommandGrid, CellAveragesItsCombinationsByWeight) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    RangePlayerResult player;
    player.hands = {{testing::hand("Ah Kh"), 0.2, 0.5},
                    {testing::hand("Ad Kd"), 0.6, 1.0},
                    {testing::hand("Ah Kd"), 0.2, 0.25},
                    {testing::hand("Qs Qh"), 0.0, nan}};
    const RangeGrid grid = range_grid(player);
    EXPECT_EQ(grid[1].name, "AKs");
    EXPECT_DOUBLE_EQ(grid[1].weight, 0.8);
    EXPECT_DOUBLE_EQ(grid[1].equity, 0.875);
    EXPECT_DOUBLE_EQ(grid[9].weight, 0.2);
    EXPECT_DOUBLE_EQ(grid[9].equity, 0.25);
    EXPECT_EQ(grid[20].weight, 0.0); // in the range, but no deal allows it
    EXPECT_TRUE(std::isnan(grid[20].equity));
    EXPECT_TRUE(std::isnan(grid[0].equity)); // not in the range
}

TEST(CommandGrid, ColoursOnlyATerminalWithoutNoColor) {
    const struct {
        bool terminal;
        const char* no_color;
        bool colour;
    } cases[] = {
        {true, nullptr, true}, {true, "", true}, {true, "1", false}, {false, nullptr, false}, {false, "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(colour_wanted(c.terminal, c.no_color), c.colour)
            << c.terminal << " " << (c.no_color ? c.no_color : "unset");
}

TEST(CommandGrid, ScaleRunsFromRedToGreen) {
    const std::pair<double, int> cases[] = {{-0.5, 203}, {0.0, 203}, {0.5, 222}, {1.0, 72}, {1.5, 72}};
    for (const auto& [equity, colour] : cases) EXPECT_EQ(terminal_colour(equity_colour(equity)), colour) << equity;
}

struct Drawn {
    CommandOptions options;
    RangeSpot spot;
    RangeResult result;
};

Drawn drawn(const std::vector<std::string>& ranges, const std::string& board) {
    Drawn d;
    d.options.ranges = ranges;
    for (const std::string& r : ranges) d.spot.ranges.push_back(parse_range(r));
    d.spot.board = parse_card_list(board);
    d.result = range_equity_exact(d.spot);
    return d;
}

std::string grid_text(const Drawn& d, bool colour) {
    std::ostringstream out;
    write_grid_text(out, CommandReport{d.options, d.spot, d.result, 0, colour});
    return out.str();
}

// AhKd wins 209 of the 406 boards against QsQc: 51.5 in the AKo cell.
TEST(CommandGrid, PlainSquareHasFixedCells) {
    const std::string plain = grid_text(drawn({"AhKd", "QsQc"}, "6c7d8h"), false);
    const std::string ranks = "      A     K     Q     J     T     9     8     7     6\n";
    EXPECT_EQ(plain, "\nPlayer 1 (AhKd), equity by hand class, percent\n" + ranks +
                         "A\nK  51.5\nQ\nJ\nT\n9\n8\n7\n6\n"
                         "\nPlayer 2 (QsQc), equity by hand class, percent\n" +
                         ranks + "A\nK\nQ              48.5\nJ\nT\n9\n8\n7\n6\n");
    EXPECT_EQ(plain.find('\x1b'), std::string::npos);
}

TEST(CommandGrid, ColouredSquareIsThePlainOnePainted) {
    const Drawn d = drawn({"QQ+, AK, A9s+", "TT-77, AQo+, KQs"}, "6c7d8h");
    const std::string coloured = grid_text(d, true);
    EXPECT_NE(coloured.find("\x1b[30;48;5;"), std::string::npos);
    const std::string stripped = std::regex_replace(coloured, std::regex("\x1b\\[[0-9;]*m"), "");
    EXPECT_EQ(stripped, grid_text(d, false) + "\nScale     0%   25%   50%   75%  100%\n");
}

TEST(CommandGrid, SvgHasEveryCellOfEveryPlayerAndEscapesTitles) {
    Drawn d = drawn({"QQ+, AKs", "JJ-88", "AQo, KQo"}, "Kh9c8d");
    d.options.ranges[2] = "AQo & <KQo>";
    const std::string svg = svg_picture(CommandReport{d.options, d.spot, d.result, 0, false});
    std::size_t cells = 0;
    for (std::size_t at = svg.find("<rect class=\"cell\""); at != std::string::npos;
         at = svg.find("<rect class=\"cell\"", at + 1))
        ++cells;
    EXPECT_EQ(cells, 3u * hand_class_count);
    EXPECT_NE(svg.find(">AQo &amp; &lt;KQo&gt;</text>"), std::string::npos);
    EXPECT_EQ(svg.find("<KQo>"), std::string::npos);
}

} // namespace
} // namespace varnolith
