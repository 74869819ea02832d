// The volume descriptor set of ISO 9660 (ECMA-119, 8) and the volume
// recognition sequence of UDF (ECMA-167, 2/9), one descriptor a sector.
#include "formats/DiscImage.h"

#include <array>
#include <string_view>

#include "core/ByteReader.h"

namespace quiddity {

namespace {

constexpr std::uint64_t kSectorBytes = 2048;
constexpr std::uint64_t kFirstDescriptorSector = 16;  // the system area comes first
// A real set holds a handful of descriptors; a file of repeated ones ends
// here instead of being read whole.
constexpr std::uint64_t kMaxDescriptorSectors = 256;
// Type byte, five-character standard identifier, version byte.
constexpr std::size_t kDescriptorHeadBytes = 7;

constexpr std::string_view kIso9660 = "CD001";
// The other identifiers of the UDF volume recognition sequence; its CD001
// descriptors are the ISO 9660 ones.
constexpr std::string_view kRecognitionIdentifiers[] = {"BEA01", "BOOT2", "CDW02", "NSR02", "NSR03", "TEA01"};

enum : std::uint8_t { kBootRecord = 0, kPrimary = 1, kSupplementary = 2, kPartition = 3, kSetTerminator = 255 };
enum : std::uint8_t { kJolietVersion = 1, kEnhancedVersion = 2 };

// Appends the text of one ISO 9660 descriptor and says whether the walk goes on.
bool DescribeIso9660Descriptor(std::uint8_t type, std::uint8_t version, std::string& out, bool& found) {
    switch (type) {
        case kBootRecord: out += ", ElTorito"; break;
        case kPrimary: out += "ISO 9660 CD/DVD image"; break;
        case kSupplementary:
            if (version == kJolietVersion) out += ", Joliet";
            else if (version == kEnhancedVersion) out += ", Enhanced";
            else return false;
            break;
        case kPartition: out += ", Partition"; break;
        case kSetTerminator: return true;  // the recognition sequence of a bridge image may follow
        default: return false;
    }
    found = true;
    return true;
}

}  // namespace

bool DescribeDiscImage(const IByteSource& source, std::string& out) {
    const std::uint64_t size = source.Size();
    const std::size_t start = out.size();
    bool found = false;
    bool udf = false;
    for (std::uint64_t sector = kFirstDescriptorSector; sector < kFirstDescriptorSector + kMaxDescriptorSectors;
         ++sector) {
        const std::uint64_t offset = sector * kSectorBytes;
        // Only whole sectors count.
        if (size < offset || size - offset < kSectorBytes) break;
        std::array<std::uint8_t, kDescriptorHeadBytes> head{};
        if (source.ReadAt(offset, head) < head.size()) break;
        const CByteReader descriptor(head);
        if (descriptor.Matches(1, kIso9660)) {
            if (!DescribeIso9660Descriptor(descriptor.Byte(0), descriptor.Byte(6), out, found)) break;
            continue;
        }
        bool recognised = false;
        for (const std::string_view identifier : kRecognitionIdentifiers) recognised |= descriptor.Matches(1, identifier);
        if (!recognised) break;
        udf = found = true;
    }
    if (udf) {
        if (out.size() == start) out += "UDF CD/DVD image ('ISO')";
        else out += ", UDF";
    }
    return found;
}

}  // namespace quiddity
