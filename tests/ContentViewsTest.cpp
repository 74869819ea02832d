// The hex and text views: line layout, offsets, cleaning, wrapping, the
// PC glyphs, and the views as the command line prints them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/ContentViews.h"

using namespace quiddity;
using quiddity::test::CRecordingPane;
using quiddity::test::CTempDir;
using quiddity::test::RunCommand;

namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::vector<std::string> Lines(const std::string& text, std::string_view end) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at = text.find(end); at != std::string::npos; at = text.find(end, start)) {
        lines.push_back(text.substr(start, at - start));
        start = at + end.size();
    }
    EXPECT_EQ(start, text.size()) << "every line ends in a line break";
    return lines;
}

}  // namespace

TEST(HexView, LinesOfSixteenBytesWithOffsets) {
    const std::vector<std::uint8_t> bytes = Bytes("ABCDEFGHIJKLMNOPQRST");
    const std::vector<std::string> lines = Lines(BuildHexViewText(bytes, false), "\r\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "ABCDEFGHIJKLMNOP  41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 ");
    // 4 characters, 12 blanks, the gap, 4 hex groups, 12 empty groups.
    EXPECT_EQ(lines[1], "QRST" + std::string(12, ' ') + "  51 52 53 54 " + std::string(36, ' '));

    // Offsets have at least three digits, more when needed, and no blank.
    const std::vector<std::string> offsets =
        Lines(BuildHexViewText(std::vector<std::uint8_t>(0x1005, 'x'), true), "\r\n");
    ASSERT_EQ(offsets.size(), 0x101u);
    EXPECT_EQ(offsets[1].substr(0, 6), "010:xx");
    EXPECT_EQ(offsets[0x100].substr(0, 7), "1000:xx");
}

TEST(HexView, NonPrintableBytesAreDotsAndHighBytesStayOneColumn) {
    // 0x81 is one of the seven non-printable high bytes, 0x80 is not; C3 A9
    // would be a UTF-8 "é" but must stay two columns.
    const std::vector<std::uint8_t> bytes{0x00, 0x1F, 0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0xAD, 0x80, 0xC3, 0xA9, 0x20};
    const std::string line = Lines(BuildHexViewText(bytes, false), "\r\n").at(0);
    EXPECT_EQ(line.substr(0, 9), ".........");
    EXPECT_EQ(line.substr(9), "\u20AC\u00C3\u00A9    "
                              "  00 1F 7F 81 8D 8F 90 9D AD 80 C3 A9 20          ");
}

TEST(HexView, DosModeUsesGlyphsForEveryByteAndNoOffsets) {
    const std::vector<std::uint8_t> bytes{0x80, 0x81, 0x00, 0x01, 0x0D, 0x0A, 0x7F, 'A'};
    const std::vector<std::string> lines = Lines(BuildDosHexViewText(bytes), "\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], " \u00C7\u00FC \u263A\u266A\u25D9\u2302A" + std::string(8, ' ') +
                            "  80 81 00 01 0D 0A 7F 41 " + std::string(24, ' '));
}

TEST(HexView, ShowsAtMost2048BytesAndMessagesAnUnopenableFile) {
    CTempDir dir;
    const std::string path = dir.Write("big", std::string(5000, 'z'));
    CRecordingPane pane;
    ShowHexView(pane, InitTextStyles(), path, false, false);
    EXPECT_EQ(Lines(pane.Text(), "\r\n").size(), 128u);

    ShowHexView(pane, InitTextStyles(), dir.Path("missing"), false, false);
    EXPECT_EQ(pane.Text(), "(unable to open file)");
    ShowHexView(pane, InitTextStyles(), dir.Folder(), false, true);  // a folder is not opened
    EXPECT_EQ(pane.Text(), "(unable to open file)");
}

TEST(TextView, LineBreaksAndControlRunsCollapseAndLinesWrapAt64) {
    EXPECT_EQ(BuildTextViewText(Bytes("A\r\n\r\nB")), "A\r\nB\r\n");
    EXPECT_EQ(BuildTextViewText(Bytes("a\x01\x02\x03z")), "a z\r\n");
    // A control run after a break clears after-break, so the next break counts.
    EXPECT_EQ(BuildTextViewText(Bytes("a\n\x01\x02\nb")), "a\r\n \r\nb\r\n");
    EXPECT_EQ(BuildTextViewText(Bytes("a\x81\xAD\x7F" "b\x80")), "a b\x80\r\n");
    EXPECT_EQ(BuildTextViewText({}), "\r\n");  // an empty file is one empty line
    EXPECT_EQ(BuildTextViewText(Bytes(std::string(100, 'q'))),
              std::string(64, 'q') + "\r\n" + std::string(36, 'q') + "\r\n");
    // Exactly 64 characters and a break: the wrap and the break each end a line.
    EXPECT_EQ(BuildTextViewText(Bytes(std::string(64, 'q') + "\nr")), std::string(64, 'q') + "\r\n\r\nr\r\n");
}

TEST(TextView, DosTextKeepsEveryByteButCarriageReturns) {
    EXPECT_EQ(BuildDosTextViewText(Bytes("\x01\x02\x03\r\n\x80\x81\x14")), "\u263A\u263B\u2665\n\u00C7\u00FC\u03C0");
    CTempDir dir;
    CRecordingPane pane;
    ShowDosTextView(pane, InitTextStyles(), dir.Path("missing"));
    EXPECT_EQ(pane.Text(), "(Unable to open file)");
    const std::string path = dir.Write("long", std::string(5000, 'k'));
    ShowDosTextView(pane, InitTextStyles(), path);
    EXPECT_EQ(pane.Text(), std::string(4096, 'k'));
}

TEST(Cli, ViewsPrintTheSameText) {
    CTempDir dir;
    const std::string path = dir.Write("bytes", std::string("Hi\x80\x81\r\n", 6));
    const std::string program = QUIDDITY_PROGRAM;
    EXPECT_EQ(RunCommand(program + " --view=hex --offsets " + path),
              "000:Hi\u20AC..." + std::string(10, ' ') + "  48 69 80 81 0D 0A " + std::string(30, ' ') + "\n");
    // 0x80 would be a C1 control: it shows as "."; the last line ends even when empty
    EXPECT_EQ(RunCommand(program + " --view=text " + path), "Hi. \n\n");
    EXPECT_EQ(RunCommand(program + " --view=dos " + path), "Hi\u00C7\u00FC\n");
    int status = -1;
    RunCommand(program + " --view=dos " + dir.Path("missing") + " 2>/dev/null", &status);
    EXPECT_EQ(status, 1);
    RunCommand(program + " --view=sideways " + path + " 2>/dev/null", &status);
    EXPECT_EQ(status, 2);
}
