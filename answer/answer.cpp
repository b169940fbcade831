#include "answer.hpp"

#include <cmath>

#include "card_text.hpp"
#include "ranges/notation/ordering.hpp"
#include "postflop_json.hpp"
#include "range_grid.hpp"
#include "ranges/request.hpp"

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

Json player_json(const std::string& range, const RangePlayerResult& p, Ranking ranking, const AnswerShown& shown,
                 const std::vector<HitLine>* hits, bool simulated) {
    Json player = Json::object();
    player["range"] = range;
    player["combos"] = p.combos;
    player["equity"] = fraction_or_null(p.equity);
    player["win"] = p.win;
    player["tie"] = p.tie;
    player["stderr"] = p.standard_error;
    if (shown.categories) {
        Json categories = Json::object();
        for (const int c : categories_in_order(ranking))
            categories[std::string(category_names[static_cast<std::size_t>(c)])] = p.categories[static_cast<std::size_t>(c)];
        player["categories"] = std::move(categories);
    }
    if (shown.by_hand) {
        Json hands = Json::array();
        // "weight" is the old name of "share", kept for the scripts that read it.
        for (const HandEquity& h : p.hands)
            hands.push_back(Json{{"hand", hand_text(h.hand)},
                                 {"share", h.weight},
                                 {"weight", h.weight},
                                 {"equity", fraction_or_null(h.equity)}});
        player["hands"] = std::move(hands);
    }
    if (hits != nullptr) player["hits"] = hits_json(*hits, simulated);
    if (shown.grid) {
        Json grid = Json::array();
        for (const GridCell& c : range_grid(p))
            grid.push_back(Json{{"class", c.name}, {"weight", c.weight}, {"equity", fraction_or_null(c.equity)}});
        player["grid"] = std::move(grid);
    }
    return player;
}

Json next_cards_json(const std::vector<NextCard>& table) {
    Json list = Json::array();
    for (const NextCard& row : table)
        list.push_back(Json{{"card", card_text(row.card)}, {"probability", row.probability}, {"equity", row.equity}});
    return list;
}

} // namespace

std::string_view method_name(RangeMethod method) { return method == RangeMethod::exact ? "exact" : "monte_carlo"; }

nlohmann::ordered_json answer_json(const std::vector<std::string>& ranges, const RangeSpot& spot,
                                   const Answer& answer, const AnswerShown& shown) {
    const RangeResult& r = answer.result;
    Json json = Json::object();
    json["method"] = method_name(r.method);
    json["rules"] = rules_name(spot.ranking);
    json["board"] = cards_json(spot.board);
    json["dead"] = cards_json(spot.dead);
    if (r.method == RangeMethod::exact) {
        json["deals"] = r.deals;
        json["boards"] = r.boards;
    } else {
        json["trials"] = r.trials;
        json["seed"] = r.seed;
    }
    json["elapsed_seconds"] = answer.elapsed_seconds;
    Json players = Json::array();
    const bool simulated = r.method == RangeMethod::monte_carlo;
    for (std::size_t i = 0; i < r.players.size(); ++i) {
        const std::vector<HitLine>* hits = shown.hits && i < answer.hits.size() ? &answer.hits[i] : nullptr;
        players.push_back(player_json(ranges[i], r.players[i], spot.ranking, shown, hits, simulated));
    }
    json["players"] = std::move(players);
    if (shown.by_card) json["next_cards"] = next_cards_json(answer.next_cards);
    if (shown.flops) {
        json["flops"] = flops_json(answer.flops);
        json["textures"] = textures_json(answer.textures);
    }
    return json;
}

nlohmann::ordered_json ordering_json(Ranking ranking) {
    constexpr double all_combos = 630;
    Json list = Json::array();
    int place = 0, cumulative = 0;
    for (const OrderedClass& c : preflop_ordering(ranking)) {
        cumulative += c.combos;
        list.push_back(Json{{"place", ++place},
                            {"class", hand_class_name(c.square)},
                            {"combos", c.combos},
                            {"cumulative_combos", cumulative},
                            {"cumulative_percent", 100.0 * cumulative / all_combos},
                            {"equity", c.equity}});
    }
    return list;
}

} // namespace varnolith
