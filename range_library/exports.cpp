// The only extern "C" definitions of libvarnolith_range: copy in, call the
// engine, copy out, inside a catch-all so that nothing escapes into the host.

#include <varnolith/range.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "answer.hpp"
#include "answer_text.hpp"
#include "postflop_json.hpp"
#include "batch.hpp"
#include "card_text.hpp"
#include "ranges/notation/ordering.hpp"
#include "ranges/answer.hpp"
#include "ranges/next_card.hpp"
#include "ranges/notation/writer.hpp"
#include "ranges/postflop/filter.hpp"
#include "ranges/request.hpp"
#include "ranges/spot.hpp"
#include "user_text.hpp"

// A failed call keeps its status, message and what the error concerns; figures stay empty.
struct varnolith_range_result {
    int32_t status = VARNOLITH_RANGE_ERROR_INTERNAL;
    std::string message;
    varnolith::ErrorField field = varnolith::ErrorField::none;
    int32_t player = -1;
    varnolith::Answer answer;
    // What the reports print besides the figures: the ranges as given (or
    // where they came from), the spot's board and dead cards, whether a
    // next-card table was asked for.
    std::vector<std::string> ranges;
    varnolith::RangeSpot spot;
    bool by_card = false;
    bool hits = false;
    bool flops = false;
    // A batch's answers, one line each, or a filter's ranges, one each: such
    // a result has no figures of its own.
    bool batch = false;
    bool filter = false;
    std::vector<std::string> lines;
};

struct varnolith_range_stop {
    std::atomic<bool> requested{false};
};

using namespace varnolith;

