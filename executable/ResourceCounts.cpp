// The resource directory: how many resources of each type the file holds.
// The root directory lists the types; each type entry points at a directory
// whose entry count is the number of resources of that type.
#include <algorithm>
#include <array>
#include <set>

#include "executable/ExeSteps.h"
#include "executable/ResourceDirectory.h"

namespace quiddity {

namespace {

struct ResourceType {
    std::uint16_t id;
    const char* line;
};

constexpr std::array<ResourceType, 21> kResourceTypes{{
    {1, "      Cursors......: %u\n"},
    {2, "      Bitmaps......: %u\n"},
    {3, "      Icons........: %u\n"},
    {4, "      Menus........: %u\n"},
    {5, "      Dialogs......: %u\n"},
    {6, "      String tables: %u\n"},
    {7, "      Font dirs....: %u\n"},
    {8, "      Fonts........: %u\n"},
    {9, "      Accelerators.: %u\n"},
    {10, "      RCData.......: %u\n"},
    {11, "      Messages.....: %u\n"},
    {12, "      Cursor groups: %u\n"},
    {14, "      Icon groups..: %u\n"},
    {16, "      Versions.....: %u\n"},
    {17, "      Dialog incls.: %u\n"},
    {19, "      PlugAndPlay..: %u\n"},
    {20, "      VXD..........: %u\n"},
    {21, "      Ani.cursors..: %u\n"},
    {22, "      Ani.icons....: %u\n"},
    {23, "      HTML.........: %u\n"},
    {24, "      Manifests....: %u\n"},
}};
static_assert(std::ranges::all_of(kResourceTypes, [](const ResourceType& type) { return FormatTakes(type.line, "u"); }));

// Counters in the order of kResourceTypes, then Unknown/named.
struct ResourceCounts {
    std::array<std::uint32_t, kResourceTypes.size()> known{};
    std::uint32_t unknownOrNamed = 0;
};

// Walks the root and the type directories below it, and no deeper: the walk
// is two levels, at most 65,535 type entries (read in one block of at most
// 512 KB), and each type directory is visited once, so entries that point
// back at the root or at a directory already counted add nothing.
std::optional<ResourceCounts> CountResources(const IByteSource& source, std::uint64_t root) {
    const std::optional<std::vector<ResourceEntry>> types = ReadResourceEntries(source, root);
    if (!types) return std::nullopt;

    ResourceCounts counts;
    std::set<std::uint64_t> visited{root};
    for (const ResourceEntry& entry : *types) {
        const std::uint64_t directory = root + (entry.OffsetToData & kResourceSubdirectoryMask);
        if (!visited.insert(directory).second) continue;
        const std::optional<std::uint16_t> count = ResourceEntryCount(source, directory);
        if (!count) continue;
        const std::uint16_t id = static_cast<std::uint16_t>(entry.NameOrId);
        const auto type = std::find_if(kResourceTypes.begin(), kResourceTypes.end(),
                                       [id](const ResourceType& t) { return t.id == id; });
        if ((entry.NameOrId & kResourceNameBit) || type == kResourceTypes.end())
            counts.unknownOrNamed += *count;  // the figure is the sum over all such types
        else
            counts.known[static_cast<std::size_t>(type - kResourceTypes.begin())] = *count;
    }
    return counts;
}

}  // namespace

void AppendResourceDirectory(const IByteSource& source, const SectionMap& map, const ImageDataDirectory& directory,
                             std::string& details) {
    AppendFormat(details, " Resource dir...: %08X", directory.Size);
    const std::optional<std::uint32_t> offset = RvaToOffset(map, directory.VirtualAddress);
    if (directory.Size == 0) {
        details += "\n";
        return;
    }
    const std::uint32_t start = ShownOffset(offset);
    AppendFormat(details, "  %08X - %08X\n", start, start + directory.Size - 1);
    if (directory.VirtualAddress == 0 || !offset) return;
    const std::optional<ResourceCounts> counts = CountResources(source, *offset);
    if (!counts) return;
    for (std::size_t i = 0; i < kResourceTypes.size(); ++i)
        if (counts->known[i] > 0) AppendFormat(details, kResourceTypes[i].line, counts->known[i]);
    if (counts->unknownOrNamed > 0) AppendFormat(details, "      Unknown/named: %u\n", counts->unknownOrNamed);
}

}  // namespace quiddity
