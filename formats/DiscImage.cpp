// ISO 9660 and UDF disc images.
#include "core/InfoReport.h"

namespace quiddity {

bool CFileInspector::DescribeDiscImage(const std::string&, std::string& out, int) {
    out.clear();
    return false;
}

}  // namespace quiddity
