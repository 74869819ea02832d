// The executable side: the type probe and query, and the executable report
// (DOS, PE, NE and LE analysis, version information, checksum).
#include "FuzzSupport.h"
#include "executable/ExeProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quiddity::fuzz::InspectInput(data, size, [](quiddity::CFileInspector& inspector, const std::string& path) {
        quiddity::QueryExeType(quiddity::ExeTypeProbe(path));
        inspector.ReportExecutable();
    });
    return 0;
}
