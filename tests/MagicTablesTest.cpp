// The four-byte magic tables: real files made by real tools, and crafted
// heads for the detail readers and the lookup order.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "RecognizerSupport.h"
#include "TestSupport.h"
#include "recognizer/Ebml.h"
#include "recognizer/MagicTable.h"
#include "recognizer/Recognition.h"
#include "recognizer/Recognizer.h"

using namespace quiddity;
using quiddity::test::Fixture;
using quiddity::test::HeadOf;
using quiddity::test::ReadFixture;
using quiddity::test::TypeOfBytes;
using quiddity::test::PutBE32;
using quiddity::test::PutText;
using namespace std::string_view_literals;

namespace {

std::string TypeOfFixture(const std::string& name) {
    std::string out;
    EXPECT_TRUE(EstimateFileType(Fixture("magic/" + name), out)) << name;
    return out;
}

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// Group 4 alone on a head, as the recognizer runs it after group 3.
CRecognition RunGroup4(const std::vector<std::uint8_t>& head) {
    CRecognition r = HeadOf(head);
    RunMagicTables(r);
    return r;
}

}  // namespace

// Every cut of a real file longer than the size prologue still names its
// magic, and the detail readers see zeros where the cut file ends.
TEST(MagicTables, TruncatedFilesKeepTheirMagic) {
    for (const char* name : {"little.tiff", "video.mkv", "tune.mid"}) {
        const std::string whole = TypeOfFixture(name);
        const std::vector<std::uint8_t> bytes = ReadFixture(std::string("magic/") + name);
        ASSERT_GT(bytes.size(), 8u) << name;
        for (std::size_t cut = 5; cut <= bytes.size(); ++cut)
            EXPECT_EQ(TypeOfBytes(std::span(bytes).first(cut)), whole) << name << " cut at " << cut;
    }
    EXPECT_EQ(TypeOfBytes(Bytes("%PDF")), "(4 byte file)");  // the prologue delivers before any magic is looked up
}

TEST(MagicTables, FourBytesInFileOrder) {
    // A magic read with the wrong byte order would match these.
    EXPECT_FALSE(RunGroup4(Bytes("FDP%-1.4")).m_found);
    EXPECT_FALSE(RunGroup4(Bytes("FLE\x7F\x02")).m_found);
    EXPECT_FALSE(RunGroup4({'I', 'I', 0x00, 0x2A, 0x00}).m_found);  // a TIFF mark with its 42 the wrong way round
    EXPECT_FALSE(RunGroup4(Bytes("%PD\x00\x01"sv)).m_found);  // three bytes of a magic are not enough
    EXPECT_FALSE(RunGroup4(Bytes("mthd\x00"sv)).m_found);      // case matters
    EXPECT_EQ(RunGroup4(Bytes("MThd\x00"sv)).m_result, "MIDI file");
}

TEST(MagicTables, LookupOrder) {
    const auto detail = [](CRecognition& r) { r.m_result += "+detail"; };
    constexpr MagicRow kFirst[] = {Text("ABCD", "first-table"), Text("ABCD", "first-table again")};
    const MagicRow second[] = {Bytes('A', 'B', 'C', 'D', "second-table"),
                                Bytes(0x01, 0x02, 0x03, 0x04, "bytes", detail)};
    const auto lookUp = [&](std::string_view magic, ETest expected) {
        CRecognition r = HeadOf(magic);
        EXPECT_EQ(LookUpMagic(r, kFirst, second), expected) << magic;
        EXPECT_EQ(r.m_found, expected == ETest::Matched) << magic;
        return r.m_result;
    };
    // The first equal row of the text table, and only it.
    EXPECT_EQ(lookUp("ABCD", ETest::Matched), "first-table");
    // The detail reader runs right after the text.
    EXPECT_EQ(lookUp("\x01\x02\x03\x04", ETest::Matched), "bytes+detail");
    EXPECT_EQ(lookUp("ABCE", ETest::NoMatch), "");
}

