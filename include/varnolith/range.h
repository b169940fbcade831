/* varnolith range library: equity of ranges against ranges, C interface.
 *
 * Text in, numbers out. Ranges, the board and the dead cards are given in the
 * notation of the varnolith command ("QQ+, AKs, AhKd:0.5"; cards "Ah", a board
 * "6c7d8h" or "6c 7d 8h"); the answer is an opaque result object read through
 * accessor functions and released with varnolith_range_free.
 *
 * Every function is reentrant and may be called from several host threads at
 * once: a call keeps its state in its own result object and the library has no
 * global state. No function lets an exception or a crash reach the host; bad
 * input, a null pointer included, gives an error code and a readable message.
 * Nothing outside the caller's strings and records is read or written, and no
 * pointer to them is kept after a call returns.
 */
#ifndef VARNOLITH_RANGE_H
#define VARNOLITH_RANGE_H

#include <stddef.h>
#include <stdint.h>

#define VARNOLITH_RANGE_VERSION_MAJOR 1
#define VARNOLITH_RANGE_VERSION_MINOR 5
#define VARNOLITH_RANGE_VERSION_PATCH 0

#if defined(_WIN32)
#  if defined(VARNOLITH_RANGE_BUILDING)
#    define VARNOLITH_RANGE_API __declspec(dllexport)
#  else
#    define VARNOLITH_RANGE_API __declspec(dllimport)
#  endif
#elif defined(VARNOLITH_RANGE_BUILDING)
#  define VARNOLITH_RANGE_API __attribute__((visibility("default")))
#else
#  define VARNOLITH_RANGE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Status codes. New codes may be added; treat any unknown non-zero one as an
 * error. */
#define VARNOLITH_RANGE_OK 0
#define VARNOLITH_RANGE_ERROR_ARGUMENT 1 /* a null pointer, a player count outside 2..15, an option out of range */
#define VARNOLITH_RANGE_ERROR_RANGE 2    /* a range that does not parse */
#define VARNOLITH_RANGE_ERROR_CARDS 3    /* a bad card text, more than five board cards, a card given twice */
#define VARNOLITH_RANGE_ERROR_NO_DEAL 4  /* no deal of the ranges holds every card at most once */
#define VARNOLITH_RANGE_ERROR_MEMORY 5   /* memory ran out */
#define VARNOLITH_RANGE_ERROR_INTERNAL 6 /* anything else, such as a worker thread that failed */
#define VARNOLITH_RANGE_ERROR_CANCELLED 7 /* stopped by a request on the options' `stop` (since 1.1) */
#define VARNOLITH_RANGE_ERROR_RULES 8     /* the options' `rules` are neither of the two below (since 1.4) */

/* Rules: the hand ranking (since 1.4). Under both a flush beats a full house
 * and A-6-7-8-9 is the lowest straight. */
#define VARNOLITH_RANGE_RULES_STRAIGHT 0 /* a straight beats three of a kind (the default) */
#define VARNOLITH_RANGE_RULES_TRIPS 1    /* three of a kind beats a straight; a hand holding both plays
                                            the three of a kind */

/* Methods. */
#define VARNOLITH_RANGE_AUTO 0        /* exact when it fits in about a second, else Monte Carlo */
#define VARNOLITH_RANGE_EXACT 1       /* every compatible deal with every board completion */
#define VARNOLITH_RANGE_MONTE_CARLO 2 /* random deals from exactly the same distribution */

/* Hand categories, the index of varnolith_range_category: 0 high card, 1 pair,
 * 2 two pair, 3 three of a kind, 4 straight, 5 full house, 6 flush, 7 four of a
 * kind, 8 straight flush, under either rules. */
#define VARNOLITH_RANGE_CATEGORIES 9

/* A request to stop a computation, made from any thread (a signal handler's
 * thread included: varnolith_range_stop_request only stores a flag). Pass it
 * in the options' `stop`; once requested, the call returns
 * VARNOLITH_RANGE_ERROR_CANCELLED within a few milliseconds. One stop may
 * serve many calls; a request is never withdrawn. Since 1.1. */
