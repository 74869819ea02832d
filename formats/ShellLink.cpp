// Shell links (.lnk): flags, target, location, strings, times.
#include "core/InfoReport.h"

namespace quiddity {

void CFileInspector::ReportShellLink(const std::string&, std::string& out, int) { out.clear(); }

}  // namespace quiddity
