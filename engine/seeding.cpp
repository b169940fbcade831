#include "seeding.hpp"

#include <atomic>
#include <cstdint>
#include <ctime>

#include "random.hpp"

namespace varnolith {

namespace {

// Never equal to a 32-bit user seed: the state before anything has seeded it.
constexpr uint64_t unseeded = UINT64_MAX;

std::atomic<uint64_t> seed_state{unseeded};
std::atomic<bool> user_seeded_flag{false};
std::atomic<bool> clock_seeded_flag{false};

} // namespace

void seed_generator(uint32_t seed) {
    user_seeded_flag.store(true);
    seed_state.store(seed);
}

uint64_t next_run_key() {
    if (!user_seeded_flag.load() && !clock_seeded_flag.exchange(true)) {
        // Only an unseeded state takes the clock: a set_seed racing with the
        // first run always wins.
        uint64_t expected = unseeded;
        seed_state.compare_exchange_strong(expected, static_cast<uint32_t>(std::time(nullptr)));
    }
    return mix64(seed_state.fetch_add(golden_gamma) + golden_gamma);
}

} // namespace varnolith