TEST(MagicTables, MagicsAreUniqueCatchesRepeats) {
    constexpr MagicRow kText[] = {Text("ABCD", "a"), Text("EFGH", "b")};
    constexpr MagicRow kSame[] = {Bytes('E', 'F', 'G', 'H', "c")};
    constexpr MagicRow kOther[] = {Bytes('I', 'J', 'K', 'L', "d")};
    static_assert(!MagicsAreUnique(kText, kSame));
    static_assert(MagicsAreUnique(kText, kOther));
    static_assert(!MagicsAreUnique(kText, kText));
}

TEST(MagicTablesNsv, TitleQuotedByTheByteAfterTheEqualsSign) {
    std::vector<std::uint8_t> nsv = Bytes("NSVf");
    PutText(nsv, 28, "TITLE='My clip' other='x'");  // the tag at 28, then quote, title, quote
    EXPECT_EQ(TypeOfBytes(nsv), "Nullsoft Video: \"My clip\"");
    nsv[3] = 's';  // "NSVs", a stream without a file header
    PutText(nsv, 28, "TITLE=\"My clip\"");
    EXPECT_EQ(TypeOfBytes(nsv), "Nullsoft Video: \"My clip\"");
    PutText(nsv, 28, "title=");  // the tag's case matters
    EXPECT_EQ(TypeOfBytes(nsv), "Nullsoft Video");

    // Without a closing quote the title ends at a zero byte...
    PutText(nsv, 28, "TITLE=\"Unclosed");
    nsv.resize(43);
    nsv.push_back(0);
    PutText(nsv, nsv.size(), "more\"");
    EXPECT_EQ(RunGroup4(nsv).m_result, "Nullsoft Video: \"Unclosed\"");

    // ...or where the 4096 bytes read end, even when the file goes on.
    std::vector<std::uint8_t> full = Bytes("NSVf");
    full.resize(kHeadSize + 100, 'a');
    PutText(full, 28, "TITLE=\"");
    EXPECT_EQ(TypeOfBytes(full), "Nullsoft Video: \"" + std::string(kHeadSize - 35, 'a') + "\"");

    // A tag that is the last thing in the file: the quote is a zero byte.
    std::vector<std::uint8_t> bare = Bytes("NSVs");
    PutText(bare, 28, "TITLE=");
    EXPECT_EQ(TypeOfBytes(bare), "Nullsoft Video: \"\"");
}

TEST(MagicTablesVqf, NameChunkAt40WithItsLengthCapped) {
    std::vector<std::uint8_t> vqf = Bytes("TWIN97012000");  // magic and version    off 0
    PutText(vqf, 12, "COMM");                           // common chunk          off 12
    PutText(vqf, 40, "NAME");                           // name chunk            off 40
    PutBE32(vqf, 44, 4);                                // name length           off 44
    PutText(vqf, 48, "Test tones!AUTH");                // name, then the next chunk
    EXPECT_EQ(TypeOfBytes(vqf), "VQF Audio: Test");     // the length, not the next chunk, ends the name
    PutText(vqf, 48, "Te\0t"sv);                        // a zero byte ends it early
    EXPECT_EQ(TypeOfBytes(vqf), "VQF Audio: Te");
    PutText(vqf, 40, "AUTH");  // another chunk at 40: no name
    EXPECT_EQ(TypeOfBytes(vqf), "VQF Audio: ");

    PutText(vqf, 40, "NAME");
    PutBE32(vqf, 44, 1000);  // claims 1000 bytes: capped
    PutText(vqf, 48, std::string(1000, 'n'));
    EXPECT_EQ(TypeOfBytes(vqf), "VQF Audio: " + std::string(255, 'n'));
    PutBE32(vqf, 44, 0xFFFFFFFF);  // a hostile length
    EXPECT_EQ(TypeOfBytes(vqf), "VQF Audio: " + std::string(255, 'n'));
    vqf.resize(60);  // the file ends inside the name: zeros follow
    EXPECT_EQ(TypeOfBytes(vqf), "VQF Audio: " + std::string(12, 'n'));
}