typedef struct varnolith_range_stop varnolith_range_stop;

/* A new stop, not requested; null only when memory ran out. */
VARNOLITH_RANGE_API varnolith_range_stop* varnolith_range_stop_new(void);
/* Requests the stop; null is ignored. Async-signal-safe. */
VARNOLITH_RANGE_API void varnolith_range_stop_request(varnolith_range_stop* stop);
/* Releases a stop that no call is using any more; null is ignored. */
VARNOLITH_RANGE_API void varnolith_range_stop_free(varnolith_range_stop* stop);

/* Told now and then, from one of the call's threads (not always the caller's),
 * how much of the work is done: a fraction from 0 to 1 that never goes back. */
typedef void (*varnolith_range_progress)(double done, void* context);

/* The options record. Always fill it with varnolith_range_options_init first:
 * that sets `size`, through which a later version of the library knows which
 * fields the caller's record has, so the record can grow without breaking
 * callers built against this header. */
typedef struct varnolith_range_options {
    size_t size;       /* sizeof(varnolith_range_options) as the caller was built */
    int32_t method;    /* VARNOLITH_RANGE_AUTO (default), _EXACT or _MONTE_CARLO */
    int64_t trials;    /* Monte Carlo: exactly this many deals when > 0 (default 0) */
    double precision;  /* Monte Carlo when trials is 0: until every player's standard
                          error is at most this, 0 < precision < 1 (default 0.0005) */
    int32_t seed_given; /* non-zero: use `seed`; 0 (default): a seed is drawn and reported */
    uint64_t seed;     /* Monte Carlo: the same seed gives the same figures at any thread count */
    int32_t threads;   /* threads to use, 0 (default) for every core; at most 256 */
    int32_t by_card;   /* non-zero: also the next-card table (a flop or a turn on the
                          board; exact, so the AUTO method enumerates); 0 (default) */
    /* Since 1.1: */
    varnolith_range_stop* stop;         /* non-null: the call stops when it is requested (default null) */
    varnolith_range_progress progress;  /* non-null: told the fraction done (default null) */
    void* progress_context;             /* passed to `progress` as it is */
    /* Since 1.4: */
    int32_t rules;                      /* VARNOLITH_RANGE_RULES_STRAIGHT (default) or _TRIPS; "15%"
                                           takes its classes from the rules' own ordering */
    const char* const* sources; /* non-null: one entry a range, where its text came from, such as
                                   "@opening.txt" for a file the host read: messages name it beside
                                   the range's number ("range 2 (@opening.txt): ...") and reports
                                   show it in place of the text; a null or empty entry for a range
                                   given as it is. Null (default) for none */
    /* Since 1.5: */
    int32_t hits;   /* non-zero: also what each range holds: on a board of 3 to 5 cards its
                       classes and draws, or with `flops` how often each comes on the flop
                       (read with varnolith_range_hit); 0 (default) */
    int32_t flops;  /* non-zero: a preflop spot's every flop, exactly (read with
                       varnolith_range_flop); no board, and no trials or precision; 0 (default) */
} varnolith_range_options;

/* The answer of one call, or the reason there is none. Opaque. */
typedef struct varnolith_range_result varnolith_range_result;

/* Fills the record with the defaults and its size: the first `size` bytes at
 * `options` and no more (at most the record this library knows), so that a
 * host built against an older or newer header gets its own record filled and
 * nothing past it. A null pointer, or a size too small for `size` itself, is
 * ignored. Since 1.4. */
VARNOLITH_RANGE_API void varnolith_range_options_init_sized(varnolith_range_options* options, size_t size);

/* Fills `options` with the defaults and its own size. A null pointer is
 * ignored. Hosts call it as the macro below, with their record's size; the
 * function itself, which hosts built before 1.4 call, fills the record as
 * 1.1 to 1.3 laid it out. */
VARNOLITH_RANGE_API void varnolith_range_options_init(varnolith_range_options* options);
#define varnolith_range_options_init(options) \
    varnolith_range_options_init_sized((options), sizeof(varnolith_range_options))

