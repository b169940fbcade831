#pragma once
// A request's JSON body read once for every route: bounded in size, and a key
// given twice in one object refused rather than silently keeping one of them.

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string_view>
#include <variant>

#include "api_error.hpp"

namespace varnolith {

// A body as read: its objects keep their keys in the order given, the same
// type as every answer, so that one JSON type serves reading and writing.
using JsonBody = nlohmann::ordered_json;

// Bodies larger than this are refused before they are read.
inline constexpr std::size_t max_body_bytes = 64 * 1024;

// The parsed body, or 413 payload_too_large, 400 bad_json, or 400
// bad_request naming the key given twice (as its field).
std::variant<JsonBody, ApiError> read_json_body(std::string_view body);

// Whether read_json_body refused the body without reading it as JSON at all:
// too large, or not JSON.
bool body_unread(const ApiError& refusal);

} // namespace varnolith
