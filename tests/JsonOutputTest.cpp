// The JSON pane and the objects of --json: sections cut where the plain
// report has its headings, text as the plain pane writes it, and output
// that the committed schema accepts.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "TestSupport.h"
#include "core/JsonPane.h"
#include "report/InfoReport.h"

using namespace quiddity;
namespace fs = std::filesystem;
using test::CTempDir;
using test::RunCommand;

namespace {

// Hands every run to two panes, so one report fills both.
class CTeePane : public IReportPane {
public:
    CTeePane(IReportPane& first, IReportPane& second) : m_first(first), m_second(second) {}
    void BeginReport() override { m_first.BeginReport(); m_second.BeginReport(); }
    void AppendStyledText(std::string_view text, const CTextStyle& style) override {
        m_first.AppendStyledText(text, style);
        m_second.AppendStyledText(text, style);
    }
    void EndReport() override { m_first.EndReport(); m_second.EndReport(); }

private:
    IReportPane& m_first;
    IReportPane& m_second;
};

bool Blank(const std::string& line) { return line.find_first_not_of(' ') == std::string::npos; }

std::vector<std::string> NonBlankLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (std::string line = text.substr(start, end - start); !Blank(line)) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> NonBlankLines(const std::vector<CReportSection>& sections) {
    std::vector<std::string> lines;
    for (const CReportSection& section : sections) {
        if (!section.strHeading.empty()) lines.push_back(section.strHeading);
        for (const std::string& line : section.vecLines)
            if (!Blank(line)) lines.push_back(line);
    }
    return lines;
}

// The fixtures that have a golden report: the files whose reports the
// suite knows best.
std::vector<fs::path> GoldenFixtures() {
    const fs::path golden = fs::path(QUIDDITY_FIXTURES).parent_path() / "golden";
    std::vector<fs::path> fixtures;
    for (const auto& entry : fs::recursive_directory_iterator(golden)) {
        if (entry.path().extension() != ".report") continue;
        fs::path relative = fs::relative(entry.path(), golden);
        relative.replace_extension();
        fixtures.push_back(fs::path(QUIDDITY_FIXTURES) / relative);
    }
    std::sort(fixtures.begin(), fixtures.end());
    return fixtures;
}

}  // namespace

TEST(JsonPane, CutsSectionsAtHeadings) {
    const CTextStyles& styles = InitTextStyles();
    CJsonPane pane;
    pane.BeginReport();
    pane.AppendStyledText("leading\r", styles.m_cfNormal);  // text before any heading
    pane.AppendStyledText("\nline two\n", styles.m_cfNormal);  // the "\r\n" split over two runs is one break
    pane.AppendStyledText("\nZIP ", styles.m_cfHeading);  // one heading in two runs
    pane.AppendStyledText("archive\n", styles.m_cfHeading);
    pane.AppendStyledText("\n entry\x1b\n\n inner\n\n\n", styles.m_cfFixed);  // blank lines around and inside
    pane.AppendStyledText("Next\n", styles.m_cfHeading);  // two headings in a row are two sections
    pane.AppendStyledText("", styles.m_cfNormal);
    pane.AppendStyledText("Last\nsecond line\n", styles.m_cfHeading);  // a heading is one line
    pane.EndReport();

    const std::vector<CReportSection> sections = pane.Sections();
    ASSERT_EQ(sections.size(), 4u);
    EXPECT_EQ(sections[0].strHeading, "");
    EXPECT_EQ(sections[0].vecLines, (std::vector<std::string>{"leading", "line two"}));
    EXPECT_EQ(sections[1].strHeading, "ZIP archive");
    EXPECT_EQ(sections[1].vecLines, (std::vector<std::string>{" entry.", "", " inner"}));  // ESC shown as "."
    EXPECT_EQ(sections[2].strHeading, "Next");
    EXPECT_TRUE(sections[2].vecLines.empty());
    EXPECT_EQ(sections[3].strHeading, "Last");
    EXPECT_EQ(sections[3].vecLines, std::vector<std::string>{"second line"});

    // A new report starts empty; markup writes headings in short runs.
    pane.BeginReport();
    RenderMarkup(pane, styles, "<h1>A heading much longer than twenty characters\n<cond>body line\n");
    pane.EndReport();
    ASSERT_EQ(pane.Sections().size(), 1u);
    EXPECT_EQ(pane.Sections()[0].strHeading, "A heading much longer than twenty characters");
    EXPECT_EQ(pane.Sections()[0].vecLines, std::vector<std::string>{"body line"});
    pane.Clear();
    EXPECT_TRUE(pane.Sections().empty());
}

