// The Linux side of the file-information block: statx for sizes, times,
// mode, owner and identity, the inode flags (FS_IOC_GETFLAGS), readlink for symbolic links
// and the extended attributes as the item's extra streams.
#include "formats/FileSystemFacts.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <vector>

namespace quiddity {

namespace {

// st_blocks counts 512-byte units whatever the file system's block size.
constexpr std::uint64_t kBlockUnit = 512;
// PATH_MAX: the kernel stores no longer symbolic link.
constexpr std::size_t kMaxLinkTarget = 4096;
// XATTR_LIST_MAX: the kernel lists no more names for one item.
constexpr std::size_t kMaxAttributeList = 65536;
// Bounds the size queries for an item with a hostile number of attributes.
constexpr std::size_t kMaxAttributeStreams = 1024;
// The attribute list may grow between sizing and reading it.
constexpr int kListAttempts = 3;

constexpr unsigned kLookupMask = STATX_TYPE | STATX_MODE | STATX_UID | STATX_GID | STATX_SIZE | STATX_BLOCKS |
                                 STATX_ATIME | STATX_MTIME | STATX_BTIME;
// Room for one account record; a record that needs more gets no name.
constexpr std::size_t kAccountRecordRoom = 16384;
constexpr unsigned kIdentityMask = STATX_TYPE | STATX_INO | STATX_NLINK | STATX_SIZE;
constexpr int kNoAutomount = AT_NO_AUTOMOUNT;  // looking must not mount anything

// Extended attributes that hold access control lists or security labels.
constexpr std::string_view kSecurityAttributePrefixes[] = {"system.posix_acl_", "system.nfs4_acl", "security."};

class CDescriptor {
public:
    explicit CDescriptor(int fd) : m_fd(fd) {}
    CDescriptor(const CDescriptor&) = delete;
    CDescriptor& operator=(const CDescriptor&) = delete;
    ~CDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }

private:
    int m_fd;
};

FileTime TimeOf(const struct statx& st, unsigned maskBit, const statx_timestamp& time) {
    FileTime result;
    result.known = (st.stx_mask & maskBit) != 0;
    result.seconds = time.tv_sec;
    return result;
}

std::string UserName(uid_t uid) {
    std::vector<char> room(kAccountRecordRoom);
    struct passwd record {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(uid, &record, room.data(), room.size(), &found) != 0 || found == nullptr) return {};
    return found->pw_name;
}

std::string GroupName(gid_t gid) {
    std::vector<char> room(kAccountRecordRoom);
    struct group record {};
    struct group* found = nullptr;
    if (::getgrgid_r(gid, &record, room.data(), room.size(), &found) != 0 || found == nullptr) return {};
    return found->gr_name;
}

void ReadLookup(const struct statx& st, const std::string& name, FileSystemFacts& facts) {
    facts.found = true;
    facts.mode = st.stx_mode;
    facts.owner = st.stx_uid;
    facts.group = st.stx_gid;
    facts.ownerName = UserName(st.stx_uid);
    facts.groupName = GroupName(st.stx_gid);
    facts.deviceMajor = st.stx_rdev_major;
    facts.deviceMinor = st.stx_rdev_minor;
    facts.size = st.stx_size;
    facts.allocated = st.stx_blocks * kBlockUnit;
    facts.created = TimeOf(st, STATX_BTIME, st.stx_btime);
    facts.accessed = TimeOf(st, STATX_ATIME, st.stx_atime);
    facts.written = TimeOf(st, STATX_MTIME, st.stx_mtime);

    const mode_t mode = st.stx_mode;
    if (S_ISDIR(mode)) facts.attributes |= kAttributeDirectory;
    if (S_ISCHR(mode) || S_ISBLK(mode)) facts.attributes |= kAttributeDevice;
    if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) facts.attributes |= kAttributeReadonly;
    if (!name.empty() && name[0] == '.') facts.attributes |= kAttributeHidden;
    if (S_ISLNK(mode)) facts.attributes |= kAttributeReparse;
    // Only a regular file's size says how much data it holds; a folder's may
    // exceed its blocks on some file systems without any hole.
    if (S_ISREG(mode) && facts.allocated < facts.size) facts.attributes |= kAttributeSparse;
}

