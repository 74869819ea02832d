#include "formats/IsoMedia.h"

namespace quiddity {

void ReportIsoMedia(const IByteSource&, EDetail, std::string& out) { out.clear(); }

}  // namespace quiddity