/* Computes each player's equity. `ranges` holds `num_ranges` (2 to 15) range
 * texts, one per player; `board` (0 to 5 cards) and `dead` may be null or
 * empty; `options` may be null for the defaults.
 *
 * Returns a result object to be released with varnolith_range_free, whether the
 * call succeeded or not: varnolith_range_status tells which, and
 * varnolith_range_message why not. Returns null only when not even the result
 * object could be allocated. */
VARNOLITH_RANGE_API varnolith_range_result* varnolith_range_compute(const char* const* ranges, int32_t num_ranges,
                                                                     const char* board, const char* dead,
                                                                     const varnolith_range_options* options);

/* Releases a result; null is ignored. */
VARNOLITH_RANGE_API void varnolith_range_free(varnolith_range_result* result);

/* VARNOLITH_RANGE_OK, an error code, or VARNOLITH_RANGE_ERROR_MEMORY for null. */
VARNOLITH_RANGE_API int32_t varnolith_range_status(const varnolith_range_result* result);

/* A readable message for an error such as `range 2: item "QQs": a pair is
 * neither suited nor offsuit`; "" after success. Owned by the result. */
VARNOLITH_RANGE_API const char* varnolith_range_message(const varnolith_range_result* result);

/* What a failed call's error concerns, so that a host can point at it without
 * reading the message (since 1.1). The field: "ranges", "board", "dead",
 * "method", "trials", "precision", "seed", "threads", "by_card" or "rules" (the
 * argument or the option), or "" when it concerns none or the call succeeded;
 * owned by the library. The player: 0-based, the range it concerns, or -1. */
VARNOLITH_RANGE_API const char* varnolith_range_error_field(const varnolith_range_result* result);
VARNOLITH_RANGE_API int32_t varnolith_range_error_player(const varnolith_range_result* result);

/* The expected wall time, in seconds, of varnolith_range_compute with the same
 * arguments on this machine, written to `seconds`: for a host that warns
 * before a run of minutes. Computes nothing (but settles whether the ranges
 * can be dealt at all). Returns VARNOLITH_RANGE_OK, or the status that
 * varnolith_range_compute would give for these arguments and writes 0; a null
 * `seconds` is VARNOLITH_RANGE_ERROR_ARGUMENT. Since 1.1. */
VARNOLITH_RANGE_API int32_t varnolith_range_estimate(const char* const* ranges, int32_t num_ranges, const char* board,
                                                     const char* dead, const varnolith_range_options* options,
                                                     double* seconds);

/* The figures of a successful result. On a failed or null result, or with a
 * player or index out of range, counts are 0 and fractions NaN. */

/* VARNOLITH_RANGE_EXACT or VARNOLITH_RANGE_MONTE_CARLO: the method that ran. */
VARNOLITH_RANGE_API int32_t varnolith_range_method(const varnolith_range_result* result);
/* Exact: compatible deals of hands (ordered per player, unweighted) and board
 * completions per deal. Monte Carlo: 0. */
VARNOLITH_RANGE_API uint64_t varnolith_range_deals(const varnolith_range_result* result);
VARNOLITH_RANGE_API uint64_t varnolith_range_boards(const varnolith_range_result* result);
/* Monte Carlo: completed deals and the seed used. Exact: 0. */
VARNOLITH_RANGE_API int64_t varnolith_range_trials(const varnolith_range_result* result);
VARNOLITH_RANGE_API uint64_t varnolith_range_seed(const varnolith_range_result* result);
VARNOLITH_RANGE_API int32_t varnolith_range_players(const varnolith_range_result* result);

/* Per player, 0-based in the order of `ranges`. Fractions from 0 to 1: equity
 * (share of the pot, a split among m giving 1/m), win (alone), tie (from
 * split pots), the standard error of the equity (0 when exact). */
