#include "answer.hpp"

#include <chrono>
#include <cmath>

#include "preflop_ordering.hpp"
#include "range_grid.hpp"

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

Json player_json(const std::string& range, const RangePlayerResult& p, const AnswerShown& shown) {
    Json player = Json::object();
    player["range"] = range;
    player["combos"] = p.combos;
    player["equity"] = fraction_or_null(p.equity);
    player["win"] = p.win;
    player["tie"] = p.tie;
    player["stderr"] = p.standard_error;
    if (shown.categories) {
        Json categories = Json::object();
        for (std::size_t i = 0; i < category_names.size(); ++i)
            categories[std::string(category_names[i])] = p.categories[i];
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

// The next-card table costs about as much as the spot itself: progress runs
// over both, half each.
struct HalfProgress {
    const RangeOptions& outer;
    double first = 0;
};

void half_progress(double done, void* context) {
    const auto& p = *static_cast<const HalfProgress*>(context);
    p.outer.progress(p.first + 0.5 * done, p.outer.progress_context);
}

} // namespace

Answer compute_answer(const RangeSpot& spot, RunChoices choices, bool by_card, const RangeOptions& hooks) {
    if (by_card) choices.method = RangeMethod::exact;
    const auto start = std::chrono::steady_clock::now();
    RangeRun run = plan_range_run(spot, choices);
    run.options.cancel = hooks.cancel;
    HalfProgress half{hooks};
    if (hooks.progress) {
        run.options.progress = by_card ? half_progress : hooks.progress;
        run.options.progress_context = by_card ? &half : hooks.progress_context;
    }
    Answer answer;
    answer.result = run_range_equity(spot, run);
    if (by_card) {
        half.first = 0.5;
        answer.next_cards = next_card_table(spot, run.options);
    }
    answer.elapsed_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return answer;
}

nlohmann::ordered_json answer_json(const std::vector<std::string>& ranges, const RangeSpot& spot,
                                   const Answer& answer, const AnswerShown& shown) {
    const RangeResult& r = answer.result;
    Json json = Json::object();
    json["method"] = r.method == RangeMethod::exact ? "exact" : "monte_carlo";
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
    for (std::size_t i = 0; i < r.players.size(); ++i) players.push_back(player_json(ranges[i], r.players[i], shown));
    json["players"] = std::move(players);
    if (shown.by_card) json["next_cards"] = next_cards_json(answer.next_cards);
    return json;
}

nlohmann::ordered_json ordering_json() {
    constexpr double all_combos = 630;
    Json list = Json::array();
    int place = 0, cumulative = 0;
    for (const OrderedClass& c : preflop_ordering()) {
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
