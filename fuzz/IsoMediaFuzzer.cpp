// The ISO base media analyzer, as the report and as the recognizer call it.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quiddity::fuzz::InspectInput(data, size, [](quiddity::CFileInspector& inspector, const std::string& path) {
        std::string text;
        inspector.ReportIsoMedia(path, text, 1);
        text.clear();
        inspector.ReportIsoMedia(path, text, 0);
    });
    return 0;
}
