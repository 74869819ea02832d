// ZIP archives and the formats built on them.
#pragma once

#include <string>

#include "core/AnalyzerInput.h"
#include "core/ByteSource.h"

namespace quiddity {

// The entries of a ZIP archive and what the formats built on ZIP hold,
// with report markup.  Empty for anything else.
void ReportZipContents(const IByteSource& source, std::string& out);

}  // namespace quiddity
