// NE, LE and LX files: a real NE font from Wine, and headers built byte by
// byte for what no Debian tool makes (16-bit programs, VxDs, OS/2 programs).
#include <gtest/gtest.h>

#include "ExeCraft.h"

using namespace quiddity;
using namespace quiddity::test;

namespace {

constexpr std::size_t kNe = 0x40;  // e_lfanew

// A 16-bit Windows program: the NE header, a resource table holding one
// version resource, and an imported-names table.
std::vector<std::uint8_t> CraftNe(const std::vector<std::string>& importedNames) {
    std::vector<std::uint8_t> b = CraftMz(1, 0, kNe, 0x400);
    PutText(b, kNe + 0x00, "NE");        // signature
    b[kNe + 0x02] = 5;                   // linker major version
    b[kNe + 0x03] = 0xF6;                // linker minor version: -10 as a signed byte
    PutLE16(b, kNe + 0x04, 0x00E0);      // entry table
    PutLE16(b, kNe + 0x0C, 0x0302);      // module flags: app, Windows/PM app
    PutLE16(b, kNe + 0x22, 0x0040);      // segment table
    PutLE16(b, kNe + 0x24, 0x0040);      // resource table
    PutLE16(b, kNe + 0x26, 0x0060);      // resident name table
    PutLE16(b, kNe + 0x28, 0x0070);      // module reference table
    PutLE16(b, kNe + 0x2A, 0x0080);      // imported-names table
    PutLE32(b, kNe + 0x2C, 0x00000300);  // non-resident name table, from the file's start
    b[kNe + 0x36] = 2;                   // target system: Windows
    b[kNe + 0x37] = 0x06;                // further flags: protected mode, proportional fonts
    b[kNe + 0x3E] = 10;                  // expected Windows version, minor
    b[kNe + 0x3F] = 3;                   //   and major
    // Resource table at kNe + 0x40.
    const std::size_t table = kNe + 0x40;
    PutLE16(b, table + 0, 4);            // alignment shift: units of 16 bytes
    PutLE16(b, table + 2, 0x8010);       // type: version
    PutLE16(b, table + 4, 1);            //   resources of it
    PutLE16(b, table + 10, 0x0020);      //   first: offset 0x20 << 4 = 0x200
    PutLE16(b, table + 12, 0x0010);      //          length 0x10 << 4 = 0x100
    PutLE16(b, table + 16, 0x8001);      //          ID 1
    PutLE16(b, table + 22, 0);           // end of the types
    // Imported names at kNe + 0x80: an empty first entry, then length and characters.
    std::size_t at = kNe + 0x80 + 1;
    for (const std::string& name : importedNames) {
        b[at] = static_cast<std::uint8_t>(name.size());
        PutText(b, at + 1, name);
        at += name.size() + 1;
    }
    // The version resource, in 8-bit text: Windows-1252 characters.
    CraftVersionNode product{"ProductName", {'C', 'a', 'f', 0xE9, ' ', 0x80, 0}, 7, false, {}};
    const std::vector<std::uint8_t> version =
        CraftVersionBlock(CraftVersionTree("040904E4", {product}, {0x09, 0x04, 0xE4, 0x04}), false);
    PutText(b, 0x200, std::string_view(reinterpret_cast<const char*>(version.data()), version.size()));
    return b;
}

// An LE or LX header at 0x40 with the given CPU and system.
std::vector<std::uint8_t> CraftLinear(std::string_view signature, std::uint16_t cpu, std::uint16_t system) {
    std::vector<std::uint8_t> b = CraftMz(1, 0, kNe, 0x200);
    PutText(b, kNe + 0x00, signature);   // signature
    PutLE32(b, kNe + 0x04, 0x00010002);  // format level
    PutLE16(b, kNe + 0x08, cpu);         // CPU type
    PutLE16(b, kNe + 0x0A, system);      // target system
    PutLE32(b, kNe + 0x0C, 0x00030A00);  // module version
    PutLE16(b, kNe + 0xC0, 0x0027);      // VxD device ID
    PutLE16(b, kNe + 0xC2, 0x030A);      // VxD DDK version
    return b;
}

}  // namespace

TEST(ExeNewExecutables, NeProgramWithRuntimesAndVersion) {
    const ExeAnalysis exe = Report(CraftNe({"VBRUN300", "bwcc", "BC450RTL", "Esc\x1B[m", "THUNK"}));
    EXPECT_EQ(exe.detailsText,
              "MZ, NE, Win 2.x (Win 3.x protected mode), Win 2.x (w/proportional fonts)\r\n"
              "OS: Windows\r\n"
              "\r\nWindows version: 3.10\r\n"
              "app\r\n"
              "Windows/PM app\r\n"
              "\r\nLinker version: 5.-10\r\n"
              "Offset to entry table: 00E0\r\n"
              "Offset to segment table: 0040\r\n"
              "Offset to resource table: 0040\r\n"
              "Offset to resident name table: 0060\r\n"
              "Offset to module ref. table: 0070\r\n"
              "Offset to imported name table: 0080\r\n"
              "Offset to non-resident name table: 0300\r\n"
              "   VBRUN300\r\n"
              "   bwcc\r\n"
              "   BC450RTL\r\n"
              "   Esc.[m\r\n"
              "   THUNK\r\n");
    EXPECT_EQ(exe.clueText, "Visual Basic 3.0 application\r\nBorland C/C++ 4.5 application\r\n");
    EXPECT_EQ(exe.versionText, "Caf\u00E9 \u20AC\r\n");
}

