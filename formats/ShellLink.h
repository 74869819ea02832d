// Shell links (.lnk): flags, target, location, strings, times.
#pragma once

#include <string>

#include "core/AnalyzerInput.h"
#include "core/ByteSource.h"

namespace quiddity {

// The contents of a shell link; place is where the link itself lies.
// Empty for anything else.
void ReportShellLink(const IByteSource& source, const CItemPlace& place, EDetail detail, std::string& out);

}  // namespace quiddity
