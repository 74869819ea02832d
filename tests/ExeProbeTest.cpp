#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "executable/ExeProbe.h"

using namespace quiddity;
using quiddity::test::CTempDir;
using quiddity::test::PutLE16;
using quiddity::test::PutLE32;
using quiddity::test::PutText;

namespace {

// A DOS header with e_lfanew = 0x80 and `signature` there, padded to 0x200.
std::vector<std::uint8_t> MzWithNewHeader(std::string_view signature) {
    std::vector<std::uint8_t> b(0x200, 0);
    PutText(b, 0, "MZ");      // e_magic
    PutLE32(b, 0x3C, 0x80);   // e_lfanew
    PutText(b, 0x80, signature);
    return b;
}

// A PE32 file: "PE\0\0", COFF header, optional header with the given
// subsystem and subsystem version.
std::vector<std::uint8_t> Pe(std::uint16_t subsystem, std::uint16_t major, std::uint16_t minor) {
    std::vector<std::uint8_t> b = MzWithNewHeader(std::string_view("PE\0\0", 4));
    PutLE16(b, 0x80 + 4, 0x14C);          // Machine: i386
    PutLE16(b, 0x80 + 20, 224);           // SizeOfOptionalHeader
    PutLE16(b, 0x80 + 24, 0x10B);         // Magic: PE32
    PutLE16(b, 0x80 + 24 + 48, major);    // MajorSubsystemVersion
    PutLE16(b, 0x80 + 24 + 50, minor);    // MinorSubsystemVersion
    PutLE16(b, 0x80 + 24 + 68, subsystem);
    return b;
}

}  // namespace

TEST(ExeProbe, KindCodes) {
    CTempDir dir;
    const struct {
        std::string_view signature;
        std::int32_t kind;
    } cases[] = {{"NE", kKindNe}, {"LE", kKindLe}, {"LX", kKindLx}, {"CE", kKindCe}, {"W3", kKindW3},
                 {"DL", kKindDl}, {"MP", kKindMp}, {"P2", kKindP2}, {"P3", kKindP3}, {"\x34\x12", kKindOther}};
    for (const auto& c : cases) {
        const ExeProbeResult probe = ExeTypeProbe(dir.Write("k.exe", MzWithNewHeader(c.signature)));
        EXPECT_TRUE(probe.isMZ) << c.signature;
        EXPECT_FALSE(probe.isPE) << c.signature;
        EXPECT_EQ(probe.kind, c.kind) << c.signature;
    }
    const ExeProbeResult odd = ExeTypeProbe(dir.Write("odd.exe", MzWithNewHeader("\x34\x12")));
    EXPECT_EQ(odd.NewHeaderSignature() & 0xFFFF, 0x1234u);

    const ExeProbeResult pe = ExeTypeProbe(dir.Write("pe.exe", Pe(2, 4, 0)));
    EXPECT_TRUE(pe.isPE);
    EXPECT_EQ(pe.kind, kKindNone);
    EXPECT_EQ(pe.ntHeaders[4], 0x4C);  // the whole NT headers were read
}

TEST(ExeProbe, FailedStepsLeaveTheRecordZeroed) {
    CTempDir dir;
    ExeProbeResult probe = ExeTypeProbe(dir.Path("missing.exe"));
    EXPECT_NE(probe.error, 0u);
    EXPECT_FALSE(probe.isMZ);

    probe = ExeTypeProbe(dir.Write("short.exe", "MZ short"));  // fewer than 64 bytes
    EXPECT_FALSE(probe.isMZ);

    std::vector<std::uint8_t> dos(64, 0);
    PutText(dos, 0, "MZ");
    probe = ExeTypeProbe(dir.Write("dos.exe", dos));  // e_lfanew 0
    EXPECT_TRUE(probe.isMZ);
    EXPECT_EQ(probe.kind, kKindNone);

    PutLE32(dos, 0x3C, 0x7FFFFFF0);  // points far past the end
    probe = ExeTypeProbe(dir.Write("far.exe", dos));
    EXPECT_TRUE(probe.isMZ);
    EXPECT_EQ(probe.kind, kKindNone);
}

TEST(ExeProbe, ExeTypeValue) {
    CTempDir dir;
    EXPECT_EQ(QueryExeType(ExeTypeProbe(dir.Write("con.exe", Pe(3, 6, 0)))), 0x00004550u);  // console: high word 0
    EXPECT_EQ(QueryExeType(ExeTypeProbe(dir.Write("gui.exe", Pe(2, 4, 10)))), 0x040A4550u);
    std::vector<std::uint8_t> ne = MzWithNewHeader("NE");
    PutLE16(ne, 0x80 + 0x3E, 0x030A);  // expects Windows 3.10
    EXPECT_EQ(QueryExeType(ExeTypeProbe(dir.Write("win16.exe", ne))), 0x030A454Eu);
    std::vector<std::uint8_t> dos(100, 0);
    PutText(dos, 0, "MZ");
    EXPECT_EQ(QueryExeType(ExeTypeProbe(dir.Write("dos.exe", dos))), 0x5A4Du);
    EXPECT_EQ(QueryExeType(ExeTypeProbe(dir.Write("vxd.386", MzWithNewHeader("LE")))), 0u);
    EXPECT_EQ(QueryExeType(ExeTypeProbe(dir.Write("text.txt", "just text, no executable here"))), 0u);
}
