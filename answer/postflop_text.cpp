// The postflop parts of the table: hits per player, the flop rows, the
// texture groups, and the rows as CSV.

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "answer_text.hpp"
#include "postflop_json.hpp"
#include "text_table.hpp"

namespace varnolith {

namespace {

// Shortest text that reads back to the same double, as JSON writes it.
std::string exact_number(double x) { return nlohmann::ordered_json(x).dump(); }

std::vector<Column> player_columns(std::vector<Column> first, std::size_t players) {
    for (std::size_t p = 0; p < players; ++p) first.push_back({"Player " + std::to_string(p + 1)});
    return first;
}

void write_player_hits(std::ostream& out, const std::vector<HitLine>& lines, bool over_flops, bool simulated) {
    for (const bool draws : {false, true}) {
        std::vector<Column> columns{{draws ? "Draw" : "Class", true}, {"Combos"}, {"Share"}};
        if (!over_flops) columns.push_back({"Equity"});
        if (!over_flops && simulated) columns.push_back({"Std err"});
        std::vector<Row> rows;
        for (const HitLine& line : lines) {
            if (line.is_draw != draws || !(line.combos > 0)) continue;
            char combos[32];
            std::snprintf(combos, sizeof combos, "%.2f", line.combos);
            rows.push_back({std::string(hit_words(line)), combos, percent_text(line.share)});
            if (!over_flops) rows.back().push_back(percent_text(line.equity));
            if (!over_flops && simulated) rows.back().push_back(percent_text(line.standard_error));
        }
        if (rows.empty()) continue;
        out << '\n';
        write_table(out, columns, rows);
    }
}

} // namespace

std::string texture_words(const TextureGroup& g) {
    if (g.kind == "suits") return g.texture == "two_tone" ? "two-tone" : g.texture;
    if (g.kind == "high_card") return g.texture + " high";
    if (g.kind == "straight_possible") return g.texture == "yes" ? "straight possible" : "no straight possible";
    return g.texture;
}

void write_hits_text(std::ostream& out, const std::vector<std::string>& ranges, const RangeSpot& spot,
                     const Answer& answer) {
    const bool over_flops = spot.board.empty();
    const bool simulated = answer.result.method == RangeMethod::monte_carlo;
    for (std::size_t p = 0; p < answer.hits.size(); ++p) {
        out << "\nPlayer " << p + 1 << " (" << shortened_range(ranges[p]) << ")"
            << (over_flops ? " on the flop, percent of its flops\n" : " on the board, percent\n");
        write_player_hits(out, answer.hits[p], over_flops, simulated);
    }
}

void write_flops_text(std::ostream& out, const Answer& answer) {
    const std::size_t players = answer.result.players.size();
    int flops = 0;
    for (const FlopRow& row : answer.flops) flops += row.flops;
    out << "\nEvery flop by player 1's equity, percent: " << grouped(answer.flops.size()) << " rows for "
        << grouped(static_cast<uint64_t>(flops)) << " flops\n";
    std::vector<Row> rows;
    for (const FlopRow& row : answer.flops) {
        rows.push_back({flop_text(row.flop), std::to_string(row.flops), percent_text(row.probability)});
        for (const double e : row.equity) rows.back().push_back(percent_text(e));
    }
    write_table(out, player_columns({{"Flop", true}, {"Flops"}, {"Prob"}}, players), rows);
    out << "\nBy texture, percent\n";
    rows.clear();
    for (const TextureGroup& g : answer.textures) {
        rows.push_back({texture_words(g), grouped(static_cast<uint64_t>(g.flops)), percent_text(g.probability)});
        for (const double e : g.equity) rows.back().push_back(percent_text(e));
    }
    write_table(out, player_columns({{"Texture", true}, {"Flops"}, {"Prob"}}, players), rows);
}

void write_flops_csv(std::ostream& out, const Answer& answer) {
    out << "flop,flops,probability";
    for (std::size_t p = 0; p < answer.result.players.size(); ++p) out << ",equity_" << p + 1;
    out << ",suits,pairing,high_card,straight_possible\n";
    const nlohmann::ordered_json rows = flops_json(answer.flops);
    for (const auto& row : rows) {
        out << row["flop"].get<std::string>() << ',' << row["flops"].get<int>() << ','
            << exact_number(row["probability"].get<double>());
        for (const auto& e : row["equity"]) out << ',' << exact_number(e.get<double>());
        out << ',' << row["suits"].get<std::string>() << ',' << row["pairing"].get<std::string>() << ','
            << row["high_card"].get<std::string>() << ',' << (row["straight_possible"].get<bool>() ? "yes" : "no")
            << '\n';
    }
}

} // namespace varnolith
