#pragma once
// The answer to a range request, as every front end gives it: the run itself
// (method chosen, figures, the next-card table when asked) and the one JSON
// object that `varnolith --json` prints and the web server sends.

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "range_next_card.hpp"
#include "range_request.hpp"

namespace varnolith {

struct Answer {
    RangeResult result;
    std::vector<NextCard> next_cards; // when asked for
    double elapsed_seconds = 0;
};

// What the request asks to see besides the players' figures.
struct AnswerShown {
    bool categories = false;
    bool by_hand = false;
    bool grid = false;
    bool by_card = false;
};

// Plans the run (with a next-card table the run is exact) and runs it, with
// the caller's progress and cancel hooks. Throws what the drivers throw.
Answer compute_answer(const RangeSpot& spot, RunChoices choices, bool by_card, const RangeOptions& hooks);

// The JSON object; `ranges` are the texts as given, one per player.
nlohmann::ordered_json answer_json(const std::vector<std::string>& ranges, const RangeSpot& spot,
                                   const Answer& answer, const AnswerShown& shown);

} // namespace varnolith
