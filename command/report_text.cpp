#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "card_text.hpp"
#include "equity_curve.hpp"
#include "grid.hpp"
#include "report.hpp"
#include "text_table.hpp"

namespace varnolith {

namespace {

// Longer range texts are cut in the table; JSON keeps them whole.
constexpr std::size_t range_column_limit = 32;

std::string percent(double fraction) {
    if (std::isnan(fraction)) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", 100.0 * fraction);
    return text;
}

std::string cards_line(const std::vector<Card>& cards) { return cards.empty() ? "none" : cards_text(cards); }

std::string shortened(const std::string& range) {
    if (range.size() <= range_column_limit) return range;
    return range.substr(0, range_column_limit - 3) + "...";
}

std::string method_line(const RangeResult& r) {
    if (r.method == RangeMethod::exact)
        return "exact, " + grouped(r.deals) + (r.deals == 1 ? " deal" : " deals") + " of hole cards, " +
               grouped(r.boards) + (r.boards == 1 ? " board" : " boards") + " each";
    return "Monte Carlo, " + grouped(static_cast<uint64_t>(r.trials)) + " trials, seed " + std::to_string(r.seed);
}

void write_players(std::ostream& out, const CommandReport& report) {
    const bool simulated = report.answer.result.method == RangeMethod::monte_carlo;
    std::vector<Column> columns{{"Player"}, {"Range", true}, {"Combos"}, {"Equity %"}, {"Win %"}, {"Tie %"}};
    if (simulated) columns.push_back({"Std err %"});
    std::vector<Row> rows;
    for (std::size_t i = 0; i < report.answer.result.players.size(); ++i) {
        const RangePlayerResult& p = report.answer.result.players[i];
        rows.push_back({std::to_string(i + 1), shortened(report.options.ranges[i]),
                        grouped(static_cast<uint64_t>(p.combos)), percent(p.equity), percent(p.win), percent(p.tie)});
        if (simulated) rows.back().push_back(percent(p.standard_error));
    }
    write_table(out, columns, rows);
}

void write_categories(std::ostream& out, const RangeResult& r) {
    out << "\nFinal hands, percent\n";
    std::vector<Column> columns{{"Category", true}};
    for (std::size_t i = 0; i < r.players.size(); ++i) columns.push_back({"Player " + std::to_string(i + 1)});
    std::vector<Row> rows;
    for (std::size_t c = 0; c < category_names.size(); ++c) {
        rows.push_back({std::string(category_names[c])});
        for (const RangePlayerResult& p : r.players) rows.back().push_back(percent(p.categories[c]));
    }
    write_table(out, columns, rows);
}

void write_hands(std::ostream& out, const CommandReport& report) {
    for (std::size_t i = 0; i < report.answer.result.players.size(); ++i) {
        out << "\nPlayer " << i + 1 << " (" << shortened(report.options.ranges[i])
            << "), every live combination, percent\n";
        const std::vector<CurveStep> curve = equity_curve(report.answer.result.players[i]);
        out << "Equity quartiles by share: " << percent(equity_percentile(curve, 0.25)) << ", "
            << percent(equity_percentile(curve, 0.5)) << ", " << percent(equity_percentile(curve, 0.75)) << "\n\n";
        std::vector<Row> rows;
        for (const HandEquity& h : report.answer.result.players[i].hands)
            rows.push_back({hand_text(h.hand), percent(h.weight), percent(h.equity)});
        // Share: how much of the player's deals hold the combination, not the weight typed.
        write_table(out, {{"Hand", true}, {"Share"}, {"Equity"}}, rows);
    }
}

} // namespace

void write_text_report(std::ostream& out, const CommandReport& report) {
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.3f s", report.answer.elapsed_seconds);
    out << "Board    " << cards_line(report.spot.board) << '\n'
        << "Dead     " << cards_line(report.spot.dead) << '\n'
        << "Method   " << method_line(report.answer.result) << '\n'
        << "Elapsed  " << elapsed << "\n\n";
    write_players(out, report);
    if (report.options.by_card) write_next_cards_text(out, report);
    if (report.options.categories) write_categories(out, report.answer.result);
    if (report.options.by_hand) write_hands(out, report);
    if (report.options.grid) write_grid_text(out, report);
}

} // namespace varnolith
