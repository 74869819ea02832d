#include "executable/SectionMap.h"

namespace quiddity {

std::optional<std::uint32_t> RvaToOffset(const SectionMap& map, std::uint32_t rva) {
    for (const SectionSpan& span : map)
        if (span.first <= rva && rva <= span.last) return rva - span.delta;
    return std::nullopt;
}

std::vector<SectionHeader> ReadSectionTable(const IByteSource& source, std::uint64_t offset, std::uint16_t count) {
    const std::vector<std::uint8_t> table = ReadBlock(source, offset, std::size_t{count} * kSectionHeaderBytes);
    const CByteReader reader(table.data(), table.size());
    std::vector<SectionHeader> sections;
    for (std::size_t at = 0; reader.Has(at, kSectionHeaderBytes); at += kSectionHeaderBytes)
        sections.push_back(DecodeSectionHeader(reader.Sub(at, kSectionHeaderBytes)));
    return sections;
}

SectionMap BuildSectionMap(const std::vector<SectionHeader>& sections) {
    SectionMap map;
    map.reserve(sections.size());
    for (const SectionHeader& s : sections)
        map.push_back({s.VirtualAddress, s.VirtualAddress + s.SizeOfRawData, s.VirtualAddress - s.PointerToRawData});
    return map;
}

}  // namespace quiddity
