// A small writer of compound files for the tests: version 3 (512-byte
// sectors) or 4 (4096-byte sectors), streams in regular or mini sectors,
// sibling links set by hand, and the FAT open to damage before Build().
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace quiddity::test {

class CCompoundCraft {
public:
    using Bytes = std::vector<std::uint8_t>;
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;  // no sibling, no child; a free FAT entry
    static constexpr std::uint32_t kEnd = 0xFFFFFFFE;   // end of a chain
    static constexpr std::uint32_t kFatMark = 0xFFFFFFFD;

    struct Entry {
        std::u16string name;
        std::uint8_t type = 2;  // 1 storage, 2 stream, 5 root
        std::uint32_t left = kNone, right = kNone, child = kNone;
        std::uint32_t start = kEnd;
        std::uint64_t size = 0;
    };

    explicit CCompoundCraft(std::uint16_t version = 3) : m_version(version), m_sectorSize(version == 3 ? 512 : 4096) {
        entries.push_back({u"Root Entry", 5});
    }

    // Bytes in a chain of whole sectors; returns its first sector.
    std::uint32_t AddChain(std::span<const std::uint8_t> bytes) {
        const std::uint32_t first = static_cast<std::uint32_t>(m_sectors.size());
        for (std::size_t at = 0; at < bytes.size() || at == 0; at += m_sectorSize) {
            Bytes sector(bytes.begin() + at, bytes.begin() + std::min(bytes.size(), at + m_sectorSize));
            sector.resize(m_sectorSize);
            m_sectors.push_back(sector);
            fat.push_back(static_cast<std::uint32_t>(m_sectors.size()));
            if (at + m_sectorSize >= bytes.size()) break;
        }
        fat.back() = kEnd;
        return first;
    }

    // A stream entry, in the mini stream below 4096 bytes; returns its id.
    std::uint32_t AddStream(std::u16string name, std::span<const std::uint8_t> bytes) {
        Entry entry{std::move(name), 2};
        entry.size = bytes.size();
        if (bytes.size() < 4096) {
            entry.start = static_cast<std::uint32_t>(m_mini.size() / 64);
            for (std::size_t at = 0; at < bytes.size(); at += 64) {
                miniFat.push_back(static_cast<std::uint32_t>(m_mini.size() / 64 + 1));
                Bytes piece(bytes.begin() + at, bytes.begin() + std::min(bytes.size(), at + 64));
                piece.resize(64);
                m_mini.insert(m_mini.end(), piece.begin(), piece.end());
            }
            if (bytes.empty()) entry.start = kEnd;
            else miniFat.back() = kEnd;
        } else {
            entry.start = AddChain(bytes);
        }
        entries.push_back(entry);
        return static_cast<std::uint32_t>(entries.size() - 1);
    }

    std::uint32_t AddStorage(std::u16string name) {
        entries.push_back({std::move(name), 1});
        return static_cast<std::uint32_t>(entries.size() - 1);
    }

    // Makes ids the children of parent: the first is its child, each next
    // one the right sibling of the one before (a tree leaning right).
    void Link(std::uint32_t parent, std::vector<std::uint32_t> ids) {
        entries[parent].child = ids.empty() ? kNone : ids[0];
        for (std::size_t i = 0; i + 1 < ids.size(); ++i) entries[ids[i]].right = ids[i + 1];
    }

    Bytes Build() {
        if (!m_mini.empty()) {
            Bytes words;
            for (const std::uint32_t next : miniFat) PutLE32(words, words.size(), next);
            m_miniFatFirst = AddChain(words);
            entries[0].start = AddChain(m_mini);
            entries[0].size = m_mini.size();
        }
        Bytes directory;
        for (const Entry& e : entries) {
            const std::size_t at = directory.size();
            for (const char16_t unit : e.name) PutLE16(directory, directory.size(), unit);  // name, UTF-16
            directory.resize(at + 64);
            PutLE16(directory, at + 64, static_cast<std::uint16_t>((e.name.size() + 1) * 2));  // name bytes with NUL
            directory.push_back(e.type);                   // entry type
            directory.push_back(1);                        // colour: black
            PutLE32(directory, at + 68, e.left);           // left sibling
            PutLE32(directory, at + 72, e.right);          // right sibling
            PutLE32(directory, at + 76, e.child);          // child
            directory.resize(at + 116);                    // class id, state bits, times: 0
            PutLE32(directory, at + 116, e.start);         // first sector
            PutLE32(directory, at + 120, static_cast<std::uint32_t>(e.size));        // size, low half
            PutLE32(directory, at + 124, static_cast<std::uint32_t>(e.size >> 32));  // size, high half
        }
        directoryFirst = AddChain(directory);
        // The FAT covers every sector, its own included.
        const std::size_t perSector = m_sectorSize / 4;
        std::size_t fatSectors = 1;
        while (fatSectors * perSector < m_sectors.size() + fatSectors) ++fatSectors;
        const std::uint32_t fatFirst = static_cast<std::uint32_t>(m_sectors.size());
        for (std::size_t i = 0; i < fatSectors; ++i) fat.push_back(kFatMark);
        fat.resize(fatSectors * perSector, kNone);
        for (std::size_t i = 0; i < fatSectors; ++i) {
            Bytes sector;
            for (std::size_t k = 0; k < perSector; ++k) PutLE32(sector, sector.size(), fat[i * perSector + k]);
            m_sectors.push_back(sector);
        }

        Bytes file = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};  // signature
        file.resize(24);                                               // class id: 0
        PutLE16(file, 24, 0x3E);                                       // minor version
        PutLE16(file, 26, m_version);                                  // major version
        PutLE16(file, 28, 0xFFFE);                                     // byte order
        PutLE16(file, 30, m_version == 3 ? 9 : 12);                    // sector shift
        PutLE16(file, 32, 6);                                          // mini sector shift
        file.resize(40);                                               // reserved
        PutLE32(file, 40, 0);                                          // directory sectors (v4 only)
        PutLE32(file, 44, static_cast<std::uint32_t>(fatSectors));     // FAT sectors
        PutLE32(file, 48, directoryFirst);                             // first directory sector
        PutLE32(file, 52, 0);                                          // transaction number
        PutLE32(file, 56, 4096);                                       // mini stream cutoff
        PutLE32(file, 60, m_mini.empty() ? kEnd : m_miniFatFirst);     // first mini FAT sector
        PutLE32(file, 64, m_mini.empty() ? 0 : 1);                     // mini FAT sectors
        PutLE32(file, 68, difatFirst);                                 // first DIFAT sector
        PutLE32(file, 72, difatCount);                                 // DIFAT sectors
        for (std::size_t i = 0; i < 109; ++i)                          // the first 109 FAT sectors
            PutLE32(file, 76 + 4 * i, i < fatSectors ? static_cast<std::uint32_t>(fatFirst + i) : kNone);
        file.resize(m_sectorSize);
        for (const Bytes& sector : m_sectors) file.insert(file.end(), sector.begin(), sector.end());
        return file;
    }

    // Where a directory entry lies in the built file.
    std::size_t EntryOffset(std::uint32_t id) const {
        return (directoryFirst + 1 + id * 128 / m_sectorSize) * m_sectorSize + id * 128 % m_sectorSize;
    }
    std::size_t SectorOffset(std::uint32_t s) const { return (std::size_t{s} + 1) * m_sectorSize; }

    std::vector<Entry> entries;       // [0] is the root
    std::vector<std::uint32_t> fat;   // one entry per sector, damage welcome
    std::vector<std::uint32_t> miniFat;
    std::uint32_t directoryFirst = 0;
    std::uint32_t difatFirst = kEnd;
    std::uint32_t difatCount = 0;

private:
    std::uint16_t m_version;
    std::size_t m_sectorSize;
    std::vector<Bytes> m_sectors;
    Bytes m_mini;
    std::uint32_t m_miniFatFirst = kEnd;
};

}  // namespace quiddity::test
