#include "executable/Checksum.h"

#include <zlib.h>

#include <vector>

namespace quiddity {

namespace {

// Large sequential reads; the buffer lives for one call.
constexpr std::size_t kCrcBlockBytes = 256 * 1024;

}  // namespace

std::uint32_t UpdateCrc32(std::uint32_t crc, std::span<const std::uint8_t> bytes) {
    return static_cast<std::uint32_t>(::crc32(crc, bytes.data(), static_cast<uInt>(bytes.size())));
}

std::optional<std::uint32_t> ComputeFileCrc32(const IByteSource& source) {
    const std::uint64_t size = source.Size();
    // A kernel file (/proc, /sys) reports size 0 and still has content: the
    // checksum of nothing would be a false value for it.
    std::uint8_t probe = 0;
    if (size == 0 && source.ReadAt(0, std::span(&probe, 1)) != 0) return std::nullopt;
    std::vector<std::uint8_t> block(kCrcBlockBytes);
    std::uint32_t crc = 0;
    for (std::uint64_t done = 0; done < size;) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - done));
        const std::size_t got = source.ReadAt(done, std::span(block.data(), want));
        if (got != want) return std::nullopt;
        crc = UpdateCrc32(crc, std::span(block.data(), got));
        done += got;
    }
    return crc;
}

}  // namespace quiddity
