// Crafted heads for the signatures of two and three bytes: rows with value
// ranges, the byte-order-mark chains, the rows that append a title, the
// MacBinary guard, the volume probes and the checkpoint behind the group.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecognizerSupport.h"
#include "TestSupport.h"
#include "recognizer/Recognition.h"

using namespace quiddity;
using namespace std::string_view_literals;
using quiddity::test::HeadOf;
using quiddity::test::PutBE32;
using quiddity::test::PutText;
using quiddity::test::TypeOfBytes;

namespace {

// `size` bytes of filler that no signature starts with, and `text` at `at`.
std::vector<std::uint8_t> Padded(std::size_t size, std::size_t at, std::string_view text) {
    std::vector<std::uint8_t> b(size, '.');
    PutText(b, at, text);
    return b;
}

}  // namespace

TEST(TwoByteSignatures, ValueRangesAtTheirEdges) {
    const std::pair<std::string_view, std::string_view> heads[] = {
        {"DOS\x07....", "Amiga Floppy Disk image (ADF)"},
        {"DOS\x08....", "Text file"},
        {"VPI9....", "Virtual Pascal unit file"},
        {"PKG:....", "Text file"},  // the character behind 9
        {"DS\x02\x01...", "Unknown"},
        {"\xAD\x36x\0...."sv, "AMG archive"},
        {"\x81\x8A" "3....", "Unknown"},
        {"O:x\x11....", "Solitaire image recorder image"},
        {"\xFF\xFF..\x36\x01.."sv, "GEMDOS metafile"},  // version 0x136
    };
    for (const auto& [head, type] : heads) EXPECT_EQ(TypeOfBytes(head), type) << head;
}

TEST(TwoByteSignatures, ByteOrderMarks) {
    // (utf32.txt shows that a UTF-32 mark is not also a possible UTF-16 one)
    EXPECT_EQ(TypeOfBytes("\xFF\xFE\xE9\0t\0\xE9\0"sv), "Unicode Text UTF-16 little endian");  // é: 00 high bytes
    EXPECT_EQ(TypeOfBytes("\xFF\xFE\x2D\x4E\x87\x65"sv), "Possible Unicode Text UTF-16");  // CJK first
    EXPECT_EQ(TypeOfBytes("\xFE\xFF\x4E\x2D\x65\x87"sv), "Possible Unicode Text UTF-16");  // CJK first
    EXPECT_EQ(TypeOfBytes("\xFE\xFF\0H\0i"sv), "Unicode Text UTF-16 big endian ");
}

TEST(TwoByteSignatures, RowsOfTheGroupGlueInTableOrder) {
    // A Ghost image with its title at 255, FLI bytes at 4 and an HFS volume
    // signature at 1024: three rows, in the order of the table.
    std::vector<std::uint8_t> b = Padded(1100, 0, "\xFE\xEF\x01.\x11\xAF"sv);
    PutText(b, 255, "Backup\0"sv);
    PutText(b, 1024, "BD");
    EXPECT_EQ(TypeOfBytes(b), "Ghost Image (first) (Symantec/Norton) Backup" "FLI animation" "Possible HFS disc image ");
    // An SGI image whose byte counts are not 1 is "possibly" one; its name
    // is cut at 80 characters.
    b = Padded(200, 0, "\x01\xDA\x01\x02"sv);
    PutText(b, 24, std::string(90, 'n'));
    EXPECT_EQ(TypeOfBytes(b), "(possibly SGI image), title=\"" + std::string(80, 'n') + "\"");
}

TEST(TwoByteSignatures, AtariProgramsByTheirBranchWord) {
    // 60 1A, a text size of 64 KiB (so the magic table's 60 1A 00 00 does
    // not take it), data, bss and symbol sizes, then the reserved field at 18.
    std::vector<std::uint8_t> tos(64, 0);
    PutBE32(tos, 0, 0x601A0001);
    EXPECT_EQ(TypeOfBytes(tos), "Atari TOS executable");
    PutText(tos, 18, "MiNT");
    EXPECT_EQ(TypeOfBytes(tos), "Atari Mint executable");
    PutText(tos, 0, "\x1A\x60");  // the swapped order is taken as well
    EXPECT_EQ(TypeOfBytes(tos), "Atari Mint executable");
}

TEST(TwoByteSignatures, MacBinaryCodesNeedTheZeroBytes) {
    std::vector<std::uint8_t> b(128, 0);
    PutText(b, 1, "\x05hello");  // name length and name
    PutText(b, 65, "FFILDMOV");  // type and creator
    EXPECT_EQ(TypeOfBytes(b), "Truetype Font (macbinary format)");
    b[64] = 'x';  // a longer name reaching 64: not MacBinary
    EXPECT_EQ(TypeOfBytes(b), "Unknown");
    // A PFM font starts 00 01 with its copyright at 199; its zero bytes let
    // the MacBinary rows look, and they find nothing.
    std::vector<std::uint8_t> pfm(256, 0);
    PutText(pfm, 0, "\0\x01"sv);
    PutText(pfm, 199, "PostScript");
    EXPECT_EQ(TypeOfBytes(pfm), "Type 1 Font, Printer Font Metrics (PFM)");
}

TEST(TwoByteSignatures, TheMfsProbeEnds) {
    std::vector<std::uint8_t> b(1100, 0);
    PutText(b, 1024, "\xD2\xD7");
    CRecognition r = HeadOf(b);
    EXPECT_EQ(RunTwoByteSignatures(r), ETest::Ends);
    EXPECT_EQ(r.m_result, "Possible MFS disc image ");
}

TEST(TwoByteSignatures, TheCheckpointKeepsTheLastGroupAway) {
    // "7z" at the start of a text, with a BinHex banner: the group names it,
    // and neither the banner nor "Text file" is added.
    EXPECT_EQ(TypeOfBytes("7z is a program.\n(This file must be converted with BinHex 4.0)\n"), "7-Zip archive");
}
