// ZIP archives: stored archives built byte by byte for the edges of the
// listing and of extraction, the real files of tests/fixtures/zip checked
// against zipinfo, and names that look like markup.
#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "TestSupport.h"
#include "core/ReportPane.h"
#include "core/TextPanes.h"
#include "core/TextStyle.h"
#include "formats/ZipContents.h"

using namespace quiddity;
using quiddity::test::Fixture;
using quiddity::test::ReadFixture;
using quiddity::test::PutLE16;
using quiddity::test::PutLE32;
using quiddity::test::PutText;
using quiddity::test::RunCommand;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct StoredEntry {
    std::string name;
    std::string data;
};

// Where the fields of the first entry's central header lie, for tests that
// change them after the archive is built.
struct ZipLayout {
    std::size_t centralAt = 0;
    std::size_t endAt = 0;
};

// An archive of stored (uncompressed) entries, as APPNOTE lays it out.
Bytes StoredZip(const std::vector<StoredEntry>& entries, ZipLayout* layout = nullptr) {
    Bytes zip;
    std::vector<std::uint32_t> offsets;
    for (const StoredEntry& e : entries) {
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        const std::size_t at = zip.size();
        offsets.push_back(static_cast<std::uint32_t>(at));
        PutText(zip, at, "PK\x03\x04");                                  // local header signature
        PutLE16(zip, at + 4, 10);                                        // version needed: 1.0
        PutLE16(zip, at + 6, 0);                                         // flags
        PutLE16(zip, at + 8, 0);                                         // method: stored
        PutLE32(zip, at + 10, 0);                                        // DOS time and date
        PutLE32(zip, at + 14, crc);                                      // CRC-32
        PutLE32(zip, at + 18, static_cast<std::uint32_t>(e.data.size()));  // compressed size
        PutLE32(zip, at + 22, static_cast<std::uint32_t>(e.data.size()));  // uncompressed size
        PutLE16(zip, at + 26, static_cast<std::uint16_t>(e.name.size()));  // name length
        PutLE16(zip, at + 28, 0);                                        // extra length
        PutText(zip, at + 30, e.name);                                   // name
        PutText(zip, at + 30 + e.name.size(), e.data);                   // data
    }
    const std::size_t central = zip.size();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const StoredEntry& e = entries[i];
        const std::size_t at = zip.size();
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        PutText(zip, at, "PK\x01\x02");                                  // central header signature
        PutLE16(zip, at + 4, 20);                                        // made by: 2.0, DOS
        PutLE16(zip, at + 6, 10);                                        // version needed
        PutLE16(zip, at + 8, 0);                                         // flags
        PutLE16(zip, at + 10, 0);                                        // method: stored
        PutLE32(zip, at + 12, 0);                                        // DOS time and date
        PutLE32(zip, at + 16, crc);                                      // CRC-32
        PutLE32(zip, at + 20, static_cast<std::uint32_t>(e.data.size()));  // compressed size
        PutLE32(zip, at + 24, static_cast<std::uint32_t>(e.data.size()));  // uncompressed size
        PutLE16(zip, at + 28, static_cast<std::uint16_t>(e.name.size()));  // name length
        PutLE16(zip, at + 30, 0);                                        // extra length
        PutLE16(zip, at + 32, 0);                                        // comment length
        PutLE16(zip, at + 34, 0);                                        // disk number
        PutLE16(zip, at + 36, 0);                                        // internal attributes
        PutLE32(zip, at + 38, 0);                                        // external attributes
        PutLE32(zip, at + 42, offsets[i]);                               // local header offset
        PutText(zip, at + 46, e.name);                                   // name
    }
    const std::size_t end = zip.size();
    PutText(zip, end, "PK\x05\x06");                                     // end of central directory
    PutLE16(zip, end + 4, 0);                                            // this disk
    PutLE16(zip, end + 6, 0);                                            // disk of the central directory
    PutLE16(zip, end + 8, static_cast<std::uint16_t>(entries.size()));   // entries on this disk
    PutLE16(zip, end + 10, static_cast<std::uint16_t>(entries.size()));  // entries in all
    PutLE32(zip, end + 12, static_cast<std::uint32_t>(end - central));   // central directory size
    PutLE32(zip, end + 16, static_cast<std::uint32_t>(central));         // central directory offset
    PutLE16(zip, end + 20, 0);                                           // comment length
    if (layout) *layout = {central, end};
    return zip;
}

