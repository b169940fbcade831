#include "equity_answer.hpp"

#include <nlohmann/json.hpp>

#include <exception>
#include <new>

#include "answer.hpp"

namespace varnolith {

std::string laid_out(const nlohmann::ordered_json& json, AnswerLayout layout) {
    using Json = nlohmann::ordered_json;
    if (layout == AnswerLayout::one_line) return json.dump(-1, ' ', false, Json::error_handler_t::replace);
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string answer_text(const EquityRequest& request, const RangeOptions& hooks, AnswerLayout layout) {
    const Answer answer = compute_answer(request.spot, request.choices, answer_asked(request), hooks);
    const AnswerShown shown{request.categories, request.by_hand, request.grid, request.by_card, request.hits,
                            request.flops};
    return laid_out(answer_json(request.ranges, request.spot, answer, shown), layout);
}

ApiError run_failure() {
    try {
        throw;
    } catch (const RangeError& e) {
        return api_error(e);
    } catch (const std::bad_alloc&) {
        return ApiError{500, "internal", "memory ran out"};
    } catch (const std::exception& e) {
        return ApiError{500, "internal", e.what()};
    } catch (...) {
        return ApiError{500, "internal", "an unknown failure"};
    }
}

} // namespace varnolith
