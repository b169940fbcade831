#pragma once
// varnolith --batch: spots as JSON lines on a file descriptor, one answer line
// each on a stream, in order.

#include <atomic>
#include <cstdint>
#include <ostream>
#include <string>

namespace varnolith {

// What a batch came to, for the command to turn into its exit status.
struct BatchTally {
    uint64_t lines = 0;    // answered
    uint64_t refused = 0;  // of them, with an error
    uint64_t not_json = 0; // of those, without being read, not being JSON
    bool interrupted = false;
    std::string unreadable; // why the input could not be read on, if it could not
};

// Reads lines from `input` and writes each answer to `out` as soon as it and
// those before it have one, flushing whenever no more input is waiting, so
// that a program feeding one line at a time gets its answer back before the
// next. Stops early when interrupted, when the input fails or when `out` does.
BatchTally run_batch(int input, std::ostream& out, int threads, const std::atomic<bool>* interrupt);

} // namespace varnolith