namespace {

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

// A refusal is thrown inside an export and caught at its edge.
[[noreturn]] void refuse(const std::string& message, ErrorField field = ErrorField::none, int player = -1) {
    throw RangeError(ErrorKind::usage, message, field, player);
}

// Where each field of the record ends: a caller's record holds the fields that
// end within its size, and the others take their defaults.
constexpr std::size_t field_ends[] = {
    offsetof(varnolith_range_options, method) + sizeof(varnolith_range_options::method),
    offsetof(varnolith_range_options, trials) + sizeof(varnolith_range_options::trials),
    offsetof(varnolith_range_options, precision) + sizeof(varnolith_range_options::precision),
    offsetof(varnolith_range_options, seed_given) + sizeof(varnolith_range_options::seed_given),
    offsetof(varnolith_range_options, seed) + sizeof(varnolith_range_options::seed),
    offsetof(varnolith_range_options, threads) + sizeof(varnolith_range_options::threads),
    offsetof(varnolith_range_options, by_card) + sizeof(varnolith_range_options::by_card),
    offsetof(varnolith_range_options, stop) + sizeof(varnolith_range_options::stop),
    offsetof(varnolith_range_options, progress) + sizeof(varnolith_range_options::progress),
    offsetof(varnolith_range_options, progress_context) + sizeof(varnolith_range_options::progress_context),
    offsetof(varnolith_range_options, rules) + sizeof(varnolith_range_options::rules),
    offsetof(varnolith_range_options, sources) + sizeof(varnolith_range_options::sources),
    offsetof(varnolith_range_options, hits) + sizeof(varnolith_range_options::hits),
    offsetof(varnolith_range_options, flops) + sizeof(varnolith_range_options::flops),
};

// The rules a host's number names; the rule on names is the engine's.
std::optional<Ranking> rules_of(int32_t rules) {
    if (rules == VARNOLITH_RANGE_RULES_STRAIGHT) return Ranking::straight;
    if (rules == VARNOLITH_RANGE_RULES_TRIPS) return Ranking::trips;
    return std::nullopt;
}

varnolith_range_options read_options(const varnolith_range_options* given) {
    varnolith_range_options o;
    varnolith_range_options_init(&o);
    if (given == nullptr) return o;
    const std::size_t size = given->size;
    std::size_t known = 0;
    for (const std::size_t end : field_ends)
        if (end <= size) known = end;
    if (known == 0)
        refuse("options: a record of " + std::to_string(size) + " bytes; fill it with varnolith_range_options_init");
    std::memcpy(&o, given, known);
    return o;
}

RunChoices read_choices(const varnolith_range_options& o) {
    if (o.method < VARNOLITH_RANGE_AUTO || o.method > VARNOLITH_RANGE_MONTE_CARLO)
        refuse("options: unknown method " + std::to_string(o.method), ErrorField::method);
    RunChoices choices;
    if (o.method == VARNOLITH_RANGE_EXACT) choices.method = RangeMethod::exact;
    if (o.method == VARNOLITH_RANGE_MONTE_CARLO) choices.method = RangeMethod::monte_carlo;
    choices.threads = o.threads;
    // The record always holds a precision; it is a choice only where it
    // applies: a simulation that runs no fixed number of trials (a next-card
    // table makes the run exact). An exact run
    // ignores both, though a negative trial count is refused whatever the method.
    if (o.method != VARNOLITH_RANGE_EXACT || o.trials < 0) choices.trials = o.trials;
    if (o.method != VARNOLITH_RANGE_EXACT && o.trials == 0 && o.by_card == 0 && o.flops == 0)
        choices.precision = o.precision;
    if (o.seed_given != 0) choices.seed = o.seed;
    if (const auto fault = run_choices_fault(choices))
        refuse("options: " + std::string(fault->what()), fault->field, fault->player);
    return choices;
}

// Where each range came from, as the options give it: "" for a range given as it is.
// None for a count out of bounds, which read_spot then refuses.
std::vector<std::string> range_sources(const varnolith_range_options& o, int32_t num_ranges) {
    if (num_ranges < 0 || num_ranges > max_range_players) return {};
    std::vector<std::string> sources(static_cast<std::size_t>(num_ranges));
    if (o.sources != nullptr)
        for (int32_t i = 0; i < num_ranges; ++i)
            if (o.sources[i] != nullptr) sources[static_cast<std::size_t>(i)] = o.sources[i];
    return sources;
}

// A run needs two ranges at least, a filter one.
RangeSpot read_spot(const char* const* ranges, int32_t num_ranges, const char* board, const char* dead,
                    Ranking rules, const std::vector<std::string>& sources, int32_t fewest = 2) {
    if (num_ranges < fewest || num_ranges > max_range_players)
        refuse("between " + std::to_string(fewest) + " and 15 ranges are needed, got " + std::to_string(num_ranges),
               ErrorField::ranges);
    if (ranges == nullptr) refuse("no ranges: the pointer is null", ErrorField::ranges);
    std::vector<std::string> texts;
    for (int32_t i = 0; i < num_ranges; ++i) {
        if (ranges[i] == nullptr) refuse("range " + std::to_string(i + 1) + ": the pointer is null", ErrorField::ranges, i);
        texts.emplace_back(ranges[i]);
    }
    SpotFromText read = spot_from_text(texts, board ? board : "", dead ? dead : "", rules, sources);
    if (read.error) throw *read.error;
    return std::move(read.spot);
}

int32_t status_of(const RangeError& e) {
    switch (e.kind) {
    case ErrorKind::usage: return e.field == ErrorField::rules ? VARNOLITH_RANGE_ERROR_RULES : VARNOLITH_RANGE_ERROR_ARGUMENT;
    case ErrorKind::range: return VARNOLITH_RANGE_ERROR_RANGE;
    case ErrorKind::cards: return VARNOLITH_RANGE_ERROR_CARDS;
    case ErrorKind::no_deal: return VARNOLITH_RANGE_ERROR_NO_DEAL;
    case ErrorKind::internal: break;
    }
    return VARNOLITH_RANGE_ERROR_INTERNAL;
}

// Never throws: a message that cannot be copied leaves the result out of memory.
void fail(varnolith_range_result& result, int32_t status, const char* message, ErrorField field = ErrorField::none,
          int player = -1) noexcept {
    result.field = field;
    result.player = player;
    try {
        result.message = message;
        result.status = status;
    } catch (...) {
        result.status = VARNOLITH_RANGE_ERROR_MEMORY;
    }
}

// The host's progress callback behind the engine's.
struct HostProgress {
    varnolith_range_progress call;
    void* context;
};

void forward_progress(double done, void* context) {
    const auto* host = static_cast<const HostProgress*>(context);
    host->call(done, host->context);
}

AnswerAsked asked_of(const varnolith_range_options& o) { return {o.by_card != 0, o.hits != 0, o.flops != 0}; }

// The spot and choices of a call, read and checked as varnolith_range_compute reads them.
struct Call {
    varnolith_range_options options;
    RunChoices choices;
    RangeSpot spot;
};

Call read_call(const char* const* ranges, int32_t num_ranges, const char* board, const char* dead,
               const varnolith_range_options* options) {
    Call call{read_options(options), {}, {}};
    call.choices = read_choices(call.options);
    const std::optional<Ranking> rules = rules_of(call.options.rules);
    if (!rules)
        refuse("options: unknown rules " + std::to_string(call.options.rules) + "; VARNOLITH_RANGE_RULES_STRAIGHT (0) or "
               "VARNOLITH_RANGE_RULES_TRIPS (1)", ErrorField::rules);
    call.spot = read_spot(ranges, num_ranges, board, dead, *rules, range_sources(call.options, num_ranges));
    if (call.options.by_card != 0) {
        const std::string refusal = next_cards_refusal(call.spot, call.choices);
        if (!refusal.empty()) refuse(refusal, ErrorField::by_card);
        call.choices.method = RangeMethod::exact;
    }
    if (const auto fault = asked_fault(call.spot, call.choices, asked_of(call.options))) throw *fault;
    return call;
}

// Runs `work` and writes what stopped it into `result`; true when nothing did.
template <typename Work>
bool guarded(varnolith_range_result& result, Work work) noexcept {
    try {
        work();
        return true;
    } catch (const std::bad_alloc&) {
        result.status = VARNOLITH_RANGE_ERROR_MEMORY;
    } catch (const RangeCancelled& e) {
        fail(result, VARNOLITH_RANGE_ERROR_CANCELLED, e.what());
    } catch (const RangeError& e) {
        fail(result, status_of(e), e.what(), e.field, e.player);
    } catch (const std::exception& e) {
        fail(result, VARNOLITH_RANGE_ERROR_INTERNAL, e.what());
    } catch (...) {
        fail(result, VARNOLITH_RANGE_ERROR_INTERNAL, "an unknown failure");
    }
    return false;
}

// A result with figures: one spot's, computed.
bool succeeded(const varnolith_range_result* result) {
    return result != nullptr && result->status == VARNOLITH_RANGE_OK && !result->batch && !result->filter;
}

const std::vector<HitLine>* hits_of(const varnolith_range_result* result, int32_t player) {
    if (!succeeded(result) || player < 0 || static_cast<std::size_t>(player) >= result->answer.hits.size()) return nullptr;
    return &result->answer.hits[static_cast<std::size_t>(player)];
}

const FlopRow* flop_of(const varnolith_range_result* result, int32_t index) {
    if (!succeeded(result) || index < 0 || static_cast<std::size_t>(index) >= result->answer.flops.size()) return nullptr;
    return &result->answer.flops[static_cast<std::size_t>(index)];
}

bool answered_batch(const varnolith_range_result* result) {
    return result != nullptr && result->status == VARNOLITH_RANGE_OK && result->batch;
}

const RangePlayerResult* player_of(const varnolith_range_result* result, int32_t player) {
    if (!succeeded(result) || player < 0 || static_cast<std::size_t>(player) >= result->answer.result.players.size())
        return nullptr;
    return &result->answer.result.players[static_cast<std::size_t>(player)];
}

// The whole of `text` as snprintf writes: what fits in `size` bytes, NUL-terminated,
// and the length of the whole.
std::size_t copied(const std::string& text, char* out, std::size_t size) noexcept {
    if (out != nullptr && size > 0) {
        const std::size_t kept = text.size() < size ? text.size() : size - 1;
        std::memcpy(out, text.data(), kept);
        out[kept] = '\0';
    }
    return text.size();
}

// A report refused or that could not be made: nothing but an empty text.
std::size_t no_report(char* out, std::size_t size) noexcept {
    if (out != nullptr && size > 0) out[0] = '\0';
    return 0;
}

constexpr int32_t every_shown =
    VARNOLITH_RANGE_SHOW_CATEGORIES | VARNOLITH_RANGE_SHOW_BY_HAND | VARNOLITH_RANGE_SHOW_ELAPSED;

template <typename Field>
double fraction(const varnolith_range_result* result, int32_t player, Field field) {
    const RangePlayerResult* p = player_of(result, player);
    return p != nullptr ? p->*field : not_a_number;
}

} // namespace

