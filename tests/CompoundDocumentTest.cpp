// Compound documents: the fixtures (made by tests/fixtures/ole2/
// make-fixtures.sh and pinned by their golden reports) listed against
// olefile, truncated twins, and crafted files for damaged containers and
// property sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "CompoundCraft.h"
#include "TestSupport.h"
#include "core/TextFormat.h"
#include "formats/CompoundDocument.h"
#include "formats/CompoundFile.h"

using namespace quiddity;
using quiddity::test::CCompoundCraft;
using quiddity::test::Fixture;
using quiddity::test::ReadWholeFile;
using quiddity::test::PutLE16;
using quiddity::test::PutLE32;
using quiddity::test::PutText;
using quiddity::test::RunCommand;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string ReportOf(const Bytes& bytes) {
    std::string out = "stale";
    ReportCompoundDocument(CMemoryByteSource(bytes), EDetail::Full, out);
    return out;
}

std::string OutlookOf(const Bytes& bytes, int* status = nullptr) {
    std::string out = "stale";
    const int result = DescribeOutlookMessage(CMemoryByteSource(bytes), out);
    if (status) *status = result;
    return out;
}

Bytes Utf8Bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

// A property set stream with one section of the given format identifier
// (summary information unless told) holding the given (id, value) pairs;
// each value starts with its 32-bit type.
Bytes PropertySet(const std::vector<std::pair<std::uint32_t, Bytes>>& properties, bool summary = true) {
    Bytes b;
    PutLE16(b, 0, 0xFFFE);  // byte order
    PutLE16(b, 2, 0);       // version
    PutLE32(b, 4, 0x20005); // system identifier
    b.resize(24);           // class identifier: 0
    PutLE32(b, 24, 1);      // one section
    const Bytes summaryId = {0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10, 0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};
    const Bytes otherId = {0x05, 0xD5, 0xCD, 0xD5, 0x9C, 0x2E, 0x1B, 0x10, 0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE};
    const Bytes& id = summary ? summaryId : otherId;
    b.insert(b.end(), id.begin(), id.end());  // format identifier
    PutLE32(b, 44, 48);                       // section offset
    const std::size_t section = 48;
    std::size_t valueAt = 8 + 8 * properties.size();
    for (std::size_t i = 0; i < properties.size(); ++i) {
        PutLE32(b, section + 8 + 8 * i, properties[i].first);                 // property id
        PutLE32(b, section + 12 + 8 * i, static_cast<std::uint32_t>(valueAt));  // offset in the section
        b.resize(std::max(b.size(), section + valueAt));
        b.insert(b.begin() + static_cast<std::ptrdiff_t>(section + valueAt), properties[i].second.begin(),
                 properties[i].second.end());
        valueAt += properties[i].second.size();
    }
    b.resize(section + valueAt);
    PutLE32(b, section, static_cast<std::uint32_t>(valueAt));                  // section size
    PutLE32(b, section + 4, static_cast<std::uint32_t>(properties.size()));    // property count
    return b;
}

Bytes Value(std::uint32_t type, const Bytes& payload) {
    Bytes v;
    PutLE32(v, 0, type);
    v.insert(v.end(), payload.begin(), payload.end());
    return v;
}

Bytes Counted(std::string_view text) {
    Bytes v;
    PutLE32(v, 0, static_cast<std::uint32_t>(text.size() + 1));
    PutText(v, 4, text);
    v.push_back(0);
    return v;
}

// A compound file with one stream of these bytes under the root.
Bytes FileWithStream(std::u16string name, const Bytes& bytes) {
    CCompoundCraft craft;
    craft.Link(0, {craft.AddStream(std::move(name), bytes)});
    return craft.Build();
}

// The report's stream lines as "name size", one per line, sorted; names
// of nested streams are joined to their storages' names with "/".
std::string ListedStreams(const std::string& report) {
    std::vector<std::string> lines, path;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);) {
        const std::size_t depth = line.find_first_not_of(' ');
        if (depth == std::string::npos || depth % 4 != 0) continue;
        path.resize(std::min(path.size(), depth / 4));
        if (line[depth] == '\\') {
            path.push_back(line.substr(depth + 1));
            continue;
        }
        const std::size_t tab = line.find("   \t(size: ");
        if (tab == std::string::npos) continue;
        std::string name;
        for (const std::string& part : path) name += part + "/";
        name += line.substr(depth, tab - depth);
        lines.push_back(name + " " + line.substr(tab + 11, line.size() - tab - 12));
    }
    std::sort(lines.begin(), lines.end());
    std::string all;
    for (const std::string& l : lines) all += l + "\n";
    return all;
}

}  // namespace

