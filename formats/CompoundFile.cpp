// The container of OLE2 compound documents, after [MS-CFB].  Every chain
// is walked with a visited bitmap and at most as many steps as the file has
// sectors, and nothing is allocated by a count the file claims: the lists
// kept here grow only by sectors actually walked.
#include "formats/CompoundFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

#include "core/ByteReader.h"

namespace quiddity {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::size_t kHeaderBytes = 512;
constexpr std::size_t kMajorVersionAt = 26;
constexpr std::size_t kByteOrderAt = 28;
constexpr std::size_t kSectorShiftAt = 30;
constexpr std::size_t kMiniSectorShiftAt = 32;
constexpr std::size_t kFatSectorCountAt = 44;
constexpr std::size_t kFirstDirectorySectorAt = 48;
constexpr std::size_t kFirstMiniFatSectorAt = 60;
constexpr std::size_t kFirstDifatSectorAt = 68;
constexpr std::size_t kHeaderDifatAt = 76;
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::uint16_t kByteOrder = 0xFFFE;
constexpr std::uint16_t kMiniSectorShift = 6;
// Version 3 files have 512-byte sectors, version 4 files 4096-byte ones.
constexpr std::uint16_t kSectorShiftV3 = 9;
constexpr std::uint16_t kSectorShiftV4 = 12;

// The largest regular sector number; the values above it are marks.
constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
// Streams below this size live in the mini stream.
constexpr std::uint64_t kMiniStreamCutoff = 4096;

constexpr std::size_t kEntryBytes = 128;
constexpr std::size_t kNameLengthAt = 64;
constexpr std::size_t kMaxNameUnits = 32;
constexpr std::size_t kTypeAt = 66;
constexpr std::size_t kLeftAt = 68;
constexpr std::size_t kRightAt = 72;
constexpr std::size_t kChildAt = 76;
constexpr std::size_t kStartAt = 116;
constexpr std::size_t kSizeAt = 120;

// The comparison key of the format's order: shorter names first, then
// the names' units upper-cased (ASCII and Latin-1 letters).
std::u16string SortKey(const std::u16string& name) {
    std::u16string key = name;
    for (char16_t& unit : key)
        if ((unit >= u'a' && unit <= u'z') || (unit >= 0xE0 && unit <= 0xFE && unit != 0xF7)) unit -= 0x20;
    return key;
}

}  // namespace

