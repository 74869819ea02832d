#include "formats/ShellLink.h"

namespace quiddity {

void ReportShellLink(const IByteSource&, const CItemPlace&, EDetail, std::string& out) { out.clear(); }

}  // namespace quiddity
