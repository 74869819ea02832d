// ISO 9660 and UDF disc images.
#pragma once

#include <string>

#include "core/AnalyzerInput.h"
#include "core/ByteSource.h"

namespace quiddity {

// Sets out to the description of an ISO 9660 or UDF disc image; false
// (and out empty) for anything else.
bool DescribeDiscImage(const IByteSource& source, EDetail detail, std::string& out);

}  // namespace quiddity
