#pragma once
// The page's requests about notation, bodies in and JSON out, apart from the
// server so that whatever serves the page (the server, or the page's own
// engine) answers them alike: a range's combinations, combinations written
// back as notation, a range cut by a filter, card texts read, the ordering.

#include <nlohmann/json.hpp>

#include <string_view>
#include <variant>

#include "api_error.hpp"

namespace varnolith {

using Answered = std::variant<nlohmann::ordered_json, ApiError>;

// {"range", "rules"} -> {"combos", "notation", "hands": [{"hand", "weight"}]}.
Answered range_answer(std::string_view body);

// {"hands": [{"hand", "weight"}]} -> {"range"}.
Answered notation_answer(std::string_view body);

// {"range", "board", "dead", "filter", "rules"} -> {"range", "combos"}.
Answered filter_answer(std::string_view body);

// {"board", "dead"} -> {"board": [...], "dead": [...]}, or a run's error for the text.
Answered cards_answer(std::string_view body);

// The query after "?" ("rules=trips", or "") -> {"rules", "classes", "top_class_counts"}.
Answered ordering_answer(std::string_view query);

} // namespace varnolith