namespace {

// An EBML header with a one-byte header size whose first element is the
// DocType.
std::vector<std::uint8_t> EbmlHeader(std::string_view docType) {
    std::string ebml = "\x1A\x45\xDF\xA3"  // EBML element identifier   off 0
                       "\x9F"              // header size 31, one byte  off 4
                       "\x42\x82";         // DocType identifier        off 5
    ebml += static_cast<char>(0x80 | docType.size());  // its size, one byte        off 7
    ebml += docType;                                   // the DocType               off 8
    ebml += "\x42\x87\x81\x04";                        // DocTypeVersion 4
    return Bytes(ebml);
}

}  // namespace

TEST(MagicTablesEbml, HeaderSizeDecidesWhetherToLook) {
    EXPECT_EQ(TypeOfBytes(EbmlHeader("webm")), "EBML, webm ");
    std::vector<std::uint8_t> ebml = EbmlHeader("matroska");
    EXPECT_EQ(TypeOfBytes(ebml), "EBML, matroska ");
    ebml[6] = 0x86;  // 42 86: the EBML version element comes first
    EXPECT_EQ(TypeOfBytes(ebml), "EBML");
    ebml = EbmlHeader("matroska");
    ebml[4] = 0x01;  // an eight-byte header size
    EXPECT_EQ(TypeOfBytes(ebml), "EBML");
    ebml[4] = 0xFF;  // the reserved one-byte value
    EXPECT_EQ(TypeOfBytes(ebml), "EBML");

    // A two-byte header size 40 42 puts 42 82 at offset 5 by chance; the
    // DocType does not stand there.
    std::vector<std::uint8_t> twoByte = {0x1A, 0x45, 0xDF, 0xA3, 0x40, 0x42, 0x82, 0x84};
    PutText(twoByte, 8, "webm");
    EXPECT_EQ(TypeOfBytes(twoByte), "EBML");
}

TEST(MagicTablesEbml, DocTypeSize) {
    std::vector<std::uint8_t> ebml = EbmlHeader("matroska");
    ebml[7] = 0xFF;  // an invalid size reads as the cap of 255; the zero-free text goes on
    std::vector<std::uint8_t> invalid = ebml;
    PutText(invalid, 8, std::string(300, 'm'));
    EXPECT_EQ(TypeOfBytes(invalid), "EBML, " + std::string(255, 'm') + " ");
    ebml[7] = 0x84;  // a size shorter than the text
    EXPECT_EQ(TypeOfBytes(ebml), "EBML, matr ");

    // Files that end inside the header: what was not read is zero, so the
    // DocType is cut, and a missing size byte reads as invalid (255 of nothing).
    const std::vector<std::uint8_t> whole = EbmlHeader("matroska");
    for (std::size_t cut = 5; cut <= whole.size(); ++cut) {
        const std::string type = TypeOfBytes(std::span(whole).first(cut));
        if (cut < 7) EXPECT_EQ(type, "EBML") << cut;
        else if (cut == 7) EXPECT_EQ(type, "EBML,  ");  // 42 82 and no size
        else EXPECT_EQ(type, "EBML, " + std::string("matroska").substr(0, cut - 8) + " ") << cut;
    }

    // The size may be written in two bytes (40 04); the text follows it.
    std::vector<std::uint8_t> twoByteSize = {0x1A, 0x45, 0xDF, 0xA3, 0x9F, 0x42, 0x82, 0x40, 0x04};
    PutText(twoByteSize, 9, "webm");
    EXPECT_EQ(TypeOfBytes(twoByteSize), "EBML, webm ");
}

TEST(MagicTablesEbml, ReadEbmlVintStaysInsideItsBytes) {
    const auto read = [](std::vector<std::uint8_t> bytes, std::size_t k = 0) {
        return ReadEbmlVint(CByteReader(bytes.data(), bytes.size()), k);
    };
    EXPECT_EQ(read({0x7F, 0xFF}), 0x3FFFu);  // only the one-byte 0xFF is reserved
    EXPECT_EQ(read({0x08, 0x00, 0x00, 0x00, 0x01}), kEbmlInvalid);  // five bytes
    EXPECT_EQ(read({0x10, 0x12}), 0x00120000u);  // bytes past the end read as zero
    EXPECT_EQ(read({0x81}, 1), kEbmlInvalid);
    EXPECT_EQ(read({0x81}, SIZE_MAX), kEbmlInvalid);
}
