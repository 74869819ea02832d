// The whole report of the input's bytes: every analyzer the driver calls,
// the section assembly and the pane's text conversion.
#include "FuzzSupport.h"
#include "report/InfoReport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quiddity;
    static fuzz::CDiscardingPane pane;
    CFileInspector("input", "/", pane, InitTextStyles(), CReportSwitches{}).BuildContentReport(fuzz::SourceOf(data, size));
    return 0;
}
