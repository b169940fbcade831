// The range grid drawn in-process: the class of a combination and its place in the square, the terminal's colours,
// the scales, the SVG's cells, titles and rows. The command's tests check the cells against --by-hand, the README's
// example the plain square, and docs/grid.svg, compared byte for byte (grid_svg_check.py), a two-player picture
// whole, its chart too.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
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

// Pairs on the diagonal, suited above it, offsuit below, and every one of the
// 630 combinations in the cell its class names; the cells' names are the
// command's JSON test's.
TEST(CommandGrid, PlacesEveryCombinationInTheCellOfItsClass) {
    const std::pair<const char*, const char*> cases[] = {
        {"Ac Ad", "AA"}, {"Ah Kh", "AKs"}, {"Kd Ah", "AKo"}, {"Ah Kd", "AKo"}, {"7h 6h", "76s"}, {"6d Ac", "A6o"}};
    for (const auto& [hand, name] : cases) EXPECT_EQ(hand_class(testing::hand(hand)), name) << hand;
    std::array<int, hand_class_count> combos{};
    for (const WeightedCombo& c : parse_range("random")) ++combos[static_cast<std::size_t>(hand_class_index(c.hand))];
    for (std::size_t i = 0; i < combos.size(); ++i)
        EXPECT_EQ(combos[i], i / 9 == i % 9 ? 6 : i / 9 < i % 9 ? 4 : 12) << hand_class_name(static_cast<int>(i));
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
// colour of the cube, so neighbouring tenths must differ. On the fair scale
// yellow is at 1/n, red and green at the ends; two players see the absolute one.
TEST(CommandGrid, ScaleRunsFromRedThroughYellowToGreen) {
    const std::tuple<double, int, std::string> stops[] = {
        {-0.5, 203, "#f8696b"}, {0.0, 203, "#f8696b"}, {0.5, 228, "#ffeb84"},
        {1.0, 72, "#63be7b"},   {1.5, 72, "#63be7b"},
    };
    for (const auto& [position, cube, rgb] : stops) {
        EXPECT_EQ(cube_colour(position), cube) << position;
        EXPECT_EQ(hex_colour(scale_colour(position)), rgb) << position;
    }
    for (int tenth = 0; tenth < 10; ++tenth)
        EXPECT_NE(cube_colour(tenth / 10.0), cube_colour((tenth + 1) / 10.0)) << tenth;
    EXPECT_NE(cube_colour(0.36), cube_colour(0.55));
    using enum ColourScale;
    const std::tuple<ColourScale, std::size_t, double, double> cases[] = {
        {absolute, 6, 0.3, 0.3},  {fair, 2, 0.3, 0.3}, {fair, 3, 1.0 / 3, 0.5}, {fair, 3, 1.0 / 6, 0.25},
        {fair, 3, 2.0 / 3, 0.75}, {fair, 3, 0.0, 0.0}, {fair, 3, 1.0, 1.0},     {fair, 5, 0.6, 0.75},
    };
    for (const auto& [scale, players, equity, position] : cases) {
        const double middle = scale_middle(scale, players);
        EXPECT_NEAR(scale_position(equity, middle), position, 1e-12) << players << " " << equity;
        EXPECT_NEAR(scale_equity(position, middle), equity, 1e-12) << players << " " << position;
    }
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

// Painted, the square is the plain one over a line of the scale; the fair
// scale says where its yellow is, under the squares and in the picture, whose
// chart draws a third player in a colour of its own.
TEST(CommandGrid, ColouredSquareIsThePlainOnePaintedOverItsScale) {
    const Drawn d({"QQ+, AK, A9s+", "TT-77, AQo+, KQs"}, "6c7d8h");
    const std::pair<TerminalColour, const char*> cases[] = {{TerminalColour::cube, "\x1b[30;48;5;228m   50%"},
                                                            {TerminalColour::rgb, "\x1b[30;48;2;255;235;132m   50%"}};
    for (const auto& [colour, yellow] : cases) {
        const std::string coloured = d.text(colour);
        EXPECT_NE(coloured.find(yellow), std::string::npos) << coloured;
        EXPECT_EQ(unpainted(coloured),
                  d.text() + "\nScale     0%   10%   20%   30%   40%   50%   60%   70%   80%   90%  100%\n");
    }
    Drawn fair({"AA", "KK", "QQ"}, "6c7d8h");
    fair.options.scale = ColourScale::fair;
    EXPECT_EQ(unpainted(fair.text(TerminalColour::cube)),
              fair.text() + "\nScale     0%  6.7% 13.3%   20% 26.7% 33.3% 46.7%   60% 73.3% 86.7%  100%"
                            "  yellow at the fair share, 1/3\n");
    const std::string svg = svg_picture(fair.report());
    for (const char* label : {">16.7%<", ">33.3%<", ">66.7%<", "percent; yellow at the fair share, 1/3<"})
        EXPECT_NE(svg.find(label), std::string::npos) << label;
    const std::regex curve("<polyline class=\"curve\" stroke=\"(#[0-9a-f]{6})\" points");
    std::set<std::string> colours;
    for (auto m = std::sregex_iterator(svg.begin(), svg.end(), curve); m != std::sregex_iterator(); ++m)
        colours.insert((*m)[1]);
    EXPECT_EQ(colours.size(), 3u);
}

// The ranges escaped in the titles, the trials grouped as the table groups
// them (the README's tables group the rest).
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
    // The height of a part-filled cell's weight, none for a whole one.
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"AKs", "AKs: 3 combos, weight 73.3%, equity ", "29"}, {"QQ", "QQ: 1 combo, weight 100%, equity ", ""}};
    for (const auto& [name, title, filled] : cases) {
        const std::string cell = svg_cell(svg, name);
        EXPECT_TRUE(cell.starts_with("<g><title>" + title)) << cell;
        std::smatch height;
        const bool found = std::regex_search(cell, height, std::regex("class=\"weight\"[^>]* height=\"([0-9]+)\""));
        EXPECT_EQ(found ? height[1].str() : "", filled) << cell;
        EXPECT_EQ(cell.find("#f2f2f2") != std::string::npos, !filled.empty()) << cell;
    }
    // Two players' titles and one for each of the four classes drawn; none for a blank cell.
    const std::regex title("<title>");
    EXPECT_EQ(std::distance(std::sregex_iterator(svg.begin(), svg.end(), title), std::sregex_iterator()), 6);
}

