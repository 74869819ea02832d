// What reaches a terminal or a file: no byte of an inspected file arrives as
// a control, kernel streams are never read, and lost output fails the run.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "ExeCraft.h"
#include "TestSupport.h"
#include "cli/BatchText.h"
#include "core/ReadOnlyFile.h"
#include "core/TextPanes.h"
#include "report/InfoReport.h"

using namespace quiddity;
using namespace quiddity::test;

namespace {

// What a hostile title would write: set the terminal's title, ring, clear.
constexpr std::string_view kEscapes = "\x1b]0;PWNED\x07\x1b[2J";
constexpr std::string_view kEscapesShown = ".]0;PWNED..[2J";

// The output with the ANSI pane's own attributes taken out.
std::string WithoutOwnAttributes(std::string text) {
    for (const std::string_view own : {"\x1b[1;31m", "\x1b[2m", "\x1b[0m"}) {
        for (std::size_t at = 0; (at = text.find(own, at)) != std::string::npos;) text.erase(at, own.size());
    }
    return text;
}

// True when the UTF-8 text holds ESC or a C1 control (U+0080 to U+009F).
bool HoldsControls(const std::string& text) {
    if (text.find('\x1b') != std::string::npos) return true;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const auto second = static_cast<unsigned char>(text[i + 1]);
        if (text[i] == '\xC2' && second >= 0x80 && second <= 0x9F) return true;
    }
    return false;
}

// A TrueType font whose one name (Macintosh, 8-bit) is `name`.
std::vector<std::uint8_t> FontNamed(std::string_view name) {
    std::vector<std::uint8_t> b;
    PutBE32(b, 0, 0x00010000);     // sfnt version
    PutBE16(b, 4, 1);              // numTables
    PutText(b, 12, "name");        // table record: tag
    PutBE32(b, 20, 28);            //               offset
    PutBE16(b, 28 + 2, 1);         // name table: count
    PutBE16(b, 28 + 4, 6 + 12);    //             string storage offset
    PutBE16(b, 34 + 0, 1);         // name record: platform Macintosh
    PutBE16(b, 34 + 6, 4);         //              name ID: full name
    PutBE16(b, 34 + 8, static_cast<std::uint16_t>(name.size()));
    PutText(b, 28 + 18, name);
    return b;
}

// A VQF file whose NAME chunk holds `title`.
std::vector<std::uint8_t> VqfTitled(std::string_view title) {
    std::vector<std::uint8_t> b;
    PutText(b, 0, "TWIN97012000");                                   // magic and version
    PutText(b, 40, "NAME");                                          // chunk id
    PutBE32(b, 44, static_cast<std::uint32_t>(title.size()));        // chunk size
    PutText(b, 48, title);
    return b;
}

std::string Report(const std::vector<std::uint8_t>& bytes, CTextPaneBase& pane) {
    CFileInspector("hostile", "/", pane, InitTextStyles(), CReportSwitches{})
        .BuildContentReport(CMemoryByteSource(bytes));
    return pane.Text();
}

std::string Quiddity(const std::string& arguments, int* status = nullptr) {
    return RunCommand("timeout 60 " QUIDDITY_PROGRAM " " + arguments, status);
}

}  // namespace

TEST(SafeOutput, HostileTextsThroughEachPane) {
    struct Case {
        std::string_view text;
        std::string_view shown;
    };
    const Case cases[] = {
        {"a\x1b]0;t\x07\x1b[2Jb", "a.]0;t..[2Jb"},           // ESC and BEL
        {"\x9b" "2J|\xC2\x9b" "2J", ".2J|.2J"},                // CSI as a raw byte and as UTF-8
        {"x\x01\x7F\x85y", "x...y"},                           // C0, DEL, NEL
        {"gpj\xE2\x80\xAE.exe \xE2\x81\xA6i\xE2\x80\xA8", "gpj..exe .i."},  // an override, an isolate, U+2028
        {"tab\tcaf\xE9 \xC2\xA0\xE2\x80\x8F", "tab\tcaf\xC3\xA9 \xC2\xA0\xE2\x80\x8F"},  // TAB, letters and marks stay
    };
    const CTextStyles& styles = InitTextStyles();
    for (const Case& c : cases) {
        CPlainTextPane plain;
        plain.AppendStyledText(c.text, styles.m_cfNormal);
        EXPECT_EQ(plain.Text(), c.shown) << c.text;

        // the pane's own attributes come around the filtered text
        CAnsiPane ansi;
        ansi.AppendStyledText(c.text, styles.m_cfHeading);
        ansi.EndReport();
        EXPECT_EQ(ansi.Text(), "\x1b[1;31m" + std::string(c.shown) + "\x1b[0m") << c.text;

        CHtmlPane html;
        html.AppendStyledText(c.text, styles.m_cfFixed);
        EXPECT_NE(html.Text().find(">" + std::string(c.shown) + "</span>"), std::string::npos) << c.text;
    }
    CHtmlPane html;
    html.AppendStyledText("<a href=\"x\">&", styles.m_cfFixed);
    EXPECT_NE(html.Text().find(">&lt;a href=&quot;x&quot;&gt;&amp;</span>"), std::string::npos);
}

