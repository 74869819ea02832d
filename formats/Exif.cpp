#include "formats/Exif.h"

namespace quiddity {

void ReportExif(const IByteSource&, std::string& out) { out.clear(); }

}  // namespace quiddity
