#include "formats/CompoundDocument.h"

namespace quiddity {

void ReportCompoundDocument(const IByteSource&, EDetail, std::string& out) { out.clear(); }

}  // namespace quiddity
