// The OLE2 compound-document analyzer.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quiddity::fuzz::InspectInput(data, size, [](quiddity::CFileInspector& inspector, const std::string& path) {
        std::string text;
        inspector.ReportCompoundDocument(path, text, 1);
    });
    return 0;
}
