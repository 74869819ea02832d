// OLE2 compound documents: storages, streams and property sets.
#pragma once

#include <string>

#include "core/AnalyzerInput.h"
#include "core/ByteSource.h"

namespace quiddity {

// The storages, streams and property sets of a compound document; empty
// for anything else.
void ReportCompoundDocument(const IByteSource& source, EDetail detail, std::string& out);

// The short text the type line shows behind "OLE2 ": an Outlook message's
// class and the writing application.  Returns 0, or a negative errno when
// the document cannot be read (out then stays empty).
int DescribeOutlookMessage(const IByteSource& source, std::string& out);

}  // namespace quiddity
