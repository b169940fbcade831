#include "answer_text.hpp"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "card_text.hpp"
#include "equity_curve.hpp"
#include "ranges/request.hpp"
#include "text_table.hpp"

namespace varnolith {

namespace {

// Longer range texts are cut in the table; JSON keeps them whole.
constexpr std::size_t range_column_limit = 32;

std::string percent(double fraction) { return percent_text(fraction); }

std::string cards_line(const std::vector<Card>& cards) { return cards.empty() ? "none" : cards_text(cards); }

std::string shortened(const std::string& range) { return shortened_range(range); }

std::string rules_line(Ranking ranking) {
    return std::string(rules_name(ranking)) +
           (ranking == Ranking::trips ? ": three of a kind beats a straight" : ": a straight beats three of a kind");
}

std::string method_line(const RangeResult& r) {
    if (r.method == RangeMethod::exact)
        return "exact, " + grouped(r.deals) + (r.deals == 1 ? " deal" : " deals") + " of hole cards, " +
               grouped(r.boards) + (r.boards == 1 ? " board" : " boards") + " each";
    return "Monte Carlo, " + grouped(static_cast<uint64_t>(r.trials)) + " trials, seed " + std::to_string(r.seed);
}

void write_players(std::ostream& out, const std::vector<std::string>& ranges, const RangeResult& r) {
    const bool simulated = r.method == RangeMethod::monte_carlo;
    std::vector<Column> columns{{"Player"}, {"Range", true}, {"Combos"}, {"Equity %"}, {"Win %"}, {"Tie %"}};
    if (simulated) columns.push_back({"Std err %"});
    std::vector<Row> rows;
    for (std::size_t i = 0; i < r.players.size(); ++i) {
        const RangePlayerResult& p = r.players[i];
        rows.push_back({std::to_string(i + 1), shortened(ranges[i]),
                        grouped(static_cast<uint64_t>(p.combos)), percent(p.equity), percent(p.win), percent(p.tie)});
        if (simulated) rows.back().push_back(percent(p.standard_error));
    }
    write_table(out, columns, rows);
}

void write_categories(std::ostream& out, const RangeResult& r, Ranking ranking) {
    out << "\nFinal hands, percent\n";
    std::vector<Column> columns{{"Category", true}};
    for (std::size_t i = 0; i < r.players.size(); ++i) columns.push_back({"Player " + std::to_string(i + 1)});
    std::vector<Row> rows;
    for (const int c : categories_in_order(ranking)) {
        const auto category = static_cast<std::size_t>(c);
        rows.push_back({std::string(category_names[category])});
        for (const RangePlayerResult& p : r.players) rows.back().push_back(percent(p.categories[category]));
    }
    write_table(out, columns, rows);
}

void write_hands(std::ostream& out, const std::vector<std::string>& ranges, const RangeResult& r) {
    for (std::size_t i = 0; i < r.players.size(); ++i) {
        out << "\nPlayer " << i + 1 << " (" << shortened(ranges[i])
            << "), every live combination, percent\n";
        const std::vector<CurveStep> curve = equity_curve(r.players[i]);
        out << "Equity quartiles by share: " << percent(equity_percentile(curve, 0.25)) << ", "
            << percent(equity_percentile(curve, 0.5)) << ", " << percent(equity_percentile(curve, 0.75)) << "\n\n";
        std::vector<Row> rows;
        for (const HandEquity& h : r.players[i].hands)
            rows.push_back({hand_text(h.hand), percent(h.weight), percent(h.equity)});
        // Share: how much of the player's deals hold the combination, not the weight typed.
        write_table(out, {{"Hand", true}, {"Share"}, {"Equity"}}, rows);
    }
}

} // namespace

std::string percent_text(double fraction) {
    if (std::isnan(fraction)) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", 100.0 * fraction);
    return text;
}

std::string shortened_range(const std::string& range) {
    if (range.size() <= range_column_limit) return range;
    return range.substr(0, range_column_limit - 3) + "...";
}

void write_answer_text(std::ostream& out, const std::vector<std::string>& ranges, const RangeSpot& spot,
                       const Answer& answer, const AnswerShown& shown, bool elapsed) {
    out << "Board    " << cards_line(spot.board) << '\n'
        << "Dead     " << cards_line(spot.dead) << '\n'
        << "Method   " << method_line(answer.result) << '\n';
    if (spot.ranking != default_rules) out << "Rules    " << rules_line(spot.ranking) << '\n';
    if (elapsed) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.3f s", answer.elapsed_seconds);
        out << "Elapsed  " << seconds << '\n';
    }
    out << '\n';
    write_players(out, ranges, answer.result);
    if (shown.by_card) write_next_cards_text(out, answer);
    if (shown.categories) write_categories(out, answer.result, spot.ranking);
    if (shown.by_hand) write_hands(out, ranges, answer.result);
    if (shown.hits) write_hits_text(out, ranges, spot, answer);
    if (shown.flops) write_flops_text(out, answer);
}

} // namespace varnolith
