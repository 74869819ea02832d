#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "report/InfoReport.h"

using namespace quiddity;
using quiddity::test::CRecordingPane;
using quiddity::test::CTempDir;
using quiddity::test::Fixture;

namespace {

struct CReport {
    CRecordingPane pane;
    std::string type;
};

CReport Inspect(const std::string& folder, const std::string& name, CReportSwitches switches = {}) {
    CReport report;
    report.type = CFileInspector(name, folder, report.pane, InitTextStyles(), switches).BuildInfoReport().strTypeText;
    return report;
}

std::size_t Find(const CRecordingPane& pane, std::string_view text) { return pane.Text().find(text); }

}  // namespace

TEST(InfoReport, DotDotLeavesThePaneEmpty) {
    CTempDir dir;
    const CReport r = Inspect(dir.Folder(), "..");
    EXPECT_EQ(r.pane.ended, 1);
    EXPECT_TRUE(r.pane.runs.empty());
}

TEST(InfoReport, FolderEndsAfterFileInformation) {
    CTempDir dir;
    ::mkdir(dir.Path("sub").c_str(), 0700);
    const CReport r = Inspect(dir.Folder(), "sub");
    EXPECT_EQ(r.pane.Text().rfind("\nFile info\nFile: sub\nPath: " + dir.Folder() + "\n", 0), 0u);
    EXPECT_EQ(Find(r.pane, "Estimated type"), std::string::npos);
    EXPECT_TRUE(r.type.empty());
}

TEST(InfoReport, TextFileSectionsInOrder) {
    CTempDir dir;
    dir.Write("notes.txt", "plain words\n");
    const CReport r = Inspect(dir.Folder(), "notes.txt");
    const std::string text = r.pane.Text();
    EXPECT_EQ(text.find("\nFile info\n"), 0u);
    const std::size_t estimated = text.find("Estimated type\n");
    ASSERT_NE(estimated, std::string::npos);
    EXPECT_NE(text.find("\nType: Text file\n\n", estimated), std::string::npos);
    EXPECT_EQ(Find(r.pane, "Executable"), std::string::npos);

    // Without the estimate section the type is still known to the caller.
    CReportSwitches switches;
    switches.ShowEstimated = false;
    const CReport hidden = Inspect(dir.Folder(), "notes.txt", switches);
    EXPECT_EQ(Find(hidden.pane, "Type: "), std::string::npos);
    EXPECT_EQ(hidden.type, "Text file");
}

TEST(InfoReport, UnknownNewHeaderSignature) {
    CTempDir dir;
    std::vector<std::uint8_t> exe(0x100, 0);
    test::PutText(exe, 0, "MZ");        // e_magic
    test::PutLE32(exe, 0x3C, 0x80);     // e_lfanew
    test::PutLE16(exe, 0x80, 0x1234);   // a signature the probe does not know
    dir.Write("odd.exe", exe);
    const CReport r = Inspect(dir.Folder(), "odd.exe");
    EXPECT_NE(Find(r.pane, "Executable file\nExetype1: DOS (1234)\nExetype2: DOS\n\n"), std::string::npos);

    CReportSwitches switches;
    switches.ShowExe = false;
    EXPECT_EQ(Find(Inspect(dir.Folder(), "odd.exe", switches).pane, "Exetype1"), std::string::npos);
}

TEST(SplitInspectedPath, FolderEndsInSlashAndKeepsTheName) {
    std::string folder;
    std::string name;
    SplitInspectedPath("/usr/bin/", folder, name);
    EXPECT_EQ(folder, "/usr/");
    EXPECT_EQ(name, "bin");
    SplitInspectedPath("/usr/share/..", folder, name);
    EXPECT_EQ(folder, "/");
    EXPECT_EQ(name, "usr");
    SplitInspectedPath("//", folder, name);  // the root: its slashes are not all trimmed away
    EXPECT_EQ(folder, "/");
    EXPECT_EQ(name, "");

    CTempDir dir;
    const std::string longName(300, 'n');  // never cut at 255
    SplitInspectedPath(dir.Path(longName), folder, name);
    EXPECT_EQ(name, longName);
}
