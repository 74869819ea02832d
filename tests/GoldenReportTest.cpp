#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "report/InfoReport.h"
#include "core/TextPanes.h"

using namespace quiddity;
namespace fs = std::filesystem;

namespace {

const fs::path kGoldenFolder = fs::path(QUIDDITY_FIXTURES).parent_path() / "golden";
// Stands for the fixtures folder in the path line, which differs per machine.
constexpr std::string_view kFixturesMark = "FIXTURES/";

std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The report as tools/update-golden.sh writes it: plain text without the
// file-information block.
std::string PlainReport(const fs::path& fixture) {
    CReportSwitches switches;
    switches.ShowFileInfo = false;
    CPlainTextPane pane;
    std::string folder;
    std::string name;
    SplitInspectedPath(fixture.string(), folder, name);
    CFileInspector(name, folder, pane, InitTextStyles(), switches).BuildInfoReport();
    std::string text = pane.Text();
    const std::string fixtures = fs::path(QUIDDITY_FIXTURES).string() + "/";
    for (std::size_t at = text.find(fixtures); at != std::string::npos; at = text.find(fixtures, at))
        text.replace(at, fixtures.size(), kFixturesMark);
    return text;
}

std::string UnifiedDiff(const std::string& expected, const std::string& actual) {
    test::CTempDir dir;
    const std::string command = "diff -u '" + dir.Write("golden", expected) + "' '" + dir.Write("actual", actual) + "'";
    std::string diff;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) diff.append(buffer, got);
        ::pclose(pipe);
    }
    return diff;
}

}  // namespace

// Every golden report equals the report of its fixture today; a changed
// report fails with the diff, and tools/update-golden.sh rewrites it.
TEST(GoldenReports, EveryFixtureReportsAsPinned) {
    ::setenv("TZ", "UTC", 1);
    std::size_t compared = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kGoldenFolder)) {
        if (entry.path().extension() != ".report") continue;
        const fs::path relative = fs::relative(entry.path(), kGoldenFolder).replace_extension();
        const fs::path fixture = fs::path(QUIDDITY_FIXTURES) / relative;
        ASSERT_TRUE(fs::exists(fixture)) << fixture;
        const std::string expected = ReadWhole(entry.path());
        const std::string actual = PlainReport(fixture);
        EXPECT_EQ(expected, actual) << relative.string() << " differs from its golden report:\n"
                                    << UnifiedDiff(expected, actual);
        ++compared;
    }
    EXPECT_GE(compared, 20u);
}
