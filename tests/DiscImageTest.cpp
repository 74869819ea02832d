// The volume descriptor walk over crafted images, one descriptor a sector
// from sector 16 on.  The real images are pinned by their golden reports
// and checked against isoinfo in DetailFixturesTest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/DiscImage.h"

using namespace quiddity;

namespace {

constexpr std::size_t kSector = 2048;

// Sectors 16 on hold these descriptors: type byte, identifier, version byte.
std::vector<std::uint8_t> Image(const std::vector<std::string>& descriptors) {
    std::vector<std::uint8_t> b((16 + descriptors.size()) * kSector, 0);
    for (std::size_t i = 0; i < descriptors.size(); ++i)
        std::copy(descriptors[i].begin(), descriptors[i].end(), b.begin() + static_cast<std::ptrdiff_t>((16 + i) * kSector));
    return b;
}

const std::string kBoot("\x00" "CD001\x01", 7), kPrimary("\x01" "CD001\x01"), kJoliet("\x02" "CD001\x01"),
    kEnhanced("\x02" "CD001\x02"), kPartition("\x03" "CD001\x01"), kTerminator("\xFF" "CD001\x01"),
    kBea("\x00" "BEA01\x01", 7), kNsr("\x00" "NSR02\x01", 7), kTea("\x00" "TEA01\x01", 7);

// The text, or "false: " and the text when nothing was recognised.
std::string Describe(const std::vector<std::uint8_t>& image, std::string out = "") {
    return DescribeDiscImage(CMemoryByteSource(image), out) ? out : "false: " + out;
}

// Counts the reads that reach the bytes.
class CCountingSource : public CMemoryByteSource {
public:
    using CMemoryByteSource::CMemoryByteSource;
    std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const override {
        ++m_reads;
        return CMemoryByteSource::ReadAt(offset, buffer);
    }
    mutable std::size_t m_reads = 0;
};

}  // namespace

TEST(DiscImage, TextsInDescriptorOrderAndUdfBehindTheTerminator) {
    EXPECT_EQ(Describe(Image({kBoot, kPrimary, kEnhanced, kPartition, kTerminator})),
              ", ElTorito" "ISO 9660 CD/DVD image, Enhanced, Partition");
    EXPECT_EQ(Describe(Image({kPrimary, kJoliet, kTerminator, kBea, kNsr, kTea})), "ISO 9660 CD/DVD image, Joliet, UDF");
    // The UDF-only name counts from where the text began: it is appended to.
    EXPECT_EQ(Describe(Image({kBea, kNsr, kTea}), "Type: "), "Type: UDF CD/DVD image ('ISO')");
}

TEST(DiscImage, WhatEndsTheWalk) {
    // An unknown supplementary version or type, or a foreign identifier:
    // what follows is not seen, what came before stands.
    EXPECT_EQ(Describe(Image({kPrimary, "\x02" "CD001\x03", kBea})), "ISO 9660 CD/DVD image");
    EXPECT_EQ(Describe(Image({kPrimary, "\x04" "CD001\x01", kBea})), "ISO 9660 CD/DVD image");
    EXPECT_EQ(Describe(Image({kPrimary, "\x01" "XXXXX", kBea})), "ISO 9660 CD/DVD image");
    std::vector<std::uint8_t> cut = Image({kPrimary, kBea});  // a sector that is not whole
    cut.pop_back();
    EXPECT_EQ(Describe(cut), "ISO 9660 CD/DVD image");
    cut.resize(16 * kSector + kSector - 1);  // 34815 bytes: no descriptor at all
    EXPECT_EQ(Describe(cut, "Type: "), "false: Type: ");
    EXPECT_EQ(Describe(Image({kTerminator, kTerminator})), "false: ");
}

TEST(DiscImage, RepeatedDescriptorsAreNotReadWhole) {
    // 255 terminators, then a primary descriptor in the 256th sector walked;
    // one terminator more and the walk gives up before it.
    std::vector<std::string> many(255, kTerminator);
    many.push_back(kPrimary);
    EXPECT_EQ(Describe(Image(many)), "ISO 9660 CD/DVD image");
    many.insert(many.begin(), 45, kTerminator);
    const std::vector<std::uint8_t> image = Image(many);
    const CCountingSource source(image);
    std::string out;
    EXPECT_FALSE(DescribeDiscImage(source, out));
    EXPECT_LE(source.m_reads, 256u);
}
