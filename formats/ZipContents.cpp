// ZIP archives and the formats built on them.
#include "core/FileInspector.h"

namespace quiddity {

void CFileInspector::ReportZipContents(const std::string&, std::string& out) { out.clear(); }

}  // namespace quiddity