VARNOLITH_RANGE_API int32_t varnolith_range_combos(const varnolith_range_result* result, int32_t player);
VARNOLITH_RANGE_API double varnolith_range_equity(const varnolith_range_result* result, int32_t player);
VARNOLITH_RANGE_API double varnolith_range_win(const varnolith_range_result* result, int32_t player);
VARNOLITH_RANGE_API double varnolith_range_tie(const varnolith_range_result* result, int32_t player);
VARNOLITH_RANGE_API double varnolith_range_stderr(const varnolith_range_result* result, int32_t player);
/* How often the player's final hand is of `category` (0..8, see above). */
VARNOLITH_RANGE_API double varnolith_range_category(const varnolith_range_result* result, int32_t player,
                                                    int32_t category);

/* The player's live combinations (not blocked by the board or the dead cards),
 * in the order of the range: varnolith_range_combos of them. Hand `index`
 * writes its text ("AhKd", NUL-terminated, 5 bytes) to `text` when `text` is
 * not null, its weight (the probability that the player holds it) to `weight`
 * and its equity (NaN when no compatible deal allows it) to `equity` when they
 * are not null. Returns VARNOLITH_RANGE_OK, or VARNOLITH_RANGE_ERROR_ARGUMENT
 * and writes nothing. */
VARNOLITH_RANGE_API int32_t varnolith_range_hand(const varnolith_range_result* result, int32_t player, int32_t index,
                                                 char text[5], double* weight, double* equity);

/* The next-card table, when `by_card` was asked: every card that can come next
 * in deck order (6c 6d 6h 6s 7c ... As). varnolith_range_next_cards gives how
 * many (0 when not asked or failed). Row `index` writes its card ("9s",
 * NUL-terminated, 3 bytes) to `card` and the probability that it comes (among
 * the compatible deals; the rows add up to 1) to `probability` when they are
 * not null; it returns VARNOLITH_RANGE_OK, or VARNOLITH_RANGE_ERROR_ARGUMENT and
 * writes nothing. varnolith_range_next_card_equity is the player's equity when
 * that card comes (NaN out of range). */
VARNOLITH_RANGE_API int32_t varnolith_range_next_cards(const varnolith_range_result* result);
VARNOLITH_RANGE_API int32_t varnolith_range_next_card(const varnolith_range_result* result, int32_t index,
                                                      char card[3], double* probability);
VARNOLITH_RANGE_API double varnolith_range_next_card_equity(const varnolith_range_result* result, int32_t index,
                                                            int32_t player);

/* varnolith's preflop ordering of the 81 hand classes, what "15%" in a range
 * means: by exact equity against one random hand, heads-up, before the flop,
 * best first. Place `place` (0 to 80) writes its class ("AKs", NUL-terminated,
 * at most 4 bytes) to `text`, its combinations (6, 4 or 12) to `combos` and its
 * equity to `equity` when they are not null; returns VARNOLITH_RANGE_OK, or
 * VARNOLITH_RANGE_ERROR_ARGUMENT and writes nothing. Needs no result. */
VARNOLITH_RANGE_API int32_t varnolith_range_ordering(int32_t place, char text[4], int32_t* combos, double* equity);

/* The same under `rules` (VARNOLITH_RANGE_RULES_STRAIGHT or _TRIPS), each its
 * own ordering; unknown rules are VARNOLITH_RANGE_ERROR_RULES. Since 1.4. */
VARNOLITH_RANGE_API int32_t varnolith_range_rules_ordering(int32_t rules, int32_t place, char text[4], int32_t* combos,
                                                           double* equity);

/* The limits varnolith_range_compute holds a call to, for a host that names
 * them in its own words before or after a refusal (since 1.2). */
#define VARNOLITH_RANGE_LIMIT_PLAYERS 0 /* the most ranges in one call (the fewest is 2) */
#define VARNOLITH_RANGE_LIMIT_THREADS 1 /* the most threads the options may ask for */

/* The limit that `which` names, or 0 for an unknown one. Since 1.2. */
VARNOLITH_RANGE_API int64_t varnolith_range_limit(int32_t which);

