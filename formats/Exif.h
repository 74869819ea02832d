// JPEG images and their EXIF data.
#pragma once

#include <string>

#include "core/AnalyzerInput.h"
#include "core/ByteSource.h"

namespace quiddity {

// The EXIF section of a JPEG image; empty for anything else.
void ReportExif(const IByteSource& source, std::string& out);

}  // namespace quiddity
