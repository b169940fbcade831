#include "seeding.hpp"

#include <atomic>
#include <ctime>

#include "random.hpp"

namespace varnolith {

namespace {

std::atomic<uint64_t> seed_state{0};
std::atomic<bool> user_seeded_flag{false};
std::atomic<bool> clock_seeded_flag{false};

} // namespace

void seed_generator(uint32_t seed) {
    // Flag first: a run starting meanwhile then never seeds over it from the clock.
    user_seeded_flag.store(true);
    seed_state.store(seed);
}

uint64_t next_run_key() {
    if (!user_seeded_flag.load() && !clock_seeded_flag.load()) {
        // Two threads arriving here together may both seed from the clock;
        // both store the same second, which does no harm.
        seed_state.store(static_cast<uint32_t>(std::time(nullptr)));
        clock_seeded_flag.store(true);
    }
    return mix64(seed_state.fetch_add(golden_gamma) + golden_gamma);
}

bool user_seeded() { return user_seeded_flag.load(); }
bool clock_seeded() { return clock_seeded_flag.load(); }

} // namespace varnolith
