#include <cmath>
#include <nlohmann/json.hpp>

#include "grid.hpp"
#include "report.hpp"

namespace varnolith {

namespace {

using Json = nlohmann::ordered_json;

Json cards_json(const std::vector<Card>& cards) {
    Json list = Json::array();
    for (const Card c : cards) list.push_back(card_text(c));
    return list;
}

// A hand no compatible deal allows has no equity.
Json fraction_or_null(double x) { return std::isnan(x) ? Json(nullptr) : Json(x); }

Json player_json(const std::string& range, const RangePlayerResult& p, const CommandOptions& options) {
    Json player = Json::object();
    player["range"] = range;
    player["combos"] = p.combos;
    player["equity"] = fraction_or_null(p.equity);
    player["win"] = p.win;
    player["tie"] = p.tie;
    player["stderr"] = p.standard_error;
    if (options.categories) {
        Json categories = Json::object();
        for (std::size_t i = 0; i < category_names.size(); ++i)
            categories[std::string(category_names[i])] = p.categories[i];
        player["categories"] = std::move(categories);
    }
    if (options.by_hand) {
        Json hands = Json::array();
        for (const HandEquity& h : p.hands)
            // "weight" is the old name of "share", kept for the scripts that read it.
            hands.push_back(Json{{"hand", hand_text(h.hand)},
                                 {"share", h.weight},
                                 {"weight", h.weight},
                                 {"equity", fraction_or_null(h.equity)}});
        player["hands"] = std::move(hands);
    }
    if (options.grid) {
        Json grid = Json::array();
        for (const GridCell& c : range_grid(p))
            grid.push_back(Json{{"class", c.name}, {"weight", c.weight}, {"equity", fraction_or_null(c.equity)}});
        player["grid"] = std::move(grid);
    }
    return player;
}

} // namespace

void write_json_report(std::ostream& out, const CommandReport& report) {
    const RangeResult& r = report.result;
    Json json = Json::object();
    json["method"] = r.method == RangeMethod::exact ? "exact" : "monte_carlo";
    json["board"] = cards_json(report.spot.board);
    json["dead"] = cards_json(report.spot.dead);
    if (r.method == RangeMethod::exact) {
        json["deals"] = r.deals;
        json["boards"] = r.boards;
    } else {
        json["trials"] = r.trials;
        json["seed"] = r.seed;
    }
    json["elapsed_seconds"] = report.elapsed_seconds;
    Json players = Json::array();
    for (std::size_t i = 0; i < r.players.size(); ++i)
        players.push_back(player_json(report.options.ranges[i], r.players[i], report.options));
    json["players"] = std::move(players);
    if (report.options.by_card) {
        Json cards = Json::array();
        for (const NextCard& n : report.next_cards)
            cards.push_back(Json{{"card", card_text(n.card)}, {"probability", n.probability}, {"equity", n.equity}});
        json["next_cards"] = std::move(cards);
    }
    out << json.dump(2) << '\n';
}

} // namespace varnolith
