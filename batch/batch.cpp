#include "batch.hpp"

#include "team.hpp"

#include <algorithm>
#include <exception>
#include <mutex>
#include <optional>
#include <variant>

#include "equity_answer.hpp"
#include "equity_request.hpp"
#include "json_body.hpp"
#include "ranges/answer.hpp"

namespace varnolith {

namespace {

// A spot expected within this on one core runs on one thread beside the
// others: more threads would not pay for themselves.
constexpr double small_spot_seconds = 0.02;

constexpr std::size_t chunk_lines_per_thread = 256;

// A line read and checked, ready to run; `small` as its estimate says.
struct ReadyLine {
    EquityRequest request;
    bool small = true;
};

LineAnswer refusal(const ApiError& error) {
    return {error_body(error), body_unread(error) ? LineOutcome::not_json : LineOutcome::refused};
}

// Read as POST /api/equity reads its body, refused as it refuses one (a spot
// with no deal included), and judged small or not.
std::variant<ReadyLine, LineAnswer> read_line(std::string_view line) {
    auto read = read_equity_request(line);
    if (auto* e = std::get_if<ApiError>(&read)) return refusal(*e);
    ReadyLine ready{std::move(std::get<EquityRequest>(read))};
    try {
        const PreparedSpot prepared = prepare_spot(ready.request.spot);
        require_a_deal(prepared);
        ready.small = estimate_answer(prepared, ready.request.choices, answer_asked(ready.request)).one_thread <=
                      small_spot_seconds;
    } catch (...) {
        return refusal(run_failure());
    }
    return ready;
}

LineAnswer run_line(EquityRequest& request, int threads, const std::atomic<bool>* cancel) {
    request.choices.threads = threads;
    RangeOptions hooks;
    hooks.cancel = cancel;
    LineAnswer answer;
    try {
        answer.text = answer_text(request, hooks, AnswerLayout::one_line);
    } catch (const RangeCancelled&) {
        throw;
    } catch (...) {
        answer = refusal(run_failure());
    }
    if (cancel != nullptr && cancel->load()) throw RangeCancelled{};
    return answer;
}

// Answers come in any order and leave in the lines' order.
struct InOrder {
    const LineSink& sink;
    std::vector<std::optional<LineAnswer>> waiting;
    std::size_t next = 0; // the first line not handed over
    std::mutex mutex{};

    void put(std::size_t line, LineAnswer answer) {
        const std::lock_guard lock(mutex);
        waiting[line] = std::move(answer);
        for (; next < waiting.size() && waiting[next]; ++next) {
            sink(std::move(*waiting[next]));
            waiting[next].reset();
        }
    }
};

bool stopped(const BatchChoices& choices) { return choices.cancel != nullptr && choices.cancel->load(); }

} // namespace

std::size_t kept_line_bytes() { return max_body_bytes + 1; }

std::size_t lines_per_chunk(int threads) {
    return chunk_lines_per_thread * static_cast<std::size_t>(threads > 0 ? threads : core_count());
}

void answer_lines(const std::vector<std::string_view>& lines, const BatchChoices& choices, const LineSink& sink) {
    const int threads = choices.threads > 0 ? choices.threads : core_count();
    InOrder in_order{sink, std::vector<std::optional<LineAnswer>>(lines.size()), 0};
    std::vector<std::optional<EquityRequest>> later(lines.size()); // the spots that are not small
    std::exception_ptr failure;
    std::atomic<bool> failed{false};
    std::mutex failure_mutex;
    const auto count = static_cast<std::ptrdiff_t>(lines.size());
#pragma omp parallel for schedule(dynamic) num_threads(threads)
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        const auto line = static_cast<std::size_t>(i);
        if (failed.load()) continue;
        // An exception must not leave the region: the first is thrown after it.
        try {
            if (stopped(choices)) throw RangeCancelled{};
            auto read = read_line(lines[line]);
            if (auto* refused = std::get_if<LineAnswer>(&read)) {
                in_order.put(line, std::move(*refused));
                continue;
            }
            ReadyLine& ready = std::get<ReadyLine>(read);
            if (ready.small) in_order.put(line, run_line(ready.request, 1, choices.cancel));
            else later[line] = std::move(ready.request);
        } catch (...) {
            const std::lock_guard lock(failure_mutex);
            if (!failure) failure = std::current_exception();
            failed = true;
        }
    }
    if (failure) std::rethrow_exception(failure);
    for (std::size_t line = 0; line < lines.size(); ++line) {
        if (!later[line]) continue;
        EquityRequest& request = *later[line];
        const int asked = request.choices.threads;
        in_order.put(line, run_line(request, asked > 0 ? std::min(asked, threads) : threads, choices.cancel));
        later[line].reset();
    }
}

void answer_text_lines(std::string_view text, const BatchChoices& choices, const LineSink& sink) {
    const std::size_t chunk = lines_per_chunk(choices.threads);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        lines.clear();
        while (!text.empty() && lines.size() < chunk) {
            const std::size_t end = std::min(text.find('\n'), text.size());
            lines.push_back(text.substr(0, end));
            text.remove_prefix(std::min(end + 1, text.size()));
        }
        answer_lines(lines, choices, sink);
    }
}

} // namespace varnolith
