// The range grid drawn in-process: the class of a combination and its place
// in the square, the terminal's colours, the scales, the SVG's cells, titles
// and rows. The command's tests check the plain square and the cells against
// --by-hand.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "card_text.hpp"
#include "test_cards.hpp"
#include "equity_curve.hpp"
#include "grid.hpp"
#include "ranges/notation/range.hpp"
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

TEST(CommandGrid, ColoursOnlyATerminalWithoutNoColorAsDeepAsColortermSays) {
    using enum TerminalColour;
    const std::tuple<bool, const char*, const char*, TerminalColour> cases[] = {
        {true, nullptr, nullptr, cube},      {true, "", "", cube},          {true, nullptr, "truecolor", rgb},
        {true, nullptr, "24bit", rgb},       {true, nullptr, "yes", cube},  {true, "1", "truecolor", none},
        {false, nullptr, "truecolor", none}, {false, "", nullptr, none},
    };
    for (const auto& [terminal, no_color, colorterm, colour] : cases)
        EXPECT_EQ(terminal_colour(terminal, no_color, colorterm), colour)
            << terminal << " " << (no_color ? no_color : "unset") << " " << (colorterm ? colorterm : "unset");
}

// Red through yellow to green; a 36% class and a 55% class once shared one
// colour of the cube, so neighbouring tenths must differ.
TEST(CommandGrid, ScaleRunsFromRedThroughYellowToGreen) {
    const std::tuple<double, int, std::string> cases[] = {{-0.5, 203, "#f8696b"}, {0.0, 203, "#f8696b"},
                                                          {0.5, 228, "#ffeb84"},  {1.0, 72, "#63be7b"},
                                                          {1.5, 72, "#63be7b"}};
    for (const auto& [position, cube, rgb] : cases) {
        const Rgb c = scale_colour(position);
        char hex[8];
        std::snprintf(hex, sizeof hex, "#%02x%02x%02x", c.red, c.green, c.blue);
        EXPECT_EQ(cube_colour(position), cube) << position;
        EXPECT_EQ(hex, rgb) << position;
    }
    for (int tenth = 0; tenth < 10; ++tenth)
        EXPECT_NE(cube_colour(tenth / 10.0), cube_colour((tenth + 1) / 10.0)) << tenth;
    EXPECT_NE(cube_colour(0.36), cube_colour(0.55));
}

// Yellow at 1/n, red and green at the ends; two players see the absolute scale.
TEST(CommandGrid, FairScaleHasTheFairShareInTheMiddle) {
    const std::tuple<ColourScale, std::size_t, double, double> cases[] = {
        {ColourScale::absolute, 6, 0.3, 0.3}, {ColourScale::fair, 2, 0.3, 0.3},
        {ColourScale::fair, 3, 1.0 / 3, 0.5}, {ColourScale::fair, 3, 1.0 / 6, 0.25},
        {ColourScale::fair, 3, 2.0 / 3, 0.75}, {ColourScale::fair, 3, 0.0, 0.0},
        {ColourScale::fair, 3, 1.0, 1.0},     {ColourScale::fair, 5, 0.6, 0.75},
    };
    for (const auto& [scale, players, equity, position] : cases) {
        const double middle = scale_middle(scale, players);
        EXPECT_NEAR(scale_position(equity, middle), position, 1e-12) << players << " " << equity;
        EXPECT_NEAR(scale_equity(position, middle), equity, 1e-12) << players << " " << position;
    }
}

TEST(CommandGrid, CountsAreGroupedByThousands) {
    const std::pair<uint64_t, const char*> cases[] = {
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {100000, "100,000"}, {1011168, "1,011,168"}};
    for (const auto& [n, text] : cases) EXPECT_EQ(grouped(n), text);
}

struct Drawn {
    CommandOptions options;
    RangeSpot spot;
    Answer answer;

    Drawn(const std::vector<std::string>& ranges, const std::string& board) {
        options.ranges = ranges;
        for (const std::string& r : ranges) spot.ranges.push_back(parse_range(r));
        spot.board = parse_card_list(board);
        answer.result = range_equity_exact(spot);
    }
    CommandReport report(TerminalColour colour = TerminalColour::none) const { return {options, spot, answer, colour}; }
    std::string text(TerminalColour colour = TerminalColour::none) const {
        std::ostringstream out;
        write_grid_text(out, report(colour));
        return out.str();
    }
};

std::string unpainted(const std::string& text) { return std::regex_replace(text, std::regex("\x1b\\[[0-9;]*m"), ""); }

