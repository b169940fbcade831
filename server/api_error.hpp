#pragma once
// An answer the API gives instead of a result: the HTTP status, a short code
// for programs, the one-line message the varnolith command would print, and
// what it concerns, so that a client can show it by the right field without
// reading the message.

#include <string>
#include <utility>

#include "ranges/error.hpp"

namespace varnolith {

struct ApiError {
    int status = 500;
    std::string code;    // "bad_request", "no_compatible_deal", ...
    std::string message; // one line
    std::string field;   // the request's field it concerns ("ranges", "board", ...); "" for none
    int player = -1;     // 0-based index into "ranges"; -1 for none

    ApiError() = default;
    ApiError(int status_code, std::string code_name, std::string text, std::string about = {}, int whose = -1)
        : status(status_code), code(std::move(code_name)), message(std::move(text)), field(std::move(about)),
          player(whose) {}
};

// {"error": {"code": ..., "message": ..., "field": ... or null, "player": ... or null}}
std::string error_body(const ApiError& e);

// What the engine's error is over HTTP: 400 bad_request for the user's slips,
// 422 no_compatible_deal, 500 internal; its field and player carried over.
ApiError api_error(const RangeError& e);

} // namespace varnolith
