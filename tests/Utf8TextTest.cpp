// UTF-8 text: the recognizer's fall-back and the text view, on texts made
// by printf and iconv (tests/fixtures/text) and on crafted sequences.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecognizerSupport.h"
#include "core/ContentViews.h"
#include "core/ReportPane.h"

using namespace quiddity;
using quiddity::test::RunCommand;
using quiddity::test::TypeOfBytes;

namespace {

constexpr const char* kTexts[] = {"spanish.txt", "greek.txt", "cjk.txt", "emoji.txt", "cut-at-4096.txt", "latin1.txt"};

std::string ReadAll(const std::string& path) { return RunCommand("cat '" + path + "'"); }

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// The text view as a pane shows it (bytes outside UTF-8 as Latin-1).
std::string TextView(std::string_view bytes) {
    return ToUtf8(BuildTextViewText(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())));
}

std::size_t Characters(const std::string& utf8) {
    std::size_t count = 0;
    for (const char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

}  // namespace

// file(1) decides independently which fixtures are UTF-8 and which Latin-1.
TEST(Utf8Text, FixturesAsFileSeesThem) {
    for (const char* name : kTexts) {
        const std::string path = test::Fixture(std::string("text/") + name);
        const std::string fileSays = RunCommand("file -b '" + path + "'");
        std::string type;
        ASSERT_TRUE(EstimateFileType(path, type, nullptr));
        if (fileSays.find("UTF-8") != std::string::npos) EXPECT_EQ(type, "Text file (UTF-8)") << name;
        else EXPECT_EQ(type, "Unknown") << name << ": " << fileSays;
    }
}

TEST(Utf8Text, OnlyValidSequencesOfPrintableBytes) {
    EXPECT_EQ(TypeOfBytes("caf\xC3\xA9 au lait"), "Text file (UTF-8)");
    EXPECT_EQ(TypeOfBytes("\xC2\xA3 5, \xC2\xA9 2026"), "Text file (UTF-8)");  // the lowest two-byte start, C2
    EXPECT_EQ(TypeOfBytes("an \xC1\x81 overlong A"), "Unknown");               // C1 is never a start
    EXPECT_EQ(TypeOfBytes("max \xF4\x8F\xBF\xBF ok"), "Text file (UTF-8)");  // U+10FFFF, the last code point
    EXPECT_EQ(TypeOfBytes("\xC3\xA9t\xC3\xA9 \x80"), "Unknown");            // a continuation byte on its own
    EXPECT_EQ(TypeOfBytes("slash \xC0\xAF overlong"), "Unknown");           // "/" in two bytes
    EXPECT_EQ(TypeOfBytes("slash \xE0\x80\xAF overlong"), "Unknown");       // "/" in three bytes
    EXPECT_EQ(TypeOfBytes("half \xED\xA0\x80 of a pair"), "Unknown");       // a UTF-16 surrogate, U+D800
    EXPECT_EQ(TypeOfBytes("beyond \xF4\x90\x80\x80 end"), "Unknown");       // U+110000
    EXPECT_EQ(TypeOfBytes("euro \xE2\x82" "A short"), "Unknown");            // a letter for the third byte
    EXPECT_EQ(TypeOfBytes("caf\xC3\xA9 \x02 binary"), "Unknown");           // below 3 is never text
    EXPECT_EQ(TypeOfBytes("caf\xC3\xA9 \x7F"), "Text file (UTF-8)");        // DEL passes, as in 7-bit text
    EXPECT_EQ(TypeOfBytes("xylophone, caf\xC3\xA9"), "Text file (UTF-8)");  // text before the dmg guess
    EXPECT_EQ(TypeOfBytes("x\xFF\xFE and more"), "Possible UDIF disc image (dmg)");
    EXPECT_EQ(TypeOfBytes("plain \x80 text"), "Text file");                 // the 7-bit rule stands
    // Far apart: a 0x80 in the ASCII before the first character, and a low
    // byte in a later run of ASCII.
    EXPECT_EQ(TypeOfBytes("\x80" + std::string(99, 'a') + "caf\xC3\xA9"), "Unknown");
    EXPECT_EQ(TypeOfBytes("caf\xC3\xA9" + std::string(40, 'a') + "\x01" + std::string(40, 'a')), "Unknown");
    EXPECT_EQ(TypeOfBytes("caf\xC3\xA9" + std::string(20, 'a') + "\x80" + std::string(20, 'a')), "Unknown");
}

// A character cut by the end of a full head is text; a short file ends where
// it ends, and a cut start that no continuation can complete is not text.
TEST(Utf8Text, CharacterCutByTheHeadsEnd) {
    for (const std::string_view cut : {"\xC3", "\xE2\x82", "\xF0\x9F\x8E", "\xED\x9F"}) {
        std::string full(kHeadSize - cut.size(), 'a');
        full += cut;
        EXPECT_EQ(TypeOfBytes(full + "\xAC tail"), "Text file (UTF-8)") << cut.size();
        EXPECT_EQ(TypeOfBytes(full), "Text file (UTF-8)") << cut.size();  // 4096 bytes: cut or not, the head is full
        EXPECT_EQ(TypeOfBytes(full.substr(1)), "Unknown") << cut.size();  // a shorter file ends cut
    }
    for (const std::string_view never : {"\xE0\x80", "\xED\xA0", "\xF4\x90", "\xF0\x80\x80", "\xC1", "\xF5"}) {
        std::string full(kHeadSize - never.size(), 'a');
        full += never;
        EXPECT_EQ(TypeOfBytes(full + "\x80\x80 tail"), "Unknown") << never.size();
    }
}

// The text view of each fixture is the text itself with CR LF line ends
// (and the empty line after the last line end):
// as it is for UTF-8, as iconv reads it for Latin-1.
TEST(Utf8Text, TextViewShowsTheCharacters) {
    for (const char* name : {"spanish.txt", "greek.txt", "cjk.txt", "emoji.txt"}) {
        const std::string text = ReadAll(test::Fixture(std::string("text/") + name));
        EXPECT_EQ(TextView(text), WithCrLf(text) + "\r\n") << name;  // the empty last line ends too
    }
    const std::string latin1 = test::Fixture("text/latin1.txt");
    EXPECT_EQ(TextView(ReadAll(latin1)), WithCrLf(RunCommand("iconv -f LATIN1 -t UTF-8 '" + latin1 + "'")) + "\r\n");

    // 4094 letters and the first two bytes of "€": 64-letter lines, and the
    // cut bytes each on their own (0x82 a C1 control, shown as ".").
    const std::string cut = ReadAll(test::Fixture("text/cut-at-4096.txt")).substr(0, kTextViewLimit);
    std::string expected;
    for (int line = 0; line < 63; ++line) expected += std::string(64, 'a') + "\r\n";
    expected += std::string(62, 'a') + "\u00E2" + "\u0082\r\n";
    EXPECT_EQ(TextView(cut), expected);
    EXPECT_TRUE(ToDisplayText(TextView(cut)).ends_with("a\u00E2.\r\n"));
}

TEST(Utf8Text, TextViewWrapsByCharactersAndCleansControls) {
    std::string greek;
    for (int i = 0; i < 50; ++i) greek += "\xCE\xB1\xCE\xB2";  // 100 letters, 200 bytes
    const std::string view = TextView(greek);
    const std::size_t end = view.find("\r\n");
    EXPECT_EQ(Characters(view.substr(0, end)), 64u);
    EXPECT_EQ(Characters(view.substr(end + 2)), 36u + 2);  // and its line end
    // U+0085 and U+2028 are controls: with a control byte, one space.
    EXPECT_EQ(TextView("a\xC2\x85\x01\xE2\x80\xA8z"), "a z\r\n");
    // 0xAD is one of the seven non-printable bytes, but inside "í" a part of
    // a character; after a Latin-1 "é" (no sequence) it is a space.
    EXPECT_EQ(TextView("\xC3\xAD\xE9\xAD"), "\u00ED\u00E9 \r\n");
    // The hex view stays a byte a column.
    EXPECT_EQ(BuildHexViewText(std::vector<std::uint8_t>{0xC3, 0xA9}, false).substr(0, 5), "\u00C3\u00A9 ");
}

TEST(Utf8Text, CommandLineTypeAndTextView) {
    const std::string program = QUIDDITY_PROGRAM;
    const std::string path = test::Fixture("text/spanish.txt");
    EXPECT_EQ(RunCommand(program + " -t '" + path + "'"), path + ": Text file (UTF-8)\n");
    EXPECT_EQ(RunCommand(program + " --view=text '" + path + "'"), "adi\u00F3s, est\u00E1 aqu\u00ED, \u00CDdolo\n\n");
}
