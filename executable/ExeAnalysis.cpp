#include "executable/ExeAnalysis.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace quiddity {

namespace {

// Printable text shows at most this many bytes.
constexpr std::size_t kPrintableBytes = 32;

bool ShownAsDot(std::uint8_t b) {
    return b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D || b == 0xAD;
}

}  // namespace

std::size_t CMemoryByteSource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const {
    if (offset >= m_bytes.size() || buffer.empty()) return 0;  // an empty buffer may have no address
    const std::size_t count = std::min<std::uint64_t>(buffer.size(), m_bytes.size() - offset);
    std::memcpy(buffer.data(), m_bytes.data() + offset, count);
    return count;
}

std::vector<std::uint8_t> ReadBlock(const IByteSource& source, std::uint64_t offset, std::size_t length) {
    const std::uint64_t size = source.Size();
    // Never allocate more than the source could deliver from there.
    const std::uint64_t available = offset < size ? size - offset : 0;
    std::vector<std::uint8_t> block(static_cast<std::size_t>(std::min<std::uint64_t>(length, available)));
    block.resize(source.ReadAt(offset, block));
    return block;
}

std::string PrintableText(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && i < kPrintableBytes; ++i)
        text += ShownAsDot(bytes[i]) ? '.' : static_cast<char>(bytes[i]);
    return text;
}

void TrimEnd(std::string& text, std::string_view characters) {
    const std::size_t keep = text.find_last_not_of(characters);
    text.erase(keep == std::string::npos ? 0 : keep + 1);
}

}  // namespace quiddity
