// The EXIF analyzer of JPEG files.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quiddity::fuzz::InspectInput(data, size, [](quiddity::CFileInspector& inspector, const std::string& path) {
        std::string text;
        inspector.ReportExif(path, text);
    });
    return 0;
}
