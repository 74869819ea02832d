// OLE2 compound documents: storages, streams and property sets.
#include "core/InfoReport.h"

namespace quiddity {

void CFileInspector::ReportCompoundDocument(const std::string&, std::string& out, int) { out.clear(); }

}  // namespace quiddity