TEST(CompoundDocumentFixtures, StreamsAndSizesAgreeWithOlefile) {
    for (const char* name : {"writer.doc", "calc.xls", "installer.msi", "note.msg"}) {
        SCOPED_TRACE(name);
        const std::string path = Fixture(std::string("ole2/") + name);
        int status = -1;
        const std::string listed =
            RunCommand("/usr/bin/python3 " + Fixture("ole2/list-olefile.py") + " '" + path + "' | grep '^stream ' | cut -c8- | LC_ALL=C sort", &status);
        ASSERT_EQ(status, 0) << "python3-olefile is missing (tools/install-deps.sh installs it)";
        ASSERT_FALSE(listed.empty());
        std::string ours = ListedStreams(ReportOf(ReadWholeFile(path)));
        std::vector<std::string> sorted;
        std::istringstream in(ours);
        for (std::string l; std::getline(in, l);) sorted.push_back(l);
        std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
            return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                [](char x, char y) { return static_cast<unsigned char>(x) < static_cast<unsigned char>(y); });
        });
        ours.clear();
        for (const std::string& l : sorted) ours += l + "\n";
        EXPECT_EQ(ours, listed);
    }
}

TEST(CompoundDocumentFixtures, OutlookDetail) {
    EXPECT_EQ(OutlookOf(ReadWholeFile(Fixture("ole2/note.msg"))), "(IPM.Note) ");
    // msibuild names itself as an 8-bit application name.
    EXPECT_EQ(OutlookOf(ReadWholeFile(Fixture("ole2/installer.msi"))), "(app: libmsi msibuild) ");
    int status = 0;
    EXPECT_EQ(OutlookOf(Utf8Bytes("plain text, no compound file"), &status), "");
    EXPECT_LT(status, 0);
}

TEST(CompoundDocumentFixtures, TruncatedTwinsLoseLinesQuietly) {
    const Bytes whole = ReadWholeFile(Fixture("ole2/writer.doc"));
    const std::string full = ReportOf(whole);
    ASSERT_NE(full.find("*SummaryInformation"), std::string::npos);
    for (std::size_t size = 0; size < whole.size(); size += 256) {
        SCOPED_TRACE(size);
        const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        const std::string report = ReportOf(part);
        EXPECT_LT(report.size(), full.size());
        std::string detail;
        DescribeOutlookMessage(CMemoryByteSource(part), detail);
    }
    // Under one header sector: a compound file the container cannot hold.
    EXPECT_EQ(ReportOf(Bytes(whole.begin(), whole.begin() + 300)), "Feil 22");
    EXPECT_EQ(ReportOf(Bytes(whole.begin(), whole.begin() + 3)), "");
}

TEST(CompoundDocumentTree, OrderNestingAndEntryKinds) {
    CCompoundCraft craft;
    const std::uint32_t storage = craft.AddStorage(u"Inner");
    const std::uint32_t deep = craft.AddStream(u"deep", Bytes(10, 'x'));
    const std::uint32_t special = craft.AddStorage(u"\x05X");
    const std::uint32_t after = craft.AddStream(u"zz", Bytes(3, 'y'));
    const std::uint32_t bb = craft.AddStream(u"bb", Bytes(1, 'b'));
    const std::uint32_t aaa = craft.AddStream(u"AAA", Bytes(2, 'a'));
    craft.Link(storage, {deep});
    // Stored out of order: the listing sorts shorter names first, then by
    // upper-cased units ("bb" before "zz", "*X" (5 < 'B') first of all).
    craft.Link(0, {aaa, storage, after, bb, special});
    EXPECT_EQ(ReportOf(craft.Build()),
              "*X   \t\n"
              "bb   \t(size: 1)\n"
              "zz   \t(size: 3)\n"
              "AAA   \t(size: 2)\n"
              "\\Inner\n"
              "    deep   \t(size: 10)\n");
}