TEST(ExeNewExecutables, NeNamesWalkStopsWhereTheTableDoes) {
    // A name whose first character is no printable ASCII ends the walk.
    std::string d = Analyze(CraftNe({"bwcc", "\x01next", "after"})).detailsText;
    EXPECT_TRUE(d.ends_with("0300\r\n   bwcc\r\n")) << d;
    EXPECT_EQ(Report(CraftNe({"bwcc"})).clueText, "Borland C/C++ application\r\n");

    // A name that runs past the end of the file is not listed.
    std::vector<std::uint8_t> b = CraftNe({});
    PutLE16(b, kNe + 0x2A, 0x03B0);  // imported names at 0x3F0, 16 bytes before the end
    PutText(b, 0x3F0, std::string_view("\0\x04" "bwcc" "\x0A" "abcdefghi", 16));  // 10 characters claimed, 9 left
    d = Analyze(b).detailsText;
    EXPECT_TRUE(d.ends_with("0300\r\n   bwcc\r\n")) << d;

    // The table is read 1,024 bytes far: of four names of 255 characters
    // the fourth would end one byte beyond.
    b = CraftNe({});
    PutLE16(b, kNe + 0x2A, 0x03C0);  // imported names at 0x400, after everything else
    for (std::size_t name = 0; name < 4; ++name) {
        b.resize(0x400 + 1 + 256 * name + 1);
        b.back() = 255;                                            // length
        PutText(b, b.size(), std::string(255, 'a' + name));  // characters
    }
    d = Analyze(b).detailsText;
    EXPECT_EQ(Count(d, "\r\n   "), 3u);
    EXPECT_NE(d.find("   " + std::string(255, 'c') + "\r\n"), std::string::npos);

    // No flags at all: the first line keeps no comma; the flags line is empty.
    b = CraftNe({});
    b[kNe + 0x37] = 0;     // further flags
    PutLE16(b, kNe + 0x0C, 0x8001);  // module flags: dll, lib; application type 0
    b[kNe + 0x36] = 0x42;  // an unknown system
    d = Analyze(b).detailsText;
    EXPECT_EQ(d.rfind("MZ, NE\r\nOS: Unknown (42)\r\n\r\nWindows version: 3.10\r\ndll, lib\r\n\r\nLinker", 0), 0u) << d;
}

TEST(ExeNewExecutables, NeVersionResourceFoundOrNot) {
    std::vector<std::uint8_t> b = CraftNe({});
    PutLE16(b, kNe + 0x40, 17);  // an alignment shift past 4 GiB
    EXPECT_EQ(Report(b).versionText, "");
    b = CraftNe({});
    PutLE16(b, kNe + 0x40 + 2, 0x8006);  // a string table, not a version
    EXPECT_EQ(Report(b).versionText, "");
    b = CraftNe({});
    PutLE16(b, kNe + 0x26, 0x0040);  // resident names where the resources would be: none
    EXPECT_EQ(Report(b).versionText, "");
}

TEST(ExeNewExecutables, LinearExecutables) {
    EXPECT_EQ(Analyze(CraftLinear("LE", 2, 4)).detailsText,
              "MZ, LE (VXD)\r\nCPU: Intel 80386\r\nOS: Win386 (32-bit)\r\n"
              "Module version: 30A00\r\nDevice ID: 0027\r\nDDK version: 030A\r\n");
    EXPECT_EQ(Analyze(CraftLinear("LE", 0x99, 9)).detailsText.substr(0, 35), "MZ, LE (VXD)\r\nCPU: 0099\r\nOS: 0009\r\n");
    EXPECT_EQ(Analyze(CraftLinear("LX", 2, 9)).detailsText,
              "MZ, LX (Linear exe)\r\nFormat version: 00010002\r\nCPU: Intel 80386\r\nOS: (9)\r\n");
    EXPECT_EQ(Analyze(CraftLinear("LX", 0x99, 1)).detailsText,
              "MZ, LX (Linear exe)\r\nFormat version: 00010002\r\nCPU: (153)\r\nOS: OS/2\r\n");
}

TEST(ExeNewExecutables, WineFontIsAnNeLibrary) {
    // What file(1) and the bytes say of it: a Windows 3.x NE library with
    // no imported names and no version resource.
    const ExeAnalysis exe = Report(ReadFixture("ne/smalle.fon"));
    EXPECT_EQ(exe.detailsText.rfind("MZ, NE\r\nOS: Windows\r\n\r\nWindows version: 4.0\r\nlib\r\nWindows/PM app\r\n", 0), 0u)
        << exe.detailsText;
    EXPECT_TRUE(exe.detailsText.ends_with("Offset to non-resident name table: 010B\r\n"));
    EXPECT_EQ(exe.versionText, "");
    int status = -1;
    const std::string file = RunCommand("file -b '" + Fixture("ne/smalle.fon") + "'", &status);
    if (status == 0) {
        EXPECT_NE(file.find("NE for MS Windows 3.x (4.0)"), std::string::npos) << file;
    }
}
