// The container of OLE2 compound documents (structured storage), read from
// the bytes: header, DIFAT, FAT, mini FAT, directory and stream chains.
// After the published Compound File Binary File Format ([MS-CFB]).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/ByteSource.h"

namespace quiddity {

// Directory entry kinds as stored; 0 is an unused entry.
enum class EEntryType : std::uint8_t { Unused = 0, Storage = 1, Stream = 2, Root = 5 };

struct CompoundEntry {
    std::u16string strName;  // the stored UTF-16 units, without the terminator
    std::uint8_t nType = 0;
    std::uint32_t nLeft = 0;
    std::uint32_t nRight = 0;
    std::uint32_t nChild = 0;
    std::uint32_t nStart = 0;
    std::uint64_t nSize = 0;
};

// Why the children of a storage could not be listed.
enum class EChildError {
    None,
    Open,  // the storage's own first child is outside the directory or already seen
    Enum,  // the directory chain broke: its entries cannot all be read
    Next,  // a sibling index outside the directory, or one reached twice
};

class CCompoundFile {
public:
    static constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
    static constexpr std::uint32_t kRootId = 0;

    // 0, or EINVAL when the header, the first FAT sector or the root entry
    // is not that of a compound file.
    int Open(const IByteSource& source);

    // Entry ids reach at most 0xFFFFFFFE: kNoStream marks "none".
    std::uint32_t EntryCount() const {
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{m_vecDirectory.size()} * m_nEntriesPerSector, kNoStream));
    }
    // False for an id outside the directory or an entry that cannot be read.
    bool Entry(std::uint32_t id, CompoundEntry& entry) const;

    // The children of a storage, in the format's own order.  The sibling
    // trees of the whole file share one visited set, so an entry is listed
    // once however the trees point at each other.  On an error, the children
    // found before it are still given.
    EChildError Children(std::uint32_t storageId, std::vector<std::uint32_t>& children);

    // Whether a stream's first sector lies in the file (always, when empty).
    bool StreamReadable(const CompoundEntry& entry) const;
    // Up to maxBytes of a stream, fewer when its chain ends early.
    std::vector<std::uint8_t> ReadStream(const CompoundEntry& entry, std::size_t maxBytes) const;

    // The walks the reader is built on: the FAT entry of sector s, or
    // kNoStream when it cannot be read.
    std::uint32_t NextSector(std::uint32_t s) const;
    // The sectors of a chain (mini sectors when mini), at most maxSectors;
    // false when it loops or leaves the file before its end mark.
    bool ChainSectors(std::uint32_t first, std::size_t maxSectors, bool mini, std::vector<std::uint32_t>& sectors) const;
    std::vector<std::uint8_t> ReadChain(std::uint32_t first, std::size_t maxBytes, bool mini) const;

private:
    std::uint32_t NextMiniSector(std::uint32_t m) const;
    std::uint32_t ReadSectorWord(std::uint32_t sector, std::size_t index) const;
    std::uint64_t SectorOffset(std::uint32_t s) const { return (std::uint64_t{s} + 1) * m_nSectorSize; }
    std::size_t MiniSectorCount() const { return m_vecMiniStream.size() * (m_nSectorSize / kMiniSectorSize); }

    static constexpr std::size_t kMiniSectorSize = 64;

    const IByteSource* m_pSource = nullptr;
    std::uint16_t m_nVersion = 0;
    std::uint32_t m_nSectorSize = 0;
    std::uint32_t m_nEntriesPerSector = 0;
    std::uint32_t m_nSectorCount = 0;  // whole or partial sectors after the header
    std::vector<std::uint32_t> m_vecFatSectors;     // from the header and the DIFAT chain
    std::vector<std::uint32_t> m_vecDirectory;      // the directory's sectors
    std::vector<std::uint32_t> m_vecMiniFat;        // the mini FAT's sectors
    std::vector<std::uint32_t> m_vecMiniStream;     // the mini stream's sectors (the root's chain)
    bool m_bDirectoryWhole = false;
    std::vector<bool> m_vecVisited;                 // directory entries already listed
};

}  // namespace quiddity
