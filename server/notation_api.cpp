#include "notation_api.hpp"

#include <stdexcept>
#include <string>

#include "answer.hpp"
#include "card_text.hpp"
#include "equity_request.hpp"
#include "json_body.hpp"
#include "ranges/notation/ordering.hpp"
#include "ranges/notation/writer.hpp"
#include "ranges/postflop/filter.hpp"
#include "ranges/request.hpp"

namespace varnolith {

namespace {

using Json = nlohmann::ordered_json;

} // namespace

// {"range": "QQ+, AKs"} -> the live combinations it names, with weights, and
// the notation written back short; the page's square reads it.
Answered range_answer(std::string_view text) {
    auto read = read_json_body(text);
    if (auto* e = std::get_if<ApiError>(&read)) return *e;
    const JsonBody& body = std::get<JsonBody>(read);
    if (!body.is_object() || !body.contains("range") || !body["range"].is_string() ||
        (body.contains("rules") && !body["rules"].is_string()))
        return ApiError{400, "bad_request", "the body must be {\"range\": \"notation\"}, with \"rules\" if not straight", "range"};
    try {
        const Ranking rules = body.contains("rules") ? read_rules(body["rules"].get<std::string>()) : default_rules;
        const Range range = parse_range(body["range"].get<std::string>(), rules);
        Json hands = Json::array();
        for (const WeightedCombo& c : range) hands.push_back(Json{{"hand", hand_text(c.hand)}, {"weight", c.weight}});
        return Json{{"combos", range.size()}, {"notation", range_notation(range)}, {"hands", hands}};
    } catch (const std::invalid_argument& e) {
        return ApiError{400, "bad_request", e.what(), "range"};
    } catch (const RangeError& e) {
        return api_error(e);
    }
}

namespace {

// A text field of the filter's body: absent is empty; any other type refused.
std::string filter_text(const JsonBody& body, const char* name) {
    const auto at = body.find(name);
    if (at == body.end() || at->is_null()) return {};
    if (!at->is_string()) throw RangeError(ErrorKind::usage, std::string("field \"") + name + "\" must be a string", ErrorField::filter);
    return at->get<std::string>();
}

} // namespace

// {"range", "board", "dead", "filter", "rules"} -> {"range": notation, "combos": n}:
// the range cut to what the filter keeps on the board, as --filter prints it.
Answered filter_answer(std::string_view text) {
    auto read = read_json_body(text);
    if (auto* e = std::get_if<ApiError>(&read)) return *e;
    const JsonBody& body = std::get<JsonBody>(read);
    if (!body.is_object())
        return ApiError{400, "bad_request", "the body must be {\"range\", \"board\", \"filter\"}", "filter"};
    try {
        const Ranking rules = body.contains("rules") ? read_rules(filter_text(body, "rules")) : default_rules;
        SpotFromText spot = spot_from_text({filter_text(body, "range")}, filter_text(body, "board"),
                                           filter_text(body, "dead"), rules);
        if (spot.error) throw *spot.error;
        const HitFilter filter = parse_hit_filter(filter_text(body, "filter"));
        const Range kept = filter_range(spot.spot.ranges[0], spot.spot.board, spot.spot.dead, rules, filter);
        return Json{{"range", range_notation(kept)}, {"combos", kept.size()}};
    } catch (const RangeError& e) {
        ApiError error = api_error(e);
        if (error.field == "ranges") error.field = "range";
        return error;
    }
}

// {"hands": [{"hand": "AhKd", "weight": 1}, ...]} -> {"range": "short notation"}.
Answered notation_answer(std::string_view text) {
    auto read = read_json_body(text);
    if (auto* e = std::get_if<ApiError>(&read)) return *e;
    const JsonBody& body = std::get<JsonBody>(read);
    if (!body.is_object() || !body.contains("hands") || !body["hands"].is_array())
        return ApiError{400, "bad_request", "the body must be {\"hands\": [{\"hand\": \"AhKd\", \"weight\": 1}]}", "hands"};
    try {
        Range range;
        for (const JsonBody& h : body["hands"]) {
            if (!h.is_object() || !h.contains("hand") || !h["hand"].is_string())
                throw std::invalid_argument("each hand is {\"hand\": \"AhKd\", \"weight\": w}");
            const double weight = h.contains("weight") && h["weight"].is_number() ? h["weight"].get<double>() : -1.0;
            if (!(weight > 0.0 && weight <= 1.0)) throw std::invalid_argument("a weight is above 0 and at most 1");
            const Range one = parse_range(h["hand"].get<std::string>());
            if (one.size() != 1) throw std::invalid_argument("a hand is one combination such as AhKd");
            range.push_back({one[0].hand, weight});
        }
        return Json{{"range", range_notation(range)}};
    } catch (const std::invalid_argument& e) {
        return ApiError{400, "bad_request", e.what(), "hands"};
    }
}

// {"board": "Kh9c8d", "dead": "As"} -> the cards of each, read as a run reads
// them, so that the page checks a field as the command would: one set of
// rules, one wording ("board: card \"10h\": write T for ten").
Answered cards_answer(std::string_view text_of_body) {
    auto read = read_json_body(text_of_body);
    if (auto* e = std::get_if<ApiError>(&read)) return *e;
    const JsonBody& body = std::get<JsonBody>(read);
    const auto text = [&](const char* name) {
        return body.is_object() && body.contains(name) && body[name].is_string() ? body[name].get<std::string>() : "";
    };
    if (!body.is_object() || (body.contains("board") && !body["board"].is_string()) ||
        (body.contains("dead") && !body["dead"].is_string()))
        return ApiError{400, "bad_request", "the body must be {\"board\": \"Kh9c8d\", \"dead\": \"As\"}"};
    const SpotFromText spot = spot_from_text({"random", "random"}, text("board"), text("dead"));
    if (spot.error) return api_error(*spot.error);
    const auto cards = [](const auto& list) {
        Json texts = Json::array();
        for (const Card c : list) texts.push_back(card_text(c));
        return texts;
    };
    return Json{{"board", cards(spot.spot.board)}, {"dead", cards(spot.spot.dead)}};
}

// The ordering of the rules the query names (?rules=trips; straight without
// one), and for each whole percent from 1 to 100 how many of its classes "N%"
// takes: the page's Top slider reads these rather than count again.
Answered ordering_answer(std::string_view query) {
    Ranking rules = default_rules;
    if (!query.empty()) {
        if (!query.starts_with("rules="))
            return ApiError{400, "bad_request", "the only question here is ?rules=straight or ?rules=trips", "rules"};
        try {
            rules = read_rules(query.substr(6));
        } catch (const RangeError& e) {
            return api_error(e);
        }
    }
    Json top = Json::array();
    for (int percent = 1; percent <= 100; ++percent) top.push_back(top_class_count(percent, rules));
    return Json{{"rules", rules_name(rules)},
                                       {"classes", ordering_json(rules)},
                                       {"top_class_counts", top}};
}

} // namespace varnolith
