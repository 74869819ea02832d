#include "formats/ZipContents.h"

namespace quiddity {

void ReportZipContents(const IByteSource&, std::string& out) { out.clear(); }

}  // namespace quiddity
