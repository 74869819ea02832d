// The file-system facts that open every report.
#include <sys/stat.h>

#include "core/FileInspector.h"

namespace quiddity {

void CFileInspector::ReportNtfsInfo() {
    struct stat st {};
    m_bIsDirectory = ::lstat(FullPath().c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    if (!m_switches.ShowFileInfo) Append("\n", m_styles.m_cfFixed);
}

}  // namespace quiddity