TEST(CompoundDocumentTree, VersionFourSizesAndStreamsOutsideTheFile) {
    CCompoundCraft v4(4);
    const std::uint32_t big = v4.AddStream(u"Big", Bytes(5000, 'b'));
    v4.entries[big].size = 5ull << 30;  // 5 GiB claimed; only one sector stored
    const std::uint32_t lost = v4.AddStream(u"Lost", Bytes(5000, 'l'));
    v4.entries[lost].start = 9999;  // past the end of the file
    const std::uint32_t empty = v4.AddStream(u"Empty", Bytes{});
    // 4096 bytes, the cutoff itself, lie in regular sectors, not the mini stream.
    const std::uint32_t cutoff = v4.AddStream(u"Cutoff", Bytes(4096, 'c'));
    v4.Link(0, {big, lost, empty, cutoff});
    EXPECT_EQ(ReportOf(v4.Build()),
              "Big   \t(size: 5368709120)\n"
              "Lost   \t(Unavailable)\n"
              "Empty   \t(size: 0)\n"
              "Cutoff   \t(size: 4096)\n");

    // Version 3 keeps only the size's low half: writers left garbage above.
    CCompoundCraft v3;
    const std::uint32_t small = v3.AddStream(u"Small", Bytes(100, 's'));
    v3.Link(0, {small});
    Bytes file = v3.Build();
    PutLE32(file, v3.EntryOffset(small) + 124, 0xDEAD);
    EXPECT_EQ(ReportOf(file), "Small   \t(size: 100)\n");
}

TEST(CompoundDocumentTree, HeaderFaultsAreErrorTwentyTwo) {
    CCompoundCraft craft;
    craft.Link(0, {craft.AddStream(u"S", Bytes(10, 's'))});
    const Bytes good = craft.Build();
    ASSERT_EQ(ReportOf(good), "S   \t(size: 10)\n");
    const auto patched = [&](std::size_t at, std::uint16_t value) {
        Bytes b = good;
        PutLE16(b, at, value);
        return ReportOf(b);
    };
    EXPECT_EQ(patched(28, 0xFEFF), "Feil 22");  // byte order
    EXPECT_EQ(patched(26, 4), "Feil 22");       // version 4 with 512-byte sectors
    EXPECT_EQ(patched(30, 12), "Feil 22");      // 4096-byte sectors in version 3
    EXPECT_EQ(patched(32, 7), "Feil 22");       // mini sectors of 128
    EXPECT_EQ(patched(76, 0x7FFF), "Feil 22");  // first FAT sector past the end
    EXPECT_EQ(patched(48, 0x7FFF), "Feil 22");  // directory past the end
    Bytes noRoot = good;
    noRoot[craft.EntryOffset(0) + 66] = 1;  // the root entry is a plain storage
    EXPECT_EQ(ReportOf(noRoot), "Feil 22");
    Bytes other = good;
    other[0] = 0x7F;
    EXPECT_EQ(ReportOf(other), "");
}

TEST(CompoundDocumentTree, MiniStreamContentsAreRead) {
    const Bytes set = PropertySet({{2, Value(30, Counted("Mini title"))}});
    ASSERT_LT(set.size(), 4096u);
    EXPECT_EQ(ReportOf(FileWithStream(u"\x05SummaryInformation", set)),
              Format("*SummaryInformation   \t(size: %zu)\n"
                     "        Title..........................:  Mini title\n",
                     set.size()));
    // The same stream in regular sectors, padded past the mini cutoff.
    Bytes big = set;
    big.resize(5000);
    EXPECT_EQ(ReportOf(FileWithStream(u"\x05SummaryInformation", big)),
              "*SummaryInformation   \t(size: 5000)\n"
              "        Title..........................:  Mini title\n");
}

