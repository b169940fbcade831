// The only extern "C" definitions of libvarnolith: copy in, call the engine,
// copy out, inside a catch-all so that nothing escapes into the host.

#include <varnolith/varnolith.h>

#include <stdexcept>
#include <vector>

#include "enumeration.hpp"
#include "evaluator.hpp"
#include "monte_carlo.hpp"
#include "seeding.hpp"

using namespace varnolith;

namespace {

std::vector<HoleHand> copy_hands(const int32_t* hands, int32_t num_hands) {
    if (hands == nullptr) throw std::invalid_argument("no hands");
    std::vector<HoleHand> out(static_cast<std::size_t>(num_hands));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = HoleHand{{hands[4 * i], hands[4 * i + 1]}, {hands[4 * i + 2], hands[4 * i + 3]}};
    return out;
}

// A negative count is an empty board.
Board copy_board(const int32_t* board, int32_t num_board) {
    if (num_board <= 0) return {};
    if (board == nullptr) throw std::invalid_argument("no board");
    Board out(static_cast<std::size_t>(num_board));
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = Card{board[2 * i], board[2 * i + 1]};
    return out;
}

// The neutral answer after any failure: every player an equal share.
void write_neutral(int32_t num_hands, double* results) {
    for (int32_t i = 0; i < num_hands; ++i) results[i] = 1.0 / num_hands;
}

template <typename Compute>
void guarded_equity(int32_t num_hands, double* results, Compute compute) {
    if (num_hands <= 0 || results == nullptr) return;
    try {
        const std::vector<double> equities = compute();
        if (equities.size() != static_cast<std::size_t>(num_hands)) throw std::logic_error("result size");
        for (int32_t i = 0; i < num_hands; ++i) results[i] = equities[static_cast<std::size_t>(i)];
    } catch (...) {
        write_neutral(num_hands, results);
    }
}

} // namespace

extern "C" {

VARNOLITH_API void compute_equity_enumeration(const int32_t* hands, int32_t num_hands, const int32_t* board,
                                              int32_t num_board, double* results) {
    guarded_equity(num_hands, results, [&] {
        return enumeration_equity_or_estimate(copy_hands(hands, num_hands), copy_board(board, num_board));
    });
}

VARNOLITH_API void compute_equity_montecarlo_ultra_fast(const int32_t* hands, int32_t num_hands,
                                                        const int32_t* board, int32_t num_board,
                                                        int32_t iterations, double* results) {
    guarded_equity(num_hands, results, [&] {
        std::vector<double> equities;
        monte_carlo_equity(copy_hands(hands, num_hands), copy_board(board, num_board), iterations, equities);
        return equities;
    });
}

// The records are read where they lie; the evaluator cannot throw, so the
// guard costs nothing.
VARNOLITH_API int32_t evaluate_hand_direct(const int32_t* cards, int32_t num_cards) {
    if (num_cards != 7 || cards == nullptr) return 0;
    try {
        return evaluate_seven_records(cards);
    } catch (...) {
        return 0;
    }
}

VARNOLITH_API void set_seed(uint32_t seed) { seed_generator(seed); }

} // extern "C"
