#pragma once
// An answer the API gives instead of a result: the HTTP status, a short code
// for programs and the one-line message the varnolith command would print.

#include <string>

#include "range_error.hpp"

namespace varnolith {

struct ApiError {
    int status = 500;
    std::string code;    // "bad_request", "no_compatible_deal", ...
    std::string message; // one line
};

// {"error": {"code": ..., "message": ...}}
std::string error_body(const ApiError& e);

// What the engine's error is over HTTP: 400 bad_request for the user's slips,
// 422 no_compatible_deal, 500 internal.
ApiError api_error(const RangeError& e);

} // namespace varnolith