// Walks that would never end if a guard broke: these tests have a short
// time limit of their own (tests/CMakeLists.txt).
TEST(CompoundWalkLimits, LoopsInChainsAndTrees) {
    {
        // A FAT entry that names its own sector: the stream reads one sector.
        CCompoundCraft craft;
        const std::uint32_t s = craft.AddStream(u"Loop", Bytes(5000, 'L'));
        craft.fat[craft.entries[s].start] = craft.entries[s].start;
        craft.Link(0, {s});
        const Bytes file = craft.Build();
        EXPECT_EQ(ReportOf(file), "Loop   \t(size: 5000)\n");
        const CMemoryByteSource source(file);
        CCompoundFile container;
        ASSERT_EQ(container.Open(source), 0);
        CompoundEntry entry;
        ASSERT_TRUE(container.Entry(s, entry));
        EXPECT_EQ(container.ReadStream(entry, 4096).size(), 512u);
    }
    {
        // A directory chain that loops: the entries cannot all be read.
        CCompoundCraft craft;
        craft.Link(0, {craft.AddStream(u"S", Bytes(4, 's'))});
        Bytes file = craft.Build();
        // The FAT is the last sector; the directory's entry points to itself.
        const std::size_t fatAt = file.size() - 512;
        PutLE32(file, fatAt + 4 * craft.directoryFirst, craft.directoryFirst);
        EXPECT_EQ(ReportOf(file), "Error: Failed IStorage::Enum\n");
    }
    {
        // A DIFAT chain that names itself, in a file large enough to need
        // more FAT sectors than the header's 109.
        CCompoundCraft craft;
        const std::uint32_t big = craft.AddStream(u"Big", Bytes(120 * 512, 'x'));
        craft.Link(0, {big, craft.AddStream(u"S", Bytes(4, 's'))});
        Bytes file = craft.Build();
        const std::uint32_t difat = craft.entries[big].start;
        PutLE32(file, 44, 200);                                   // FAT sectors claimed
        PutLE32(file, 68, difat);                                 // first DIFAT sector
        PutLE32(file, 72, 1);                                     // DIFAT sectors
        PutLE32(file, craft.SectorOffset(difat) + 508, difat);    // its next: itself
        EXPECT_EQ(ReportOf(file), "S   \t(size: 4)\nBig   \t(size: 61440)\n");
    }
    {
        // Siblings that point at each other: both listed, then the error.
        CCompoundCraft craft;
        const std::uint32_t a = craft.AddStream(u"A", Bytes(1, 'a'));
        const std::uint32_t b = craft.AddStream(u"B", Bytes(1, 'b'));
        craft.Link(0, {a, b});
        craft.entries[b].right = a;
        EXPECT_EQ(ReportOf(craft.Build()),
                  "A   \t(size: 1)\n"
                  "B   \t(size: 1)\n"
                  "Error: failed IEnumSTATSTG::Next\n");
    }
    {
        // A sibling index outside the directory.
        CCompoundCraft craft;
        const std::uint32_t a = craft.AddStream(u"A", Bytes(1, 'a'));
        craft.Link(0, {a});
        craft.entries[a].left = 5000;
        EXPECT_EQ(ReportOf(craft.Build()), "Error: failed IEnumSTATSTG::Next\n");
    }
    {
        // A storage whose child is the root: its parent's level ends.
        CCompoundCraft craft;
        const std::uint32_t s = craft.AddStorage(u"S");
        const std::uint32_t t = craft.AddStream(u"TT", Bytes(1, 't'));
        craft.Link(0, {s, t});
        craft.entries[s].child = 0;
        EXPECT_EQ(ReportOf(craft.Build()),
                  "\\S\n"
                  "Error: failed IStorage::OpenStorage\n");
    }
    {
        // Forty nested storages: the listing stops at 32 levels.
        CCompoundCraft craft;
        std::uint32_t parent = 0;
        for (int level = 0; level < 40; ++level) {
            const std::uint32_t s = craft.AddStorage(u"L");
            craft.Link(parent, {s});
            parent = s;
        }
        const std::string report = ReportOf(craft.Build());
        EXPECT_EQ(std::count(report.begin(), report.end(), '\\'), 32);
        EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 33);
        EXPECT_TRUE(report.ends_with("\\L\nError: failed IStorage::OpenStorage\n"));
    }
}

