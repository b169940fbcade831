#include "equity_request.hpp"

#include <nlohmann/json.hpp>

#include <array>
#include <limits>
#include <optional>

#include "json_body.hpp"
#include "run_numbers.hpp"
#include "user_text.hpp"

namespace varnolith {

namespace {

using Json = JsonBody;

// A slip in the body, and the field (and player) it concerns.
struct Refusal {
    std::string message;
    std::string field;
    int player = -1;
};

[[noreturn]] void refuse(std::string message, std::string_view field, int player = -1) {
    throw Refusal{std::move(message), std::string(field), player};
}

constexpr std::array<std::string_view, 15> known_fields{"ranges", "board", "dead", "method", "trials", "precision",
                                                       "seed", "by_hand", "categories", "grid", "by_card", "threads",
                                                       "rules", "hits", "flops"};

std::string named_field(std::string_view name) { return "field \"" + shown_text(name) + "\""; }

std::string text_field(const Json& body, std::string_view name) {
    const auto at = body.find(name);
    if (at == body.end() || at->is_null()) return {};
    if (!at->is_string()) refuse(named_field(name) + " must be a string of cards such as \"Kh9c8d\"", name);
    return at->get<std::string>();
}

bool flag_field(const Json& body, std::string_view name) {
    const auto at = body.find(name);
    if (at == body.end() || at->is_null()) return false;
    if (!at->is_boolean()) refuse(named_field(name) + " must be true or false", name);
    return at->get<bool>();
}

// A whole number from `low` to `high` (JSON integers only, no 1e3 or 2.0), or
// nothing when the field is absent or null.
std::optional<uint64_t> whole_field(const Json& body, std::string_view name, uint64_t low, uint64_t high,
                                    std::string_view what) {
    const auto at = body.find(name);
    if (at == body.end() || at->is_null()) return std::nullopt;
    const bool fits = at->is_number_unsigned() ||
                      (at->is_number_integer() && at->get<int64_t>() >= 0);
    if (!fits || at->get<uint64_t>() < low || at->get<uint64_t>() > high)
        refuse(named_field(name) + " must be " + std::string(what) + ", or null", name);
    return at->get<uint64_t>();
}

// A number typed into a form comes as text, and is read as the command reads
// its option: by the same rules, refused in the same words.
template <typename T>
std::optional<T> typed_field(const Json& body, std::string_view name,
                             std::string (*read_text)(std::string_view, T&)) {
    const auto at = body.find(name);
    if (at == body.end() || !at->is_string()) return std::nullopt;
    T value{};
    if (std::string slip = read_text(at->get<std::string>(), value); !slip.empty()) refuse(slip, name);
    return value;
}

Ranking rules_field(const Json& body) {
    const auto at = body.find("rules");
    if (at == body.end() || at->is_null()) return default_rules;
    if (!at->is_string()) refuse("field \"rules\" must be \"straight\" or \"trips\"", "rules");
    return read_rules(at->get<std::string>());
}

// The count first, so that a player named by a refusal is one of at most fifteen.
std::vector<std::string> range_texts(const Json& body) {
    const auto at = body.find("ranges");
    if (at == body.end() || !at->is_array())
        refuse("field \"ranges\" must be a list of range texts, one per player", "ranges");
    if (at->size() < 2 || at->size() > static_cast<std::size_t>(max_range_players))
        refuse("give two to fifteen ranges, one per player (got " + std::to_string(at->size()) + ")", "ranges");
    std::vector<std::string> ranges;
    for (const Json& r : *at) {
        if (!r.is_string())
            refuse("field \"ranges\" must hold range texts (strings) only", "ranges", static_cast<int>(ranges.size()));
        ranges.push_back(r.get<std::string>());
    }
    return ranges;
}

RunChoices run_choices(const Json& body) {
    RunChoices choices;
    std::string method = "auto";
    if (const auto at = body.find("method"); at != body.end() && !at->is_null()) {
        if (!at->is_string()) refuse("field \"method\" must be \"auto\", \"exact\" or \"monte_carlo\"", "method");
        method = at->get<std::string>();
    }
    if (method != "auto" && method != "exact" && method != "monte_carlo")
        refuse("field \"method\" must be \"auto\", \"exact\" or \"monte_carlo\" (got \"" + shown_text(method) + "\")",
               "method");
    std::optional<uint64_t> trials;
    if (const auto typed = typed_field<int64_t>(body, "trials", read_trials)) trials = static_cast<uint64_t>(*typed);
    else trials = whole_field(body, "trials", 1, std::numeric_limits<int64_t>::max(), "a whole number of at least 1");
    std::optional<double> precision = typed_field<double>(body, "precision", read_precision);
    if (const auto at = body.find("precision"); !precision && at != body.end() && !at->is_null()) {
        if (!at->is_number() || !(at->get<double>() > 0.0 && at->get<double>() < 1.0))
            refuse("field \"precision\" must be a number above 0 and below 1, or null", "precision");
        precision = at->get<double>();
    }
    if (method == "exact") choices.method = RangeMethod::exact;
    else if (method == "monte_carlo" || trials || precision) choices.method = RangeMethod::monte_carlo;
    if (trials) choices.trials = static_cast<int64_t>(*trials);
    choices.precision = precision;
    if (const auto fault = run_choices_fault(choices)) refuse(fault->what(), std::string(field_name(fault->field)));
    choices.seed = typed_field<uint64_t>(body, "seed", read_seed);
    if (!choices.seed)
        choices.seed = whole_field(body, "seed", 0, std::numeric_limits<uint64_t>::max(),
                                   "a whole number from 0 to 18446744073709551615");
    if (const auto threads = whole_field(body, "threads", 1, max_run_threads,
                                         "a whole number from 1 to " + std::to_string(max_run_threads)))
        choices.threads = static_cast<int>(*threads);
    return choices;
}

EquityRequest read(const Json& body) {
    if (!body.is_object()) refuse("the body must be a JSON object such as {\"ranges\": [\"QQ+\", \"random\"]}", "");
    // Of several unknown fields, the first by name is told, whatever their order.
    std::optional<std::string> unknown;
    for (const auto& item : body.items())
        if (std::find(known_fields.begin(), known_fields.end(), item.key()) == known_fields.end() &&
            (!unknown || item.key() < *unknown))
            unknown = item.key();
    if (unknown) refuse("unknown " + named_field(*unknown), shown_text(*unknown));
    EquityRequest request;
    request.ranges = range_texts(body);
    request.board = text_field(body, "board");
    request.dead = text_field(body, "dead");
    request.choices = run_choices(body);
    request.by_hand = flag_field(body, "by_hand");
    request.categories = flag_field(body, "categories");
    request.grid = flag_field(body, "grid");
    request.by_card = flag_field(body, "by_card");
    request.hits = flag_field(body, "hits");
    request.flops = flag_field(body, "flops");
    const Ranking rules = rules_field(body);
    SpotFromText read = spot_from_text(request.ranges, request.board, request.dead, rules);
    if (read.error) throw *read.error;
    request.spot = std::move(read.spot);
    if (request.by_card) {
        const std::string refusal = next_cards_refusal(request.spot, request.choices);
        if (!refusal.empty()) refuse(refusal, "by_card");
        request.choices.method = RangeMethod::exact;
    }
    if (const auto fault = asked_fault(request.spot, request.choices, answer_asked(request)))
        refuse(fault->what(), field_name(fault->field));
    if (request.flops) request.choices.method = RangeMethod::exact;
    return request;
}

} // namespace

std::string error_body(const ApiError& e) {
    using Ordered = nlohmann::ordered_json; // the fields in the order a person reads them
    const Ordered field = e.field.empty() ? Ordered(nullptr) : Ordered(e.field);
    const Ordered player = e.player < 0 ? Ordered(nullptr) : Ordered(e.player);
    return Ordered{{"error", {{"code", e.code}, {"message", e.message}, {"field", field}, {"player", player}}}}.dump(
        -1, ' ', false, Ordered::error_handler_t::replace);
}

ApiError api_error(const RangeError& e) {
    ApiError error{500, "internal", e.what(), std::string(field_name(e.field)), e.player};
    switch (e.kind) {
    case ErrorKind::usage:
    case ErrorKind::range:
    case ErrorKind::cards:
        error.status = 400;
        error.code = "bad_request";
        break;
    case ErrorKind::no_deal:
        error.status = 422;
        error.code = "no_compatible_deal";
        break;
    case ErrorKind::internal: break;
    }
    return error;
}

std::variant<EquityRequest, ApiError> read_equity_request(std::string_view body) {
    auto json = read_json_body(body);
    if (auto* e = std::get_if<ApiError>(&json)) return std::move(*e);
    try {
        return read(std::get<Json>(json));
    } catch (const Refusal& r) {
        return ApiError{400, "bad_request", r.message, r.field, r.player};
    } catch (const RangeError& e) {
        return api_error(e);
    }
}

} // namespace varnolith