TEST(CommandGrid, ColouredSquareIsThePlainOnePainted) {
    const Drawn d({"QQ+, AK, A9s+", "TT-77, AQo+, KQs"}, "6c7d8h");
    const std::pair<TerminalColour, const char*> cases[] = {{TerminalColour::cube, "\x1b[30;48;5;228m   50%"},
                                                            {TerminalColour::rgb, "\x1b[30;48;2;255;235;132m   50%"}};
    for (const auto& [colour, yellow] : cases) {
        const std::string coloured = d.text(colour);
        EXPECT_NE(coloured.find(yellow), std::string::npos) << coloured;
        EXPECT_EQ(unpainted(coloured),
                  d.text() + "\nScale     0%   10%   20%   30%   40%   50%   60%   70%   80%   90%  100%\n");
    }
}

TEST(CommandGrid, FairScaleIsSaidUnderTheSquaresAndInThePicture) {
    Drawn d({"AA", "KK", "QQ"}, "6c7d8h");
    d.options.scale = ColourScale::fair;
    const std::string text = unpainted(d.text(TerminalColour::cube));
    EXPECT_TRUE(text.ends_with("\nScale     0%  6.7% 13.3%   20% 26.7% 33.3% 46.7%   60% 73.3% 86.7%  100%"
                               "  yellow at the fair share, 1/3\n"))
        << text;
    const std::string svg = svg_picture(d.report());
    for (const char* label : {">16.7%<", ">33.3%<", ">66.7%<", "percent; yellow at the fair share, 1/3<"})
        EXPECT_NE(svg.find(label), std::string::npos) << label;
}

// The ranges escaped in the titles, the trials grouped as the table groups
// them. Its cells are counted by grid_svg_check.py on the README's picture.
TEST(CommandGrid, SvgEscapesTheRangesAndGroupsTheTrials) {
    Drawn d({"QQ+, AKs", "AQo, KQo"}, "Kh9c8d");
    d.options.ranges[1] = "AQo & <KQo>";
    d.answer.result.method = RangeMethod::monte_carlo;
    d.answer.result.trials = 1011168;
    d.answer.result.seed = 7;
    const std::string svg = svg_picture(d.report());
    EXPECT_NE(svg.find(">AQo &amp; &lt;KQo&gt;</text>"), std::string::npos);
    EXPECT_EQ(svg.find("<KQo>"), std::string::npos);
    EXPECT_NE(svg.find("Monte Carlo, 1,011,168 trials, seed 7<"), std::string::npos);
}

// The cell whose title starts "AKs:", or "" when there is none.
std::string svg_cell(const std::string& svg, const std::string& name) {
    const std::size_t start = svg.find("<g><title>" + name + ":");
    return start == std::string::npos ? "" : svg.substr(start, svg.find("</g>", start) - start);
}

// Weights average over live combinations only: AsKs is on the board.
TEST(CommandGrid, SvgFillsACellUpToItsWeightAndTitlesIt) {
    const Drawn d({"AKs, AhKh:0.2, QsQh, JJ:0.5", "TT"}, "Ks7d6c");
    const std::string svg = svg_picture(d.report());
    const std::tuple<std::string, std::string, int> cases[] = {
        {"AKs", "AKs: 3 combos, weight 73.3%, equity ", 29},
        {"QQ", "QQ: 1 combo, weight 100%, equity ", 40},
        {"JJ", "JJ: 6 combos, weight 50%, equity ", 20},
        {"TT", "TT: 6 combos, weight 100%, equity ", 40},
    };
    for (const auto& [name, title, filled] : cases) {
        const std::string cell = svg_cell(svg, name);
        EXPECT_TRUE(cell.starts_with("<g><title>" + title)) << cell;
        std::smatch height;
        const bool part = filled < 40;
        EXPECT_EQ(std::regex_search(cell, height, std::regex("class=\"weight\"[^>]* height=\"([0-9]+)\"")), part)
            << cell;
        if (part) {
            EXPECT_EQ(height[1], std::to_string(filled)) << cell;
        }
        EXPECT_EQ(cell.find("#f2f2f2") != std::string::npos, part) << cell;
    }
    // Two players' titles and one for each of the four classes drawn; none for a blank cell.
    int titles = 0;
    for (std::size_t at = svg.find("<title>"); at != std::string::npos; at = svg.find("<title>", at + 1)) ++titles;
    EXPECT_EQ(titles, 6);
}

