#include "formats/TrueTypeNames.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/ByteReader.h"
#include "core/TextFormat.h"
#include "core/TextHelpers.h"

namespace quiddity {

namespace {

constexpr std::size_t kOffsetTableBytes = 12;
constexpr std::size_t kTableRecordBytes = 16;
constexpr std::size_t kNameHeaderBytes = 6;
constexpr std::size_t kNameRecordBytes = 12;
// A table or record list is read as (count x record size) modulo 65536,
// never more than this: enough for every real font.
constexpr std::size_t kMaxRecordListBytes = 2046;
constexpr std::size_t kMaxTableRecords = 128;
constexpr std::size_t kMaxNameRecords = 85;
constexpr std::size_t kMaxStringBytes = 10220;  // a name string longer than this is cut
constexpr std::uint16_t kFullFontName = 4;
constexpr std::uint16_t kPlatformUnicode = 0;
constexpr std::uint16_t kPlatformWindows = 3;

std::size_t RecordListBytes(std::size_t count, std::size_t recordBytes) {
    return std::min((count * recordBytes) % 65536, kMaxRecordListBytes);
}

}  // namespace

void ReadTrueTypeNames(const IByteSource& file, EDetail detail, std::string& out) {
    out.clear();
    const bool allNames = detail == EDetail::Full;

    std::array<std::uint8_t, kOffsetTableBytes> offsetTable{};
    if (file.ReadAt(0, offsetTable) < kOffsetTableBytes) return;
    const CByteReader header(offsetTable.data(), offsetTable.size());
    if (header.ReadBE32(0) != 0x00010000) return;

    const std::size_t tableCount = header.ReadBE16(4);
    std::array<std::uint8_t, kMaxRecordListBytes> list{};
    std::size_t got = file.ReadAt(kOffsetTableBytes, std::span(list.data(), RecordListBytes(tableCount, kTableRecordBytes)));
    const CByteReader tables(list.data(), got);
    std::uint32_t nameOffset = 0;
    bool haveName = false;
    for (std::size_t i = 0; i < tableCount && i < kMaxTableRecords && tables.Has(i * kTableRecordBytes, kTableRecordBytes); ++i) {
        if (tables.Matches(i * kTableRecordBytes, "name")) {
            nameOffset = tables.ReadBE32(i * kTableRecordBytes + 8);
            haveName = true;
            break;
        }
    }
    if (!haveName) return;

    std::array<std::uint8_t, kNameHeaderBytes> nameHeaderBytes{};
    if (file.ReadAt(nameOffset, nameHeaderBytes) < kNameHeaderBytes) return;
    const CByteReader nameHeader(nameHeaderBytes.data(), nameHeaderBytes.size());
    const std::size_t count = nameHeader.ReadBE16(2);
    const std::uint64_t storage = std::uint64_t{nameOffset} + nameHeader.ReadBE16(4);

    got = file.ReadAt(std::uint64_t{nameOffset} + kNameHeaderBytes,
                      std::span(list.data(), RecordListBytes(count, kNameRecordBytes)));
    if (got == 0) return;
    const CByteReader records(list.data(), got);
    std::vector<std::uint8_t> text;
    for (std::size_t i = 0; i < count && i < kMaxNameRecords && records.Has(i * kNameRecordBytes, kNameRecordBytes); ++i) {
        const std::size_t at = i * kNameRecordBytes;
        const std::uint16_t platform = records.ReadBE16(at);
        const std::uint16_t nameId = records.ReadBE16(at + 6);
        const std::size_t length = std::min<std::size_t>(records.ReadBE16(at + 8), kMaxStringBytes);
        const std::uint16_t stringOffset = records.ReadBE16(at + 10);
        if (!allNames && nameId != kFullFontName) continue;
        text.assign(length, 0);
        if (file.ReadAt(storage + stringOffset, text) < length) continue;

        std::string name;
        if (platform == kPlatformUnicode || platform == kPlatformWindows) {
            AppendUtf16BeAsUtf8(text, name);
            name.resize(std::min(name.size(), name.find('\0')));  // a name ends at its first NUL
        } else {
            const auto zero = std::find(text.begin(), text.end(), 0);
            name.assign(text.begin(), zero);
        }
        if (!allNames) {
            out = name;
            return;
        }
        out += name;
        out += "\r\n";
    }
}

}  // namespace quiddity
