// A non-owning, bounds-checked view over bytes that were actually read.
// Every parser reads through it: a field that lies (partly) outside the
// bytes reads as zero and marks the reader failed, so an analyzer can decode
// a whole header and check Ok() once.  The recognizer ignores Ok(): for it,
// bytes past what was read simply are zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace quiddity {

class CByteReader {
public:
    CByteReader() = default;
    explicit CByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    CByteReader(const std::uint8_t* data, std::size_t size) : m_bytes(data, size) {}

    std::size_t Size() const { return m_bytes.size(); }
    const std::uint8_t* Data() const { return m_bytes.data(); }
    bool Ok() const { return m_ok; }

    // True when len bytes starting at k are inside the view.  Written so that
    // no hostile offset can wrap around.
    bool Has(std::size_t k, std::size_t len) const {
        return len <= m_bytes.size() && k <= m_bytes.size() - len;
    }

    std::uint8_t Byte(std::size_t k) const {
        if (k >= m_bytes.size()) { m_ok = false; return 0; }
        return m_bytes[k];
    }
    std::uint16_t ReadLE16(std::size_t k) const { return static_cast<std::uint16_t>(Field(k, 2, false)); }
    std::uint32_t ReadLE32(std::size_t k) const { return static_cast<std::uint32_t>(Field(k, 4, false)); }
    std::uint64_t ReadLE64(std::size_t k) const { return Field(k, 8, false); }
    std::uint16_t ReadBE16(std::size_t k) const { return static_cast<std::uint16_t>(Field(k, 2, true)); }
    std::uint32_t ReadBE32(std::size_t k) const { return static_cast<std::uint32_t>(Field(k, 4, true)); }

    // The bytes at k equal `text` exactly (no terminator compared).
    bool Matches(std::size_t k, std::string_view text) const;
    // The same, with ASCII letters compared regardless of case.
    bool MatchesAnyCase(std::size_t k, std::string_view text) const;

    // A view of len bytes at off, cut to what exists; offsets inside it are
    // relative to the structure it holds.  A view that had to be cut starts
    // out failed.
    CByteReader Sub(std::size_t off, std::size_t len) const;
    // The bytes from off to the end; empty when off lies past them.
    CByteReader From(std::size_t off) const { return off < Size() ? Sub(off, Size() - off) : CByteReader(); }

private:
    std::uint64_t Field(std::size_t k, std::size_t width, bool bigEndian) const;

    std::span<const std::uint8_t> m_bytes;
    mutable bool m_ok = true;
};

}  // namespace quiddity
