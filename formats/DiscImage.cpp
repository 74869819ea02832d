#include "formats/DiscImage.h"

namespace quiddity {

bool DescribeDiscImage(const IByteSource&, EDetail, std::string& out) {
    out.clear();
    return false;
}

}  // namespace quiddity
