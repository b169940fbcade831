// The options record grows: filling it writes the host's record and nothing
// past it, whether the host was built against this header or an older one.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include <varnolith/range.h>

namespace {

// A record with a guard after the first `size` bytes, each byte 0xAB at first.
struct Guarded {
    alignas(varnolith_range_options) unsigned char bytes[sizeof(varnolith_range_options) + 16];
    varnolith_range_options* record() { return reinterpret_cast<varnolith_range_options*>(bytes); }
    bool untouched_from(std::size_t at) const {
        for (std::size_t i = at; i < sizeof bytes; ++i)
            if (bytes[i] != 0xAB) return false;
        return true;
    }
};

TEST(RangeOptionsRecord, FillingWritesTheHostsRecordAndNothingPastIt) {
    constexpr std::size_t before_1_4 = offsetof(varnolith_range_options, progress_context) + sizeof(void*);
    for (const std::size_t size : {before_1_4, sizeof(varnolith_range_options), sizeof(varnolith_range_options) + 16}) {
        Guarded g;
        std::memset(g.bytes, 0xAB, sizeof g.bytes);
        if (size == before_1_4) (varnolith_range_options_init)(g.record()); // as a host built before 1.4 calls it
        else varnolith_range_options_init_sized(g.record(), size);
        const std::size_t written = std::min(size, sizeof(varnolith_range_options));
        EXPECT_TRUE(g.untouched_from(written)) << size;
        EXPECT_EQ(g.record()->size, written);
        EXPECT_EQ(g.record()->precision, 0.0005);
    }
}

TEST(RangeOptionsRecord, AnOlderRecordRunsWithTheNewFieldsDefaults) {
    Guarded g;
    std::memset(g.bytes, 0xAB, sizeof g.bytes); // the 1.4 fields hold garbage a 1.3 host never wrote
    (varnolith_range_options_init)(g.record());
    const char* ranges[] = {"99", "AKo"}; // "99" beats AKo: under either rules the figure is the same preflop
    varnolith_range_result* r = varnolith_range_compute(ranges, 2, "6h7s8c", nullptr, g.record());
    EXPECT_EQ(varnolith_range_status(r), VARNOLITH_RANGE_OK) << varnolith_range_message(r);
    varnolith_range_free(r);
}

} // namespace
