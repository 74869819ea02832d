#include "core/ByteReader.h"

#include "core/TextFormat.h"

namespace quiddity {

std::uint64_t CByteReader::Field(std::size_t k, std::size_t width, bool bigEndian) const {
    if (!Has(k, width)) { m_ok = false; return 0; }
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        const std::uint64_t b = m_bytes[k + (bigEndian ? i : width - 1 - i)];
        value = (value << 8) | b;
    }
    return value;
}

bool CByteReader::Matches(std::size_t k, std::string_view text) const {
    if (!Has(k, text.size())) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (m_bytes[k + i] != static_cast<std::uint8_t>(text[i])) return false;
    return true;
}

bool CByteReader::MatchesAnyCase(std::size_t k, std::string_view text) const {
    if (!Has(k, text.size())) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (LowerAscii(static_cast<char>(m_bytes[k + i])) != LowerAscii(text[i])) return false;
    return true;
}

CByteReader CByteReader::Sub(std::size_t off, std::size_t len) const {
    if (off >= m_bytes.size()) {
        CByteReader empty;
        empty.m_ok = len == 0;
        return empty;
    }
    const std::size_t avail = m_bytes.size() - off;
    CByteReader view(m_bytes.subspan(off, len < avail ? len : avail));
    view.m_ok = len <= avail;
    return view;
}

}  // namespace quiddity
