#include "ranges/error.hpp"

namespace varnolith {

std::string_view field_name(ErrorField field) {
    switch (field) {
    case ErrorField::ranges: return "ranges";
    case ErrorField::board: return "board";
    case ErrorField::dead: return "dead";
    case ErrorField::method: return "method";
    case ErrorField::trials: return "trials";
    case ErrorField::precision: return "precision";
    case ErrorField::seed: return "seed";
    case ErrorField::threads: return "threads";
    case ErrorField::by_card: return "by_card";
    case ErrorField::rules: return "rules";
    case ErrorField::hits: return "hits";
    case ErrorField::filter: return "filter";
    case ErrorField::flops: return "flops";
    case ErrorField::none: break;
    }
    return "";
}

} // namespace varnolith
