#include "core/ReadOnlyFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <linux/magic.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace quiddity {

namespace {

// A /proc file without a size whose content is a stream of events rather
// than a text made at each read: /proc/kmsg hands each kernel message to
// one reader only, so reading it would take the messages from the system
// log.  Such a file cannot be positioned, or polls otherwise than every
// file that is content (always ready both to read and to write); the few
// harmless ones it also catches (/proc/self/mounts, /proc/swaps) are a
// small price.  The file is polled and sought, never read.
bool IsKernelStream(int fd) {
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0 || fs.f_type != PROC_SUPER_MAGIC) return false;
    if (::lseek(fd, 0, SEEK_CUR) < 0) return true;
    pollfd ready{fd, POLLIN | POLLOUT, 0};
    if (::poll(&ready, 1, 0) < 0) return true;
    return (ready.revents & (POLLIN | POLLOUT)) != (POLLIN | POLLOUT);
}

}  // namespace

CReadOnlyFile::CReadOnlyFile(CReadOnlyFile&& other) noexcept
    : m_fd(other.m_fd), m_error(other.m_error), m_size(other.m_size) {
    other.m_fd = -1;
}

CReadOnlyFile& CReadOnlyFile::operator=(CReadOnlyFile&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = other.m_fd;
        m_error = other.m_error;
        m_size = other.m_size;
        other.m_fd = -1;
    }
    return *this;
}

CReadOnlyFile::~CReadOnlyFile() { Close(); }

bool CReadOnlyFile::Open(const std::string& path) {
    Close();
    m_error = 0;
    // Look before opening: opening a device can have effects of its own.
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0) { m_error = errno; return false; }
    if (!S_ISREG(before.st_mode)) { m_error = kNeverReadError; return false; }

    // O_NONBLOCK keeps a FIFO swapped in after the check from blocking the open.
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    int fd = ::open(path.c_str(), kFlags | O_NOATIME);
    if (fd < 0 && errno == EPERM) fd = ::open(path.c_str(), kFlags);  // O_NOATIME needs ownership
    if (fd < 0) { m_error = errno; return false; }

    struct stat after {};
    if (::fstat(fd, &after) != 0 || !S_ISREG(after.st_mode) || (after.st_size == 0 && IsKernelStream(fd))) {
        m_error = kNeverReadError;
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(after.st_size);
    return true;
}

std::size_t CReadOnlyFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const {
    if (m_fd < 0) return 0;
    // The size at opening tells where the end is, which saves the read that
    // would only find it; a file that gives no size (those of /proc) is read
    // until a read brings nothing.
    std::size_t wanted = buffer.size();
    if (m_size > 0) {
        if (offset >= m_size) return 0;
        wanted = static_cast<std::size_t>(std::min<std::uint64_t>(wanted, m_size - offset));
    }
    std::size_t total = 0;
    while (total < wanted) {
        const ssize_t got = ::pread(m_fd, buffer.data() + total, wanted - total,
                                    static_cast<off_t>(offset + total));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        total += static_cast<std::size_t>(got);
    }
    return total;
}

void CReadOnlyFile::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

}  // namespace quiddity