std::string Markup(const Bytes& bytes) {
    std::string out = "stale";
    ReportZipContents(CMemoryByteSource(bytes), out);
    return out;
}

// The text a reader sees: the markup rendered into a plain pane.
std::string Shown(const std::string& markup) {
    CPlainTextPane pane;
    RenderMarkup(pane, InitTextStyles(), markup);
    return pane.Text();
}


bool Has(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

}  // namespace

// Names that look like markup or like a line of the report stay one line
// each, and every later line stays.
TEST(ZipNames, MarkupInNamesIsShownNotObeyed) {
    EXPECT_EQ(Shown(Markup(ReadFixture("zip/names.zip"))),
              "Items in zip-file: 4  \n  a<b  (size:2)\n  <h1>x  (size:2)\n  x.Items in zip-file: 9  (size:2)\n"
              "  last.txt  (size:2)\n");
    EXPECT_EQ(MarkupText("a<b>\x1b[1m\xE2\x80\xAE"), "a<lt>b<gt>.[1m.");
    // Bytes that are no UTF-8 are code page 437: 0x81 is u-umlaut.
    EXPECT_TRUE(Has(Markup(StoredZip({{"\x81" "ber", "x"}})), "<pre>  \xC3\xBC" "ber  <fixgray>(size:1)\n"));
}

// Sizes and counts are 64-bit; a count larger than the entries lists what
// exists; an archive minizip cannot open gives nothing.
TEST(ZipListing, SizesCountsAndDamage) {
    ZipLayout layout;
    Bytes zip = StoredZip({{"big", "x"}, {"empty/", ""}}, &layout);
    PutLE32(zip, layout.centralAt + 24, 0xC0000000);  // the first entry's uncompressed size: 3 GiB
    EXPECT_EQ(Markup(zip), "<cond>Items in zip-file: 2  \n<pre>  big  <fixgray>(size:3221225472)\n<pre>  empty/\n");
    PutLE16(zip, layout.endAt + 8, 5);   // entries on this disk
    PutLE16(zip, layout.endAt + 10, 5);  // entries in all
    EXPECT_EQ(Shown(Markup(zip)), "Items in zip-file: 5  \n  big  (size:3221225472)\n  empty/\n");
    zip.resize(layout.endAt);  // no end record
    EXPECT_EQ(Markup(zip), "");
    EXPECT_EQ(Markup(Bytes{'P', 'K', 5, 6}), "");
}

// Contents are looked at only when the whole entry fits 9214 bytes and
// its CRC matches.
TEST(ZipExtraction, WholeEntriesOnly) {
    const std::string type = "application/x-test";
    const auto mimetype = [&](std::size_t size) { return StoredZip({{"mimetype", type + std::string(size - type.size(), 'z')}}); };
    EXPECT_TRUE(Has(Markup(mimetype(9214)), "OCF Container Format: x-testzzz"));
    EXPECT_FALSE(Has(Markup(mimetype(9215)), "OCF Container Format"));
    ZipLayout layout;
    Bytes zip = StoredZip({{"MimeType", "application/vnd.sun.xml.calc"}}, &layout);
    EXPECT_TRUE(Markup(zip).starts_with("Star Office: calc\n<cond>Items in zip-file: 1"));
    zip[14] ^= 1;                      // the local CRC-32
    zip[layout.centralAt + 16] ^= 1;   // the central CRC-32
    EXPECT_TRUE(Markup(zip).starts_with("<cond>Items"));

    // The findings stand in front in reverse order: the JAR line first.
    const std::string found = Markup(StoredZip({
        {"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\nmain-class:org.<x>\xC3\xA9\r\n"},
        {"gadget.xml", "<gadget/>"},
        {"docProps/app.xml", "<Properties><Application>Quill<2></Application><AppVersion></AppVersion>"},
        {"xl/workbook.xml", "<workbook/>"},
        {"ppt/x.xml", "<p/>"},
    }));
    EXPECT_TRUE(found.starts_with("JAR Java Archive/Executable, main class: org.<lt>x<gt>\nVista Gadget\n"
                                  "<cond>Office Powerpoint Excel Document\n<pre>  Application..: Quill\n\n"
                                  "<cond>Items in zip-file: 5"))
        << found;
}

