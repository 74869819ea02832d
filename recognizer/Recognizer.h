// Names the kind of a file from its first 4096 and last 256 bytes.
#pragma once

#include <string>

#include "core/ByteSource.h"

namespace quiddity {

// Overwrites out with the type text of the file at path; an item that is not
// a readable regular file gives "(couldn't open the file)".  Returns false
// in that case, with the errno value in *openError when it is given.
bool EstimateFileType(const std::string& path, std::string& out, int* openError = nullptr);

// The same over the bytes of a source: its first 4096 and last 256 bytes,
// and for the describers that need them, more.
void EstimateFileType(const IByteSource& source, std::string& out);

}  // namespace quiddity