int CCompoundFile::Open(const IByteSource& source) {
    m_pSource = &source;
    const std::vector<std::uint8_t> bytes = ReadBlock(source, 0, kHeaderBytes);
    const CByteReader header(bytes);
    if (bytes.size() < kHeaderBytes || !std::equal(kSignature.begin(), kSignature.end(), bytes.begin()) ||
        header.ReadLE16(kByteOrderAt) != kByteOrder || header.ReadLE16(kMiniSectorShiftAt) != kMiniSectorShift)
        return EINVAL;
    m_nVersion = header.ReadLE16(kMajorVersionAt);
    const std::uint16_t shift = header.ReadLE16(kSectorShiftAt);
    if (!(m_nVersion == 3 && shift == kSectorShiftV3) && !(m_nVersion == 4 && shift == kSectorShiftV4)) return EINVAL;
    m_nSectorSize = 1u << shift;
    m_nEntriesPerSector = m_nSectorSize / kEntryBytes;
    // The header fills the first sector's room; a partial last sector counts.
    const std::uint64_t size = source.Size();
    const std::uint64_t sectors = size > m_nSectorSize ? (size - 1) / m_nSectorSize : 0;
    m_nSectorCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(sectors, kMaxRegularSector + std::uint64_t{1}));

    // The FAT's sectors: 109 in the header, the rest in the DIFAT chain,
    // whose sectors end with the number of the next one.  The FAT has no
    // more sectors than the file.
    const std::uint32_t fatCount = std::min(header.ReadLE32(kFatSectorCountAt), m_nSectorCount);
    m_vecFatSectors.clear();
    for (std::size_t i = 0; i < kHeaderDifatEntries && m_vecFatSectors.size() < fatCount; ++i)
        m_vecFatSectors.push_back(header.ReadLE32(kHeaderDifatAt + 4 * i));
    const std::size_t perDifatSector = m_nSectorSize / 4 - 1;
    std::vector<bool> seen(m_nSectorCount);
    for (std::uint32_t s = header.ReadLE32(kFirstDifatSectorAt); m_vecFatSectors.size() < fatCount;) {
        if (s >= m_nSectorCount || seen[s]) break;
        seen[s] = true;
        const std::vector<std::uint8_t> difat = ReadBlock(source, SectorOffset(s), m_nSectorSize);
        if (difat.size() < m_nSectorSize) break;
        const CByteReader words(difat);
        for (std::size_t i = 0; i < perDifatSector && m_vecFatSectors.size() < fatCount; ++i)
            m_vecFatSectors.push_back(words.ReadLE32(4 * i));
        s = words.ReadLE32(4 * perDifatSector);
    }
    if (m_vecFatSectors.empty() || m_vecFatSectors[0] >= m_nSectorCount) return EINVAL;

    m_bDirectoryWhole = ChainSectors(header.ReadLE32(kFirstDirectorySectorAt), m_nSectorCount, false, m_vecDirectory);
    CompoundEntry root;
    if (!Entry(kRootId, root) || root.nType != static_cast<std::uint8_t>(EEntryType::Root)) return EINVAL;
    m_vecVisited.assign(EntryCount(), false);
    m_vecVisited[kRootId] = true;

    // A broken mini FAT or mini stream leaves the small streams that lie
    // past the break unreadable, nothing more.
    m_vecMiniStream.clear();
    m_vecMiniFat.clear();
    ChainSectors(root.nStart, m_nSectorCount, false, m_vecMiniStream);
    ChainSectors(header.ReadLE32(kFirstMiniFatSectorAt), m_nSectorCount, false, m_vecMiniFat);
    return 0;
}

std::uint32_t CCompoundFile::ReadSectorWord(std::uint32_t sector, std::size_t index) const {
    const std::vector<std::uint8_t> word = ReadBlock(*m_pSource, SectorOffset(sector) + 4 * index, 4);
    return word.size() == 4 ? CByteReader(word).ReadLE32(0) : kNoStream;
}

std::uint32_t CCompoundFile::NextSector(std::uint32_t s) const {
    const std::size_t perSector = m_nSectorSize / 4;
    if (s >= m_nSectorCount || s / perSector >= m_vecFatSectors.size()) return kNoStream;
    const std::uint32_t fatSector = m_vecFatSectors[s / perSector];
    if (fatSector >= m_nSectorCount) return kNoStream;
    return ReadSectorWord(fatSector, s % perSector);
}

std::uint32_t CCompoundFile::NextMiniSector(std::uint32_t m) const {
    const std::size_t perSector = m_nSectorSize / 4;
    if (m / perSector >= m_vecMiniFat.size()) return kNoStream;
    return ReadSectorWord(m_vecMiniFat[m / perSector], m % perSector);
}

bool CCompoundFile::ChainSectors(std::uint32_t first, std::size_t maxSectors, bool mini,
                                 std::vector<std::uint32_t>& sectors) const {
    sectors.clear();
    const std::size_t limit = mini ? MiniSectorCount() : m_nSectorCount;
    std::vector<bool> visited(limit);
    for (std::uint32_t s = first; s != kEndOfChain && sectors.size() < maxSectors;) {
        if (s >= limit || visited[s]) return false;
        visited[s] = true;
        sectors.push_back(s);
        s = mini ? NextMiniSector(s) : NextSector(s);
    }
    return true;
}

