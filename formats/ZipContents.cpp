// ZIP archives and the formats built on them.
#include "core/InfoReport.h"

namespace quiddity {

void CFileInspector::ReportZipContents(const std::string&, std::string& out) { out.clear(); }

}  // namespace quiddity
