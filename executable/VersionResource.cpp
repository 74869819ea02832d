#include "executable/VersionResource.h"

#include <algorithm>

#include "core/ByteReader.h"
#include "core/TextFormat.h"
#include "core/TextHelpers.h"
#include "executable/ExeStructs.h"
#include "executable/ResourceDirectory.h"
#include "executable/SectionMap.h"

namespace quiddity {

namespace {

// The resource type of version resources, and the name they are found by.
constexpr std::uint32_t kPeVersionType = 16;
constexpr std::uint32_t kPeVersionName = 1;
constexpr std::uint32_t kNeutralLanguage = 0;
// In an NE resource table: the version type with its "integer ID" bit.
constexpr std::uint16_t kNeVersionType = 0x8010;
// The NE header's 16-bit offsets put its resource table within 64 KiB.
constexpr std::size_t kNeResourceTableBytes = 0x10000;
// A larger alignment shift would place resources past 4 GiB.
constexpr std::uint16_t kMaxNeAlignShift = 16;

// Node headers: length, value length and (UTF-16 only) value type.
constexpr std::size_t kWideNodeHeader = 6;
constexpr std::size_t kNarrowNodeHeader = 4;
constexpr std::uint16_t kWideTextValue = 1;  // value length counts UTF-16 units, not bytes

constexpr std::size_t Align4(std::size_t at) { return (at + 3) & ~std::size_t{3}; }

// One node of the version tree; offsets within the block.  Children follow
// the value, each 4-byte aligned, within the node's length.
struct VersionNode {
    std::size_t end = 0;  // one past its last byte, within its parent
    std::size_t keyStart = 0;
    std::size_t keyEnd = 0;  // the key's terminator, or the node's end
    std::size_t valueStart = 0;
    std::size_t valueBytes = 0;  // as the value length says
    std::size_t childrenStart = 0;
};

std::size_t UnitBytes(bool wide) { return wide ? 2 : 1; }

std::size_t Unit(const CByteReader& block, std::size_t at, bool wide) {
    return wide ? block.ReadLE16(at) : block.Byte(at);
}

// The node at `at`, which must end by `limit`; none when its header does
// not fit or its length is below the header's (such a node would never
// move the walk on).
std::optional<VersionNode> ReadNode(const CByteReader& block, std::size_t at, std::size_t limit, bool wide) {
    const std::size_t header = wide ? kWideNodeHeader : kNarrowNodeHeader;
    if (at >= limit || limit - at < header) return std::nullopt;
    const std::size_t length = block.ReadLE16(at);
    if (length < header) return std::nullopt;
    VersionNode node;
    node.end = std::min(at + length, limit);
    node.keyStart = at + header;
    const std::size_t unit = UnitBytes(wide);
    std::size_t key = node.keyStart;
    while (key + unit <= node.end && Unit(block, key, wide) != 0) key += unit;
    node.keyEnd = key;
    node.valueStart = Align4(key + unit);
    const std::size_t declared = block.ReadLE16(at + 2);
    node.valueBytes = wide && block.ReadLE16(at + 4) == kWideTextValue ? declared * 2 : declared;
    node.childrenStart = Align4(node.valueStart + node.valueBytes);
    return node;
}

bool KeyIs(const CByteReader& block, const VersionNode& node, std::string_view key, bool wide) {
    const std::size_t unit = UnitBytes(wide);
    if ((node.keyEnd - node.keyStart) / unit != key.size()) return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const std::size_t c = Unit(block, node.keyStart + i * unit, wide);
        if (c > 0x7F || LowerAscii(static_cast<char>(c)) != LowerAscii(key[i])) return false;
    }
    return true;
}

// Walks down the keys of path from the root; each level looks at the
// children of the one above, so the walk is as deep as the path.
std::optional<VersionNode> FindNode(const VersionResource& resource, std::span<const std::string_view> path) {
    const CByteReader block(resource.block);
    std::optional<VersionNode> node = ReadNode(block, 0, block.Size(), resource.wide);
    for (const std::string_view key : path) {
        if (!node) return std::nullopt;
        const VersionNode parent = *node;
        node.reset();
        for (std::size_t at = parent.childrenStart; at < parent.end;) {
            const std::optional<VersionNode> child = ReadNode(block, at, parent.end, resource.wide);
            if (!child) return std::nullopt;
            if (KeyIs(block, *child, key, resource.wide)) {
                node = child;
                break;
            }
            at = Align4(child->end);
        }
    }
    return node;
}

// Control characters would act on a terminal; line breaks and tabs are text.
std::string DecodeText(const VersionResource& resource, std::size_t from, std::size_t end) {
    std::string text;
    if (from >= end) return text;
    const std::span<const std::uint8_t> bytes = std::span(resource.block).subspan(from, end - from);
    if (resource.wide) AppendUtf16LeAsUtf8(bytes, bytes.size() / 2, text);
    else AppendWindows1252AsUtf8(bytes.first(static_cast<std::size_t>(std::ranges::find(bytes, 0) - bytes.begin())), text);
    DotControlCharactersButLineBreaks(text);
    return text;
}

// The entry with `id` in the directory at offset, or its first entry when
// `orFirst`; none when there is neither.
std::optional<ResourceEntry> FindEntry(const IByteSource& source, std::uint64_t offset, std::uint32_t id,
                                       bool orFirst) {
    const std::optional<std::vector<ResourceEntry>> entries = ReadResourceEntries(source, offset);
    if (!entries || entries->empty()) return std::nullopt;
    // A named entry has its name bit set, so it never equals an ID.
    for (const ResourceEntry& entry : *entries)
        if (entry.NameOrId == id) return entry;
    if (orFirst) return entries->front();
    return std::nullopt;
}

// Type, name and language: three fixed levels, so the walk cannot loop.
std::optional<VersionResource> ReadPeVersion(const IByteSource& source, std::uint32_t lfanew,
                                             const CByteReader& nt) {
    const PeFileHeader file = DecodeFileHeader(nt);
    const PeOptionalHeader opt = DecodeOptionalHeader(nt, file);
    const std::uint32_t rva = opt.DataDirectory[kResourceDirectory].VirtualAddress;
    if (rva == 0) return std::nullopt;
    const SectionMap map = BuildSectionMap(ReadSectionTable(
        source, std::uint64_t{lfanew} + kOptionalHeaderOffset + file.SizeOfOptionalHeader, file.NumberOfSections));
    const std::optional<std::uint32_t> rootOffset = RvaToOffset(map, rva);
    if (!rootOffset) return std::nullopt;
    const std::uint64_t root = *rootOffset;  // 64-bit, so no offset below it wraps

    std::optional<ResourceEntry> entry = FindEntry(source, root, kPeVersionType, false);
    if (!entry || !(entry->OffsetToData & kResourceSubdirectoryBit)) return std::nullopt;
    entry = FindEntry(source, root + (entry->OffsetToData & kResourceSubdirectoryMask), kPeVersionName, true);
    if (!entry || !(entry->OffsetToData & kResourceSubdirectoryBit)) return std::nullopt;
    entry = FindEntry(source, root + (entry->OffsetToData & kResourceSubdirectoryMask), kNeutralLanguage, true);
    if (!entry || (entry->OffsetToData & kResourceSubdirectoryBit)) return std::nullopt;

    const std::vector<std::uint8_t> leaf = ReadBlock(source, root + entry->OffsetToData,
                                                     kResourceDataEntryBytes);
    if (leaf.size() < kResourceDataEntryBytes) return std::nullopt;
    const ResourceDataEntry data = DecodeResourceDataEntry(CByteReader(leaf));
    const std::optional<std::uint32_t> offset = RvaToOffset(map, data.OffsetToData);
    if (!offset) return std::nullopt;
    return VersionResource{ReadBlock(source, *offset, std::min<std::size_t>(data.Size, kVersionBlockLimit)), true};
}

// The first resource of the version type; its offset and length count
// alignment units.
std::optional<VersionResource> ReadNeVersion(const IByteSource& source, std::uint32_t lfanew,
                                             const CByteReader& header) {
    const NeHeader ne = DecodeNeHeader(header);
    // Without resources the resident names follow the header's tables at once.
    if (ne.ne_rsrctab == ne.ne_restab) return std::nullopt;
    const std::vector<std::uint8_t> bytes =
        ReadBlock(source, std::uint64_t{lfanew} + ne.ne_rsrctab, kNeResourceTableBytes);
    const CByteReader table(bytes);
    const std::uint16_t shift = table.ReadLE16(0);
    if (!table.Ok() || shift > kMaxNeAlignShift) return std::nullopt;
    std::size_t at = sizeof shift;
    while (table.Has(at, kNeResourceTypeBytes)) {
        const std::uint16_t type = table.ReadLE16(at);
        const std::uint16_t count = table.ReadLE16(at + 2);
        if (type == 0) return std::nullopt;
        if (type == kNeVersionType) {
            const std::size_t first = at + kNeResourceTypeBytes;
            if (count == 0 || !table.Has(first, kNeResourceBytes)) return std::nullopt;
            const std::uint64_t offset = std::uint64_t{table.ReadLE16(first)} << shift;
            const std::uint64_t length = std::uint64_t{table.ReadLE16(first + 2)} << shift;
            return VersionResource{ReadBlock(source, offset, std::min<std::uint64_t>(length, kVersionBlockLimit)),
                                   false};
        }
        at += kNeResourceTypeBytes + std::size_t{count} * kNeResourceBytes;
    }
    return std::nullopt;
}

}  // namespace

