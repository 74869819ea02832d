// The directories of a PE resource tree, shared by the resource counts and
// the version resource.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/ByteSource.h"
#include "executable/ExeStructs.h"

namespace quiddity {

// The number of entries of the directory at offset, none when its header
// cannot be read.  Named and ID counts are 16-bit each; their sum is taken
// modulo 65,536, so one directory is at most 512 KB of entries.
std::optional<std::uint16_t> ResourceEntryCount(const IByteSource& source, std::uint64_t offset);

// The entries of the directory at offset, named ones first, as many as the
// file holds; none when its header cannot be read.
std::optional<std::vector<ResourceEntry>> ReadResourceEntries(const IByteSource& source, std::uint64_t offset);

}  // namespace quiddity
