// The steps of the executable analysis, each in the unit of its concern.
// They read through the same byte source and append to the same ExeAnalysis.
#pragma once

#include <cstdint>
#include <span>

#include "executable/ExeAnalysis.h"
#include "executable/ExeStructs.h"
#include "executable/SectionMap.h"

namespace quiddity {

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
