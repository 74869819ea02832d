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
    for (const char* name : {"resources32.exe", "buildid32.exe", "hello64.exe"}) {
        const std::vector<std::uint8_t> whole = ReadPeFixture(name);
        ASSERT_GT(whole.size(), 0x400u) << name;
        const std::size_t full = Render(whole).size();
        for (std::size_t length = 0; length < whole.size(); length += length < 0x600 ? 1 : 97) {
            EXPECT_LE(Render({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)}).size(), full + 64)
                << name << " cut at " << length;
        }
    }
}