std::vector<std::uint8_t> CCompoundFile::ReadChain(std::uint32_t first, std::size_t maxBytes, bool mini) const {
    const std::size_t unit = mini ? kMiniSectorSize : m_nSectorSize;
    std::vector<std::uint32_t> sectors;
    ChainSectors(first, (maxBytes + unit - 1) / unit, mini, sectors);
    std::vector<std::uint8_t> bytes;
    for (const std::uint32_t s : sectors) {
        std::uint64_t offset = SectorOffset(s);
        if (mini) {
            // Mini sector m lies at m * 64 in the mini stream.
            const std::uint64_t inStream = std::uint64_t{s} * kMiniSectorSize;
            offset = SectorOffset(m_vecMiniStream[inStream / m_nSectorSize]) + inStream % m_nSectorSize;
        }
        const std::vector<std::uint8_t> piece = ReadBlock(*m_pSource, offset, std::min(unit, maxBytes - bytes.size()));
        bytes.insert(bytes.end(), piece.begin(), piece.end());
        if (piece.size() < unit) break;
    }
    return bytes;
}

bool CCompoundFile::Entry(std::uint32_t id, CompoundEntry& entry) const {
    if (id >= EntryCount()) return false;
    const std::uint64_t offset =
        SectorOffset(m_vecDirectory[id / m_nEntriesPerSector]) + std::uint64_t{id % m_nEntriesPerSector} * kEntryBytes;
    const std::vector<std::uint8_t> bytes = ReadBlock(*m_pSource, offset, kEntryBytes);
    if (bytes.size() < kEntryBytes) return false;
    const CByteReader record(bytes);
    // The stored length counts bytes, the terminator included.
    const std::size_t units = std::min<std::size_t>(record.ReadLE16(kNameLengthAt) / 2, kMaxNameUnits);
    entry.strName.clear();
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t unit = record.ReadLE16(2 * i);
        if (unit == 0) break;
        entry.strName.push_back(unit);
    }
    entry.nType = record.Byte(kTypeAt);
    entry.nLeft = record.ReadLE32(kLeftAt);
    entry.nRight = record.ReadLE32(kRightAt);
    entry.nChild = record.ReadLE32(kChildAt);
    entry.nStart = record.ReadLE32(kStartAt);
    // Version 3 writers may leave garbage in the size's high half.
    entry.nSize = m_nVersion == 3 ? record.ReadLE32(kSizeAt) : record.ReadLE64(kSizeAt);
    return true;
}

EChildError CCompoundFile::Children(std::uint32_t storageId, std::vector<std::uint32_t>& children) {
    children.clear();
    if (!m_bDirectoryWhole) return EChildError::Enum;
    CompoundEntry entry;
    if (!Entry(storageId, entry)) return EChildError::Open;
    // In-order walk of the sibling tree; the stack holds (id, right sibling).
    std::vector<std::pair<std::uint32_t, std::uint32_t>> stack;
    EChildError error = EChildError::None;
    const std::uint32_t first = entry.nChild;
    for (std::uint32_t id = first; error == EChildError::None && (id != kNoStream || !stack.empty());) {
        if (id == kNoStream) {
            children.push_back(stack.back().first);
            id = stack.back().second;
            stack.pop_back();
            continue;
        }
        if (id >= EntryCount() || m_vecVisited[id] || !Entry(id, entry)) {
            error = id == first && children.empty() && stack.empty() ? EChildError::Open : EChildError::Next;
            break;
        }
        m_vecVisited[id] = true;
        stack.emplace_back(id, entry.nRight);
        id = entry.nLeft;
    }

    std::vector<std::pair<std::u16string, std::uint32_t>> keyed;
    for (const std::uint32_t id : children)
        if (Entry(id, entry)) keyed.emplace_back(SortKey(entry.strName), id);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return a.first.size() != b.first.size() ? a.first.size() < b.first.size() : a.first < b.first;
    });
    children.clear();
    for (const auto& [key, id] : keyed) children.push_back(id);
    return error;
}

bool CCompoundFile::StreamReadable(const CompoundEntry& entry) const {
    if (entry.nSize == 0) return true;
    return entry.nStart < (entry.nSize < kMiniStreamCutoff ? MiniSectorCount() : m_nSectorCount);
}

std::vector<std::uint8_t> CCompoundFile::ReadStream(const CompoundEntry& entry, std::size_t maxBytes) const {
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(entry.nSize, maxBytes));
    return ReadChain(entry.nStart, wanted, entry.nSize < kMiniStreamCutoff);
}

}  // namespace quiddity
