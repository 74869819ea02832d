#include "executable/ResourceDirectory.h"

namespace quiddity {

std::optional<std::uint16_t> ResourceEntryCount(const IByteSource& source, std::uint64_t offset) {
    const std::vector<std::uint8_t> bytes = ReadBlock(source, offset, kResourceDirectoryBytes);
    if (bytes.size() < kResourceDirectoryBytes) return std::nullopt;
    const ResourceDirectoryHeader header = DecodeResourceDirectory(CByteReader(bytes));
    return static_cast<std::uint16_t>(header.NumberOfNamedEntries + header.NumberOfIdEntries);
}

std::optional<std::vector<ResourceEntry>> ReadResourceEntries(const IByteSource& source, std::uint64_t offset) {
    const std::optional<std::uint16_t> count = ResourceEntryCount(source, offset);
    if (!count) return std::nullopt;
    const std::vector<std::uint8_t> bytes =
        ReadBlock(source, offset + kResourceDirectoryBytes, std::size_t{*count} * kResourceEntryBytes);
    const CByteReader reader(bytes);
    std::vector<ResourceEntry> entries;
    for (std::size_t at = 0; reader.Has(at, kResourceEntryBytes); at += kResourceEntryBytes)
        entries.push_back(DecodeResourceEntry(reader.Sub(at, kResourceEntryBytes)));
    return entries;
}

}  // namespace quiddity
