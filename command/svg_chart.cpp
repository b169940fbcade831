#include "svg_chart.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#include "equity_curve.hpp"
#include "svg_text.hpp"

namespace varnolith {

namespace {

// In pixels, from the chart's top left corner.
constexpr int plot_left = 56; // the equity labels and the axis title
constexpr int plot_top = 30;  // the chart's title
constexpr int plot_width = 440;
constexpr int plot_height = 200;
constexpr int below_plot = 44; // the share labels and the axis title
constexpr int legend_gap = 24;
constexpr int legend_line = 18;
constexpr int swatch = 20;

// Apart from one another and from the squares' red to green; a second round,
// past ten players, is dashed.
constexpr std::array<const char*, 10> palette{"#3366cc", "#ff9900", "#990099", "#0099c6", "#dc3912",
                                              "#109618", "#dd4477", "#316395", "#8b4513", "#555555"};

std::string line(double x1, double y1, double x2, double y2, const std::string& css) {
    return "<line class=\"" + css + "\" x1=\"" + fixed(x1, 1) + "\" y1=\"" + fixed(y1, 1) + "\" x2=\"" + fixed(x2, 1) +
           "\" y2=\"" + fixed(y2, 1) + "\"/>\n";
}

double x_at(double share) { return plot_left + plot_width * share; }
double y_at(double equity) { return plot_top + plot_height * (1 - equity); }

std::string stroke(std::size_t player) {
    std::string css = " stroke=\"" + std::string(palette[player % palette.size()]) + "\"";
    return player < palette.size() ? css : css + " stroke-dasharray=\"6 3\"";
}

// Each combination is a flat step as wide as its share; a run of equal
// equities is one step.
std::string curve(const std::vector<CurveStep>& steps, std::size_t player) {
    std::string points;
    double from = 0;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i + 1 < steps.size() && steps[i + 1].equity == steps[i].equity) continue;
        const std::string y = fixed(y_at(steps[i].equity), 1);
        if (!points.empty()) points += ' ';
        points += fixed(x_at(from), 1) + "," + y + " " + fixed(x_at(steps[i].share_to), 1) + "," + y;
        from = steps[i].share_to;
    }
    return "<polyline class=\"curve\"" + stroke(player) + " points=\"" + points + "\"/>\n";
}

std::string axes() {
    std::string svg;
    for (int quarter = 0; quarter <= 4; ++quarter) {
        const double at = quarter / 4.0;
        if (quarter > 0 && quarter < 4) {
            svg += line(x_at(0), y_at(at), x_at(1), y_at(at), "gridline");
            svg += line(x_at(at), y_at(0), x_at(at), y_at(1), "gridline");
        }
        svg += "<text x=\"" + std::to_string(plot_left - 6) + "\" y=\"" + fixed(y_at(at) + 4, 1) +
               "\" class=\"tick\" text-anchor=\"end\">" + std::to_string(25 * quarter) + "%</text>\n";
        static constexpr std::array<const char*, 5> shares{"0", "0.25", "0.5", "0.75", "1"};
        svg += "<text x=\"" + fixed(x_at(at), 1) + "\" y=\"" + std::to_string(plot_top + plot_height + 16) +
               "\" class=\"tick\" text-anchor=\"middle\">" + shares[static_cast<std::size_t>(quarter)] + "</text>\n";
    }
    svg += line(x_at(0), y_at(0), x_at(1), y_at(0), "axis") + line(x_at(0), y_at(0), x_at(0), y_at(1), "axis");
    svg += text_at(plot_left + plot_width / 2, plot_top + plot_height + below_plot - 4, "axis-title",
                   "share of the player's deals, weakest combinations first");
    const int middle = plot_top + plot_height / 2;
    svg += "<text x=\"14\" y=\"" + std::to_string(middle) + "\" class=\"axis-title\" transform=\"rotate(-90 14 " +
           std::to_string(middle) + ")\">equity</text>\n";
    return svg;
}

std::string legend_entry(std::size_t player, const std::vector<CurveStep>& steps) {
    const int x = plot_left + plot_width + legend_gap;
    const int y = plot_top + 10 + static_cast<int>(player) * legend_line;
    std::string svg = "<line class=\"curve\"" + stroke(player) + " x1=\"" + std::to_string(x) + "\" y1=\"" +
                      std::to_string(y - 4) + "\" x2=\"" + std::to_string(x + swatch) + "\" y2=\"" +
                      std::to_string(y - 4) + "\"/>\n";
    return svg + text_at(x + swatch + 6, y, "legend",
                         "Player " + std::to_string(player + 1) + " \u00b7 quartiles " +
                             fixed(100.0 * equity_percentile(steps, 0.25), 1) + ", " +
                             fixed(100.0 * equity_percentile(steps, 0.5), 1) + ", " +
                             fixed(100.0 * equity_percentile(steps, 0.75), 1) + "%");
}

} // namespace

int equity_chart_height(std::size_t players) {
    return plot_top + std::max(plot_height, static_cast<int>(players) * legend_line) + below_plot;
}

std::string equity_chart(const CommandReport& report, int left, int top) {
    std::string svg = "<g class=\"chart\" transform=\"translate(" + std::to_string(left) + "," + std::to_string(top) +
                      ")\">\n";
    svg += text_at(0, 14, "chart-title", "Equity distribution: each range's live combinations, weakest first");
    svg += axes();
    for (std::size_t i = 0; i < report.answer.result.players.size(); ++i) {
        const std::vector<CurveStep> steps = equity_curve(report.answer.result.players[i]);
        svg += curve(steps, i) + legend_entry(i, steps);
    }
    return svg + "</g>\n";
}

} // namespace varnolith