TEST(CommandGrid, SvgWrapsMoreThanFourPlayersOntoAnotherRow) {
    const std::vector<std::string> five{"AhAd", "KhKd", "QhQd", "JhJd", "ThTd"};
    const Drawn d(five, "6c7c8s9s6d"), four({five.begin(), five.end() - 1}, "6c7c8s9s6d");
    const std::string svg = svg_picture(d.report());
    const std::regex player("class=\"player\" transform=\"translate\\(([0-9]+),([0-9]+)\\)\"");
    std::vector<std::pair<int, int>> at;
    for (auto m = std::sregex_iterator(svg.begin(), svg.end(), player); m != std::sregex_iterator(); ++m)
        at.emplace_back(std::stoi((*m)[1]), std::stoi((*m)[2]));
    ASSERT_EQ(at.size(), 5u);
    for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(at[i].second, at[0].second);
    EXPECT_EQ(at[4].first, at[0].first);
    EXPECT_GT(at[4].second, at[0].second);
    const auto width = [](const std::string& picture) { return picture.substr(0, picture.find(" height=")); };
    EXPECT_EQ(width(svg), width(svg_picture(four.report())));
}

// Shares are normalised over the combinations with an equity; a boundary
// reached only up to rounding (three ninths) still counts as reached.
TEST(CommandGrid, EquityPercentileIsTheSmallestEquityReachingTheShare) {
    const double none = std::nan("");
    struct Case {
        std::vector<std::pair<double, double>> hands; // weight, equity, in the range's order
        double q, percentile;
    };
    const std::vector<std::pair<double, double>> ninths{{1.0 / 9, 0.9}, {1.0 / 9, 0.8}, {1.0 / 9, 0.7},
                                                        {1.0 / 9, 0.6}, {1.0 / 9, 0.5}, {1.0 / 9, 0.4},
                                                        {1.0 / 9, 0.3}, {1.0 / 9, 0.2}, {1.0 / 9, 0.1}};
    const std::vector<std::pair<double, double>> quarters{{0.25, 0.4}, {0.25, 0.1}, {0.25, 0.3}, {0.25, 0.2}};
    const Case cases[] = {
        {quarters, 0.25, 0.1}, {quarters, 0.5, 0.2},  {quarters, 0.51, 0.3}, {quarters, 1.0, 0.4},
        {ninths, 1.0 / 3, 0.3}, {ninths, 7.0 / 9, 0.7},
        {{{0.1, 0.9}, {0.3, 0.2}}, 0.25, 0.2}, {{{0.1, 0.9}, {0.3, 0.2}}, 0.76, 0.9},
        {{{0.5, none}, {0.0, 0.1}, {0.2, 0.6}, {0.2, 0.4}}, 0.5, 0.4},
    };
    for (const Case& c : cases) {
        RangePlayerResult player;
        for (const auto& [weight, equity] : c.hands) player.hands.push_back({{}, weight, equity});
        const std::vector<CurveStep> curve = equity_curve(player);
        EXPECT_DOUBLE_EQ(curve.back().share_to, 1.0);
        EXPECT_DOUBLE_EQ(equity_percentile(curve, c.q), c.percentile) << c.hands.size() << " hands, q " << c.q;
    }
    EXPECT_TRUE(std::isnan(equity_percentile({}, 0.5)));
}

// One step line per player, from share 0 to 1 along the plot, its equity
// never falling; the legend names each player in its own colour.
TEST(CommandGrid, SvgChartsEachRangeWeakestFirst) {
    const Drawn d({"QQ+, AK, A9s+:0.5", "TT-77, AQo+, KQs", "random"}, "6c7d8h");
    const std::string svg = svg_picture(d.report());
    // Found by hand: std::regex recurses once per character of a long attribute.
    const std::string head = "<polyline class=\"curve\" stroke=\"";
    std::vector<std::string> colours;
    for (std::size_t at = svg.find(head); at != std::string::npos; at = svg.find(head, at + 1)) {
        const std::size_t colour = at + head.size();
        colours.push_back(svg.substr(colour, 7));
        const std::size_t from = svg.find("points=\"", colour) + 8;
        std::istringstream points(svg.substr(from, svg.find('"', from) - from));
        std::vector<std::pair<double, double>> xy;
        for (std::string point; points >> point;)
            xy.emplace_back(std::stod(point.substr(0, point.find(','))), std::stod(point.substr(point.find(',') + 1)));
        ASSERT_GE(xy.size(), 2u);
        EXPECT_EQ(xy.front().first, 56.0);
        EXPECT_EQ(xy.back().first, 496.0);
        for (std::size_t i = 1; i < xy.size(); ++i) {
            EXPECT_GE(xy[i].first, xy[i - 1].first);
            EXPECT_LE(xy[i].second, xy[i - 1].second); // higher equity is further up
        }
    }
    ASSERT_EQ(colours.size(), 3u);
    EXPECT_EQ(std::set<std::string>(colours.begin(), colours.end()).size(), 3u);
    for (int player = 1; player <= 3; ++player)
        EXPECT_NE(svg.find("\">Player " + std::to_string(player) + " \u00b7 quartiles "), std::string::npos);
}

} // namespace
} // namespace varnolith
