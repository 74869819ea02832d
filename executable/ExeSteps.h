// The steps of the executable analysis, each in the unit of its concern.
// They read through the same byte source and append to the same ExeAnalysis.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "executable/ExeAnalysis.h"
#include "executable/ExeStructs.h"
#include "executable/SectionMap.h"

namespace quiddity {

// A row of the tables that name header values.
struct NamedValue {
    std::uint32_t value;
    const char* name;
};

// The name of value in table, or null.
template <std::size_t N>
const char* NameOf(const std::array<NamedValue, N>& table, std::uint32_t value) {
    for (const NamedValue& row : table)
        if (row.value == value) return row.name;
    return nullptr;
}

// DOS-stub packer and extender marks in the first bytes (DosStub.cpp).
void CheckDosStub(const IByteSource& source, ExeAnalysis& exe);

// Archive and installer marks in data appended to a DOS image or after the
// last PE section (AppendedData.cpp).
void ScanDosAppendedData(std::span<const std::uint8_t> bytes, ExeClues& clues);
void ScanPeRest(std::span<const std::uint8_t> bytes, ExeClues& clues);

// The PE analysis; the new header is in exe.newHeader (PeAnalysis.cpp).
void AnalyzePe(const IByteSource& source, ExeAnalysis& exe);

// Directory lines of the PE analysis.
void AppendResourceDirectory(const IByteSource& source, const SectionMap& map, const ImageDataDirectory& directory,
                             std::string& details);  // ResourceCounts.cpp
void AppendDebugDirectory(const IByteSource& source, const SectionMap& map, const ImageDataDirectory& directory,
                          std::string& details);  // DebugDirectory.cpp
void ListExports(const IByteSource& source, const SectionMap& map, const ImageDataDirectory& directory,
                 ExeAnalysis& exe);
void ListImports(const IByteSource& source, const SectionMap& map, const ImageDataDirectory& directory,
                 ExeAnalysis& exe);

// The other new-format headers.
void DescribeNe(const IByteSource& source, ExeAnalysis& exe);
void DescribeLe(const IByteSource& source, ExeAnalysis& exe);
void DescribeLx(const IByteSource& source, ExeAnalysis& exe);

}  // namespace quiddity
