// OLE2 compound documents: storages, streams and property sets.
#pragma once

#include <string>

#include "core/AnalyzerInput.h"
#include "core/ByteSource.h"

namespace quiddity {

// The storages, streams and property sets of a compound document; empty
// for anything else, "Feil 22" for a compound document whose container
// is malformed.
void ReportCompoundDocument(const IByteSource& source, EDetail detail, std::string& out);

// The short detail of the type text: "(message class) " of an Outlook
// message and "(app: name) " from the summary information.  0, or a
// negative errno when the bytes are no compound document.
int DescribeOutlookMessage(const IByteSource& source, std::string& out);

}  // namespace quiddity
