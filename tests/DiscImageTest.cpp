// The volume descriptor walk over crafted images: one descriptor a sector
// from sector 16 on.  The images made by genisoimage and mkudffs are
// pinned, and checked against isoinfo, in DetailFixturesTest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "formats/DiscImage.h"

using namespace quiddity;
using quiddity::test::PutText;

namespace {

constexpr std::size_t kSector = 2048;

struct Descriptor {
    std::uint8_t type;
    std::string_view identifier;
    std::uint8_t version = 1;
};

// An image whose sectors from 16 on hold these descriptors, and nothing after.
std::vector<std::uint8_t> Image(const std::vector<Descriptor>& descriptors) {
    std::vector<std::uint8_t> b((16 + descriptors.size()) * kSector, 0);
    for (std::size_t i = 0; i < descriptors.size(); ++i) {
        const std::size_t at = (16 + i) * kSector;
        b[at] = descriptors[i].type;                // descriptor type
        PutText(b, at + 1, descriptors[i].identifier);  // standard identifier
        b[at + 6] = descriptors[i].version;         // descriptor version
    }
    return b;
}

constexpr Descriptor kBoot{0, "CD001"};
constexpr Descriptor kPrimary{1, "CD001"};
constexpr Descriptor kJoliet{2, "CD001", 1};
constexpr Descriptor kEnhanced{2, "CD001", 2};
constexpr Descriptor kPartition{3, "CD001"};
constexpr Descriptor kTerminator{255, "CD001"};
constexpr Descriptor kBea{0, "BEA01"};
constexpr Descriptor kNsr{0, "NSR03"};
constexpr Descriptor kTea{0, "TEA01"};

// The text, or "false" when the image is not recognised.
std::string Describe(const std::vector<std::uint8_t>& image, std::string out = "") {
    const bool found = DescribeDiscImage(CMemoryByteSource(image), out);
    return found ? out : "false: " + out;
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

TEST(DiscImage, TextsFollowTheDescriptorOrder) {
    EXPECT_EQ(Describe(Image({kPrimary, kJoliet, kTerminator})), "ISO 9660 CD/DVD image, Joliet");
    EXPECT_EQ(Describe(Image({kBoot, kPrimary, kTerminator})), ", ElTorito" "ISO 9660 CD/DVD image");
    EXPECT_EQ(Describe(Image({kPrimary, kEnhanced, kPartition, kTerminator})),
              "ISO 9660 CD/DVD image, Enhanced, Partition");
}

TEST(DiscImage, UdfAloneOrBehindTheTerminator) {
    EXPECT_EQ(Describe(Image({kBea, kNsr, kTea})), "UDF CD/DVD image ('ISO')");
    // The terminator does not end the walk: a bridge image's recognition
    // sequence behind it is read too.
    EXPECT_EQ(Describe(Image({kPrimary, kTerminator, kBea, {0, "NSR02"}, kTea})), "ISO 9660 CD/DVD image, UDF");
    EXPECT_EQ(Describe(Image({{0, "BOOT2"}})), "UDF CD/DVD image ('ISO')");
    EXPECT_EQ(Describe(Image({{0, "CDW02"}})), "UDF CD/DVD image ('ISO')");
    // The text is appended to: the UDF-only name counts from where it began.
    EXPECT_EQ(Describe(Image({kBea}), "Type: "), "Type: UDF CD/DVD image ('ISO')");
    EXPECT_EQ(Describe(Image({kPrimary}), "Type: "), "Type: ISO 9660 CD/DVD image");
}

TEST(DiscImage, WhatEndsTheWalk) {
    // A supplementary descriptor of an unknown version, or an unknown type,
    // ends it: what follows is not seen, what came before stands.
    EXPECT_EQ(Describe(Image({kPrimary, {2, "CD001", 3}, kBea})), "ISO 9660 CD/DVD image");
    EXPECT_EQ(Describe(Image({kPrimary, {4, "CD001"}, kBea})), "ISO 9660 CD/DVD image");
    EXPECT_EQ(Describe(Image({kPrimary, {0, "XXXXX"}, kBea})), "ISO 9660 CD/DVD image");
    // A sector that is not whole.
    std::vector<std::uint8_t> cut = Image({kPrimary, kBea});
    cut.pop_back();
    EXPECT_EQ(Describe(cut), "ISO 9660 CD/DVD image");
}

TEST(DiscImage, NothingRecognisedLeavesTheTextAlone) {
    EXPECT_EQ(Describe(Image({kTerminator, kTerminator}), "Type: "), "false: Type: ");
    EXPECT_EQ(Describe(Image({{1, "cd001"}})), "false: ");
    EXPECT_EQ(Describe(std::vector<std::uint8_t>(17 * kSector, 0)), "false: ");
    std::vector<std::uint8_t> almostSixteen = Image({kPrimary});  // 34816 bytes less one
    almostSixteen.pop_back();
    EXPECT_EQ(Describe(almostSixteen), "false: ");
    EXPECT_EQ(Describe({}), "false: ");
}

TEST(DiscImage, RepeatedDescriptorsAreNotReadWhole) {
    // 300 terminators, then a primary descriptor: the walk gives up after
    // 256 sectors, whatever the file holds.
    std::vector<Descriptor> many(300, kTerminator);
    many.push_back(kPrimary);
    const std::vector<std::uint8_t> image = Image(many);
    const CCountingSource source(image);
    std::string out;
    EXPECT_FALSE(DescribeDiscImage(source, out));
    EXPECT_LE(source.m_reads, 256u);
    // The 256th sector is still read.
    many.assign(255, kTerminator);
    many.push_back(kPrimary);
    EXPECT_EQ(Describe(Image(many)), "ISO 9660 CD/DVD image");
    many.insert(many.begin(), kTerminator);
    EXPECT_EQ(Describe(Image(many)), "false: ");
}
