// JPEG images and their EXIF data.
#include "core/FileInspector.h"

namespace quiddity {

void CFileInspector::ReportExif(const std::string&, std::string& out) { out.clear(); }

}  // namespace quiddity
