// ISO base media files (QuickTime, MP4, 3GPP, JPEG 2000): atoms, brands, tracks.
#include "core/InfoReport.h"

namespace quiddity {

void CFileInspector::ReportIsoMedia(const std::string&, std::string& out, int) { out.clear(); }

}  // namespace quiddity
