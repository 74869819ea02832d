// ZIP archives and the formats built on them.
#pragma once

#include <string>

#include "core/AnalyzerInput.h"
#include "core/ByteSource.h"

namespace quiddity {

// The entries of a ZIP archive and what the formats built on ZIP hold,
// with report markup.  Empty for anything else.
void ReportZipContents(const IByteSource& source, std::string& out);

// A text taken from a file, made safe to stand in report markup: its
// control characters become "." and its angle brackets the tags that
// show them.
std::string MarkupText(std::string utf8);

}  // namespace quiddity
