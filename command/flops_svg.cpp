// The flop report as a picture: how player 1's equity spreads over the flops,
// each weighted by its probability, and player 1's equity by texture.

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "answer_text.hpp"
#include "grid.hpp"
#include "report.hpp"
#include "svg_text.hpp"

namespace varnolith {

namespace {

constexpr int margin = 16;
constexpr int bins = 20; // five points of equity each
constexpr int plot_width = 600, plot_height = 200, label_width = 140, bar_height = 16, gap = 48;

std::string fill(double equity) { return hex_colour(scale_colour(equity)); }

std::string rect(double x, double y, double width, double height, const std::string& fill, const std::string& title) {
    return "<rect x=\"" + fixed(x, 1) + "\" y=\"" + fixed(y, 1) + "\" width=\"" + fixed(width, 1) + "\" height=\"" +
           fixed(height, 1) + "\" fill=\"" + fill + "\"><title>" + escaped(title) + "</title></rect>\n";
}

// Probability of player 1's equity falling in each bin, and the bars.
std::string histogram(const Answer& answer, int left, int top) {
    std::array<double, bins> mass{};
    for (const FlopRow& row : answer.flops)
        mass[static_cast<std::size_t>(std::min(bins - 1, static_cast<int>(row.equity[0] * bins)))] += row.probability;
    const double tallest = std::max(*std::max_element(mass.begin(), mass.end()), 1e-12);
    std::string svg = text_at(left, top, "title", "Player 1's equity over the flops, by probability");
    const int base = top + 16 + plot_height;
    const double width = static_cast<double>(plot_width) / bins;
    for (int b = 0; b < bins; ++b) {
        const double height = plot_height * mass[static_cast<std::size_t>(b)] / tallest;
        svg += rect(left + b * width + 1, base - height, width - 2, height, fill((b + 0.5) / bins),
                    std::to_string(5 * b) + "-" + std::to_string(5 * b + 5) + "%: " +
                        fixed(100 * mass[static_cast<std::size_t>(b)], 2) + "% of flops");
    }
    for (int percent = 0; percent <= 100; percent += 25)
        svg += text_at(left + plot_width * percent / 100 - 8, base + 16, "label", std::to_string(percent) + "%");
    return svg;
}

std::string by_texture(const Answer& answer, int left, int top) {
    std::string svg = text_at(left, top, "title", "Player 1's equity by texture");
    int y = top + 16;
    for (const TextureGroup& g : answer.textures) {
        const double equity = g.equity[0];
        svg += text_at(left, y + 12, "label", texture_words(g));
        svg += rect(left + label_width, y, (plot_width - label_width) * equity, bar_height - 3, fill(equity),
                    texture_words(g) + ": " + fixed(100 * g.probability, 1) + "% of flops, equity " +
                        fixed(100 * equity, 1) + "%");
        svg += text_at(left + label_width + static_cast<int>((plot_width - label_width) * equity) + 4, y + 12, "label",
                       fixed(100 * equity, 1) + "%");
        y += bar_height;
    }
    return svg;
}

} // namespace

std::string flops_svg(const CommandReport& report) {
    const Answer& answer = report.answer;
    const int textures_height = 16 + bar_height * static_cast<int>(answer.textures.size());
    const int width = 2 * margin + plot_width + 60;
    const int height = margin + 24 + 16 + plot_height + 24 + gap + textures_height + margin;
    const std::string w = std::to_string(width), h = std::to_string(height);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h +
                      "\" viewBox=\"0 0 " + w + " " + h + "\" font-family=\"sans-serif\">\n"
                      "<style>text{fill:#222}.heading{font-size:14px;font-weight:bold}"
                      ".title{font-size:13px;font-weight:bold}.label{font-size:11px;fill:#555}</style>\n";
    svg += "<rect width=\"" + w + "\" height=\"" + h + "\" fill=\"#ffffff\"/>\n";
    std::string heading = "Every flop \u00b7 player 1 " + report.options.ranges[0];
    for (std::size_t p = 1; p < report.options.ranges.size(); ++p)
        heading += " \u00b7 player " + std::to_string(p + 1) + " " + report.options.ranges[p];
    if (report.spot.ranking == Ranking::trips) heading += " \u00b7 three of a kind beats a straight";
    svg += text_at(margin, margin + 14, "heading", heading);
    const int histogram_top = margin + 24 + 14;
    svg += histogram(answer, margin, histogram_top);
    svg += by_texture(answer, margin, histogram_top + 16 + plot_height + 24 + gap - 14);
    return svg + "</svg>\n";
}

} // namespace varnolith
