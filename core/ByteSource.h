// Where every parser reads the inspected bytes: the one open file of a
// report, or bytes in memory (tests, fuzzing).  Reads past the end deliver
// fewer bytes and never fail otherwise; no parser opens a file itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/ReadOnlyFile.h"

namespace quiddity {

class IByteSource {
public:
    virtual ~IByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Copies up to buffer.size() bytes at offset; returns how many arrived.
    virtual std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const = 0;
};

class CFileByteSource : public IByteSource {
public:
    explicit CFileByteSource(const CReadOnlyFile& file) : m_file(file) {}
    std::uint64_t Size() const override { return m_file.Size(); }
    std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const override {
        return m_file.ReadAt(offset, buffer);
    }

private:
    const CReadOnlyFile& m_file;
};

class CMemoryByteSource : public IByteSource {
public:
    CMemoryByteSource() = default;
    explicit CMemoryByteSource(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::uint64_t Size() const override { return m_bytes.size(); }
    std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const override;

private:
    std::span<const std::uint8_t> m_bytes;
};

// Reads up to `length` bytes at offset; the result holds what arrived.
// Callers pass lengths bounded by their own named caps.
std::vector<std::uint8_t> ReadBlock(const IByteSource& source, std::uint64_t offset, std::size_t length);

}  // namespace quiddity