/* The `length` bytes at `text` as the library's messages quote what a user
 * typed: on one line, with control characters as escapes (\n, \t, \x1b,
 * \u0085), a backslash doubled and a byte that is not UTF-8 as \xNN; whole
 * characters stay whole. Writes as much as fits in `size` bytes to `out`,
 * NUL-terminated (nothing when `size` is 0 or `out` null), and returns the
 * length of the whole rendering without its NUL, as snprintf does; a null
 * `text` reads as empty. Since 1.2. */
VARNOLITH_RANGE_API size_t varnolith_range_shown(const char* text, size_t length, char* out, size_t size);

/* The reports the varnolith command prints (since 1.3): the same text, byte
 * for byte, final newline included, for a host that prints what the command
 * would. Each writes as much as fits in `size` bytes to `out`, NUL-terminated
 * (nothing when `size` is 0 or `out` null), and returns the length of the
 * whole report without its NUL, as snprintf does: call once with size 0 to
 * learn the size, then with a buffer one byte longer. A refusal (a null or
 * failed result, an unknown form or flag) and a report that could not be made
 * for want of memory return 0 and write an empty text; a report is never
 * empty. */

/* Forms of a report. */
#define VARNOLITH_RANGE_TABLE 0 /* the table, ranges longer than 32 characters cut */
#define VARNOLITH_RANGE_JSON 1  /* the object of `varnolith --json`, indented by 2 */
#define VARNOLITH_RANGE_CSV 2   /* the flop rows as `varnolith --flops --csv` prints them; a
                                   result without flops is refused (since 1.5) */

/* What a report shows besides the players' figures, or-ed together. The
 * next-card table, the hits and the flops come when the result has them
 * (`by_card`, `hits`, `flops` were asked). */
#define VARNOLITH_RANGE_SHOW_CATEGORIES 1 /* how often each final hand category comes (--categories) */
#define VARNOLITH_RANGE_SHOW_BY_HAND 2    /* every live combination's share and equity (--by-hand) */
#define VARNOLITH_RANGE_SHOW_ELAPSED 4    /* the table's "Elapsed" line, the time the call took; the JSON
                                             always has elapsed_seconds */

/* The result as `varnolith` prints it for the ranges (as given), board and
 * dead cards of its call, in `form`, with what `shown` asks for. Since 1.3. */
VARNOLITH_RANGE_API size_t varnolith_range_report(const varnolith_range_result* result, int32_t form, int32_t shown,
                                                  char* out, size_t size);

/* The preflop ordering as `varnolith --ordering` prints it, in `form`. Since 1.3. */
VARNOLITH_RANGE_API size_t varnolith_range_ordering_report(int32_t form, char* out, size_t size);

/* The ordering of `rules` as `varnolith --ordering --rules R` prints it; unknown
 * rules are refused as an unknown form is. Since 1.4. */
VARNOLITH_RANGE_API size_t varnolith_range_rules_ordering_report(int32_t rules, int32_t form, char* out, size_t size);

/* Many spots in one call (since 1.4): `length` bytes at `lines` (null only
 * when `length` is 0), lines ended by '\n' (the last one may lack it), each a
 * JSON object with the fields of the body of varnolith_web's POST /api/equity
 * ({"ranges": ["AhKd", "QQ"], "board": "Jh Tc 6s"}). Each line is answered
 * as that API answers it: its answer object, or {"error": {"code",
 * "message", "field", "player"}} for that line alone, which stops no other
 * line. Small spots run side by side, one thread each, over `threads`
 * threads (0 for every core, at most the limit); a larger one runs on them
 * all, or on as many as its own "threads" asks for.
 *
 * Returns a result to be released with varnolith_range_free, null only when
 * not even that could be allocated. varnolith_range_status tells whether the
 * call as a whole ran: VARNOLITH_RANGE_ERROR_ARGUMENT for a null `lines` with
 * a positive length or `threads` out of bounds, VARNOLITH_RANGE_ERROR_CANCELLED
 * when `stop` (may be null) was requested. A batch's result has no figures of
 * its own: the accessors above and the reports read it as a failed one. */
VARNOLITH_RANGE_API varnolith_range_result* varnolith_range_batch(const char* lines, size_t length, int32_t threads,
                                                                   varnolith_range_stop* stop);

