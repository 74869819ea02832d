// NE, LE and LX headers.  Not described yet: such files get no details
// lines, only the DOS-stub checks.
#include "executable/ExeSteps.h"

namespace quiddity {

void DescribeNe(const IByteSource&, ExeAnalysis&) {}

void DescribeLe(const IByteSource&, ExeAnalysis&) {}

void DescribeLx(const IByteSource&, ExeAnalysis&) {}

}  // namespace quiddity
