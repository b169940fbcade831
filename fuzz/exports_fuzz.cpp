// The four exports with arbitrary integers: no crash, no access outside the
// buffers the fuzzer provides, and only documented results.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <varnolith/varnolith.h>

#include "reference_evaluator.hpp"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// Every entry 1/n (the neutral answer), or fractions in [0, 1] summing to 1.
void check_equities(const std::vector<double>& results) {
    const double n = static_cast<double>(results.size());
    bool neutral = true;
    double sum = 0;
    for (const double r : results) {
        neutral = neutral && r == 1.0 / n;
        check(r >= 0.0 && r <= 1.0);
        sum += r;
    }
    check(neutral || std::fabs(sum - 1.0) < 1e-9);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 16) return 0;
    int32_t header[4];
    std::memcpy(header, data, sizeof header);
    // The cards are exactly the integers the fuzzer gave, in a buffer of their size.
    std::vector<int32_t> ints((size - sizeof header) / sizeof(int32_t));
    if (!ints.empty()) std::memcpy(ints.data(), data + sizeof header, ints.size() * sizeof(int32_t));
    const int32_t available = static_cast<int32_t>(ints.size());
    const int32_t op = header[0] & 3;

    if (op == 0) { // evaluate_hand_direct: a count within the buffer, or anything that makes it read nothing
        const int32_t count = header[1] == 7 && available >= 14 ? 7 : (header[1] == 7 ? 0 : header[1]);
        const int32_t value = evaluate_hand_direct(count == 7 ? ints.data() : nullptr, count);
        if (count != 7) return check(value == 0), 0;
        std::vector<varnolith::Card> seven;
        for (int i = 0; i < 7; ++i) seven.push_back({ints[2 * i], ints[2 * i + 1]});
        check(value == varnolith::testing::reference_evaluate(seven));
        return 0;
    }
    if (op == 3) {
        set_seed(static_cast<uint32_t>(header[1]));
        return 0;
    }
    // Counts stay within the buffer: n hands take 4n integers, then b cards 2b.
    // Negative counts are passed as they are; the library must write nothing for
    // n <= 0 and take a negative board as empty.
    int32_t hands = header[1] % 17;
    if (hands > 0 && 4 * hands > available) hands = available / 4;
    const int32_t hand_ints = hands > 0 ? 4 * hands : 0;
    int32_t board = header[2] % 8;
    if (board > 0 && hand_ints + 2 * board > available) board = (available - hand_ints) / 2;
    const int32_t* board_ptr = board > 0 ? ints.data() + hand_ints : nullptr;
    const std::size_t slots = hands > 0 ? static_cast<std::size_t>(hands) : 1;
    std::vector<double> results(slots, -7.0);

    if (op == 1) {
        // Beyond four players with cards to come the library runs 2,000,000
        // trials; the Monte Carlo path is fuzzed on its own below.
        if (hands > 4 && board < 5) return 0;
        compute_equity_enumeration(ints.data(), hands, board_ptr, board, results.data());
        if (hands <= 0) return check(results[0] == -7.0), 0;
        check_equities(results);
        return 0;
    }
    const int32_t iterations = header[3] % 3000; // any sign, small enough to stay quick
    compute_equity_montecarlo_ultra_fast(ints.data(), hands, board_ptr, board, iterations, results.data());
    if (hands <= 0) return check(results[0] == -7.0), 0;
    bool neutral = true;
    for (const double r : results) neutral = neutral && r == 1.0 / hands;
    if (neutral) return 0;
    for (const double r : results) {
        if (iterations == 0) check(std::isnan(r));
        else if (iterations < 0) check(r == 0.0 && std::signbit(r));
    }
    if (iterations > 0) check_equities(results);
    return 0;
}
