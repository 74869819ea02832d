#include "formats/RealMedia.h"

namespace quiddity {

void DescribeRealMedia(const IByteSource&, std::string& out) { out.clear(); }

}  // namespace quiddity
