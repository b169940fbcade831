/* A C host of libvarnolith: the four exports, each checked against a known
 * answer. Build it against an installed varnolith with the CMakeLists.txt
 * beside it, or with
 *     cc main.c $(pkg-config --cflags --libs varnolith) -o c_host
 * It prints what it computed and exits with status 1 if any answer is off. */
#include <varnolith/varnolith.h>

#include <stdio.h>
#include <string.h>

/* A card is two int32: rank 6..14, then suit. */
enum { TEN = 10, JACK, QUEEN, KING, ACE };
enum { CLUBS, DIAMONDS, HEARTS, SPADES };

static int failures = 0;

static void check(int ok, const char *what) {
    if (!ok) {
        fprintf(stderr, "wrong: %s\n", what);
        ++failures;
    }
}

static int near(double a, double b, double tolerance) {
    return a - b <= tolerance && b - a <= tolerance;
}

int main(void) {
    /* Seven cards: Ts Js Qs Ks As 6c 7d, a royal flush. */
    const int32_t seven[14] = {TEN, SPADES, JACK, SPADES, QUEEN, SPADES, KING, SPADES,
                               ACE, SPADES, 6, CLUBS, 7, DIAMONDS};
    const int32_t value = evaluate_hand_direct(seven, 7);
    printf("Ts Js Qs Ks As 6c 7d  value %d\n", (int)value);
    check(value == 8000014, "value of the royal flush");

    /* Two players, AhKd against QsQc, on the flop 6c 7d 8h: a hole-hand record
     * is four int32, a board card two. */
    const int32_t hands[8] = {ACE, HEARTS, KING, DIAMONDS, QUEEN, SPADES, QUEEN, CLUBS};
    const int32_t flop[6] = {6, CLUBS, 7, DIAMONDS, 8, HEARTS};
    double exact[2];
    compute_equity_enumeration(hands, 2, flop, 3, exact);
    printf("enumeration  AhKd %.6f  QsQc %.6f\n", exact[0], exact[1]);
    check(near(exact[0], 209.0 / 406, 1e-12) && near(exact[1], 197.0 / 406, 1e-12),
          "exact equity over the 406 turns and rivers");

    /* The same question by simulation. After set_seed the same calls give the
     * same figures, bit for bit, whatever the number of threads. */
    double estimate[2];
    double repeat[2];
    set_seed(2024);
    compute_equity_montecarlo_ultra_fast(hands, 2, flop, 3, 200000, estimate);
    set_seed(2024);
    compute_equity_montecarlo_ultra_fast(hands, 2, flop, 3, 200000, repeat);
    printf("Monte Carlo  AhKd %.6f  QsQc %.6f\n", estimate[0], estimate[1]);
    check(near(estimate[0] + estimate[1], 1.0, 1e-9), "estimated shares add up to 1");
    check(near(estimate[0], exact[0], 0.01), "estimate within 0.01 of the exact equity");
    check(memcmp(estimate, repeat, sizeof estimate) == 0, "same seed, same estimate");

    return failures == 0 ? 0 : 1;
}
