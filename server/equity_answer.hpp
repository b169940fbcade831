#pragma once
// A request of POST /api/equity (or /api/jobs) run to its answer's JSON text:
// the work of every job, and of every line of `varnolith --batch`, so that
// they answer alike.

#include <nlohmann/json.hpp>

#include <string>

#include "api_error.hpp"
#include "equity_request.hpp"

namespace varnolith {

// How an answer's JSON text is laid out: indented for a reply's body, or on
// one line for an event's data or a line of a batch, which may not hold a newline.
enum class AnswerLayout { indented, one_line };

// The JSON text in that layout; an indented one ends with a newline.
std::string laid_out(const nlohmann::ordered_json& json, AnswerLayout layout);

// Runs the request with the caller's progress and cancel hooks; throws what
// the engine throws.
std::string answer_text(const EquityRequest& request, const RangeOptions& hooks, AnswerLayout layout);

// The error object of the exception being handled, for a run that threw
// anything but a cancel: the engine's errors as api_error says, memory and
// any other failure as 500 internal. Call it only inside a catch block.
ApiError run_failure();

} // namespace varnolith
