#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecognizerSupport.h"
#include "TestSupport.h"
#include "recognizer/Recognition.h"
#include "recognizer/Recognizer.h"

using namespace quiddity;
using quiddity::test::CTempDir;
using quiddity::test::TypeOfBytes;

namespace {

}  // namespace

TEST(RecognizerFrame, SizePrologue) {
    EXPECT_EQ(TypeOfBytes(""), "(empty file)");
    EXPECT_EQ(TypeOfBytes("\x01\x02\x03"), "(3 byte file)");
    EXPECT_EQ(TypeOfBytes("abcd"), "(4 byte file)");
    EXPECT_EQ(TypeOfBytes("abcde"), "Text file");
}

TEST(RecognizerFrame, MzPrologueWantsMoreThan64Bytes) {
    std::vector<std::uint8_t> exe(64, 0);
    test::PutText(exe, 0, "MZ");
    EXPECT_NE(TypeOfBytes(exe).rfind("Executable file", 0), 0u);

    exe.resize(0x90, 0);
    test::PutLE32(exe, 60, 0x80);
    test::PutText(exe, 0x80, std::string_view("PE\0\0", 4));
    EXPECT_EQ(TypeOfBytes(exe), "Executable file PE");

    test::PutLE32(exe, 60, 0x8F);  // e < n - 1 fails: no letters
    EXPECT_EQ(TypeOfBytes(exe), "Executable file ");
    test::PutLE32(exe, 60, 0x8E);  // the last two bytes are zero: the text stops at once
    EXPECT_EQ(TypeOfBytes(exe), "Executable file ");
    test::PutLE32(exe, 60, 0xFFFFFFFF);  // a hostile offset reads nothing
    EXPECT_EQ(TypeOfBytes(exe), "Executable file ");
}

TEST(RecognizerFrame, FallBack) {
    EXPECT_EQ(TypeOfBytes("hello, world\n"), "Text file");
    EXPECT_EQ(TypeOfBytes("tab\there\x80"), "Text file");  // 0x80 counts as text
    EXPECT_EQ(TypeOfBytes("bad \x81 byte"), "Unknown");
    EXPECT_EQ(TypeOfBytes("low \x02 byte"), "Unknown");
    EXPECT_EQ(TypeOfBytes("x\x01\x9C\xED\xC1"), "Possible UDIF disc image (dmg)");
}

TEST(RecognizerFrame, TextScanSeesEveryByte) {
    // One binary byte anywhere (inside a block, in the last block, in a
    // short remainder) makes the head binary.
    for (const std::size_t size : {std::size_t{5}, std::size_t{63}, std::size_t{64}, std::size_t{65}, std::size_t{200}, kHeadSize}) {
        for (const std::size_t at : {std::size_t{1}, size / 2, size - 1}) {
            std::vector<std::uint8_t> bytes(size, 'a');
            bytes[at] = 0x81;
            EXPECT_EQ(TypeOfBytes(bytes), "Unknown") << size << " " << at;
            bytes[at] = 0x80;
            EXPECT_EQ(TypeOfBytes(bytes), "Text file") << size << " " << at;
            bytes[at] = 0x02;
            EXPECT_EQ(TypeOfBytes(bytes), "Unknown") << size << " " << at;
        }
    }
}

TEST(RecognizerFrame, OnlyTheFirst4096BytesAreJudged) {
    std::string text(kHeadSize, 'a');
    text += "\x01\x01\x01\x01";
    EXPECT_EQ(TypeOfBytes(text), "Text file");
}

TEST(RecognizerFrame, HeadReadsZeroPastWhatWasRead) {
    CRecognition r = test::HeadOf("abc");
    EXPECT_EQ(r.byte(3), 0);
    EXPECT_EQ(r.byte(kHeadSize), 0);       // the terminator
    EXPECT_EQ(r.byte(kHeadSize + 1), 0);   // outside the buffer: still zero
    EXPECT_EQ(r.u32le(kHeadSize - 1), 0u);  // a field that would leave the buffer
    EXPECT_EQ(r.be32(SIZE_MAX - 1), 0u);
    EXPECT_FALSE(r.At(kHeadSize, "ab"));
    EXPECT_EQ(r.TailFromEnd(1), 0);  // empty tail
}

TEST(RecognizerFrame, OutIsAlwaysOverwritten) {
    CTempDir dir;
    std::string out = "previous";
    EXPECT_FALSE(EstimateFileType(dir.Path("missing"), out));
    EXPECT_EQ(out, "(couldn't open the file)");
    out = "previous";
    EXPECT_FALSE(EstimateFileType(dir.Folder(), out));  // a folder is not opened
    EXPECT_EQ(out, "(couldn't open the file)");
}
