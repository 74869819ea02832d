// JPEG images and their EXIF data.
#include "core/InfoReport.h"

namespace quiddity {

void CFileInspector::ReportExif(const std::string&, std::string& out) { out.clear(); }

}  // namespace quiddity
