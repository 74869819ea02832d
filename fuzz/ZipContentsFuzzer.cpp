// The ZIP analyzer, its text rendered as the report renders it.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quiddity::fuzz::InspectInput(data, size, [](quiddity::CFileInspector& inspector, const std::string& path) {
        std::string text;
        inspector.ReportZipContents(path, text);
        quiddity::RenderMarkup(inspector.m_pane, inspector.m_styles, text);
    });
    return 0;
}