/* The number of lines a successful batch answered, one per line given; 0 for
 * any other result. Since 1.4. */
VARNOLITH_RANGE_API int64_t varnolith_range_batch_lines(const varnolith_range_result* result);

/* Line `line`'s answer (0-based), one line of JSON without a newline, sized
 * as the reports are: as much as fits in `size` bytes written to `out`,
 * NUL-terminated, and the length of the whole returned. A line out of range,
 * or a result that is not a successful batch, returns 0 and writes an empty
 * text; an answer is never empty. Since 1.4. */
VARNOLITH_RANGE_API size_t varnolith_range_batch_answer(const varnolith_range_result* result, int64_t line, char* out,
                                                        size_t size);

/* What a range holds (since 1.5), when `hits` was asked: the number of lines
 * for `player`, 0 without hits. The made-hand classes come first, strongest
 * first under the rules, then the draws (none on a river); every class and
 * draw is listed, at zero when the range has none. */
VARNOLITH_RANGE_API int32_t varnolith_range_hits(const varnolith_range_result* result, int32_t player);

/* Line `index` of a player's hits: its name ("set", "flush_draw", as
 * `varnolith --hits --json` names them; a static string), whether it is a
 * draw, the combinations by their weights as typed, their share of the
 * player's deals and the player's equity within them (NaN when no deal holds
 * them, and over flops). Null pointers are skipped. VARNOLITH_RANGE_ERROR_ARGUMENT
 * for a line or player out of range. Since 1.5. */
VARNOLITH_RANGE_API int32_t varnolith_range_hit(const varnolith_range_result* result, int32_t player, int32_t index,
                                                const char** name, int32_t* draw, double* combos, double* share,
                                                double* equity);

/* The flop report's rows (since 1.5), when `flops` was asked: how many, 0
 * without. Rows come by player 1's equity, highest first; a row stands for
 * the flops the suits make alike. */
VARNOLITH_RANGE_API int32_t varnolith_range_flops(const varnolith_range_result* result);

/* Row `index`: one of its flops as text ("AhKd6c", highest card first, 7 bytes
 * with the NUL), how many flops it stands for, and its probability.
 * VARNOLITH_RANGE_ERROR_ARGUMENT for a row out of range. Since 1.5. */
VARNOLITH_RANGE_API int32_t varnolith_range_flop(const varnolith_range_result* result, int32_t index, char flop[7],
                                                 int32_t* flops, double* probability);

/* A player's equity on row `index`'s flops; NaN out of range. Since 1.5. */
VARNOLITH_RANGE_API double varnolith_range_flop_equity(const varnolith_range_result* result, int32_t index,
                                                       int32_t player);

/* Keeps part of each range (since 1.5): of `num_ranges` (1 to 15) range texts,
 * the combinations live on `board` (3 to 5 cards) and `dead` that fall in any
 * class or draw `names` lists ("set, two_pair, flush_draw"; a name after '!'
 * takes out what it names), at their weights, as `varnolith --filter` keeps
 * them. Only the options' `rules` and `sources` count; `options` may be null.
 * No equity is run. Returns a result as varnolith_range_compute does; a bad
 * name is VARNOLITH_RANGE_ERROR_ARGUMENT with the error field "filter". The
 * result has no figures: read it with varnolith_range_filtered. */
VARNOLITH_RANGE_API varnolith_range_result* varnolith_range_filter(const char* const* ranges, int32_t num_ranges,
                                                                    const char* board, const char* dead,
                                                                    const char* names,
                                                                    const varnolith_range_options* options);

/* Range `player`'s kept combinations as notation that reads back to exactly
 * them ("" when none is kept), sized as the reports are; a refused index or a
 * result that is not a successful filter writes an empty text and returns 0.
 * Since 1.5. */
VARNOLITH_RANGE_API size_t varnolith_range_filtered(const varnolith_range_result* result, int32_t player, char* out,
                                                    size_t size);

#ifdef __cplusplus
}
#endif

#endif /* VARNOLITH_RANGE_H */
