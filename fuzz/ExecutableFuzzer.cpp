// The executable side: the type probe and query, and the executable
// analysis (DOS, PE, NE and LE, version information, checksum).
#include "FuzzSupport.h"
#include "executable/ExeAnalysis.h"
#include "executable/ExeProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const quiddity::CMemoryByteSource source = quiddity::fuzz::SourceOf(data, size);
    quiddity::QueryExeType(quiddity::ExeTypeProbe(source));
    quiddity::ReportExecutable(source, true);
    return 0;
}