TEST(CompoundPropertySets, ValuesByType) {
    const Bytes set = PropertySet({
        {1, Value(2, {0xE9, 0xFD, 0, 0})},                    // code page 65001, shown signed
        {2, Value(30, Counted("Caf\xC3\xA9"))},               // UTF-8 by the code page
        {3, Value(31, {3, 0, 0, 0, 'W', 0, 'i', 0, 0, 0, 0, 0})},  // UTF-16
        {4, Value(3, {0xFE, 0xFF, 0xFF, 0xFF})},              // -2
        {5, Value(11, {1, 0, 0, 0})},                         // TRUE
        {6, Value(19, {0x00, 0x00, 0x00, 0x80})},             // 2147483648
        {12, Value(64, {0x00, 0x80, 0x3E, 0xD5, 0xDE, 0xB1, 0x9D, 0x01})},  // 1.1.1970
        {13, Value(64, {0, 0, 0, 0, 0, 0, 0, 0x80})},         // 2^63: no date
        {0x1234, Value(0x48, {})},                            // unknown type
        {0x80000000, Value(19, {0x09, 0x04, 0, 0})},          // locale 1033
        {7, Value(0, {})},
    });
    EXPECT_EQ(ReportOf(FileWithStream(u"\x05SummaryInformation", set)),
              Format("*SummaryInformation   \t(size: %zu)\n", set.size()) +
                  "        Codepage.......................:  -535\n"
                  "        Title..........................:  Caf\xC3\xA9\n"
                  "        Subject........................:  Wi\n"
                  "        Author.........................:  -2\n"
                  "        Keywords.......................:  TRUE\n"
                  "        Comments.......................:  2147483648\n"
                  "        Created........................:  Time: 01.01.1970 00:00\n"
                  "        Modified.......................:  \n"
                  "        ID: 00001234...................:  (unknown) 0048\n"
                  "        Locale.........................:  1033\n"
                  "        Template.......................:  (empty)\n");
}

TEST(CompoundPropertySets, DocumentSummaryLabelsTextsAndOtherSections) {
    const Bytes set = PropertySet({
        {2, Value(30, Counted("Caf\xE9\r\n"))},  // Windows-1252 by default; controls dotted
        {13, Value(0x101E, [] {
             Bytes v;
             PutLE32(v, 0, 2);  // two texts
             const Bytes one = Counted("One"), two = Counted("Two");
             v.insert(v.end(), one.begin(), one.end());
             v.insert(v.end(), two.begin(), two.end());
             return v;
         }())},
        {18, Value(3, {7, 0, 0, 0})},  // no label of its own here
    });
    Bytes document = set;
    const Bytes documentId = {0x02, 0xD5, 0xCD, 0xD5, 0x9C, 0x2E, 0x1B, 0x10, 0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE};
    std::copy(documentId.begin(), documentId.end(), document.begin() + 28);
    EXPECT_EQ(ReportOf(FileWithStream(u"\x05" u"DocumentSummaryInformation", document)),
              Format("*DocumentSummaryInformation   \t(size: %zu)\n", document.size()) +
                  "        Category.......................:  Caf\xC3\xA9..\n"
                  "        Titles of parts................:  2 strings:\n"
                  "          One\n"
                  "          Two\n"
                  "        ID: 00000012...................:  7\n");
    // A section of any other format identifier shows nothing.
    const Bytes other = PropertySet({{2, Value(3, {1, 0, 0, 0})}}, false);
    EXPECT_EQ(ReportOf(FileWithStream(u"\x05SummaryInformation", other)),
              Format("*SummaryInformation   \t(size: %zu)\n", other.size()));
}

