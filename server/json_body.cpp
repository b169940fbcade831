#include "json_body.hpp"

#include <set>
#include <string>
#include <vector>

#include "user_text.hpp"

namespace varnolith {

namespace {

constexpr std::string_view too_large_code = "payload_too_large", not_json_code = "bad_json";

} // namespace

std::variant<JsonBody, ApiError> read_json_body(std::string_view body) {
    using Json = JsonBody;
    if (body.size() > max_body_bytes)
        return ApiError{413, std::string(too_large_code),
                        "the body is over " + std::to_string(max_body_bytes / 1024) + " KiB"};
    // The keys seen in each object being read, innermost last. The parser
    // keeps the last of two equal keys; a client that sent both meant one.
    std::vector<std::set<std::string>> open;
    std::string twice;
    const auto watch = [&](int, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::object_start) open.emplace_back();
        else if (event == Json::parse_event_t::object_end) open.pop_back();
        else if (event == Json::parse_event_t::key && twice.empty() && !open.back().insert(parsed.get<std::string>()).second)
            twice = parsed.get<std::string>();
        return true;
    };
    Json json = Json::parse(body, watch, false);
    if (json.is_discarded()) return ApiError{400, std::string(not_json_code), "the body is not JSON"};
    if (!twice.empty())
        return ApiError{400, "bad_request", "field \"" + shown_text(twice) + "\" is given twice", shown_text(twice)};
    return json;
}

bool body_unread(const ApiError& refusal) { return refusal.code == too_large_code || refusal.code == not_json_code; }

} // namespace varnolith
