#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "card_text.hpp"
#include "grid.hpp"
#include "report.hpp"
#include "svg_chart.hpp"
#include "svg_text.hpp"

namespace varnolith {

namespace {

// A small fixed layout, in pixels.
constexpr int grid_side = 9;
constexpr int margin = 16;
constexpr int heading_height = 40;  // the line about board and method
constexpr int titles_height = 44;   // a square's two title lines
constexpr int label_size = 16;      // the rank labels along the top and the left
constexpr int cell_size = 40;
constexpr int panel_gap = 24;
constexpr int panels_across = 4; // more players take further rows
constexpr int panel_width = label_size + grid_side * cell_size;
constexpr int panel_height = titles_height + label_size + grid_side * cell_size;
constexpr int scale_width = 240;
constexpr int scale_height = 12;
constexpr int footer_height = 56; // the scale and its labels
constexpr int chart_gap = 16;     // keeps the chart's title off the scale's labels
constexpr const char* blank_fill = "#f2f2f2";
// Longer ranges are cut to stay above their own square.
constexpr std::size_t range_limit = 56;

constexpr const char* style =
    "text{fill:#222}"
    ".heading{font-size:14px;font-weight:bold}"
    ".title{font-size:13px;font-weight:bold}"
    ".range{font-size:12px;fill:#333}"
    ".scale-label{font-size:11px;fill:#555}"
    ".rank{font-size:12px;font-weight:bold;text-anchor:middle}"
    ".cell,.weight{stroke:#fff;stroke-width:1}"
    ".name{font-size:9px;fill:#555}"
    ".blank .name{fill:#aaa}"
    ".figure{font-size:12px;text-anchor:middle}";

std::string cut(const std::string& text) {
    return text.size() <= range_limit ? text : text.substr(0, range_limit - 3) + "...";
}

std::string cards(const std::vector<Card>& list) { return list.empty() ? "none" : cards_text(list); }

// Only what repeats: no timings, and a seed only where it decides the result.
std::string heading(const CommandReport& report) {
    const RangeResult& r = report.answer.result;
    std::string text = "Board " + cards(report.spot.board);
    if (!report.spot.dead.empty()) text += " \u00b7 dead " + cards(report.spot.dead);
    text += r.method == RangeMethod::exact ? " \u00b7 exact"
                                           : " \u00b7 Monte Carlo, " + grouped(static_cast<uint64_t>(r.trials)) +
                                                 " trials, seed " + std::to_string(r.seed);
    if (report.spot.ranking == Ranking::trips) text += " \u00b7 three of a kind beats a straight";
    return text;
}

std::string cell_rect(const std::string& css, int x, int y, int height, const std::string& fill) {
    return "<rect class=\"" + css + "\" x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"" +
           std::to_string(cell_size) + "\" height=\"" + std::to_string(height) + "\" fill=\"" + fill + "\"/>";
}

// "AKs: 4 combos, weight 50%, equity 55.4%"
std::string cell_title(const GridCell& c, double range_weight) {
    return c.name + ": " + std::to_string(c.combos) + (c.combos == 1 ? " combo" : " combos") + ", weight " +
           short_percent(range_weight) + "%, equity " + fixed(100.0 * c.equity, 1) + "%";
}

// A class the range takes in part is coloured from the bottom up to its weight.
std::string cell(const GridCell& c, double range_weight, double middle, int x, int y) {
    const std::string name = "<text x=\"" + std::to_string(x + 3) + "\" y=\"" + std::to_string(y + 11) +
                             "\" class=\"name\">" + c.name + "</text>";
    if (std::isnan(c.equity))
        return "<g class=\"blank\">" + cell_rect("cell", x, y, cell_size, blank_fill) + name + "</g>\n";
    const std::string fill = hex_colour(scale_colour(scale_position(c.equity, middle)));
    const int filled = std::clamp(static_cast<int>(std::lround(range_weight * cell_size)), 1, cell_size);
    std::string svg = "<g><title>" + cell_title(c, range_weight) + "</title>";
    if (filled == cell_size)
        svg += cell_rect("cell", x, y, cell_size, fill);
    else
        svg += cell_rect("cell", x, y, cell_size, blank_fill) +
               cell_rect("weight", x, y + cell_size - filled, filled, fill);
    svg += name + "<text x=\"" + std::to_string(x + cell_size / 2) + "\" y=\"" + std::to_string(y + 29) +
           "\" class=\"figure\">" + fixed(100.0 * c.equity, 1) + "</text>";
    return svg + "</g>\n";
}

std::string panel(const CommandReport& report, std::size_t player, double middle, int left, int top) {
    const RangePlayerResult& p = report.answer.result.players[player];
    const std::string& range = report.options.ranges[player];
    const std::string name = "Player " + std::to_string(player + 1);
    std::string svg = "<g class=\"player\" transform=\"translate(" + std::to_string(left) + "," +
                      std::to_string(top) + ")\">\n<title>" + escaped(name + ": " + range) + "</title>\n";
    svg += text_at(0, 14, "title",
                   name + " \u00b7 equity " + fixed(100.0 * p.equity, 2) + "% \u00b7 " + std::to_string(p.combos) +
                       " live combinations");
    svg += text_at(0, 32, "range", cut(range));
    const int square_top = titles_height + label_size;
    for (int line = 0; line < grid_side; ++line) {
        const std::string rank(1, grid_rank(line));
        svg += text_at(label_size + line * cell_size + cell_size / 2, square_top - 4, "rank", rank);
        svg += text_at(label_size / 2, square_top + line * cell_size + cell_size / 2 + 4, "rank", rank);
    }
    const RangeGrid grid = range_grid(p);
    const auto weights = range_weights(p, report.spot.ranges[player]);
    for (int row = 0; row < grid_side; ++row)
        for (int column = 0; column < grid_side; ++column) {
            const auto at = static_cast<std::size_t>(row * grid_side + column);
            svg += cell(grid[at], weights[at], middle, label_size + column * cell_size, square_top + row * cell_size);
        }
    return svg + "</g>\n";
}

// The bar runs over positions of the scale; its labels give the equity there.
std::string scale(const CommandReport& report, double middle, int top) {
    std::string svg = "<g class=\"scale\" transform=\"translate(" + std::to_string(margin + label_size) + "," +
                      std::to_string(top) + ")\">\n";
    svg += "<rect x=\"0\" y=\"0\" width=\"" + std::to_string(scale_width) + "\" height=\"" +
           std::to_string(scale_height) + "\" fill=\"url(#scale)\"/>\n";
    for (int percent = 0; percent <= 100; percent += 25) {
        const int x = scale_width * percent / 100;
        svg += "<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(scale_height + 14) +
               "\" class=\"scale-label\" text-anchor=\"middle\">" +
               short_percent(scale_equity(percent / 100.0, middle)) + "%</text>\n";
    }
    const std::string note = scale_note(report.options.scale, report.answer.result.players.size());
    svg += text_at(scale_width + 16, scale_height - 1, "scale-label",
                   "equity of the hand class, percent" + (note.empty() ? "" : "; " + note));
    return svg + "</g>\n";
}

} // namespace

std::string svg_picture(const CommandReport& report) {
    if (report.options.flops) return flops_svg(report);
    const int players = static_cast<int>(report.answer.result.players.size());
    const int across = std::min(players, panels_across);
    const int rows = (players + panels_across - 1) / panels_across;
    const int width = 2 * margin + across * panel_width + (across - 1) * panel_gap;
    const int panels_height = rows * panel_height + (rows - 1) * panel_gap;
    const int chart_top = margin + heading_height + panels_height + footer_height + chart_gap;
    const int height = chart_top + equity_chart_height(report.answer.result.players.size()) + margin;
    const double middle = scale_middle(report.options.scale, report.answer.result.players.size());
    const std::string w = std::to_string(width), h = std::to_string(height);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h +
                      "\" viewBox=\"0 0 " + w + " " + h + "\" font-family=\"sans-serif\">\n";
    svg += "<style>" + std::string(style) + equity_chart_style + "</style>\n<defs><linearGradient id=\"scale\">";
    for (int percent = 0; percent <= 100; percent += 25)
        svg += "<stop offset=\"" + std::to_string(percent) + "%\" stop-color=\"" +
               hex_colour(scale_colour(percent / 100.0)) + "\"/>";
    svg += "</linearGradient></defs>\n";
    svg += "<rect width=\"" + w + "\" height=\"" + h + "\" fill=\"#ffffff\"/>\n";
    svg += text_at(margin, margin + 14, "heading", heading(report));
    for (int i = 0; i < players; ++i) {
        const int left = margin + i % panels_across * (panel_width + panel_gap);
        const int top = margin + heading_height + i / panels_across * (panel_height + panel_gap);
        svg += panel(report, static_cast<std::size_t>(i), middle, left, top);
    }
    svg += scale(report, middle, margin + heading_height + panels_height + 20);
    svg += equity_chart(report, margin, chart_top);
    return svg + "</svg>\n";
}

void write_svg_file(const std::string& path, const CommandReport& report) {
    const std::string svg = svg_picture(report);
    const auto failed = [&] { return std::runtime_error("cannot write " + path + ": " + std::strerror(errno)); };
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) throw failed();
    const bool written = std::fwrite(svg.data(), 1, svg.size(), file) == svg.size();
    if (!written) {
        const auto error = failed();
        std::fclose(file);
        throw error;
    }
    if (std::fclose(file) != 0) throw failed();
}

} // namespace varnolith