TEST(SafeOutput, MarkupRunsKeepCharactersWhole) {
    const std::string text = std::string(19, 'x') + "\xC3\xA9" + std::string(17, 'y') + "\xF0\x9F\x98\x80z";
    CRecordingPane runs;
    RenderMarkup(runs, InitTextStyles(), text);
    ASSERT_EQ(runs.runs.size(), 3u);
    EXPECT_EQ(runs.runs[0].text, std::string(19, 'x'));  // the é would straddle byte 20
    EXPECT_EQ(runs.runs[1].text, "\xC3\xA9" + std::string(17, 'y'));
    EXPECT_EQ(runs.runs[2].text, "\xF0\x9F\x98\x80z");
    CPlainTextPane pane;
    RenderMarkup(pane, InitTextStyles(), text);
    EXPECT_EQ(pane.Text(), text);  // no Latin-1 mojibake of the split halves
}

TEST(SafeOutput, HostileStringsInAFontAPeAndAVqf) {
    const std::string escapes(kEscapes);
    // a section name of eight bytes and appended data holding escapes
    std::vector<std::uint8_t> pe = CraftPe({{"\x1b[2J\x1b]0;", 0x1000, 0x200, 0x200, 0x60000020}}, 0x400);
    PutText(pe, 0x400, "\x9b" "2J" + escapes);
    const std::vector<std::vector<std::uint8_t>> files = {FontNamed(escapes), pe, VqfTitled(escapes)};
    for (const std::vector<std::uint8_t>& file : files) {
        CPlainTextPane plain;
        const std::string text = Report(file, plain);
        EXPECT_FALSE(HoldsControls(text)) << text;
        CAnsiPane ansi;
        const std::string coloured = Report(file, ansi);
        EXPECT_NE(coloured.find('\x1b'), std::string::npos);  // its own colours are there
        EXPECT_FALSE(HoldsControls(WithoutOwnAttributes(coloured))) << coloured;
    }
    CPlainTextPane plain;
    EXPECT_NE(Report(files[0], plain).find("True Type Font\n" + std::string(kEscapesShown)), std::string::npos);
    plain.Clear();
    EXPECT_NE(Report(files[2], plain).find("Type: VQF Audio: " + std::string(kEscapesShown)), std::string::npos);

    // the program, as a user would run it
    CTempDir dir;
    const std::string font = dir.Write("e.ttf", files[0]);
    const std::string vqf = dir.Write("e.vqf", files[2]);
    EXPECT_FALSE(HoldsControls(Quiddity("--format=text " + font)));
    EXPECT_FALSE(HoldsControls(WithoutOwnAttributes(Quiddity("--format=ansi " + font))));
    EXPECT_EQ(Quiddity("-t " + vqf), vqf + ": VQF Audio: \\033]0;PWNED\\007\\033[2J\n");
}

TEST(SafeOutput, TypeLinesAreOneLineEach) {
    std::string out;
    AppendTypeLine(out, "a\\b\nc", "Type\r\x9b");
    EXPECT_EQ(out, "a\\\\b\\012c: Type\\015\\233\n");

    // a list is split at line ends; a zero byte refuses it at its line
    std::vector<std::string> paths;
    CPathListParser parser(paths);
    EXPECT_TRUE(parser.Add("one\n\ntw"));
    EXPECT_TRUE(parser.Add("o\nthree"));
    parser.Finish();
    EXPECT_EQ(paths, (std::vector<std::string>{"one", "two", "three"}));
    paths.clear();
    CPathListParser refused(paths);
    EXPECT_FALSE(refused.Add(std::string_view("a\nb\0c\nd\n", 8)));
    EXPECT_EQ(refused.LineNumber(), 2u);
    refused.Finish();
    EXPECT_EQ(paths, std::vector<std::string>{"a"});
}