// Counts, names and sizes as zipinfo lists them.
TEST(ZipFixtures, EntriesAsZipinfoListsThem) {
    int status = -1;
    RunCommand("zipinfo -h /dev/null >/dev/null 2>&1; command -v zipinfo >/dev/null", &status);
    if (status != 0) GTEST_SKIP() << "zipinfo (unzip) is not installed";
    for (const char* name : {"many.zip", "zip64.zip", "app.jar", "encrypted.jar", "book.epub", "staroffice.sxw",
                             "text.odt", "text.docx", "pandoc.epub", "sheet.xlsx", "calc.ods", "slides.pptx"}) {
        const std::string path = Fixture(std::string("zip/") + name);
        // "-l": permissions, version, system, size, ... , name; size is the fourth column.
        const std::string listing = RunCommand("zipinfo '" + path + "' | sed '1,2d;$d' | head -200 | awk '{print $NF \"|\" $4}'");
        const std::string count = RunCommand("zipinfo -h '" + path + "' | sed -n 's/.*number of entries: //p'");
        std::string expected;
        for (std::size_t at = 0; at < listing.size();) {
            const std::size_t end = listing.find('\n', at);
            const std::string line = listing.substr(at, end - at);
            const std::size_t bar = line.rfind('|');
            expected += "<pre>  " + line.substr(0, bar);
            if (line.substr(bar + 1) != "0") expected += "  <fixgray>(size:" + line.substr(bar + 1) + ")";
            expected += "\n";
            at = end + 1;
        }
        const std::string ours = Markup(ReadFixture(std::string("zip/") + name));
        const std::size_t items = ours.find("<cond>Items in zip-file: ");
        ASSERT_NE(items, std::string::npos) << name;
        EXPECT_EQ(ours.substr(items + 25, ours.find(' ', items + 25) - items - 25) + "\n", count) << name;
        EXPECT_EQ(ours.substr(ours.find('\n', items) + 1), expected) << name;
    }
}

// minizip reads through the report's one opening of the file: the program
// opens an Office document's contents once, for reading only (the file
// information looks at it through an O_PATH descriptor, which cannot read).
TEST(ZipFixtures, ArchiveOpenedOnceForReading) {
    int status = -1;
    RunCommand("strace -V >/dev/null 2>&1", &status);
    if (status != 0) GTEST_SKIP() << "strace is not installed";
    test::CTempDir dir;
    const std::string trace = dir.Path("trace");
    const std::string path = Fixture("zip/text.docx");
    RunCommand("strace -f -qq -e trace=open,openat,creat -o '" + trace + "' " + QUIDDITY_PROGRAM +
               " --format=text '" + path + "' >/dev/null 2>&1");
    std::ifstream in(trace);
    std::size_t opens = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.find("\"" + path + "\"") == std::string::npos || Has(line, "O_PATH")) continue;
        ++opens;
        EXPECT_TRUE(Has(line, "O_RDONLY")) << line;
    }
    EXPECT_EQ(opens, 1u);
}
