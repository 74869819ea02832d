#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "formats/TrueTypeNames.h"
#include "report/InfoReport.h"

using namespace quiddity;
using quiddity::test::PutBE16;
using quiddity::test::PutBE32;
using quiddity::test::PutText;

namespace {

struct CName {
    std::uint16_t platform;
    std::uint16_t nameId;
    std::string bytes;
};

// A font with one table, "name", holding the given records.
std::vector<std::uint8_t> FontWithNames(const std::vector<CName>& names) {
    std::vector<std::uint8_t> b;
    PutBE32(b, 0, 0x00010000);                 // sfnt version
    PutBE16(b, 4, 1);                          // numTables
    PutText(b, 12, "name");                    // table record: tag
    PutBE32(b, 12 + 8, 28);                    //               offset
    const std::size_t table = 28;
    PutBE16(b, table, 0);                      // format
    PutBE16(b, table + 2, static_cast<std::uint16_t>(names.size()));
    const std::size_t storage = 6 + 12 * names.size();
    PutBE16(b, table + 4, static_cast<std::uint16_t>(storage));
    std::size_t stringOffset = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::size_t at = table + 6 + 12 * i;
        PutBE16(b, at, names[i].platform);     // platform ID
        PutBE16(b, at + 6, names[i].nameId);   // name ID
        PutBE16(b, at + 8, static_cast<std::uint16_t>(names[i].bytes.size()));
        PutBE16(b, at + 10, static_cast<std::uint16_t>(stringOffset));
        PutText(b, table + storage + stringOffset, names[i].bytes);
        stringOffset += names[i].bytes.size();
    }
    return b;
}

std::string Utf16Be(std::u16string_view text) {
    std::string out;
    for (const char16_t c : text) {
        out.push_back(static_cast<char>(c >> 8));
        out.push_back(static_cast<char>(c & 0xFF));
    }
    return out;
}

std::string Names(const std::vector<std::uint8_t>& font, EDetail detail) {
    std::string out = "stale";
    ReadTrueTypeNames(CMemoryByteSource(font), detail, out);
    return out;
}

}  // namespace

// The real font's names in full are pinned by its golden report.
TEST(TrueTypeNames, PlatformsAndModes) {
    const std::vector<std::uint8_t> font = FontWithNames({
        {1, 1, std::string("Family\0junk", 11)},  // Macintosh: up to the zero byte
        {3, 4, Utf16Be(u"Caf\u00e9 \U0001F600")},  // Windows: UTF-16 with a surrogate pair
        {1, 4, "Second full name"},
    });
    EXPECT_EQ(Names(font, EDetail::Full), "Family\r\nCaf\xC3\xA9 \xF0\x9F\x98\x80\r\nSecond full name\r\n");
    EXPECT_EQ(Names(font, EDetail::Short), "Caf\xC3\xA9 \xF0\x9F\x98\x80");
}

TEST(TrueTypeNames, DamagedFontsGiveNothingOrWhatIsComplete) {
    const std::string text = "not a font at all";
    EXPECT_EQ(Names(std::vector<std::uint8_t>(text.begin(), text.end()), EDetail::Full), "");

    std::vector<std::uint8_t> font = FontWithNames({{1, 4, "Alpha"}, {1, 4, "Beta"}});
    // the second string runs past the end of the file: skipped
    font.resize(font.size() - 2);
    EXPECT_EQ(Names(font, EDetail::Full), "Alpha\r\n");

    font = FontWithNames({{1, 4, "Alpha"}});
    PutBE32(font, 12 + 8, 0xFFFFFFF0);  // name table offset far outside the file
    EXPECT_EQ(Names(font, EDetail::Full), "");

    font = FontWithNames({{1, 4, "Alpha"}});
    PutBE16(font, 4, 0xFFFF);  // a table count far beyond the records present
    EXPECT_EQ(Names(font, EDetail::Full), "Alpha\r\n");
}

// The report shows a font's section from three characters on (a name and
// its line end), and before the checksum.
TEST(TrueTypeNames, SectionThresholdAndPlaceInTheReport) {
    const auto report = [](const std::vector<std::uint8_t>& font) {
        test::CRecordingPane pane;
        CFileInspector("font.ttf", "/", pane, InitTextStyles(), {}).BuildContentReport(CMemoryByteSource(font));
        return pane.Text();
    };
    const std::vector<std::uint8_t> empty = FontWithNames({{1, 4, ""}});
    EXPECT_EQ(Names(empty, EDetail::Full), "\r\n");
    EXPECT_EQ(report(empty).find("True Type Font"), std::string::npos);
    const std::string named = report(FontWithNames({{1, 4, "A"}}));
    const std::size_t section = named.find("True Type Font\nA\r\n");
    ASSERT_NE(section, std::string::npos);
    EXPECT_LT(named.find("Type: "), section);
    EXPECT_GT(named.find("\nChecksum\n"), section);
}

TEST(TrueTypeNames, OddLengthUtf16KeepsItsWholeUnits) {
    // five bytes: two whole units and one stray byte, which is never read
    // as half of a third; then a high surrogate cut by its string's end
    const std::vector<std::uint8_t> font = FontWithNames({
        {3, 4, std::string("\0A\0B\0", 5)},
        {0, 4, std::string("\xD8\x3D\xDE", 3)},
    });
    EXPECT_EQ(Names(font, EDetail::Full), "AB\r\n\xEF\xBF\xBD\r\n");
}