extern "C" {

VARNOLITH_RANGE_API void varnolith_range_options_init_sized(varnolith_range_options* options, size_t size) {
    if (options == nullptr || size < sizeof(options->size)) return;
    varnolith_range_options defaults{};
    defaults.method = VARNOLITH_RANGE_AUTO;
    defaults.precision = default_range_precision;
    defaults.size = std::min(size, sizeof defaults);
    std::memcpy(options, &defaults, defaults.size);
}

// Hosts built before 1.4 call the function by this name with the record as
// 1.1 to 1.3 laid it out: a larger record would be written past its end.
VARNOLITH_RANGE_API void(varnolith_range_options_init)(varnolith_range_options* options) {
    varnolith_range_options_init_sized(options, offsetof(varnolith_range_options, progress_context) +
                                                    sizeof(varnolith_range_options::progress_context));
}

VARNOLITH_RANGE_API varnolith_range_result* varnolith_range_compute(const char* const* ranges, int32_t num_ranges,
                                                                     const char* board, const char* dead,
                                                                     const varnolith_range_options* options) {
    auto* result = new (std::nothrow) varnolith_range_result;
    if (result == nullptr) return nullptr;
    guarded(*result, [&] {
        const Call call = read_call(ranges, num_ranges, board, dead, options);
        const varnolith_range_options& o = call.options;
        RangeOptions hooks;
        if (o.stop != nullptr) hooks.cancel = &o.stop->requested;
        HostProgress host{o.progress, o.progress_context};
        if (o.progress != nullptr) {
            hooks.progress = forward_progress;
            hooks.progress_context = &host;
        }
        Answer answer = compute_answer(call.spot, call.choices, asked_of(o), hooks);
        if (cancelled(hooks)) throw RangeCancelled{};
        result->answer = std::move(answer);
        const std::vector<std::string> sources = range_sources(o, num_ranges);
        for (int32_t i = 0; i < num_ranges; ++i)
            result->ranges.emplace_back(sources[static_cast<std::size_t>(i)].empty() ? ranges[i] : sources[static_cast<std::size_t>(i)]);
        result->spot = call.spot;
        result->by_card = o.by_card != 0;
        result->hits = o.hits != 0;
        result->flops = o.flops != 0;
        result->status = VARNOLITH_RANGE_OK;
    });
    return result;
}

VARNOLITH_RANGE_API void varnolith_range_free(varnolith_range_result* result) { delete result; }

VARNOLITH_RANGE_API int32_t varnolith_range_status(const varnolith_range_result* result) {
    return result != nullptr ? result->status : VARNOLITH_RANGE_ERROR_MEMORY;
}

VARNOLITH_RANGE_API const char* varnolith_range_message(const varnolith_range_result* result) {
    // Out of memory the message may not have been copied; this one needs no copy.
    if (result == nullptr || (result->status == VARNOLITH_RANGE_ERROR_MEMORY && result->message.empty()))
        return "memory ran out";
    return result->message.c_str();
}

VARNOLITH_RANGE_API const char* varnolith_range_error_field(const varnolith_range_result* result) {
    if (result == nullptr || result->status == VARNOLITH_RANGE_OK) return "";
    return field_name(result->field).data(); // the names are string literals
}

VARNOLITH_RANGE_API int32_t varnolith_range_error_player(const varnolith_range_result* result) {
    return result == nullptr || result->status == VARNOLITH_RANGE_OK ? -1 : result->player;
}

VARNOLITH_RANGE_API int32_t varnolith_range_estimate(const char* const* ranges, int32_t num_ranges, const char* board,
                                                     const char* dead, const varnolith_range_options* options,
                                                     double* seconds) {
    if (seconds == nullptr) return VARNOLITH_RANGE_ERROR_ARGUMENT;
    *seconds = 0;
    varnolith_range_result result;
    double expected = 0;
    const bool read = guarded(result, [&] {
        const Call call = read_call(ranges, num_ranges, board, dead, options);
        const PreparedSpot spot = prepare_spot(call.spot);
        require_a_deal(spot);
        expected = estimate_answer(spot, call.choices, asked_of(call.options)).all_threads;
    });
    if (!read) return result.status;
    *seconds = expected;
    return VARNOLITH_RANGE_OK;
}

VARNOLITH_RANGE_API varnolith_range_stop* varnolith_range_stop_new(void) {
    return new (std::nothrow) varnolith_range_stop;
}

VARNOLITH_RANGE_API void varnolith_range_stop_request(varnolith_range_stop* stop) {
    if (stop != nullptr) stop->requested.store(true);
}

VARNOLITH_RANGE_API void varnolith_range_stop_free(varnolith_range_stop* stop) { delete stop; }

VARNOLITH_RANGE_API int32_t varnolith_range_method(const varnolith_range_result* result) {
    if (!succeeded(result)) return 0;
    return result->answer.result.method == RangeMethod::exact ? VARNOLITH_RANGE_EXACT : VARNOLITH_RANGE_MONTE_CARLO;
}

VARNOLITH_RANGE_API uint64_t varnolith_range_deals(const varnolith_range_result* result) {
    return succeeded(result) ? result->answer.result.deals : 0;
}

VARNOLITH_RANGE_API uint64_t varnolith_range_boards(const varnolith_range_result* result) {
    return succeeded(result) ? result->answer.result.boards : 0;
}

VARNOLITH_RANGE_API int64_t varnolith_range_trials(const varnolith_range_result* result) {
    return succeeded(result) ? result->answer.result.trials : 0;
}

VARNOLITH_RANGE_API uint64_t varnolith_range_seed(const varnolith_range_result* result) {
    return succeeded(result) ? result->answer.result.seed : 0;
}

VARNOLITH_RANGE_API int32_t varnolith_range_players(const varnolith_range_result* result) {
    return succeeded(result) ? static_cast<int32_t>(result->answer.result.players.size()) : 0;
}

VARNOLITH_RANGE_API int32_t varnolith_range_combos(const varnolith_range_result* result, int32_t player) {
    const RangePlayerResult* p = player_of(result, player);
    return p != nullptr ? p->combos : 0;
}

VARNOLITH_RANGE_API double varnolith_range_equity(const varnolith_range_result* result, int32_t player) {
    return fraction(result, player, &RangePlayerResult::equity);
}

VARNOLITH_RANGE_API double varnolith_range_win(const varnolith_range_result* result, int32_t player) {
    return fraction(result, player, &RangePlayerResult::win);
}

VARNOLITH_RANGE_API double varnolith_range_tie(const varnolith_range_result* result, int32_t player) {
    return fraction(result, player, &RangePlayerResult::tie);
}

VARNOLITH_RANGE_API double varnolith_range_stderr(const varnolith_range_result* result, int32_t player) {
    return fraction(result, player, &RangePlayerResult::standard_error);
}

VARNOLITH_RANGE_API double varnolith_range_category(const varnolith_range_result* result, int32_t player,
                                                    int32_t category) {
    const RangePlayerResult* p = player_of(result, player);
    if (p == nullptr || category < 0 || category >= category_count) return not_a_number;
    return p->categories[static_cast<std::size_t>(category)];
}

VARNOLITH_RANGE_API int32_t varnolith_range_hand(const varnolith_range_result* result, int32_t player, int32_t index,
                                                 char text[5], double* weight, double* equity) {
    const RangePlayerResult* p = player_of(result, player);
    if (p == nullptr || index < 0 || static_cast<std::size_t>(index) >= p->hands.size())
        return VARNOLITH_RANGE_ERROR_ARGUMENT;
    const HandEquity& h = p->hands[static_cast<std::size_t>(index)];
    try {
        const std::string written = hand_text(h.hand); // four characters: no allocation
        if (text != nullptr) std::memcpy(text, written.c_str(), 5);
    } catch (...) {
        return VARNOLITH_RANGE_ERROR_MEMORY;
    }
    if (weight != nullptr) *weight = h.weight;
    if (equity != nullptr) *equity = h.equity;
    return VARNOLITH_RANGE_OK;
}

VARNOLITH_RANGE_API int32_t varnolith_range_next_cards(const varnolith_range_result* result) {
    return succeeded(result) ? static_cast<int32_t>(result->answer.next_cards.size()) : 0;
}

VARNOLITH_RANGE_API int32_t varnolith_range_next_card(const varnolith_range_result* result, int32_t index,
                                                      char card[3], double* probability) {
    if (index < 0 || index >= varnolith_range_next_cards(result)) return VARNOLITH_RANGE_ERROR_ARGUMENT;
    const NextCard& row = result->answer.next_cards[static_cast<std::size_t>(index)];
    try {
        const std::string written = card_text(row.card); // two characters: no allocation
        if (card != nullptr) std::memcpy(card, written.c_str(), 3);
    } catch (...) {
        return VARNOLITH_RANGE_ERROR_MEMORY;
    }
    if (probability != nullptr) *probability = row.probability;
    return VARNOLITH_RANGE_OK;
}

VARNOLITH_RANGE_API double varnolith_range_next_card_equity(const varnolith_range_result* result, int32_t index,
                                                            int32_t player) {
    if (index < 0 || index >= varnolith_range_next_cards(result)) return not_a_number;
    const NextCard& row = result->answer.next_cards[static_cast<std::size_t>(index)];
    if (player < 0 || static_cast<std::size_t>(player) >= row.equity.size()) return not_a_number;
    return row.equity[static_cast<std::size_t>(player)];
}

VARNOLITH_RANGE_API int32_t varnolith_range_ordering(int32_t place, char text[4], int32_t* combos, double* equity) {
    return varnolith_range_rules_ordering(VARNOLITH_RANGE_RULES_STRAIGHT, place, text, combos, equity);
}

VARNOLITH_RANGE_API int32_t varnolith_range_rules_ordering(int32_t rules, int32_t place, char text[4], int32_t* combos,
                                                           double* equity) {
    const std::optional<Ranking> ranking = rules_of(rules);
    if (!ranking) return VARNOLITH_RANGE_ERROR_RULES;
    if (place < 0 || place >= hand_class_count) return VARNOLITH_RANGE_ERROR_ARGUMENT;
    const OrderedClass& c = preflop_ordering(*ranking)[static_cast<std::size_t>(place)];
    try {
        const std::string name = hand_class_name(c.square); // at most three characters: no allocation
        if (text != nullptr) std::memcpy(text, name.c_str(), name.size() + 1);
    } catch (...) {
        return VARNOLITH_RANGE_ERROR_MEMORY;
    }
    if (combos != nullptr) *combos = c.combos;
    if (equity != nullptr) *equity = c.equity;
    return VARNOLITH_RANGE_OK;
}

VARNOLITH_RANGE_API int64_t varnolith_range_limit(int32_t which) {
    switch (which) {
    case VARNOLITH_RANGE_LIMIT_PLAYERS: return max_range_players;
    case VARNOLITH_RANGE_LIMIT_THREADS: return max_run_threads;
    default: return 0;
    }
}

VARNOLITH_RANGE_API size_t varnolith_range_report(const varnolith_range_result* result, int32_t form, int32_t shown,
                                                  char* out, size_t size) {
    const bool known_form = form == VARNOLITH_RANGE_TABLE || form == VARNOLITH_RANGE_JSON ||
                            (form == VARNOLITH_RANGE_CSV && succeeded(result) && result->flops);
    if (!succeeded(result) || !known_form || (shown & ~every_shown) != 0) return no_report(out, size);
    try {
        const AnswerShown asked{(shown & VARNOLITH_RANGE_SHOW_CATEGORIES) != 0,
                                (shown & VARNOLITH_RANGE_SHOW_BY_HAND) != 0, false, result->by_card, result->hits,
                                result->flops};
        std::ostringstream text;
        if (form == VARNOLITH_RANGE_CSV)
            write_flops_csv(text, result->answer);
        else if (form == VARNOLITH_RANGE_JSON)
            text << answer_json(result->ranges, result->spot, result->answer, asked).dump(2) << '\n';
        else
            write_answer_text(text, result->ranges, result->spot, result->answer, asked,
                              (shown & VARNOLITH_RANGE_SHOW_ELAPSED) != 0);
        return copied(text.str(), out, size);
    } catch (...) { // memory ran out
        return no_report(out, size);
    }
}

VARNOLITH_RANGE_API size_t varnolith_range_ordering_report(int32_t form, char* out, size_t size) {
    return varnolith_range_rules_ordering_report(VARNOLITH_RANGE_RULES_STRAIGHT, form, out, size);
}

VARNOLITH_RANGE_API size_t varnolith_range_rules_ordering_report(int32_t rules, int32_t form, char* out, size_t size) {
    const std::optional<Ranking> ranking = rules_of(rules);
    if (!ranking || (form != VARNOLITH_RANGE_TABLE && form != VARNOLITH_RANGE_JSON)) return no_report(out, size);
    try {
        std::ostringstream text;
        if (form == VARNOLITH_RANGE_JSON) text << ordering_json(*ranking).dump(2) << '\n';
        else write_ordering_text(text, *ranking);
        return copied(text.str(), out, size);
    } catch (...) { // memory ran out
        return no_report(out, size);
    }
}

VARNOLITH_RANGE_API varnolith_range_result* varnolith_range_batch(const char* lines, size_t length, int32_t threads,
                                                                   varnolith_range_stop* stop) {
    auto* result = new (std::nothrow) varnolith_range_result;
    if (result == nullptr) return nullptr;
    result->batch = true;
    guarded(*result, [&] {
        if (lines == nullptr && length > 0) refuse("no lines: the pointer is null");
        RunChoices threads_asked;
        threads_asked.threads = threads;
        if (const auto fault = run_choices_fault(threads_asked)) throw *fault;
        const BatchChoices choices{threads, stop != nullptr ? &stop->requested : nullptr};
        answer_text_lines(std::string_view(lines, length), choices,
                          [&](LineAnswer&& answer) { result->lines.push_back(std::move(answer.text)); });
        result->status = VARNOLITH_RANGE_OK;
    });
    return result;
}

VARNOLITH_RANGE_API int64_t varnolith_range_batch_lines(const varnolith_range_result* result) {
    return answered_batch(result) ? static_cast<int64_t>(result->lines.size()) : 0;
}

VARNOLITH_RANGE_API size_t varnolith_range_batch_answer(const varnolith_range_result* result, int64_t line, char* out,
                                                        size_t size) {
    if (line < 0 || line >= varnolith_range_batch_lines(result)) return no_report(out, size);
    return copied(result->lines[static_cast<std::size_t>(line)], out, size);
}

VARNOLITH_RANGE_API int32_t varnolith_range_hits(const varnolith_range_result* result, int32_t player) {
    const std::vector<HitLine>* lines = hits_of(result, player);
    return lines != nullptr ? static_cast<int32_t>(lines->size()) : 0;
}

VARNOLITH_RANGE_API int32_t varnolith_range_hit(const varnolith_range_result* result, int32_t player, int32_t index,
                                                const char** name, int32_t* draw, double* combos, double* share,
                                                double* equity) {
    const std::vector<HitLine>* lines = hits_of(result, player);
    if (lines == nullptr || index < 0 || static_cast<std::size_t>(index) >= lines->size())
        return VARNOLITH_RANGE_ERROR_ARGUMENT;
    const HitLine& line = (*lines)[static_cast<std::size_t>(index)];
    if (name != nullptr) *name = hit_name(line).data(); // the names are string literals
    if (draw != nullptr) *draw = line.is_draw ? 1 : 0;
    if (combos != nullptr) *combos = line.combos;
    if (share != nullptr) *share = line.share;
    if (equity != nullptr) *equity = line.equity;
    return VARNOLITH_RANGE_OK;
}

VARNOLITH_RANGE_API int32_t varnolith_range_flops(const varnolith_range_result* result) {
    return succeeded(result) ? static_cast<int32_t>(result->answer.flops.size()) : 0;
}

VARNOLITH_RANGE_API int32_t varnolith_range_flop(const varnolith_range_result* result, int32_t index, char flop[7],
                                                 int32_t* flops, double* probability) {
    const FlopRow* row = flop_of(result, index);
    if (row == nullptr) return VARNOLITH_RANGE_ERROR_ARGUMENT;
    if (flop != nullptr) {
        try {
            const std::string text = flop_text(row->flop); // six characters: no allocation
            std::memcpy(flop, text.c_str(), text.size() + 1);
        } catch (...) {
            return VARNOLITH_RANGE_ERROR_MEMORY;
        }
    }
    if (flops != nullptr) *flops = row->flops;
    if (probability != nullptr) *probability = row->probability;
    return VARNOLITH_RANGE_OK;
}

VARNOLITH_RANGE_API double varnolith_range_flop_equity(const varnolith_range_result* result, int32_t index,
                                                       int32_t player) {
    const FlopRow* row = flop_of(result, index);
    if (row == nullptr || player < 0 || static_cast<std::size_t>(player) >= row->equity.size()) return not_a_number;
    return row->equity[static_cast<std::size_t>(player)];
}

VARNOLITH_RANGE_API varnolith_range_result* varnolith_range_filter(const char* const* ranges, int32_t num_ranges,
                                                                    const char* board, const char* dead,
                                                                    const char* names,
                                                                    const varnolith_range_options* options) {
    auto* result = new (std::nothrow) varnolith_range_result;
    if (result == nullptr) return nullptr;
    result->filter = true;
    guarded(*result, [&] {
        const varnolith_range_options o = read_options(options);
        const std::optional<Ranking> rules = rules_of(o.rules);
        if (!rules) refuse("options: unknown rules " + std::to_string(o.rules), ErrorField::rules);
        const RangeSpot spot = read_spot(ranges, num_ranges, board, dead, *rules, range_sources(o, num_ranges), 1);
        if (names == nullptr) refuse("filter: the names' pointer is null", ErrorField::filter);
        const HitFilter filter = parse_hit_filter(names);
        for (const Range& range : spot.ranges)
            result->lines.push_back(range_notation(filter_range(range, spot.board, spot.dead, *rules, filter)));
        result->status = VARNOLITH_RANGE_OK;
    });
    return result;
}

VARNOLITH_RANGE_API size_t varnolith_range_filtered(const varnolith_range_result* result, int32_t player, char* out,
                                                    size_t size) {
    if (result == nullptr || result->status != VARNOLITH_RANGE_OK || !result->filter || player < 0 ||
        static_cast<std::size_t>(player) >= result->lines.size())
        return no_report(out, size);
    return copied(result->lines[static_cast<std::size_t>(player)], out, size);
}

VARNOLITH_RANGE_API size_t varnolith_range_shown(const char* text, size_t length, char* out, size_t size) {
    try {
        return copied(text != nullptr ? shown_text(std::string_view(text, length)) : std::string(), out, size);
    } catch (...) { // memory ran out: nothing written
        return no_report(out, size);
    }
}

} // extern "C"
