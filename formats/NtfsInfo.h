// The file-information block that opens every report, from what the file
// system records about the item (never from its contents).
#pragma once

#include <string>

#include "core/AnalyzerInput.h"

namespace quiddity {

// Full: sets out to the block's lines; Short: only looks whether the item
// is a folder.  Returns true for a folder.  backupPrivileges is set once
// the item's streams could be listed, and then lets later reports list them.
bool ReportNtfsInfo(const CItemPlace& place, EDetail detail, bool& backupPrivileges, std::string& out);

}  // namespace quiddity
