// Exported names, imported DLLs and the clue lines they and the rest of the
// analysis lead to.  Not analysed yet: the export and import directories add
// no lines, and no clue line is written.
#include "executable/ExeSteps.h"

namespace quiddity {

void ListExports(const IByteSource&, const SectionMap&, const ImageDataDirectory&, ExeAnalysis&) {}

void ListImports(const IByteSource&, const SectionMap&, const ImageDataDirectory&, ExeAnalysis&) {}

void WriteClueLines(ExeAnalysis&) {}

}  // namespace quiddity
