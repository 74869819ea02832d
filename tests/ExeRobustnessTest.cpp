// Damaged executables: real fixtures with header fields overwritten and
// truncated at every interesting length must analyse without fault.  Run
// under the sanitizers (QUIDDITY_SANITIZE) this finds out-of-bounds reads.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "TestSupport.h"
#include "executable/ExeAnalysis.h"

using namespace quiddity;
using quiddity::test::CRecordingPane;
using quiddity::test::Fixture;

namespace {

std::vector<std::uint8_t> ReadFixture(const std::string& name) {
    std::ifstream in(Fixture("pe/" + name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Analyses and writes the sections, as the report does.
std::string Render(const std::vector<std::uint8_t>& bytes) {
    ExeAnalysis exe;
    AnalyzeExecutable(CMemoryByteSource(bytes), exe);
    CRecordingPane pane;
    WriteExecutableSections(exe, {}, pane, InitTextStyles());
    return pane.Text();
}

}  // namespace

TEST(ExeRobustness, TruncatedTwinsLoseLinesNeverCrash) {
    for (const char* name : {"hello32.exe", "resources32.exe", "buildid32.exe", "hello64.exe"}) {
        const std::vector<std::uint8_t> whole = ReadFixture(name);
        ASSERT_GT(whole.size(), 0x400u) << name;
        const std::string full = Render(whole);
        // Every length through the headers, then every 97th byte.
        for (std::size_t length = 0; length < whole.size(); length += length < 0x600 ? 1 : 97) {
            const std::vector<std::uint8_t> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
            EXPECT_LE(Render(part).size(), full.size() + 64) << name << " cut at " << length;
        }
    }
}

TEST(ExeRobustness, OverwrittenHeaderFields) {
    const std::vector<std::uint8_t> original = ReadFixture("resources32.exe");
    std::uint32_t state = 0x12345678;
    auto next = [&state] { return state = state * 1664525 + 1013904223; };
    // Values that tend to break parsers: zero, all ones, sign bits, small.
    const std::uint32_t values[] = {0, 0xFFFFFFFF, 0x80000000, 0x7FFFFFFF, 1, 0x40, 0xFFFF, 0x10000};
    int stillPe = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> b = original;
        for (int edits = 1 + static_cast<int>(next() % 4); edits > 0; --edits) {
            // Mostly the headers and the first kilobytes of the resource section.
            const std::size_t at = (next() % 2) ? next() % 0x400 : 0x3600 + next() % 0x600;
            const std::uint32_t value = values[next() % std::size(values)];
            for (std::size_t i = 0; i < 4 && at + i < b.size(); ++i) b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
        if (Render(b).find("MZ, PE00") != std::string::npos) ++stillPe;
    }
    EXPECT_GT(stillPe, 1000);  // the edits damage the PE analysis, not just the MZ mark
}
