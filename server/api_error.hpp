#pragma once
// An answer the API gives instead of a result: the HTTP status, a short code
// for programs and the one-line message the varnolith command would print.

#include <string>

namespace varnolith {

struct ApiError {
    int status = 500;
    std::string code;    // "bad_request", "no_compatible_deal", ...
    std::string message; // one line
};

// {"error": {"code": ..., "message": ...}}
std::string error_body(const ApiError& e);

} // namespace varnolith