// Compressed, encrypted and no-dump, from the inode flags where the file
// system keeps them.  handle is an O_PATH descriptor of a regular file or a
// folder; reopening it through /proc reaches that very inode, so nothing
// swapped in after the check (a FIFO, a device) is ever opened.
std::uint32_t InodeFlagAttributes(int handle) {
    const std::string reopenPath = "/proc/self/fd/" + std::to_string(handle);
    // read-only: no data is read, so the access time is not touched.
    const CDescriptor fd(::open(reopenPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    int flags = 0;
    if (!fd.Valid() || ::ioctl(fd.Get(), FS_IOC_GETFLAGS, &flags) != 0) return 0;
    std::uint32_t attributes = 0;
    if (flags & FS_COMPR_FL) attributes |= kAttributeCompressed;
    if (flags & FS_ENCRYPT_FL) attributes |= kAttributeEncrypted;
    if (flags & FS_NODUMP_FL) attributes |= kAttributeNotIndexed;
    return attributes;
}

// The same three flags as statx reports them, for file systems that answer
// there but not to the ioctl.
std::uint32_t StatxFlagAttributes(const struct statx& st) {
    const std::uint64_t flags = st.stx_attributes & st.stx_attributes_mask;
    std::uint32_t attributes = 0;
    if (flags & STATX_ATTR_COMPRESSED) attributes |= kAttributeCompressed;
    if (flags & STATX_ATTR_ENCRYPTED) attributes |= kAttributeEncrypted;
    if (flags & STATX_ATTR_NODUMP) attributes |= kAttributeNotIndexed;
    return attributes;
}

void ReadLinkTarget(int handle, FileSystemFacts& facts) {
    char target[kMaxLinkTarget];
    // An empty name reads the link the O_PATH descriptor stands for.
    const ssize_t length = ::readlinkat(handle, "", target, sizeof target);
    if (length < 0) return;
    facts.hasReparse = true;
    facts.reparseTag = kReparseTagSymbolicLink;
    facts.reparseTarget.assign(target, static_cast<std::size_t>(length));
}

bool IsSecurityAttribute(std::string_view name) {
    for (const std::string_view prefix : kSecurityAttributePrefixes)
        if (name.starts_with(prefix)) return true;
    return false;
}

// The names of the item's extended attributes, "\0"-separated.  A file
// system without extended attributes lists none.
bool ListAttributeNames(const std::string& path, std::string& names) {
    for (int attempt = 0; attempt < kListAttempts; ++attempt) {
        const ssize_t needed = ::llistxattr(path.c_str(), nullptr, 0);
        if (needed < 0) return errno == ENOTSUP;
        names.resize(std::min(static_cast<std::size_t>(needed), kMaxAttributeList));
        if (names.empty()) return true;
        const ssize_t got = ::llistxattr(path.c_str(), names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) return false;
    }
    return false;
}

void ListAttributeStreams(const std::string& path, FileSystemFacts& facts) {
    std::string names;
    if (!ListAttributeNames(path, names)) return;
    facts.streamsListed = true;
    std::size_t queried = 0;
    std::size_t start = 0;
    while (start < names.size() && queried < kMaxAttributeStreams) {
        std::size_t end = names.find('\0', start);
        if (end == std::string::npos) end = names.size();
        const std::string name = names.substr(start, end - start);
        start = end + 1;
        if (name.empty()) continue;
        ++queried;
        // A size query reads no value; an attribute removed meanwhile is left out.
        const ssize_t size = ::lgetxattr(path.c_str(), name.c_str(), nullptr, 0);
        if (size < 0) continue;
        const EStreamKind kind =
            IsSecurityAttribute(name) ? EStreamKind::SecurityDescriptor : EStreamKind::AlternativeData;
        facts.streams.push_back({kind, static_cast<std::uint64_t>(size), name});
    }
}

// Everything that needs the item itself rather than its name in the folder.
void ReadOpenedItem(const std::string& path, FileSystemFacts& facts) {
    // O_PATH opens the object without access to its data: no FIFO or device
    // is opened for reading, and nothing blocks.  read-only: O_PATH.
    const CDescriptor handle(::open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!handle.Valid()) {
        facts.openError = errno;
        return;
    }

    struct statx st {};
    if (::statx(handle.Get(), "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, kIdentityMask, &st) != 0) {
        facts.identityError = errno;
    } else {
        facts.volumeSerial = makedev(st.stx_dev_major, st.stx_dev_minor);
        facts.fileIndex = st.stx_ino;
        facts.hardLinks = st.stx_nlink;
        if (facts.found) {
            facts.attributes |= StatxFlagAttributes(st);
            if (S_ISREG(st.stx_mode) || S_ISDIR(st.stx_mode)) facts.attributes |= InodeFlagAttributes(handle.Get());
        }
    }
    struct statfs volume {};
    if (facts.found && ::fstatfs(handle.Get(), &volume) == 0 && volume.f_type == TMPFS_MAGIC)
        facts.attributes |= kAttributeTemporary;

    if (facts.attributes & kAttributeReparse) ReadLinkTarget(handle.Get(), facts);

    if (facts.identityError == 0 && S_ISREG(st.stx_mode))
        facts.streams.push_back({EStreamKind::StandardData, st.stx_size, {}});
    ListAttributeStreams(path, facts);
}

}  // namespace

FileSystemFacts GatherFileSystemFacts(const std::string& path, const std::string& name) {
    FileSystemFacts facts;
    struct statx st {};
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW | kNoAutomount, kLookupMask, &st) == 0)
        ReadLookup(st, name, facts);
    ReadOpenedItem(path, facts);
    if (facts.found && facts.attributes == 0) facts.attributes = kAttributeNormal;
    return facts;
}

bool PathExists(const std::string& path) {
    struct statx st {};
    return !path.empty() && ::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW | kNoAutomount, 0, &st) == 0;
}

bool IsDirectoryItem(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace quiddity
