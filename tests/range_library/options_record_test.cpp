// The options record grows: filling it writes the host's record and nothing past it, whether the host was built
// against this header or an older one, and a call reads no field past the record's size.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include <varnolith/range.h>

namespace {

TEST(RangeOptionsRecord, FillingWritesTheHostsRecordAndNothingPastIt) {
    constexpr std::size_t before_1_4 = offsetof(varnolith_range_options, progress_context) + sizeof(void*);
    for (const std::size_t size : {before_1_4, sizeof(varnolith_range_options), sizeof(varnolith_range_options) + 16}) {
        // Each byte 0xAB at first: past a 1.3 host's record, the 1.4 fields hold garbage it never wrote.
        alignas(varnolith_range_options) unsigned char bytes[sizeof(varnolith_range_options) + 16];
        std::memset(bytes, 0xAB, sizeof bytes);
        auto* record = reinterpret_cast<varnolith_range_options*>(bytes);
        if (size == before_1_4) (varnolith_range_options_init)(record); // as a host built before 1.4 calls it
        else varnolith_range_options_init_sized(record, size);
        const std::size_t written = std::min(size, sizeof(varnolith_range_options));
        EXPECT_TRUE(std::all_of(bytes + written, std::end(bytes), [](unsigned char b) { return b == 0xAB; })) << size;
        EXPECT_EQ(record->size, written);
        EXPECT_EQ(record->precision, 0.0005);
        // A call that read the garbage past the record (rules 0xABABABAB, say) would be refused.
        const char* ranges[] = {"99", "AKo"};
        varnolith_range_result* r = varnolith_range_compute(ranges, 2, "6h7s8c", nullptr, record);
        EXPECT_EQ(varnolith_range_status(r), VARNOLITH_RANGE_OK) << varnolith_range_message(r);
        varnolith_range_free(r);
    }
}

} // namespace
