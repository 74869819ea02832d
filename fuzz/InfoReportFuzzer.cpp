// The whole information report: every analyzer the driver calls, and the
// pane's text conversion.
#include "FuzzSupport.h"
#include "core/InfoReport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quiddity;
    fuzz::CFuzzInputFile& file = fuzz::CFuzzInputFile::Instance();
    file.Write(data, size);
    static fuzz::CDiscardingPane pane;
    CFileInspector inspector(file.Name(), file.Folder(), pane, InitTextStyles(), CReportSwitches{});
    inspector.BuildInfoReport();
    return 0;
}