TEST(CommandGrid, SvgWrapsMoreThanFourPlayersOntoAnotherRow) {
    const std::vector<std::string> five{"AhAd", "KhKd", "QhQd", "JhJd", "ThTd"};
    const Drawn d(five, "6c7c8s9s6d"), four({five.begin(), five.end() - 1}, "6c7c8s9s6d");
    const std::string svg = svg_picture(d.report());
    const std::regex player("class=\"player\" transform=\"translate\\(([0-9]+,[0-9]+)\\)\"");
    std::string at;
    for (auto m = std::sregex_iterator(svg.begin(), svg.end(), player); m != std::sregex_iterator(); ++m)
        at += (*m)[1].str() + " ";
    EXPECT_EQ(at, "16,56 416,56 816,56 1216,56 16,500 ");
    const auto width = [](const std::string& picture) { return picture.substr(0, picture.find(" height=")); };
    EXPECT_EQ(width(svg), width(svg_picture(four.report())));
}

// Shares are normalised over the combinations with an equity; a boundary
// reached only up to rounding (three ninths) still counts as reached.
TEST(CommandGrid, EquityPercentileIsTheSmallestEquityReachingTheShare) {
    const double none = std::nan("");
    using Hands = std::vector<std::pair<double, double>>; // weight, equity, in the range's order
    Hands ninths; // 90% down to 10%
    for (int tenths = 9; tenths > 0; --tenths) ninths.emplace_back(1.0 / 9, tenths / 10.0);
    const Hands quarters{{0.25, 0.4}, {0.25, 0.1}, {0.25, 0.3}, {0.25, 0.2}};
    const std::tuple<Hands, double, double> cases[] = {
        {quarters, 0.25, 0.1}, {quarters, 0.5, 0.2}, {quarters, 0.51, 0.3}, {quarters, 1.0, 0.4},
        {ninths, 1.0 / 3, 0.3}, {ninths, 7.0 / 9, 0.7}, {{{0.1, 0.9}, {0.3, 0.2}}, 0.25, 0.2},
        {{{0.1, 0.9}, {0.3, 0.2}}, 0.76, 0.9}, {{{0.5, none}, {0.0, 0.1}, {0.2, 0.6}, {0.2, 0.4}}, 0.5, 0.4},
    };
    for (const auto& [hands, q, percentile] : cases) {
        RangePlayerResult player;
        for (const auto& [weight, equity] : hands) player.hands.push_back({{}, weight, equity});
        const std::vector<CurveStep> curve = equity_curve(player);
        EXPECT_DOUBLE_EQ(curve.back().share_to, 1.0);
        EXPECT_DOUBLE_EQ(equity_percentile(curve, q), percentile) << hands.size() << " hands, q " << q;
    }
    EXPECT_TRUE(std::isnan(equity_percentile({}, 0.5)));
}

} // namespace
} // namespace varnolith
