#pragma once
// Why a range request has no answer, told so that a front end can act on it
// without reading the text: the kind of fault, the part of the request it
// concerns and the player, beside the one line shown to the user. The range
// engine raises it once; the command maps the kind to its exit status, the
// server to an HTTP status and its error object, the range library to a status
// code, and the Python module to an exception.

#include <stdexcept>
#include <string>
#include <string_view>

namespace varnolith {

enum class ErrorKind {
    usage,    // a choice of the run out of bounds, or choices that exclude one another
    range,    // a range that does not parse or names no combination
    cards,    // a bad card, more than five board cards, a card given twice
    no_deal,  // no deal of the ranges holds every card at most once
    internal, // a worker thread that failed
};

// The part of a request an error concerns, named as the API's JSON fields are.
enum class ErrorField { none, ranges, board, dead, method, trials, precision, seed, threads, by_card, rules, hits, filter, flops };

// "ranges", "board", ... ; "" for none.
std::string_view field_name(ErrorField field);

struct RangeError : std::runtime_error {
    ErrorKind kind;
    ErrorField field;
    int player; // 0-based, the player the error concerns; -1 for none

    RangeError(ErrorKind of, const std::string& message, ErrorField about = ErrorField::none, int whose = -1)
        : std::runtime_error(message), kind(of), field(about), player(whose) {}
};

} // namespace varnolith
