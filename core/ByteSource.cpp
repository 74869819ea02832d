#include "core/ByteSource.h"

#include <algorithm>
#include <cstring>

namespace quiddity {

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

}  // namespace quiddity
