// Shell links: the fixtures (made by tests/fixtures/lnk/make-links.py and
// pinned by their golden reports) read against lnkinfo, truncated twins,
// and crafted links for what the fixtures do not hold.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "TestSupport.h"
#include "formats/ShellLink.h"

using namespace quiddity;
using quiddity::test::CTempDir;
using quiddity::test::Fixture;
using quiddity::test::ReadWholeFile;
using quiddity::test::PutLE16;
using quiddity::test::PutLE32;
using quiddity::test::RunCommand;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string LinkOf(const Bytes& bytes, const CItemPlace& place = {}) {
    std::string out = "stale";
    ReportShellLink(CMemoryByteSource(bytes), place, EDetail::Full, out);
    return out;
}

std::string ValueAfter(const std::string& text, const std::string& label) {
    const std::size_t at = text.find(label);
    if (at == std::string::npos) return "(none)";
    const std::size_t from = at + label.size();
    return text.substr(from, text.find('\n', from) - from);
}

// The 76-byte header of a link with the given flags.
Bytes Header(std::uint32_t flags) {
    Bytes b;
    PutLE32(b, 0, 0x4C);                                    // header size
    const std::uint8_t clsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    b.insert(b.end(), std::begin(clsid), std::end(clsid));  // link class identifier
    PutLE32(b, 20, flags);                                  // link flags
    PutLE32(b, 24, 0x20);                                   // attributes: archive
    PutLE32(b, 60, 1);                                      // show command: normal
    b.resize(76);                                           // times, sizes, hot key: 0
    return b;
}

void AppendUtf16(Bytes& b, std::u16string_view text) {
    PutLE16(b, b.size(), static_cast<std::uint16_t>(text.size()));  // count of units
    for (const char16_t unit : text) PutLE16(b, b.size(), unit);
}

}  // namespace

// lnkinfo (liblnk-utils) reads the same strings, paths and sizes.
TEST(ShellLink, FixturesAgreeWithLnkinfo) {
    for (const char* name : {"local-target.lnk", "network-share.lnk", "ansi-strings.lnk", "long-description.lnk"}) {
        const std::string path = Fixture(std::string("lnk/") + name);
        const std::string oracle = RunCommand("lnkinfo '" + path + "'");
        ASSERT_NE(oracle.find("Link information"), std::string::npos) << "lnkinfo (liblnk-utils) is needed";
        const std::string ours = LinkOf(ReadWholeFile(path));
        auto same = [&](const char* theirs, const char* mine) {
            const std::string expected = ValueAfter(oracle, theirs);
            EXPECT_EQ(expected == "(none)" ? expected : expected.substr(0, 256), ValueAfter(ours, mine))
                << name << ": " << mine;
        };
        same("Description\t\t\t: ", "Description...: ");
        same("Working directory\t\t: ", "Working dir...: ");
        same("Command line arguments\t\t: ", "Command line..: ");
        same("Volume label\t\t\t: ", "Label...: ");
        EXPECT_EQ(ValueAfter(oracle, "File size\t\t\t: "), ValueAfter(ours, "File size...: ") + " bytes") << name;
        const std::string local = ValueAfter(oracle, "Local path\t\t\t: ");
        if (local != "(none)") {
            EXPECT_EQ(ValueAfter(ours, "Local path....: "), local + " (doesn't exist)");
        }
    }
}

// A link cut anywhere keeps its header lines or gives nothing at all.
TEST(ShellLink, TruncatedLinkNeverCrashes) {
    const Bytes whole = ReadWholeFile(Fixture("lnk/local-target.lnk"));
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const std::string text = LinkOf(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)));
        if (size < 76) {
            EXPECT_EQ(text, "") << size;
        } else {
            EXPECT_EQ(text.rfind("Flags.........: PIDL present ", 0), 0u) << size;
            EXPECT_NE(text.find("Hotkey........: 0\n\n"), std::string::npos) << size;
        }
    }
}

// The relative path is looked for beside the link, with "\" as "/"; a
// control character in a string cannot start a line of its own.
TEST(ShellLink, RelativePathAndHostileStrings) {
    CTempDir dir;
    dir.Write("target.txt", "x");
    Bytes link = Header(0x4 | 0x8 | 0x40 | 0x80);  // description, relative path, icon, Unicode
    AppendUtf16(link, u"two\nlines\x2028" u"here");
    AppendUtf16(link, u".\\target.txt");
    AppendUtf16(link, u"target.txt");              // the icon path is taken as given
    std::string text = LinkOf(link, CItemPlace{dir.Folder(), "link.lnk"});
    EXPECT_NE(text.find("Description...: two.lines.here\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Relative path.: .\\target.txt (exists)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Icon path.....: target.txt  (doesn't exist)\n"), std::string::npos) << text;
    text = LinkOf(link, CItemPlace{"/nonexistent-quiddity/", "link.lnk"});
    EXPECT_NE(text.find("Relative path.: .\\target.txt (doesn't exist)\n"), std::string::npos) << text;

    // Not a link: another class identifier, or a header size of 0x4D.
    link[4] = 0x02;
    EXPECT_EQ(LinkOf(link), "");
    link = Header(0);
    link[0] = 0x4D;
    EXPECT_EQ(LinkOf(link), "");
}

// Offsets inside a small location block, each pointing to the last bytes or
// past them; a volume record too short for its label.
TEST(ShellLink, LocationRecordsStayInsideTheBlock) {
    Bytes link = Header(0x2);                       // link information only
    const std::size_t block = link.size();
    PutLE32(link, block + 0, 0x34);                 // block size
    PutLE32(link, block + 4, 0x1C);                 // header size
    PutLE32(link, block + 8, 0x3);                  // local and network
    PutLE32(link, block + 12, 0x1C);                // volume record at 0x1C
    PutLE32(link, block + 16, 0x33);                // local path: "P", the last byte, no NUL
    PutLE32(link, block + 20, 0x24);                // network record at 0x24
    PutLE32(link, block + 24, 0x34);                // path suffix: just past the block
    PutLE32(link, block + 0x1C, 0x0C);              // volume record: 12 bytes, no label offset
    PutLE32(link, block + 0x20, 3);                 //   drive type: fixed
    PutLE32(link, block + 0x24, 0x0C);              // network record: 12 bytes, also the serial number
    PutLE32(link, block + 0x28, 0);                 //   flags
    PutLE32(link, block + 0x2C, 0xFFFF0000);        //   network name offset: far outside
    link.resize(block + 0x34);
    link[block + 0x33] = 'P';
    const std::string text = LinkOf(link);
    EXPECT_NE(text.find("Available.....: local and network\n"
                        "Local path....: P (doesn't exist)\n"
                        "Volume........:\n"
                        "                Label...: \n"
                        "                Serialno: 0000000C\n"
                        "                Type....: Fixed\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("Network path"), std::string::npos);
    EXPECT_EQ(text.find("Remaining path"), std::string::npos);

    PutLE32(link, block + 0x20, 7);                 // drive type: one past the known ones
    EXPECT_NE(LinkOf(link).find("                Type....: Unknown\n"), std::string::npos);
}
