// The version section: real resources compiled by windres (checked
// against exiftool), and crafted trees that are empty, cut, looping or
// hostile.
#include <gtest/gtest.h>

#include <array>

#include "ExeCraft.h"
#include "executable/VersionResource.h"

using namespace quiddity;
using namespace quiddity::test;

namespace {

// A PE whose resource directory leads to `block`: the directory at RVA
// 0x2000 (file 0x400), the type 16 entry, then the names and languages
// given, each pointing on when `valid`, else at nothing.  The block lies at
// RVA 0x2100.
struct Entry {
    std::uint32_t id;
    bool valid;
};

constexpr std::uint32_t kBlockRva = 0x2100;

std::vector<std::uint8_t> CraftVersionPe(const std::vector<std::uint8_t>& block, std::vector<Entry> names = {{1, true}},
                                         std::vector<Entry> languages = {{0x409, true}},
                                         std::uint32_t claimedSize = 0) {
    std::vector<std::uint8_t> b = CraftPe({{".text", 0x1000, 0x200, 0x200, 0x60000020},
                                           {".rsrc", 0x2000, 0x10000, 0x400, 0x40000040}},
                                          0x400 + 0x10000);
    SetDirectory(b, 2, 0x2000, 0x100);
    constexpr std::size_t root = 0x400;
    constexpr std::uint32_t kSubdirectory = 0x80000000;
    constexpr std::uint32_t kNowhere = 0x7FFFFF00;  // far past the end of the file
    // Each directory: a 16-byte header ending in its entry counts, then 8-byte entries.
    PutLE16(b, root + 14, 1);                             // root: NumberOfIdEntries
    PutLE32(b, root + 16, 16);                            // type 16 (version)
    PutLE32(b, root + 20, kSubdirectory | 0x20);          // its names' directory
    PutLE16(b, root + 0x20 + 14, static_cast<std::uint16_t>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) {
        PutLE32(b, root + 0x30 + 8 * i, names[i].id);                                        // Name/Id
        PutLE32(b, root + 0x34 + 8 * i, kSubdirectory | (names[i].valid ? 0x60 : kNowhere));  // languages
    }
    PutLE16(b, root + 0x60 + 14, static_cast<std::uint16_t>(languages.size()));
    for (std::size_t i = 0; i < languages.size(); ++i) {
        PutLE32(b, root + 0x70 + 8 * i, languages[i].id);                     // Name/Id
        PutLE32(b, root + 0x74 + 8 * i, languages[i].valid ? 0xA0 : kNowhere);  // data entry
    }
    PutLE32(b, root + 0xA0, kBlockRva);                                                 // OffsetToData (RVA)
    PutLE32(b, root + 0xA4, claimedSize ? claimedSize : static_cast<std::uint32_t>(block.size()));  // Size
    PutText(b, root + 0x100, std::string_view(reinterpret_cast<const char*>(block.data()), block.size()));
    return b;
}

const std::vector<std::uint8_t> kEnglishUnicode{0x09, 0x04, 0xB0, 0x04};  // 0409, 04B0

std::vector<std::uint8_t> CraftBlock(std::vector<CraftVersionNode> strings,
                                     std::vector<std::uint8_t> translations = kEnglishUnicode,
                                     std::string table = "040904B0") {
    return CraftVersionBlock(CraftVersionTree(std::move(table), std::move(strings), std::move(translations)), true);
}

std::string VersionText(const std::vector<std::uint8_t>& block) { return Report(CraftVersionPe(block)).versionText; }

// exiftool's value of each tag, in the order asked; "-" when it has none.
std::vector<std::string> ExiftoolValues(const std::string& path, const std::vector<std::string>& tags) {
    std::string command = "exiftool -q -T -charset UTF8";
    for (const std::string& tag : tags) command += " -" + tag;
    std::string line = RunCommand(command + " '" + path + "' 2>/dev/null");
    if (!line.empty() && line.back() == '\n') line.pop_back();
    std::vector<std::string> values;
    for (std::size_t at = 0;; ++at) {
        const std::size_t tab = line.find('\t', at);
        values.push_back(line.substr(at, tab - at));
        if (tab == std::string::npos) break;
        at = tab;
    }
    return values;
}

}  // namespace

TEST(ExeVersionInfo, WindresResourcesAsExiftoolReadsThem) {
    int status = -1;
    RunCommand("exiftool -ver >/dev/null 2>&1", &status);
    if (status != 0) GTEST_SKIP() << "exiftool is not installed";
    const std::vector<std::string> plain{"FileDescription", "LegalCopyright", "LegalTrademarks",
                                         "ProductName", "CompanyName", "Comments"};
    const std::vector<std::pair<std::string, std::string>> labelled{
        {"FileVersion", "File version"},     {"ProductVersion", "Product version"},
        {"PrivateBuild", "Private build"},   {"SpecialBuild", "Special build"},
        {"InternalName", "Internal name"},   {"OriginalFileName", "Original filename"}};
    std::vector<std::string> tags = plain;
    for (const auto& [tag, label] : labelled) tags.push_back(tag);
    for (const char* name : {"version32.exe", "version64.exe", "resources32.exe"}) {
        SCOPED_TRACE(name);
        std::vector<std::string> values = ExiftoolValues(Fixture(std::string("pe/") + name), tags);
        ASSERT_EQ(values.size(), tags.size());
        // exiftool encodes the two halves of a surrogate pair one by one.
        if (std::string(name) == "version32.exe") values[1] = "\u00A9 2024 Zo\u00EB \u00DCnicode \U0001D11E";
        std::string expected;
        for (std::size_t i = 0; i < plain.size(); ++i)
            if (values[i] != "-" && !values[i].empty()) expected += values[i] + "\r\n";
        for (std::size_t i = 0; i < labelled.size(); ++i) {
            const std::string& value = values[plain.size() + i];  // empty when it exists but is empty
            if (value != "-") expected += "\r\n" + labelled[i].second + ": " + value;
        }
        EXPECT_EQ(Report(ReadPeFixture(name)).versionText, expected);
    }
    // The stub's name: an upper-case WEXTRACT.EXE with a further suffix.
    EXPECT_EQ(Report(ReadPeFixture("version32.exe")).clueText, "Could be CAB (wextract) self-extracting archive\r\n");
}

