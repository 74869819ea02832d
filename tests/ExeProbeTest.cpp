#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "executable/ExeProbe.h"

using namespace quiddity;
using namespace quiddity::test;

namespace {

// A DOS header with e_lfanew = 0x80 and `signature` there, padded to 0x200.
std::vector<std::uint8_t> MzWithNewHeader(std::string_view signature) {
    std::vector<std::uint8_t> b(0x200, 0);
    PutText(b, 0, "MZ");     // e_magic
    PutLE32(b, 0x3C, 0x80);  // e_lfanew
    PutText(b, 0x80, signature);
    return b;
}

// A PE32 i386 file with the given subsystem and subsystem version.
std::vector<std::uint8_t> Pe(std::uint16_t subsystem, std::uint16_t major, std::uint16_t minor) {
    std::vector<std::uint8_t> b = MzWithNewHeader(std::string_view("PE\0\0", 4));
    PutLE16(b, 0x80 + 4, 0x14C);        // Machine
    PutLE16(b, 0x80 + 20, 224);         // SizeOfOptionalHeader
    PutLE16(b, 0x80 + 24, 0x10B);       // Magic: PE32
    PutLE16(b, 0x80 + 24 + 48, major);  // MajorSubsystemVersion
    PutLE16(b, 0x80 + 24 + 50, minor);  // MinorSubsystemVersion
    PutLE16(b, 0x80 + 24 + 68, subsystem);
    return b;
}

}  // namespace

TEST(ExeProbe, KindsAndFailedSteps) {
    CTempDir dir;
    ExeProbeResult probe = ExeTypeProbe(dir.Write("lx.exe", MzWithNewHeader("LX")));
    EXPECT_TRUE(probe.isMZ && !probe.isPE);
    EXPECT_EQ(probe.kind, kKindLx);
    probe = ExeTypeProbe(dir.Write("pe.exe", Pe(2, 4, 0)));
    EXPECT_TRUE(probe.isPE);
    EXPECT_EQ(probe.kind, kKindNone);
    EXPECT_EQ(probe.ntHeaders[4], 0x4C);  // the whole NT headers were read

    probe = ExeTypeProbe(dir.Path("missing.exe"));
    EXPECT_NE(probe.error, 0u);
    EXPECT_FALSE(probe.isMZ);
    EXPECT_FALSE(ExeTypeProbe(dir.Write("short.exe", "MZ short")).isMZ);  // fewer than 64 bytes
    std::vector<std::uint8_t> dos(64, 0);
    PutText(dos, 0, "MZ");
    PutLE32(dos, 0x3C, 0x7FFFFFF0);  // e_lfanew far past the end
    probe = ExeTypeProbe(dir.Write("far.exe", dos));
    EXPECT_TRUE(probe.isMZ);
    EXPECT_EQ(probe.kind, kKindNone);
}

TEST(ExeProbe, ExeTypeValue) {
    CTempDir dir;
    EXPECT_EQ(QueryExeType(ExeTypeProbe(dir.Write("con.exe", Pe(3, 6, 0)))), 0x00004550u);  // console: no version
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
