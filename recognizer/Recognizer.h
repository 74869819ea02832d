// Names the kind of a file from its first 4096 and last 256 bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quiddity {

// Overwrites out with the type text of the file at path; an item that is not
// a readable regular file gives "(couldn't open the file)".  Returns false
// in that case, with the errno value in *openError when it is given.
bool EstimateFileType(const std::string& path, std::string& out, int* openError = nullptr);

// The same over bytes already read: head holds up to 4096 bytes from the
// start, tail up to 256 from the end (empty when the file is shorter).  path
// is handed to the analyzers that reopen the file and may be empty.
void EstimateFileTypeOfBytes(std::span<const std::uint8_t> head, std::span<const std::uint8_t> tail,
                             const std::string& path, std::string& out);

}  // namespace quiddity
