// OLE2 compound documents: storages, streams and property sets.
#pragma once

#include <string>

#include "core/AnalyzerInput.h"
#include "core/ByteSource.h"

namespace quiddity {

// The storages, streams and property sets of a compound document; empty
// for anything else.
void ReportCompoundDocument(const IByteSource& source, EDetail detail, std::string& out);

}  // namespace quiddity
