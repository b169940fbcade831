/* A C host of libvarnolith_range: ranges as text in, figures out, each checked
 * against a known answer. Build it against an installed varnolith with the
 * CMakeLists.txt beside it, or with
 *     cc main.c $(pkg-config --cflags --libs varnolith_range) -o range_host
 * It prints what it computed and exits with status 1 if any answer is off. */
#include <varnolith/range.h>

#include <stdio.h>
#include <string.h>

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
    const char *ranges[2] = {"AKs", "QQ+, AK"};
    const char *flop = "6c 7d 8h";
    varnolith_range_options options;
    varnolith_range_result *exact, *estimate, *repeat, *refused;
    double equity, weighted = 0, total_weight = 0;
    int32_t i;

    /* Exactly: every compatible deal of the two ranges, every turn and river. */
    varnolith_range_options_init(&options);
    options.method = VARNOLITH_RANGE_EXACT;
    exact = varnolith_range_compute(ranges, 2, flop, NULL, &options);
    if (varnolith_range_status(exact) != VARNOLITH_RANGE_OK) {
        fprintf(stderr, "failed: %s\n", varnolith_range_message(exact));
        return 1;
    }
    equity = varnolith_range_equity(exact, 0);
    printf("exact        AKs %.6f  QQ+, AK %.6f  (%d deals, %d boards each)\n", equity,
           varnolith_range_equity(exact, 1), (int)varnolith_range_deals(exact), (int)varnolith_range_boards(exact));
    /* 4 AKs combinations, each meeting 21 of the 34 others; 29 cards left give
     * 406 turns and rivers. Split pots count half: 30774 of 2 * 84 * 406 shares. */
    check(varnolith_range_deals(exact) == 84 && varnolith_range_boards(exact) == 406, "deal and board counts");
    check(near(equity, 30774.0 / 68208.0, 1e-12), "exact equity of AKs");
    check(near(equity + varnolith_range_equity(exact, 1), 1.0, 1e-12), "shares add up to 1");

    /* Hand by hand: each AKs combination is equally likely, and their equities average to the range's. */
    for (i = 0; i < varnolith_range_combos(exact, 0); ++i) {
        char text[5];
        double weight, hand_equity;
        varnolith_range_hand(exact, 0, i, text, &weight, &hand_equity);
        printf("  %s  weight %.4f  equity %.6f\n", text, weight, hand_equity);
        weighted += weight * hand_equity;
        total_weight += weight;
    }
    check(varnolith_range_combos(exact, 0) == 4 && near(total_weight, 1.0, 1e-12), "four combinations");
    check(near(weighted, equity, 1e-12), "hand equities average to the range's");

    /* By simulation: the same seed gives the same figures at any thread count. */
    options.method = VARNOLITH_RANGE_MONTE_CARLO;
    options.trials = 200000;
    options.seed_given = 1;
    options.seed = 2024;
    options.threads = 1;
    estimate = varnolith_range_compute(ranges, 2, flop, NULL, &options);
    options.threads = 2;
    repeat = varnolith_range_compute(ranges, 2, flop, NULL, &options);
    printf("Monte Carlo  AKs %.6f +- %.6f  (%d trials, seed %d)\n", varnolith_range_equity(estimate, 0),
           varnolith_range_stderr(estimate, 0), (int)varnolith_range_trials(estimate),
           (int)varnolith_range_seed(estimate));
    check(near(varnolith_range_equity(estimate, 0), equity, 5 * varnolith_range_stderr(estimate, 0)),
          "estimate within five standard errors");
    check(varnolith_range_equity(estimate, 0) == varnolith_range_equity(repeat, 0), "same seed, same estimate");

    /* A range that does not parse is refused with a reason. */
    ranges[1] = "QQs";
    refused = varnolith_range_compute(ranges, 2, flop, NULL, NULL);
    printf("refused      %s\n", varnolith_range_message(refused));
    check(varnolith_range_status(refused) == VARNOLITH_RANGE_ERROR_RANGE, "status of a bad range");
    check(strcmp(varnolith_range_message(refused), "range 2: item \"QQs\": a pair is neither suited nor offsuit") == 0,
          "message of a bad range");

    varnolith_range_free(exact);
    varnolith_range_free(estimate);
    varnolith_range_free(repeat);
    varnolith_range_free(refused);
    return failures == 0 ? 0 : 1;
}
