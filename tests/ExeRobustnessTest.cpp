// Real executables cut at every length through the headers, or with hostile
// values in their header fields, analyse without fault; under the sanitizers
// (QUIDDITY_SANITIZE) this finds out-of-bounds reads.  Random damage is the
// fuzz targets' job.
#include <gtest/gtest.h>

#include <tuple>

#include "ExeCraft.h"

using namespace quiddity;
using namespace quiddity::test;

namespace {

// Analyses and writes the sections, as the report does.
std::string Render(const std::vector<std::uint8_t>& bytes) {
    CRecordingPane pane;
    ExeAnalysis exe = Analyze(bytes);
    WriteExecutableSections(exe, {}, pane, InitTextStyles());
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

TEST(ExeRobustness, HostileValuesInEveryHeaderField) {
    const std::vector<std::uint8_t> original = ReadPeFixture("resources32.exe");
    std::size_t cases = 0, stillPe = 0;
    // Every 16-bit-aligned word of the headers, every word of the resource tree (file 0x3600).
    for (const auto& [from, to, step] : {std::tuple{0x0, 0x400, 2}, {0x3600, 0x3C00, 4}}) {
        for (std::size_t at = from; at < std::size_t(to); at += step) {
            for (const std::uint32_t value : {0u, 0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 0x40u, 0x10000u}) {
                std::vector<std::uint8_t> b = original;
                PutLE32(b, at, value);
                ++cases;
                if (Render(b).find("MZ, PE00") != std::string::npos) ++stillPe;
            }
        }
    }
    EXPECT_GT(stillPe, cases / 2);  // the values reach the PE analysis, not just break the MZ mark
}
