// Windows shell links (.lnk), after the published Shell Link Binary File
// Format ([MS-SHLLINK]): the header, the item-id list (skipped), the link
// information block and the string data.
#include "formats/ShellLink.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>
#include <vector>

#include "core/ByteReader.h"
#include "core/TextFormat.h"
#include "core/TextHelpers.h"
#include "formats/FileSystemFacts.h"

namespace quiddity {

namespace {

constexpr std::size_t kHeaderBytes = 76;
constexpr std::uint32_t kHeaderSize = 0x4C;
// {00021401-0000-0000-C000-000000000046} as stored.
constexpr std::array<std::uint8_t, 16> kLinkClassId{0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                    0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr std::size_t kClassIdAt = 4;
constexpr std::size_t kFlagsAt = 20;
constexpr std::size_t kAttributesAt = 24;
constexpr std::size_t kCreatedAt = 28;
constexpr std::size_t kAccessedAt = 36;
constexpr std::size_t kWrittenAt = 44;
constexpr std::size_t kFileSizeAt = 52;
constexpr std::size_t kIconIndexAt = 56;
constexpr std::size_t kShowCommandAt = 60;
constexpr std::size_t kHotKeyAt = 64;

constexpr std::uint32_t kHasItemIdList = 0x1;
constexpr std::uint32_t kHasLinkInfo = 0x2;
constexpr std::uint32_t kIsUnicode = 0x80;

// The link information block is shown only below this size; a larger one
// is skipped by its size.  Its size field counts itself.
constexpr std::uint32_t kMaxShownLinkInfo = 0xFF0;
constexpr std::uint32_t kLinkInfoSizeBytes = 4;
constexpr std::size_t kLinkInfoFlagsAt = 8;
constexpr std::size_t kVolumeIdOffsetAt = 12;
constexpr std::size_t kLocalBasePathOffsetAt = 16;
constexpr std::size_t kNetworkLinkOffsetAt = 20;
constexpr std::size_t kCommonPathSuffixOffsetAt = 24;
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr std::uint32_t kCommonNetworkRelativeLink = 0x2;
// Volume record: size, drive type, serial number, label offset.
constexpr std::uint32_t kMinShownVolumeRecord = 12;
constexpr std::size_t kDriveTypeAt = 4;
constexpr std::size_t kSerialNumberAt = 8;
constexpr std::size_t kLabelOffsetAt = 12;
// Network record: the offset of the network name at 8.
constexpr std::size_t kNetworkNameOffsetAt = 8;

// A stored string shows this many characters; the rest is skipped.
constexpr std::size_t kMaxShownUnits = 256;

constexpr std::string_view kIndent = "                ";

struct BitText {
    std::uint32_t bit;
    const char* text;
};

// One line for each set flag, in bit order; higher bits have none.
constexpr BitText kFlagLines[] = {
    {0x4, "* Comment"},
    {0x8, "* Relative path"},
    {0x10, "* Working dir"},
    {0x20, "* Command line arguments"},
    {0x40, "* Icon"},
    {0x80, "* Unicode"},
    {0x100, "* FORCE_NO_LINKINFO"},
    {0x200, "* Expandable env. strings"},
    {0x400, "* Run in separate VDM"},
    {0x800, "* HAS_LOGO3ID (invalid flag)"},
    {0x1000, "* HAS_DARWINID (windows installer special link)"},
    {0x2000, "* Run as different user"},
    {0x4000, "* Expandable env strings in icon path"},
    {0x8000, "* NO_PIDL_ALIAS"},
    {0x10000, "* FORCE_UNCNAME"},
    {0x20000, "* RUN_WITH_SHIMLAYER (run as administrator)"},
    {0x40000, "* FORCE_NO_LINKTRACK (disable object ID distributed tracking info)"},
    {0x80000, "* ENABLE_TARGET_METADATA"},
    {0x100000, "* (flag bit 21)"},
    {0x200000, "* DISABLE_KNOWNFOLDER_RELATIVE_TRACKING"},
};

// The target's attributes in the order the line lists them.
constexpr BitText kAttributeWords[] = {
    {0x1, "readonly, "},    {0x2, "hidden, "},  {0x4, "system, "},    {0x8, "volume, "},
    {0x10, "directory, "},  {0x20, "archive, "}, {0x4000, "encrypted, "}, {0x80, "normal, "},
    {0x100, "temporary, "}, {0x200, "sparse, "}, {0x400, "reparse, "},   {0x800, "compressed, "},
    {0x1000, "offline, "},
};

// Drive types by number; 0 and any number past the table are unknown.
constexpr const char* kDriveTypes[] = {
    "Unknown", "No root dir", "Removable", "Fixed", "Remote/Network", "CD-ROM", "RAM drive",
};

// Show commands by number (SW_HIDE to SW_SHOWDEFAULT).
constexpr const char* kShowCommands[] = {
    "Hide", "Normal", "ShowMinimized", "ShowMaximized", "ShowNoactivate", "Show",
    "Minimize", "ShowMinNoactivate", "ShowNA", "Restore", "ShowDefault",
};

// The stored strings in the order they follow each other, and whether the
// file each names is looked for.
enum class ECheck { None, InLinkFolder, AsGiven };

struct StringRow {
    std::uint32_t flag;
    const char* label;
    ECheck check;
};

constexpr StringRow kStrings[] = {
    {0x4, "Description...: ", ECheck::None},
    {0x8, "Relative path.: ", ECheck::InLinkFolder},
    {0x10, "Working dir...: ", ECheck::None},
    {0x20, "Command line..: ", ECheck::None},
    {0x40, "Icon path.....: ", ECheck::AsGiven},
};

// A text from the link as it names a file, and as it is shown on its line.
struct LinkText {
    std::string path;
    std::string shown;
};

LinkText MakeLinkText(const std::string& utf8) {
    LinkText text{utf8, utf8};
    DotControlCharacters(text.shown);
    return text;
}

// An 8-bit string of the block at offset, ending at its zero byte or at
// the end of the block.  Nothing when the offset lies outside.
bool BlockString(const CByteReader& block, std::uint64_t offset, LinkText& text) {
    if (offset >= block.Size()) return false;
    const std::uint8_t* begin = block.Data() + offset;
    const std::uint8_t* end = std::find(begin, block.Data() + block.Size(), 0);
    std::string utf8;
    AppendWindows1252AsUtf8(std::span(begin, end), utf8);
    text = MakeLinkText(utf8);
    return true;
}

const char* ExistsText(const std::string& path) { return PathExists(path) ? "(exists)\n" : "(doesn't exist)\n"; }

void AppendLinkInfoLines(const CByteReader& block, std::string& out) {
    const std::uint32_t flags = block.ReadLE32(kLinkInfoFlagsAt);
    const bool local = flags & kVolumeIdAndLocalBasePath;
    const bool network = flags & kCommonNetworkRelativeLink;
    out += "Available.....: ";
    out += local && network ? "local and network" : local ? "local" : network ? "network" : "none";
    out += "\n";

    LinkText text;
    const std::uint32_t localPath = block.ReadLE32(kLocalBasePathOffsetAt);
    if (local && localPath != 0 && BlockString(block, localPath, text))
        AppendFormat(out, "Local path....: %s %s", text.shown.c_str(), ExistsText(text.path));

    const std::uint32_t networkLink = block.ReadLE32(kNetworkLinkOffsetAt);
    if (network && networkLink != 0) {
        const CByteReader record = block.Sub(networkLink, block.ReadLE32(networkLink));
        const std::uint32_t nameOffset = record.ReadLE32(kNetworkNameOffsetAt);
        if (record.Ok() && BlockString(record, nameOffset, text))
            AppendFormat(out, "Network path..: %s\n", text.shown.c_str());
    }

    const std::uint32_t suffix = block.ReadLE32(kCommonPathSuffixOffsetAt);
    if (suffix != 0 && BlockString(block, suffix, text)) AppendFormat(out, "Remaining path: %s\n", text.shown.c_str());

    const std::uint32_t volumeId = block.ReadLE32(kVolumeIdOffsetAt);
    if (!local || volumeId == 0) return;
    const std::uint32_t volumeSize = block.ReadLE32(volumeId);
    const CByteReader volume = block.Sub(volumeId, volumeSize);
    if (!volume.Ok() || volumeSize < kMinShownVolumeRecord) return;
    // The label's offset is the record's fourth field: a shorter record has
    // no label.
    LinkText label;
    if (volume.Has(kLabelOffsetAt, 4)) BlockString(volume, volume.ReadLE32(kLabelOffsetAt), label);
    const std::uint32_t driveType = volume.ReadLE32(kDriveTypeAt);
    out += "Volume........:\n";
    AppendFormat(out, "%.*sLabel...: %s\n", static_cast<int>(kIndent.size()), kIndent.data(), label.shown.c_str());
    AppendFormat(out, "%.*sSerialno: %08X\n", static_cast<int>(kIndent.size()), kIndent.data(),
                 volume.ReadLE32(kSerialNumberAt));
    out += kIndent;
    out += "Type....: ";
    out += driveType < std::size(kDriveTypes) ? kDriveTypes[driveType] : kDriveTypes[0];
    out += "\n";
}

// The stored strings from `at` on, up to the first that runs past the end
// of the file.
void AppendStringLines(const IByteSource& source, std::uint64_t at, std::uint32_t flags, const CItemPlace& place,
                       std::string& out) {
    const std::size_t unitBytes = (flags & kIsUnicode) ? 2 : 1;
    for (const StringRow& row : kStrings) {
        if (!(flags & row.flag)) continue;
        const std::vector<std::uint8_t> countBytes = ReadBlock(source, at, 2);
        if (countBytes.size() < 2) return;
        const std::size_t count = CByteReader(countBytes).ReadLE16(0);
        const std::size_t shownUnits = std::min(count, kMaxShownUnits);
        const std::vector<std::uint8_t> units = ReadBlock(source, at + 2, shownUnits * unitBytes);
        if (units.size() < shownUnits * unitBytes) return;
        at += 2 + count * unitBytes;  // the units past the shown ones are skipped
        if (count == 0) continue;

        std::string utf8;
        if (unitBytes == 2) AppendUtf16LeAsUtf8(units, shownUnits, utf8);
        else AppendWindows1252AsUtf8(std::span(units.begin(), std::find(units.begin(), units.end(), 0)), utf8);
        const LinkText text = MakeLinkText(utf8);
        out += row.label;
        out += text.shown;
        switch (row.check) {
            case ECheck::None: out += "\n"; break;
            case ECheck::InLinkFolder: {
                std::string path = text.path;
                std::replace(path.begin(), path.end(), '\\', '/');
                out += " ";
                out += ExistsText(place.strFolder + path);
                break;
            }
            case ECheck::AsGiven:
                out += "  ";
                out += ExistsText(text.path);
                break;
        }
    }
}

void AppendTimeLine(std::string& out, const char* label, std::uint64_t fileTime) {
    CalendarTime time;
    if (!FileTimeToCalendar(fileTime, time)) return;
    AppendFormat(out, "%.*s%s%02u.%02u.%04u %02u:%02u\r\n", static_cast<int>(kIndent.size()), kIndent.data(), label,
                 time.day, time.month, time.year, time.hour, time.minute);
}

void AppendTargetLines(const CByteReader& header, std::string& out) {
    out += "\nTarget file...:\n";
    AppendTimeLine(out, "Created.....: ", header.ReadLE64(kCreatedAt));
    AppendTimeLine(out, "Accessed....: ", header.ReadLE64(kAccessedAt));
    AppendTimeLine(out, "Last written: ", header.ReadLE64(kWrittenAt));

    const std::uint32_t attributes = header.ReadLE32(kAttributesAt);
    std::string line(kIndent);
    line += "Attributes..: ";
    if (attributes == 0) line += "none";
    for (const BitText& word : kAttributeWords)
        if (attributes & word.bit) line += word.text;
    while (line.back() == ' ' || line.back() == ',') line.pop_back();
    out += line + "\n";

    AppendFormat(out, "%.*sFile size...: %u\n", static_cast<int>(kIndent.size()), kIndent.data(),
                 header.ReadLE32(kFileSizeAt));
    AppendFormat(out, "Icon number...: %d\n", static_cast<int>(header.ReadLE32(kIconIndexAt)));
    const std::uint32_t show = header.ReadLE32(kShowCommandAt);
    out += "Window........: ";
    if (show < std::size(kShowCommands)) out += kShowCommands[show];
    else AppendFormat(out, "unknown (%d)", static_cast<int>(show));
    AppendFormat(out, "\nHotkey........: %d\n", static_cast<int>(header.ReadLE32(kHotKeyAt)));
}

void TrimLineEnds(std::string& out, std::string_view ends) {
    while (!out.empty() && ends.find(out.back()) != std::string_view::npos) out.pop_back();
}

}  // namespace

void ReportShellLink(const IByteSource& source, const CItemPlace& place, EDetail, std::string& out) {
    out.clear();
    const std::vector<std::uint8_t> headerBytes = ReadBlock(source, 0, kHeaderBytes);
    const CByteReader header(headerBytes);
    if (headerBytes.size() < kHeaderBytes || header.ReadLE32(0) != kHeaderSize ||
        !std::equal(kLinkClassId.begin(), kLinkClassId.end(), headerBytes.begin() + kClassIdAt))
        return;
    const std::uint32_t flags = header.ReadLE32(kFlagsAt);

    // Each structure follows the one before; once a size is missing or
    // impossible, the strings after it cannot be found.
    std::uint64_t at = kHeaderBytes;
    bool stringsFound = true;
    out += "Flags.........: PIDL ";
    if (!(flags & kHasItemIdList)) out += "not ";
    out += "present ";
    if (flags & kHasItemIdList) {
        const std::vector<std::uint8_t> sizeBytes = ReadBlock(source, at, 2);
        if (sizeBytes.size() == 2) {
            const std::uint16_t size = CByteReader(sizeBytes).ReadLE16(0);
            AppendFormat(out, "(size: %d)", size);
            at += 2 + size;
        } else {
            stringsFound = false;
        }
    }

    AppendFormat(out, "\n%.*sFileinfo ", static_cast<int>(kIndent.size()), kIndent.data());
    if (!(flags & kHasLinkInfo)) out += "not ";
    out += "present ";
    std::vector<std::uint8_t> linkInfo;
    if ((flags & kHasLinkInfo) && stringsFound) {
        const std::vector<std::uint8_t> sizeBytes = ReadBlock(source, at, kLinkInfoSizeBytes);
        const std::uint32_t size = CByteReader(sizeBytes).ReadLE32(0);
        if (sizeBytes.size() == kLinkInfoSizeBytes) AppendFormat(out, "(size: %u)", size);
        if (sizeBytes.size() < kLinkInfoSizeBytes || size < kLinkInfoSizeBytes) {
            // A size that does not even cover itself would lead backwards.
            stringsFound = false;
        } else {
            if (size < kMaxShownLinkInfo) {
                linkInfo = ReadBlock(source, at, size);
                if (linkInfo.size() < size) linkInfo.clear();
            }
            at += size;
        }
    }
    out += "\n";
    for (const BitText& line : kFlagLines) {
        if (!(flags & line.bit)) continue;
        out += kIndent;
        out += line.text;
        out += "\n";
    }

    if (flags & kHasLinkInfo) {
        if (!linkInfo.empty()) AppendLinkInfoLines(CByteReader(linkInfo), out);
        out += "\n";
    }
    if (stringsFound) AppendStringLines(source, at, flags, place, out);

    TrimLineEnds(out, "\n");
    AppendTargetLines(header, out);
    TrimLineEnds(out, "\r\n");
    out += "\n\n";
}

}  // namespace quiddity
