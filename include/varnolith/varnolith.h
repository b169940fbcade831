/* varnolith: Short-Deck (six-plus, 36-card) Hold'em equity engine, C interface.
 *
 * Four functions, nothing else. Every array belongs to the caller: the library
 * reads `hands`, `board` and `cards`, writes only `results`, and keeps no pointer
 * after a call returns. No function lets an exception or a crash reach the host.
 *
 * Cards are two 32-bit integers: rank 6..14 (10 = T, 11 = J, 12 = Q, 13 = K,
 * 14 = A) then suit 0..3 (0 = c, 1 = d, 2 = h, 3 = s).
 *   hole-hand record: int32 rank1, suit1, rank2, suit2   (16 bytes)
 *   card record:      int32 rank, suit                    (8 bytes)
 *   result entry:     double, one per player in the order of the hands
 * An array of n hole-hand records is 4n int32 in a row; of n card records, 2n.
 */
#ifndef VARNOLITH_VARNOLITH_H
#define VARNOLITH_VARNOLITH_H

#include <stdint.h>

#define VARNOLITH_VERSION_MAJOR 1
#define VARNOLITH_VERSION_MINOR 0
#define VARNOLITH_VERSION_PATCH 0

#if defined(_WIN32)
#  if defined(VARNOLITH_BUILDING)
#    define VARNOLITH_API __declspec(dllexport)
#  else
#    define VARNOLITH_API __declspec(dllimport)
#  endif
#elif defined(VARNOLITH_BUILDING)
#  define VARNOLITH_API __attribute__((visibility("default")))
#else
#  define VARNOLITH_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Exact equity by visiting every completion of the board.
 *
 * Writes results[i] for i in 0 .. num_hands-1, each a fraction in [0, 1]
 * (the shares sum to 1 up to rounding):
 *   - cards still to come: (boards won alone + split shares) / boards;
 *   - board of five or more cards: 1/m to each of the m best hands, 0.0 to others
 *     (more than five cards: every hand is "not evaluated" and all share 1/n);
 *   - more than 1,000,000 boards or more than 4 hands with cards to come:
 *     a 2,000,000-trial Monte Carlo estimate instead;
 *   - any failure (a card outside the ranks and suits above, more cards to
 *     deal than the deck holds, memory exhaustion): 1.0/num_hands for everyone.
 * num_hands <= 0: nothing is written. num_board < 0: an empty board.
 * A card given twice is not refused: it is simply in play twice.
 * Runs on the calling thread, except the Monte Carlo fallback. */
VARNOLITH_API void compute_equity_enumeration(const int32_t *hands, int32_t num_hands,
                                              const int32_t *board, int32_t num_board,
                                              double *results);

/* Monte Carlo equity over `iterations` random completions of the board, on an
 * OpenMP team of threads (the calling thread takes part). Writes results[i]
 * for i in 0 .. num_hands-1: the player's average share of the pot.
 *   - iterations == 0: every entry is NaN; iterations < 0: every entry is -0.0;
 *   - board of five or more cards: nothing is dealt; exact 1/m shares;
 *   - any failure (as above): 1.0/num_hands for everyone, whatever `iterations`.
 * num_hands <= 0: nothing is written. num_board < 0: an empty board.
 * After set_seed(s), the same sequence of calls gives bit-identical results
 * whatever the number of threads (pots split among more than 15 players, which
 * only repeated cards allow, are summed in floating point and may differ in
 * the last bit). Safe to call from several threads at once. */
VARNOLITH_API void compute_equity_montecarlo_ultra_fast(const int32_t *hands, int32_t num_hands,
                                                        const int32_t *board, int32_t num_board,
                                                        int32_t iterations, double *results);

/* Value of exactly seven cards under the Short-Deck ranking: category * 1,000,000
 * + detail, larger is better, equal values split the pot. Categories: 0 high
 * card, 1 pair, 2 two pair, 3 three of a kind, 4 straight, 5 full house,
 * 6 flush, 7 four of a kind, 8 straight flush. Returns 0 ("nothing evaluated")
 * when num_cards is not 7 (cards is then not read) or a card lies outside the
 * ranks and suits above. Example: Ts Js Qs Ks As 6c 7d gives 8000014. */
VARNOLITH_API int32_t evaluate_hand_direct(const int32_t *cards, int32_t num_cards);

/* Seeds the Monte Carlo generator for this process and ends seeding from the
 * clock for good. Every call seeds anew. */
VARNOLITH_API void set_seed(uint32_t seed);

#ifdef __cplusplus
}
#endif

#endif /* VARNOLITH_VARNOLITH_H */
