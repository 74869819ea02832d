#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "formats/TrueTypeNames.h"

using namespace quiddity;
using quiddity::test::CTempDir;
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

}  // namespace

TEST(TrueTypeNames, RealFontInBothModes) {
    const std::string font = test::Fixture("fonts/TlwgMono.ttf");
    std::string out;
    ReadTrueTypeNames(font, out, false);
    EXPECT_EQ(out, "Tlwg Mono");  // the Macintosh record comes first
    ReadTrueTypeNames(font, out, true);
    EXPECT_EQ(out.rfind("TlwgMono, Free Thai monospace", 0), 0u);
    // the Windows records (UTF-16) follow the Macintosh ones
    const std::size_t mac = out.find("Version 002.003");
    ASSERT_NE(mac, std::string::npos);
    EXPECT_NE(out.find("Version 002.003", mac + 1), std::string::npos);
    // the Thai sample string arrives as UTF-8
    EXPECT_NE(out.find("\xE0\xB9\x80"), std::string::npos);  // U+0E40
}

TEST(TrueTypeNames, PlatformsAndModes) {
    CTempDir dir;
    const std::string path = dir.Write("f.ttf", FontWithNames({
        {1, 1, std::string("Family\0junk", 11)},  // Macintosh: up to the zero byte
        {3, 4, Utf16Be(u"Caf\u00e9 \U0001F600")},  // Windows: UTF-16 with a surrogate pair
        {1, 4, "Second full name"},
    }));
    std::string out;
    ReadTrueTypeNames(path, out, true);
    EXPECT_EQ(out, "Family\r\nCaf\xC3\xA9 \xF0\x9F\x98\x80\r\nSecond full name\r\n");
    ReadTrueTypeNames(path, out, false);
    EXPECT_EQ(out, "Caf\xC3\xA9 \xF0\x9F\x98\x80");
}

TEST(TrueTypeNames, DamagedFontsGiveNothingOrWhatIsComplete) {
    CTempDir dir;
    std::string out = "stale";
    ReadTrueTypeNames(dir.Write("text", "not a font at all"), out, true);
    EXPECT_EQ(out, "");

    std::vector<std::uint8_t> font = FontWithNames({{1, 4, "Alpha"}, {1, 4, "Beta"}});
    // the second string runs past the end of the file: skipped
    font.resize(font.size() - 2);
    ReadTrueTypeNames(dir.Write("cut.ttf", font), out, true);
    EXPECT_EQ(out, "Alpha\r\n");

    font = FontWithNames({{1, 4, "Alpha"}});
    PutBE32(font, 12 + 8, 0xFFFFFFF0);  // name table offset far outside the file
    ReadTrueTypeNames(dir.Write("far.ttf", font), out, true);
    EXPECT_EQ(out, "");

    font = FontWithNames({{1, 4, "Alpha"}});
    PutBE16(font, 4, 0xFFFF);  // a table count far beyond the records present
    ReadTrueTypeNames(dir.Write("count.ttf", font), out, true);
    EXPECT_EQ(out, "Alpha\r\n");
}

TEST(TrueTypeNames, EmptyNameIsBelowTheSectionThreshold) {
    CTempDir dir;
    std::string out;
    ReadTrueTypeNames(dir.Write("empty.ttf", FontWithNames({{1, 4, ""}})), out, true);
    EXPECT_EQ(out, "\r\n");  // two characters: the report leaves the section out
}
