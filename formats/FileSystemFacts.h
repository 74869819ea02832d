// What the file system records about one item, in the terms of the
// file-information block: sizes, times, attribute bits, identity, the
// target of a symbolic link and the streams (data and extended attributes).
// All Linux calls of that block live in FileSystemFacts.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quiddity {

// Attribute bits, with the values the block has always used for them.
inline constexpr std::uint32_t kAttributeReadonly = 0x1;
inline constexpr std::uint32_t kAttributeHidden = 0x2;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeDevice = 0x40;
inline constexpr std::uint32_t kAttributeNormal = 0x80;
inline constexpr std::uint32_t kAttributeTemporary = 0x100;
inline constexpr std::uint32_t kAttributeSparse = 0x200;
inline constexpr std::uint32_t kAttributeReparse = 0x400;
inline constexpr std::uint32_t kAttributeCompressed = 0x800;
inline constexpr std::uint32_t kAttributeNotIndexed = 0x2000;
inline constexpr std::uint32_t kAttributeEncrypted = 0x4000;

// The reparse tag of a symbolic link.
inline constexpr std::uint32_t kReparseTagSymbolicLink = 0xA000000C;

// Kinds of backup stream, numbered as backup stream headers number them.
enum class EStreamKind : std::uint32_t {
    StandardData = 1,
    SecurityDescriptor = 3,
    AlternativeData = 4,
};

struct FileStream {
    EStreamKind kind = EStreamKind::StandardData;
    std::uint64_t size = 0;
    std::string name;  // raw bytes; empty for the data stream
};

// A time in seconds since 1970-01-01 00:00 UTC, when the file system has it.
struct FileTime {
    bool known = false;
    std::int64_t seconds = 0;
};

struct FileSystemFacts {
    // From looking the item up (a final symbolic link is not followed).
    bool found = false;
    std::uint64_t size = 0;
    std::uint64_t allocated = 0;  // what the item occupies on disk
    FileTime created;             // the birth time; unknown on many file systems
    FileTime accessed;
    FileTime written;
    std::uint32_t attributes = 0;  // kAttribute... bits
    std::uint32_t mode = 0;        // the item's type and permission bits (st_mode)
    std::uint32_t owner = 0;       // user and group numbers
    std::uint32_t group = 0;
    std::string ownerName;         // empty where no account has the number
    std::string groupName;
    std::uint32_t deviceMajor = 0;  // what a character or block device stands for
    std::uint32_t deviceMinor = 0;

    // From the item opened as an object (never for reading its data).
    int openError = 0;  // errno when the item could not be opened; nothing below is known then
    int identityError = 0;  // errno when its identity could not be read
    std::uint64_t volumeSerial = 0;  // the device number of its file system
    std::uint64_t fileIndex = 0;     // the inode number
    std::uint32_t hardLinks = 0;
    bool hasReparse = false;  // a symbolic link whose target was read
    std::uint32_t reparseTag = 0;
    std::string reparseTarget;  // raw bytes, as stored
    bool streamsListed = false;  // the extended attributes could be listed
    std::vector<FileStream> streams;
};

// Looks the item at path up without following a final symbolic link;
// name is its last component (a name beginning with "." is hidden).  Never
// opens a FIFO or a device, and opens nothing for writing.
FileSystemFacts GatherFileSystemFacts(const std::string& path, const std::string& name);

// True when something is found at path (a symbolic link counts, wherever
// it points).  Only looks: opens and mounts nothing.
bool PathExists(const std::string& path);

// True when path names a directory itself (not a link to one).
bool IsDirectoryItem(const std::string& path);

// The file-information block for the facts; the stream list only when
// listStreams is set.
std::string FormatFileInformation(const FileSystemFacts& facts, bool listStreams);

}  // namespace quiddity
