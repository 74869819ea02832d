// EBML variable-length integers (RFC 8794, section 4), the element sizes of
// Matroska and WebM files.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "core/ByteReader.h"

namespace quiddity {

// What an integer that does not fit (or is the reserved 0xFF) reads as.
inline constexpr std::uint32_t kEbmlInvalid = 0xFFFFFFFF;
// Longer integers do not fit 32 bits once their marker is dropped.
inline constexpr std::size_t kEbmlMaxVintLength = 4;

// The length of the integer whose first byte is `first`: 1 plus its leading
// zero bits, so 9 for a zero byte.
constexpr std::size_t EbmlVintLength(std::uint8_t first) {
    return static_cast<std::size_t>(std::countl_zero(first)) + 1;
}

// The integer at offset k: the first byte with its marker bit cleared, then
// the next length - 1 bytes, most significant first.  A first byte of 0xFF
// or a length above four gives kEbmlInvalid; bytes past the reader's end
// read as zero.
std::uint32_t ReadEbmlVint(const CByteReader& bytes, std::size_t k);

}  // namespace quiddity
