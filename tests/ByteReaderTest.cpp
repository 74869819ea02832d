#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "core/ByteReader.h"

using quiddity::CByteReader;

TEST(ByteReader, ReadsBothByteOrders) {
    const std::vector<std::uint8_t> bytes{0x12, 0x34, 0x56, 0x78, 0x9A};
    const CByteReader r(bytes);
    EXPECT_EQ(r.ReadLE16(0), 0x3412);
    EXPECT_EQ(r.ReadBE16(0), 0x1234);
    EXPECT_EQ(r.ReadLE32(1), 0x9A785634u);
    EXPECT_EQ(r.ReadBE32(1), 0x3456789Au);
    EXPECT_TRUE(r.Ok());
}

TEST(ByteReader, PastTheEndReadsZeroAndFails) {
    const std::vector<std::uint8_t> bytes{1, 2, 3};
    const CByteReader r(bytes);
    EXPECT_EQ(r.ReadLE16(1), 0x0302);
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(r.ReadLE32(0), 0u);  // one byte short: the whole field is absent
    EXPECT_FALSE(r.Ok());
}

TEST(ByteReader, HostileOffsetsDoNotWrap) {
    const std::vector<std::uint8_t> bytes(16, 0xFF);
    const CByteReader r(bytes);
    const std::size_t huge = std::numeric_limits<std::size_t>::max();
    EXPECT_EQ(r.ReadLE32(huge - 1), 0u);
    EXPECT_EQ(r.Byte(huge), 0);
    EXPECT_FALSE(r.Has(huge - 2, 4));
    EXPECT_FALSE(r.Matches(huge, "ab"));
    EXPECT_FALSE(r.Ok());
}

TEST(ByteReader, MatchesExactlyOrInAnyCase) {
    const std::string text = "%PDF-1.4";
    const CByteReader r(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    EXPECT_TRUE(r.Matches(0, "%PDF"));
    EXPECT_FALSE(r.Matches(0, "%pdf"));
    EXPECT_TRUE(r.MatchesAnyCase(0, "%pdf-"));
    EXPECT_FALSE(r.Matches(6, "4x"));  // runs past the end
}

TEST(ByteReader, SubViewIsRelativeAndCut) {
    const std::vector<std::uint8_t> bytes{0, 1, 2, 3, 4, 5};
    const CByteReader r(bytes);
    const CByteReader inner = r.Sub(2, 3);
    EXPECT_TRUE(inner.Ok());
    EXPECT_EQ(inner.Size(), 3u);
    EXPECT_EQ(inner.Byte(0), 2);
    EXPECT_EQ(inner.Byte(3), 0);  // belongs to the parent, not to the view
    const CByteReader cut = r.Sub(4, 10);
    EXPECT_FALSE(cut.Ok());
    EXPECT_EQ(cut.Size(), 2u);
    EXPECT_EQ(r.Sub(100, 1).Size(), 0u);
}
