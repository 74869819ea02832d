// The type probe reads the new header by path; its value packs signature and version.
#include <gtest/gtest.h>

#include "ExeCraft.h"
#include "executable/ExeProbe.h"

using namespace quiddity;
using namespace quiddity::test;

namespace {

std::vector<std::uint8_t> MzWithNewHeader(std::string_view signature) {
    std::vector<std::uint8_t> b = CraftMz(0, 0, 0x80, 0x200);
    PutText(b, 0x80, signature);
    return b;
}

std::vector<std::uint8_t> PeWithSubsystem(std::uint16_t subsystem, std::uint16_t major, std::uint16_t minor) {
    std::vector<std::uint8_t> b = CraftPe({}, 0x200);
    PutLE16(b, kCraftOpt + 48, major);  // MajorSubsystemVersion
    PutLE16(b, kCraftOpt + 50, minor);  // MinorSubsystemVersion
    PutLE16(b, kCraftOpt + 68, subsystem);
    return b;
}

ExeProbeResult Probe(const std::vector<std::uint8_t>& bytes) { return ExeTypeProbe(CMemoryByteSource(bytes)); }

}  // namespace

TEST(ExeProbe, KindsAndFailedSteps) {
    ExeProbeResult probe = Probe(MzWithNewHeader("LX"));
    EXPECT_TRUE(probe.isMZ && !probe.isPE);
    EXPECT_EQ(probe.kind, EExeKind::Lx);
    EXPECT_EQ(probe.lxHeader[1], 'X');  // the header of its kind, and no other, was read
    EXPECT_EQ(probe.leHeader[1], 0);
    probe = Probe(MzWithNewHeader("LE"));
    EXPECT_EQ(probe.leHeader[1], 'E');
    EXPECT_EQ(probe.lxHeader[1], 0);
    probe = Probe(CraftPe({}, 0x200));
    EXPECT_TRUE(probe.isPE);
    EXPECT_EQ(probe.kind, EExeKind::None);
    EXPECT_EQ(probe.ntHeaders[4], 0x4C);  // the whole NT headers were read

    EXPECT_FALSE(Probe(std::vector<std::uint8_t>{'M', 'Z'}).isMZ);  // fewer than 64 bytes
    probe = Probe(CraftMz(0, 0, 0x7FFFFFF0, 64));  // e_lfanew far past the end
    EXPECT_TRUE(probe.isMZ);
    EXPECT_EQ(probe.kind, EExeKind::None);
}

TEST(ExeProbe, ExeTypeValue) {
    EXPECT_EQ(QueryExeType(Probe(PeWithSubsystem(3, 6, 0))), 0x00004550u);  // no version
    EXPECT_EQ(QueryExeType(Probe(PeWithSubsystem(2, 4, 10))), 0x040A4550u);
    std::vector<std::uint8_t> ne = MzWithNewHeader("NE");
    PutLE16(ne, 0x80 + 0x3E, 0x030A);  // expects Windows 3.10
    EXPECT_EQ(QueryExeType(Probe(ne)), 0x030A454Eu);
    EXPECT_EQ(QueryExeType(Probe(CraftMz(0, 0, 0, 100))), 0x5A4Du);
    EXPECT_EQ(QueryExeType(Probe(MzWithNewHeader("LE"))), 0u);
    EXPECT_EQ(QueryExeType(Probe(std::vector<std::uint8_t>(40, 't'))), 0u);
}
