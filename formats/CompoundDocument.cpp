#include "formats/CompoundDocument.h"

namespace quiddity {

void ReportCompoundDocument(const IByteSource&, EDetail, std::string& out) { out.clear(); }

int DescribeOutlookMessage(const IByteSource&, std::string& out) {
    out.clear();
    return 0;
}

}  // namespace quiddity
