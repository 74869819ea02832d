// The strings of the version resource.  Not read yet, so the version text
// stays empty and its section absent.
#include "executable/ExeAnalysis.h"

namespace quiddity {

void ReadVersionInfo(const IByteSource&, ExeAnalysis&) {}

}  // namespace quiddity
