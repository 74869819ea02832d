// The whole-file CRC-32 (IEEE 802.3, the value zlib's crc32 gives).
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/ByteSource.h"

namespace quiddity {

// Files this large or larger get no checksum: the report waits for it.
inline constexpr std::uint64_t kChecksumSizeLimit = 10'000'000;

// Folds bytes into a running CRC-32 that starts at 0 (zlib's convention:
// the pre- and post-inversion happen inside).
std::uint32_t UpdateCrc32(std::uint32_t crc, std::span<const std::uint8_t> bytes);

// The CRC-32 of all the source's bytes, read in large blocks; none when
// fewer bytes arrive than the source's size promised (a read error, or a
// file that shrank meanwhile), or when a source of size 0 delivers bytes
// all the same (/proc files), since a checksum of part of a file misleads.
std::optional<std::uint32_t> ComputeFileCrc32(const IByteSource& source);

}  // namespace quiddity
