// RealMedia headers: the media properties objects name the codecs.
#include "formats/RealMedia.h"

namespace quiddity {

void DescribeRealMedia(const std::string&, std::string& out, int) { out.clear(); }

}  // namespace quiddity
