#include "recognizer/Ebml.h"

namespace quiddity {

std::uint32_t ReadEbmlVint(const CByteReader& bytes, std::size_t k) {
    const std::uint8_t first = bytes.Byte(k);
    const std::size_t length = EbmlVintLength(first);
    if (first == 0xFF || length > kEbmlMaxVintLength) return kEbmlInvalid;
    const std::uint8_t marker = static_cast<std::uint8_t>(0x80 >> (length - 1));
    std::uint32_t value = first & ~marker & 0xFF;
    for (std::size_t i = 1; i < length; ++i) value = (value << 8) | bytes.Byte(k + i);
    return value;
}

}  // namespace quiddity
