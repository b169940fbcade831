/* A host written in C: the public header must compile as C, and the library
 * must answer through it. */
#include <varnolith/varnolith.h>

#include <stdio.h>

int main(void) {
    /* Ts Js Qs Ks As 6c 7d */
    const int32_t cards[14] = {10, 3, 11, 3, 12, 3, 13, 3, 14, 3, 6, 0, 7, 1};
    const int32_t value = evaluate_hand_direct(cards, 7);
    if (value != 8000014) {
        fprintf(stderr, "evaluate_hand_direct gave %d, expected 8000014\n", (int)value);
        return 1;
    }
    if (evaluate_hand_direct(cards, 6) != 0 || evaluate_hand_direct(cards, 8) != 0) {
        fprintf(stderr, "evaluate_hand_direct must give 0 for six or eight cards\n");
        return 1;
    }
    printf("evaluate_hand_direct: %d\n", (int)value);
    return 0;
}
