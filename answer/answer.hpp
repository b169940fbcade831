#pragma once
// The answer to a range request as JSON: the one object that `varnolith
// --json` prints and the web server sends.

#include <nlohmann/json.hpp>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "ranges/answer.hpp"

namespace varnolith {

// In the order of RangePlayerResult::categories.
inline constexpr std::array<std::string_view, category_count> category_names{
    "high card", "pair", "two pair", "three of a kind", "straight", "full house", "flush", "four of a kind",
    "straight flush"};

// The categories as the ranking orders them, worst first: the order tables
// and JSON list them in.
constexpr std::array<int, category_count> categories_in_order(Ranking ranking) {
    std::array<int, category_count> order{};
    for (int place = 0; place < category_count; ++place)
        order[static_cast<std::size_t>(place)] = category_place(place, ranking);
    return order;
}

// What the request asks to see besides the players' figures.
struct AnswerShown {
    bool categories = false;
    bool by_hand = false;
    bool grid = false;
    bool by_card = false;
    bool hits = false;  // per player, from the answer's hits
    bool flops = false; // the flop rows and the texture groups
};

// The method as answers and estimates name it: "exact" or "monte_carlo".
std::string_view method_name(RangeMethod method);

// The JSON object; `ranges` are the texts as given, one per player.
nlohmann::ordered_json answer_json(const std::vector<std::string>& ranges, const RangeSpot& spot,
                                   const Answer& answer, const AnswerShown& shown);

// The ranking's preflop ordering as a list: place, class, combos, cumulative
// combos and percent of the 630, equity against a random hand.
nlohmann::ordered_json ordering_json(Ranking ranking);

} // namespace varnolith
