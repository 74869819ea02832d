// The only way Quiddity opens an inspected file: read-only, close-on-exec,
// without moving its access time where the kernel allows, and only when it
// is a regular file (a FIFO would block, a device may never end) that is
// no kernel stream (reading /proc/kmsg takes the messages from the log).
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace quiddity {

// Error() of an item that is never read, as opposed to one that failed.
inline constexpr int kNeverReadError = EINVAL;

class CReadOnlyFile {
public:
    CReadOnlyFile() = default;
    CReadOnlyFile(const CReadOnlyFile&) = delete;
    CReadOnlyFile& operator=(const CReadOnlyFile&) = delete;
    CReadOnlyFile(CReadOnlyFile&& other) noexcept;
    CReadOnlyFile& operator=(CReadOnlyFile&& other) noexcept;
    ~CReadOnlyFile();

    // Opens path (following symbolic links) when it names a regular file.
    // On failure returns false and Error() holds the errno value; anything
    // but a regular file fails with kNeverReadError without being opened,
    // and so does a kernel stream, which is opened but never read.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }
    int Error() const { return m_error; }
    std::uint64_t Size() const { return m_size; }

    // Reads up to buffer.size() bytes at offset; returns how many arrived
    // (0 on any failure or past the end).
    std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const;

    void Close();

private:
    int m_fd = -1;
    int m_error = 0;
    std::uint64_t m_size = 0;
};

}  // namespace quiddity