TEST(ExeVersionInfo, EmptyValuesAbsentValuesAndClues) {
    const std::string text = VersionText(CraftBlock({
        WideString("comments", u""),              // empty: no line (keys in any case)
        WideString("FileVersion", u""),           // empty: still its label
        WideString("InternalName", u"WExtract"),  // a self-extractor stub's name
        WideString("OriginalFilename", u"SFX.EXE"),
        WideString("FileDescription", u"Tab\there\r\nnext line, Esc\x1B[0m, CSI\x9B"),
    }));
    EXPECT_EQ(text,
              "Tab\there\r\nnext line, Esc.[0m, CSI.\r\n"
              "\r\nFile version: "
              "\r\nInternal name: WExtract"
              "\r\nOriginal filename: SFX.EXE");
    const ExeAnalysis exe = Report(CraftVersionPe(CraftBlock({
        WideString("InternalName", u"wextract"),
        WideString("OriginalFilename", u"VuAlbum.exe"),
    })));
    EXPECT_EQ(exe.clueText, "Could be CAB (wextract) self-extracting archive\r\nVuAlbum compressed images, viewer app\r\n");
}

TEST(ExeVersionInfo, Utf16DecodedWithSurrogates) {
    const char16_t lone[] = {u'A', 0xD800, u'B', 0xDC00, 0};  // each half alone
    EXPECT_EQ(VersionText(CraftBlock({WideString("ProductName", u"\u00A0\u00E9\u20AC\U0001F600"),
                                      WideString("Comments", lone)})),
              "\u00A0\u00E9\u20AC\U0001F600\r\nA\uFFFDB\uFFFD\r\n");
}

TEST(ExeVersionInfo, OnlyTheFirstTranslationAndItsOwnTable) {
    const CraftVersionNode name = WideString("ProductName", u"Quiddity");
    // Two translations: the first picks the table.
    EXPECT_EQ(VersionText(CraftBlock({name}, {0x07, 0x04, 0xE4, 0x04, 0x09, 0x04, 0xB0, 0x04}, "040704e4")),
              "Quiddity\r\n");
    // The first translation has no table: no other table stands in.
    EXPECT_EQ(VersionText(CraftBlock({name}, {0x07, 0x04, 0xE4, 0x04, 0x09, 0x04, 0xB0, 0x04})), "");
    // An empty or 2-byte translation list: no section.
    EXPECT_EQ(VersionText(CraftBlock({name}, {})), "");
    EXPECT_EQ(VersionText(CraftBlock({name}, {0x09, 0x04})), "");
}

TEST(ExeVersionInfo, FoundByTypeThenNameOneThenNeutralLanguage) {
    const std::vector<std::uint8_t> block = CraftBlock({WideString("ProductName", u"found")});
    EXPECT_EQ(Report(CraftVersionPe(block, {{5, false}, {1, true}})).versionText, "found\r\n");
    EXPECT_EQ(Report(CraftVersionPe(block, {{5, true}, {7, false}})).versionText, "found\r\n");  // else the first
    EXPECT_EQ(Report(CraftVersionPe(block, {{1, true}}, {{0x409, false}, {0, true}})).versionText, "found\r\n");
    EXPECT_EQ(Report(CraftVersionPe(block, {{1, true}}, {{0x407, true}, {0x409, false}})).versionText, "found\r\n");
    std::vector<std::uint8_t> b = CraftVersionPe(block);
    PutLE32(b, 0x400 + 16, 6);  // the type entry says string tables: no version resource
    EXPECT_EQ(Report(b).versionText, "");

    // A block that claims 1 GiB is read as far as 64 KiB and the file go.
    EXPECT_EQ(Report(CraftVersionPe(block, {{1, true}}, {{0, true}}, 0x40000000)).versionText, "found\r\n");
}

TEST(ExeVersionInfo, TreesThatEndTooEarly) {
    std::vector<std::uint8_t> block = CraftBlock({WideString("ProductName", u"first"), WideString("Comments", u"second")});
    const VersionResource resource{block, true};
    constexpr std::array<std::string_view, 3> kComments{"StringFileInfo", "040904B0", "Comments"};
    ASSERT_EQ(FindVersionText(resource, kComments), "second");

    // A child whose length is below its header's ends the walk of its parent.
    const std::size_t product = std::string_view(reinterpret_cast<const char*>(block.data()), block.size())
                                    .find(std::string_view("P\0r\0o\0d", 7)) - 6;
    PutLE16(block, product, 0);  // wLength of ProductName
    EXPECT_EQ(FindVersionText({block, true}, kComments), std::nullopt);
    PutLE16(block, product, 5);
    EXPECT_EQ(FindVersionText({block, true}, kComments), std::nullopt);

    // Cut anywhere: whatever is found is a part of what the whole block gives.
    const std::vector<std::uint8_t> whole = CraftBlock({WideString("ProductName", u"first"), WideString("Comments", u"second")});
    for (std::size_t length = 0; length < whole.size(); ++length) {
        const VersionResource cut{{whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)}, true};
        const std::optional<std::string> comments = FindVersionText(cut, kComments);
        EXPECT_TRUE(!comments || std::string("second").starts_with(*comments)) << length;
    }
}