TEST(SafeOutput, RecursionSaysOnceWhereItStopped) {
    CTempDir dir;
    std::string deep = dir.Path("top");
    for (int level = 1; level < 64; ++level) deep += "/d";
    ASSERT_EQ(std::system(("mkdir -p " + deep + "/x " + deep + "/y").c_str()), 0);
    int status = -1;
    const std::string errors = Quiddity("-t -r " + dir.Path("top") + " 2>&1 >/dev/null", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(errors, "quiddity: " + deep + "/x: not entered: --recursive goes 64 folders deep at most\n");
}

TEST(SafeOutput, LostOutputFailsTheRun) {
    CTempDir dir;
    const std::string file = dir.Write("words", "words\n");
    for (const std::string& arguments : {"-t " + file, file, "--format=html " + file, "--view=hex " + file}) {
        int status = -1;
        EXPECT_EQ(Quiddity(arguments + " 2>&1 >/dev/full", &status),
                  "quiddity: write error: No space left on device\n")
            << arguments;
        EXPECT_EQ(status, 1) << arguments;
    }
    // A closed pipe ends the run at once and quietly, also where SIGPIPE is
    // ignored (and each write fails with EPIPE instead).
    std::string list;
    for (int i = 0; i < 20000; ++i) list += file + "\n";
    dir.Write("list", list);
    const std::string run = "trap '' PIPE; " QUIDDITY_PROGRAM " -t -f " + dir.Path("list") + " 2>" +
                            dir.Path("errors") + "; echo $? >" + dir.Path("status");
    EXPECT_EQ(RunCommand("(" + run + ") | head -c 5"), file.substr(0, 5));
    std::ifstream statusFile(dir.Path("status"));
    int piped = -1;
    statusFile >> piped;
    EXPECT_EQ(piped, 1);
    std::ifstream errors(dir.Path("errors"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(errors), {}), "");
}

TEST(SafeOutput, KernelFilesWithoutSize) {
    // A stream of events in /proc is opened, never read; a file made at
    // each read is read, and gets no checksum of its reported size 0.
    CReadOnlyFile file;
    EXPECT_FALSE(file.Open("/proc/self/mounts"));
    EXPECT_EQ(file.Error(), kNeverReadError);
    ASSERT_TRUE(file.Open("/proc/self/status"));
    std::uint8_t byte = 0;
    EXPECT_EQ(file.ReadAt(0, std::span(&byte, 1)), 1u);

    int status = -1;
    const std::string report = Quiddity("/proc/self/status", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(report.find("Type: Text file"), std::string::npos);
    EXPECT_EQ(report.find("Checksum"), std::string::npos);
    CTempDir dir;
    EXPECT_NE(Quiddity(dir.Write("empty", "")).find("\nChecksum\nCRC-32: 00000000\n"), std::string::npos);

    EXPECT_EQ(Quiddity("-t /proc/self/mounts", &status), "/proc/self/mounts: (couldn't open the file)\n");
    EXPECT_EQ(status, 0);  // never read, as a FIFO is not: no failure
}

TEST(SafeOutput, KernelLogIsNeverRead) {
    if (::geteuid() != 0 || ::access("/proc/kmsg", F_OK) != 0) GTEST_SKIP() << "needs root and /proc/kmsg";
    CTempDir dir;
    for (const std::string arguments : {"-t", "--format=text", "--view=text", "--view=hex"}) {
        const std::string trace = dir.Path("trace");
        RunCommand("strace -qq -e trace=openat,close,read,pread64,readv,preadv,preadv2 -o " + trace + " " +
                   QUIDDITY_PROGRAM + " " + arguments + " /proc/kmsg >/dev/null 2>&1");
        std::ifstream in(trace);
        const std::string calls((std::istreambuf_iterator<char>(in)), {});
        // openat(AT_FDCWD, "/proc/kmsg", O_RDONLY|...) = 3
        const std::size_t open = calls.find("\"/proc/kmsg\"");
        ASSERT_NE(open, std::string::npos) << arguments << "\n" << calls;
        const std::size_t lineEnd = calls.find('\n', open);
        const std::string fd = calls.substr(calls.rfind("= ", lineEnd) + 2, lineEnd - calls.rfind("= ", lineEnd) - 2);
        // what happened to that descriptor until it was closed
        const std::string life = calls.substr(lineEnd, calls.find("close(" + fd + ")", lineEnd) - lineEnd);
        for (const std::string read : {"read(", "pread64(", "readv(", "preadv(", "preadv2("})
            EXPECT_EQ(life.find("\n" + read + fd + ","), std::string::npos) << arguments << "\n" << calls;
    }
}
