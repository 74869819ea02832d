// Real executables cut at every length through the headers analyse without
// fault and lose lines; under the sanitizers (QUIDDITY_SANITIZE) this finds
// out-of-bounds reads.  Random damage is the fuzz targets' job.
#include <gtest/gtest.h>

#include "ExeCraft.h"
#include "report/InfoReport.h"

using namespace quiddity;
using namespace quiddity::test;

namespace {

// The report's sections of these bytes after the estimated type.
std::string Render(const std::vector<std::uint8_t>& bytes) {
    CRecordingPane pane;
    CReportSwitches switches;
    switches.ShowEstimated = switches.ShowExe = false;
    CFileInspector("cut.exe", "/", pane, InitTextStyles(), switches).BuildContentReport(CMemoryByteSource(bytes));
    return pane.Text();
}

}  // namespace

TEST(ExeRobustness, TruncatedTwinsLoseLinesNeverCrash) {
    for (const char* name : {"pe/resources32.exe", "pe/buildid32.exe", "pe/hello64.exe", "pe/plugins32.dll",
                             "pe/runtimes32.exe", "pe/version32.exe", "ne/smalle.fon"}) {
        const std::vector<std::uint8_t> whole = ReadFixture(name);
        ASSERT_GT(whole.size(), 0x400u) << name;
        const std::size_t full = Render(whole).size();
        for (std::size_t length = 0; length < whole.size(); length += length < 0x600 ? 1 : 97) {
            EXPECT_LE(Render({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)}).size(), full + 64)
                << name << " cut at " << length;
        }
    }
}
