// The checksum, version-information and executable sections.
#include "core/FileInspector.h"

namespace quiddity {

void CFileInspector::ReportExecutable() { m_strExeDetails.clear(); }

}  // namespace quiddity
