#pragma once
// The process-wide seeding state, the only global of the engine. Lock-free:
// flags and state are atomics, set by any thread at any time.

#include <cstdint>

namespace varnolith {

// Seeds the generator and ends seeding from the clock for this process.
void seed_generator(uint32_t seed);

// The key of one simulation run, taken on the calling thread. When nothing has
// seeded the generator yet, it is seeded from the calendar clock first.
uint64_t next_run_key();

} // namespace varnolith
