// The section table of a PE file and the map from RVAs to file offsets.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "executable/ExeAnalysis.h"
#include "executable/ExeStructs.h"

namespace quiddity {

// One section as the map sees it: RVAs first..last (last inclusive, as
// VirtualAddress + SizeOfRawData) lie at file offset rva - delta.
struct SectionSpan {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    std::uint32_t delta = 0;
};
using SectionMap = std::vector<SectionSpan>;

// The file offset of rva in the first span that holds it; none when no span
// does.
std::optional<std::uint32_t> RvaToOffset(const SectionMap& map, std::uint32_t rva);

// How an offset is shown in a range line: an RVA that no section holds
// shows as FFFFFFFF.
inline std::uint32_t ShownOffset(std::optional<std::uint32_t> offset) { return offset.value_or(0xFFFFFFFF); }

// The section headers at `offset` that the file holds in full, at most
// `count` of them (a 16-bit count, so the table read is at most 2.6 MB, and
// never more than the file's bytes).  Headers cut off by the end of the file
// are left out.
std::vector<SectionHeader> ReadSectionTable(const IByteSource& source, std::uint64_t offset, std::uint16_t count);

SectionMap BuildSectionMap(const std::vector<SectionHeader>& sections);

}  // namespace quiddity