TEST(CompoundPropertySets, LengthsAndOffsetsPastTheBytesRead) {
    const auto shown = [](const Bytes& set) {
        const std::string report = ReportOf(FileWithStream(u"\x05SummaryInformation", set));
        return report.substr(report.find('\n') + 1);
    };
    Bytes short47 = PropertySet({{2, Value(3, {1, 0, 0, 0})}});
    short47.resize(47);
    EXPECT_EQ(shown(short47), "");

    // Two sections claimed, 60 bytes: the second entry lies past them.
    Bytes two = PropertySet({{2, Value(3, {1, 0, 0, 0})}});
    PutLE32(two, 24, 2);
    two.resize(60);
    EXPECT_EQ(shown(two), "");

    Bytes far = PropertySet({{2, Value(3, {1, 0, 0, 0})}});
    PutLE32(far, 44, 2000);  // section offset past the stream
    EXPECT_EQ(shown(far), "");

    // A text whose length says 0xFFFFFFFF: cut at the bytes read.
    Bytes endless = PropertySet({{2, Value(30, Counted("abc"))}, {3, Value(3, {1, 0, 0, 0})}});
    PutLE32(endless, 48 + 24 + 4, 0xFFFFFFFF);
    endless.resize(endless.size() - 1 - 8);  // no terminator, no last value
    EXPECT_EQ(shown(endless), "        Title..........................:  abc\n");

    // A vector of 10^9 texts: as many as the bytes hold.
    Bytes vector = PropertySet({{2, Value(0x101E, [] {
                                     Bytes v;
                                     PutLE32(v, 0, 1000000000);
                                     const Bytes one = Counted("x");
                                     v.insert(v.end(), one.begin(), one.end());
                                     return v;
                                 }())}});
    EXPECT_EQ(shown(vector), "        Title..........................:  1000000000 strings:\n          x\n");

    // A number or time whose bytes pass the end is left out.
    Bytes cut = PropertySet({{4, Value(3, {1, 0, 0, 0})}, {5, Value(64, {1, 2, 3, 4, 5, 6, 7, 8})}});
    cut.resize(cut.size() - 4);
    EXPECT_EQ(shown(cut), "        Author.........................:  1\n");
    // A value outside the section's own size has no type: it reads empty.
    PutLE32(cut, 48, 12);
    EXPECT_EQ(shown(cut), "        Author.........................:  (empty)\n"
                          "        Keywords.......................:  (empty)\n");
}

TEST(CompoundPropertySets, CompObjRecord) {
    Bytes record(12, 0);                                                 // version, byte order, format
    const Bytes clsid = {0x06, 0x09, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                         0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    record.insert(record.end(), clsid.begin(), clsid.end());            // class identifier at 12
    const Bytes user = Counted(std::string(70, 'U'));                    // user type: cut to 63
    record.insert(record.end(), user.begin(), user.end());
    PutLE32(record, record.size(), 0xFFFFFFFF);                          // standard clipboard format
    PutLE32(record, record.size(), 3);                                   // its number
    const Bytes prog = Counted("Word.Document.8");
    record.insert(record.end(), prog.begin(), prog.end());
    EXPECT_EQ(ReportOf(FileWithStream(u"\x01" u"CompObj", record)),
              Format("*CompObj   \t(size: %zu)\n", record.size()) +
                  "     {00020906-0000-0000-C000-000000000046}\n"
                  "     " + std::string(63, 'U') + "\n"
                  "     (standard clipboard)\n"
                  "     Word.Document.8\n");

    // A user type of 5000 bytes: the record ends, its lines stay empty.
    Bytes longer(record.begin(), record.begin() + 28);
    PutLE32(longer, 28, 5000);
    longer.resize(64);
    EXPECT_EQ(ReportOf(FileWithStream(u"\x01" u"CompObj", longer)),
              "*CompObj   \t(size: 64)\n"
              "     {00020906-0000-0000-C000-000000000046}\n"
              "     \n"
              "     \n"
              "     \n");
}

TEST(CompoundPropertySets, OutlookTexts) {
    CCompoundCraft craft;
    const std::uint32_t wide = craft.AddStream(u"__substg1.0_0037001F",
                                               Bytes{'a', 0, '\n', 0, 'b', 0, '\r', 0, 'c', 0, 0x05, 0, 0, 0, 'z', 0});
    const std::uint32_t narrow = craft.AddStream(u"__substg1.0_0E1D001E", Bytes{'h', 0, 'i', 0x0A, 0xE9});
    const std::uint32_t none = craft.AddStream(u"__substg1.0_0E1E001E", Bytes{});
    const std::uint32_t name = craft.AddStream(u"__substg1.0_001A001E", Utf8Bytes("IPM.Note.X"));
    craft.Link(0, {wide, narrow, none, name});
    const Bytes file = craft.Build();
    const std::string pad(25, ' ');
    EXPECT_EQ(ReportOf(file),
              "__substg1.0_001A001E   \t(size: 10)\n" + pad + "IPM.Note.X\n" +
                  "__substg1.0_0037001F   \t(size: 16)\n" + pad + "a\xC2\xB6" "b c*\n" +
                  "__substg1.0_0E1D001E   \t(size: 5)\n" + pad + "h i..\n" +
                  "__substg1.0_0E1E001E   \t(size: 0)\n");
    EXPECT_EQ(OutlookOf(file), "(IPM.Note.X) ");
}
