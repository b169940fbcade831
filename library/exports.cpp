// The only extern "C" definitions of libvarnolith: copy in, call the engine,
// copy out, inside a catch-all so that nothing escapes into the host.

#include <varnolith/varnolith.h>

#include <array>

#include "evaluator.hpp"

using namespace varnolith;

extern "C" {

VARNOLITH_API int32_t evaluate_hand_direct(const int32_t* cards, int32_t num_cards) {
    if (num_cards != 7 || cards == nullptr) return 0;
    try {
        std::array<Card, 7> seven;
        for (int i = 0; i < 7; ++i) seven[i] = Card{cards[2 * i], cards[2 * i + 1]};
        return evaluate_seven(seven);
    } catch (...) {
        return 0;
    }
}

} // extern "C"