// Every line of the plain report is in the JSON sections, in order, and
// nothing else is: the same text cut at the headings.
TEST(JsonPane, SectionsHoldThePlainReport) {
    const std::vector<fs::path> fixtures = GoldenFixtures();
    ASSERT_GT(fixtures.size(), 20u);
    for (const fs::path& fixture : fixtures) {
        CPlainTextPane plain;
        CJsonPane json;
        CTeePane tee(plain, json);
        std::string folder;
        std::string name;
        SplitInspectedPath(fixture.string(), folder, name);
        CFileInspector(name, folder, tee, InitTextStyles(), CReportSwitches{}).BuildInfoReport();
        EXPECT_EQ(NonBlankLines(json.Sections()), NonBlankLines(plain.Text())) << fixture;
    }
}

TEST(JsonLine, FieldsAndText) {
    // A type list's object: no report fields; a name that is no UTF-8 comes
    // as Latin-1, a control character of the type as the panes show it.
    EXPECT_EQ(JsonLine({.strPath = "a\xff\n", .strType = "Text\x1b", .strMimeType = "text/plain"}),
              "{\"version\":1,\"path\":\"a\xc3\xbf\\n\",\"type\":\"Text.\",\"mimeType\":\"text/plain\"}\n");
    EXPECT_EQ(JsonLine({.strPath = "gone", .strType = "(couldn't open the file)", .nError = ENOENT}),
              "{\"version\":1,\"path\":\"gone\",\"type\":\"(couldn't open the file)\","
              "\"error\":{\"name\":\"ENOENT\",\"message\":\"No such file or directory\"}}\n");
    CJsonPane report;
    report.BeginReport();
    report.AppendStyledText("Checksum\n", InitTextStyles().m_cfHeading);
    report.AppendStyledText("CRC-32: 1234ABCD\n\n", InitTextStyles().m_cfNormal);
    EXPECT_EQ(JsonLine({"x", "T", "", "", &report, 0}),
              "{\"version\":1,\"path\":\"x\",\"type\":\"T\",\"shellType\":\"\","
              "\"sections\":[{\"heading\":\"Checksum\",\"lines\":[\"CRC-32: 1234ABCD\"]}]}\n");
}

// The program's objects for reports, type lists, standard input and
// errors all satisfy the committed schema (checked by python3-jsonschema,
// an implementation of the schema language of its own).
TEST(JsonOutput, ValidatesAgainstTheSchema) {
    CTempDir dir;
    std::string paths;
    for (const fs::path& fixture : GoldenFixtures()) paths += " '" + fixture.string() + "'";
    const std::string program = QUIDDITY_PROGRAM;
    const std::string pe = test::Fixture("pe/hello32.exe");
    const std::string commands = program + " --json" + paths + " " + dir.Path("missing") + "; " + program +
                                 " --json -t" + paths + " " + dir.Folder() + " /dev/null; " + program +
                                 " --json - < '" + pe + "'; " + program + " --json --view=hex '" + pe + "'";
    RunCommand("(" + commands + ") > " + dir.Path("out.jsonl") + " 2>/dev/null");
    const std::string schema = fs::path(QUIDDITY_FIXTURES).parent_path().parent_path() / "docs" / "json-schema.json";
    const std::string check =
        "python3 -c 'import json, sys, jsonschema\n"
        "validator = jsonschema.Draft202012Validator(json.load(open(sys.argv[1])))\n"
        "lines = open(sys.argv[2], encoding=\"utf-8\").read().splitlines()\n"
        "for line in lines: validator.validate(json.loads(line))\n"
        "print(len(lines))' '" + schema + "' " + dir.Path("out.jsonl") + " 2>&1";
    int status = -1;
    const std::string out = RunCommand(check, &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, std::to_string(2 * GoldenFixtures().size() + 5) + "\n");
}