std::optional<VersionResource> ReadVersionResource(const IByteSource& source) {
    const std::vector<std::uint8_t> head = ReadBlock(source, 0, kMzHeaderBytes);
    if (head.size() < kMzHeaderBytes) return std::nullopt;
    const DosHeader dos = DecodeDosHeader(CByteReader(head));
    if (dos.e_magic != kMzMagic || dos.e_lfanew == 0) return std::nullopt;
    const std::vector<std::uint8_t> bytes = ReadBlock(source, dos.e_lfanew, kNtHeaders64Bytes);
    const CByteReader header(bytes);
    if (header.Matches(0, std::string_view("PE\0\0", 4))) return ReadPeVersion(source, dos.e_lfanew, header);
    if (header.Matches(0, "NE")) return ReadNeVersion(source, dos.e_lfanew, header);
    return std::nullopt;
}

std::optional<std::span<const std::uint8_t>> FindVersionValue(const VersionResource& resource,
                                                              std::span<const std::string_view> path) {
    const std::optional<VersionNode> node = FindNode(resource, path);
    if (!node) return std::nullopt;
    const std::size_t start = std::min(node->valueStart, node->end);
    const std::size_t end = std::min(node->valueStart + node->valueBytes, node->end);
    return std::span(resource.block).subspan(start, std::max(start, end) - start);
}

std::optional<std::string> FindVersionText(const VersionResource& resource, std::span<const std::string_view> path) {
    const std::optional<VersionNode> node = FindNode(resource, path);
    if (!node) return std::nullopt;
    return DecodeText(resource, node->valueStart, node->end);
}

}  // namespace quiddity
