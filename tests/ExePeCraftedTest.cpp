// PE files built byte by byte: header lines, sections, the rest, the
// directories, and hostile values that must neither crash nor hang.
#include <gtest/gtest.h>

#include <chrono>

#include "ExeCraft.h"

using namespace quiddity;
using namespace quiddity::test;
using namespace std::string_view_literals;

namespace {

std::size_t Count(const std::string& text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// The line of the details text that starts with `prefix`, without its end.
std::string LineStarting(const std::string& text, std::string_view prefix) {
    const std::size_t at = text.find(std::string("\n") + std::string(prefix));
    if (at == std::string::npos) return "(none)";
    const std::size_t end = text.find_first_of("\r\n", at + 1);
    return text.substr(at + 1, end - at - 1);
}

}  // namespace

TEST(ExePeCrafted, HeaderSectionsAndClosingBlock) {
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    PutLE32(b, kCraftCoff + 12, 7);  // NumberOfSymbols
    const ExeAnalysis exe = Analyze(b);
    EXPECT_EQ(exe.detailsText,
              "MZ, PE00, Intel 32-bit (i386), 32-bit, Windows Console\r\n"
              "Executable\r\n"
              "Creation date...: Sun Sep 13 12:26:40 2020\r\n"
              "Entrypoint......: 00001000\r\n"
              "     Starts with: 000000000000000000000000000000000000000000000000\n"
              "Linker version..: 6.1\r\n"
              "Sections........: 2\r\n"
              "           size:    from:    to:\n"
              "  Headers: 00000200 00000000 000001FF\r\n"
              "  Section: 00000200 00000200 000003FF .text (code,exe,read)\r\n"
              "  Section: 00000400 00000400 000007FF .rsrc (read,initd)\r\n"
              " Resource dir...: 00000000\n"
              " Exception......: 00000000\r\n"
              " Security.......: 00000000\r\n"
              " BaseReloc......: 00000000\r\n"
              " Debug..........: 00000000\r\n"
              " Arch./Copyright: 00000000\r\n"
              " Global Pointers: 00000000\r\n"
              " TLS directory..: 00000000\r\n"
              " Load config....: 00000000\r\n"
              " Bound imports..: 00000000\r\n"
              " IAT............: 00000000\r\n"
              " Delay import...: 00000000\r\n"
              " COM Descriptor.: 00000000\r\n"
              " Unused.........: 00000000\r\n"
              "RVA Entry point.: 00001000\r\n"
              "RVA Base of code: 00001000\r\n"
              "Image base......: 00400000\r\n"
              "Size of image...: 00004000\r\n"
              "File allignment.: 00000200\r\n"
              "RVA Entries.....: 16\r\n"
              "COFF symbols....: 7\r\n");
    EXPECT_FALSE(exe.is64);
}

TEST(ExePeCrafted, MachineSubsystemFlagsAndKinds) {
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    PutLE16(b, kCraftCoff + 0, 0x1234);  // Machine: unknown
    PutLE16(b, kCraftOpt + 68, 4);       // Subsystem 4 has no name
    PutLE16(b, kCraftCoff + 18, 0x3002); // executable, system file, DLL
    PutLE16(b, kCraftOpt + 70, 0x2000);  // DllCharacteristics: WDM driver
    std::string details = Analyze(b).detailsText;
    EXPECT_EQ(details.rfind("MZ, PE00, Unknown cpu (1234), 32-bit, Subsystem Unknown\r\n"
                            "Executable, System file, DLL, WDM driver\r\n",
                            0),
              0u)
        << details;

    PutLE16(b, kCraftCoff + 18, 0);  // no file flags: no flags line
    PutLE16(b, kCraftOpt + 70, 0);
    PutLE16(b, kCraftOpt + 0, 0x999);  // unknown optional-header kind: read as PE32
    details = Analyze(b).detailsText;
    EXPECT_EQ(details.rfind("MZ, PE00, Unknown cpu (1234), Subsystem Unknown\r\nCreation date", 0), 0u)
        << details;
    EXPECT_NE(details.find("  Section: "), std::string::npos);

    PutLE16(b, kCraftOpt + 0, 0x107);  // ROM image: one line and nothing more
    EXPECT_EQ(Analyze(b).detailsText, "MZ, PE00, Unknown cpu (1234), ROM image\r\n");
}

TEST(ExePeCrafted, Pe32PlusEndsAfterTheHeadersLine) {
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    PutLE16(b, kCraftCoff + 0, 0x8664);  // Machine: x64
    PutLE16(b, kCraftCoff + 16, 240);    // SizeOfOptionalHeader of PE32+
    PutLE16(b, kCraftOpt + 0, 0x20B);    // Magic: PE32+
    // The section table moves 16 bytes on, after the larger optional header.
    std::vector<std::uint8_t> moved(b.begin() + kCraftSections, b.begin() + kCraftSections + 80);
    for (std::size_t i = 0; i < moved.size(); ++i) b[kCraftSections + 16 + i] = moved[i];
    b[0x200] = 0xC3;  // ret, at the entry point
    const ExeAnalysis exe = Analyze(b);
    EXPECT_TRUE(exe.is64);
    const std::string& d = exe.detailsText;
    EXPECT_EQ(d.rfind("MZ, PE00, AMD 64 (K8) 'x64', 64-bit, Windows Console\r\n", 0), 0u) << d;
    EXPECT_EQ(LineStarting(d, "     Starts with"), "     Starts with: C30000000000000000000000000000000000000000000000");
    const std::string tail = "  Headers: 00000200 00000000 000001FF\r\n";
    ASSERT_GE(d.size(), tail.size());
    EXPECT_EQ(d.substr(d.size() - tail.size()), tail);
}

TEST(ExePeCrafted, SectionTableFollowsTheOptionalHeaderWhateverItsSize) {
    // A PE32 file whose optional header is 0x20 bytes longer than usual.
    std::vector<std::uint8_t> b = CraftPe({}, 0x800);
    PutLE16(b, kCraftCoff + 2, 1);       // NumberOfSections
    PutLE16(b, kCraftCoff + 16, 224 + 0x20);
    PutText(b, kCraftSections, "GARBAGE!");  // where a fixed offset would look
    PutText(b, kCraftSections + 0x20, ".text");             // Name
    PutLE32(b, kCraftSections + 0x20 + 12, 0x1000);         // VirtualAddress
    PutLE32(b, kCraftSections + 0x20 + 16, 0x600);          // SizeOfRawData
    PutLE32(b, kCraftSections + 0x20 + 20, 0x200);          // PointerToRawData
    const std::string d = Analyze(b).detailsText;
    EXPECT_EQ(LineStarting(d, "  Section"), "  Section: 00000600 00000200 000007FF .text ()");
    EXPECT_EQ(d.find("GARBAGE"), std::string::npos);
}

TEST(ExePeCrafted, SectionTableRunningPastTheEnd) {
    // Claims 40 sections; the file ends inside the second header.
    std::vector<std::uint8_t> b = CraftPe({{".one", 0x1000, 0x10, 0x100, 0}, {".two", 0x2000, 0x10, 0x110, 0}},
                                          kCraftSections + 40 + 20);
    PutLE16(b, kCraftCoff + 2, 40);
    const std::string d = Analyze(b).detailsText;
    EXPECT_NE(d.find("Sections........: 40\r\n"), std::string::npos);
    EXPECT_EQ(Count(d, "  Section: "), 1u);
    EXPECT_NE(d.find(".one"), std::string::npos);

    // The largest count, with a table that is all there.
    std::vector<std::uint8_t> full = CraftPe({}, kCraftSections + 65535 * 40);
    PutLE16(full, kCraftCoff + 2, 65535);
    EXPECT_EQ(Count(Analyze(full).detailsText, "  Section: "), 65535u);
}

TEST(ExePeCrafted, DirectoriesPastTheDeclaredCountAreEmpty) {
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    SetDirectory(b, 5, 0x1010, 0x30);   // BaseReloc inside .text
    SetDirectory(b, 9, 0x1100, 0x18);   // TLS, beyond the declared count below
    std::string d = Analyze(b).detailsText;
    EXPECT_EQ(LineStarting(d, " BaseReloc"), " BaseReloc......: 00000030  00000210 - 0000023F");
    EXPECT_EQ(LineStarting(d, " TLS"), " TLS directory..: 00000018  00000300 - 00000317");

    PutLE32(b, kCraftOpt + 92, 6);  // NumberOfRvaAndSizes: six directories only
    d = Analyze(b).detailsText;
    EXPECT_EQ(LineStarting(d, " BaseReloc"), " BaseReloc......: 00000030  00000210 - 0000023F");
    EXPECT_EQ(LineStarting(d, " TLS"), " TLS directory..: 00000000");
    EXPECT_NE(d.find("RVA Entries.....: 6\r\n"), std::string::npos);

    SetDirectory(b, 5, 0x9000, 0x30);  // an RVA that no section holds
    EXPECT_EQ(LineStarting(Analyze(b).detailsText, " BaseReloc"), " BaseReloc......: 00000030  FFFFFFFF - 0000002E");
}

TEST(ExePeCrafted, EntryPointCode) {
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    PutText(b, 0x200, "\xE8\x00\x00\x00\x00\x5B\x83\xEB"sv);  // call $+5; pop ebx; sub ebx, ...
    ExeAnalysis exe = Analyze(b);
    EXPECT_EQ(exe.clueText, "PE-CRYPT (?)\n");
    EXPECT_EQ(LineStarting(exe.detailsText, "     Starts"), "     Starts with: E8000000005B83EB00000000000000000000000000000000");

    // Near the end of the file only the bytes there are shown, and a
    // pattern longer than they are does not match.
    PutLE32(b, kCraftOpt + 16, 0x23FB);  // AddressOfEntryPoint: 5 bytes before the end
    PutText(b, 0x7FB, "\x64\xA1\x00\x00\x00"sv);  // the first 5 bytes of the VC++ 4.2 start
    exe = Analyze(b);
    EXPECT_EQ(LineStarting(exe.detailsText, "     Starts"), "     Starts with: 64A1000000");
    EXPECT_TRUE(exe.clueText.empty());

    PutLE32(b, kCraftOpt + 16, 0x8000);  // no section holds it: nothing read
    exe = Analyze(b);
    EXPECT_EQ(LineStarting(exe.detailsText, "     Starts"), "     Starts with: ");
    EXPECT_NE(exe.detailsText.find("Entrypoint......: 00008000\r\n     Starts with: \nLinker"), std::string::npos);
}

TEST(ExePeCrafted, CreationDateCoversTheWholeStampRange) {
    // Tests run with TZ=UTC.
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    const struct {
        std::uint32_t stamp;
        const char* line;
    } cases[] = {
        {0, "Creation date...: Thu Jan  1 00:00:00 1970"},
        {0x7FFFFFFF, "Creation date...: Tue Jan 19 03:14:07 2038"},
        {0x80000000, "Creation date...: Tue Jan 19 03:14:08 2038"},
        {0xFFFFFFFF, "Creation date...: Sun Feb  7 06:28:15 2106"},
    };
    for (const auto& c : cases) {
        PutLE32(b, kCraftCoff + 4, c.stamp);
        EXPECT_EQ(LineStarting(Analyze(b).detailsText, "Creation"), c.line);
    }
}

TEST(ExePeCrafted, RestAfterTheLastSection) {
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    EXPECT_EQ(Analyze(b).detailsText.find("  Rest"), std::string::npos);  // sections end with the file

    b.push_back('R');  // one byte more
    EXPECT_EQ(LineStarting(Analyze(b).detailsText, "  Rest"), "  Rest   : 00000001 00000800 00000800");
    // Four bytes are too few for any mark.
    PutText(b, 0x800, "Rar!");
    ExeAnalysis exe = Analyze(b);
    EXPECT_FALSE(exe.clues.rarSfx);
    EXPECT_EQ(LineStarting(exe.detailsText, "    Rest starts"), "    Rest starts with: Rar!");

    PutText(b, 0x800, "Rar!\x1A\x07\x00 and 7z, NullsoftInst; Wise, zlb"sv);
    exe = Analyze(b);
    EXPECT_TRUE(exe.clues.rarSfx);
    EXPECT_TRUE(exe.clues.sevenZip);
    EXPECT_TRUE(exe.clues.nsis);
    EXPECT_TRUE(exe.clues.wise);
    EXPECT_FALSE(exe.clues.zlb);  // within the last eight bytes: not looked for
    EXPECT_FALSE(exe.clues.gzip);
    EXPECT_EQ(LineStarting(exe.detailsText, "    Rest starts"), "    Rest starts with: Rar!... and 7z, NullsoftInst; Wi");

    // A section that claims to reach past 4 GiB cannot make a rest appear.
    std::vector<std::uint8_t> wrap = CraftPe({{".huge", 0x1000, 0xFFFFFF00, 0x400, 0}}, 0x800);
    EXPECT_EQ(Analyze(wrap).detailsText.find("  Rest"), std::string::npos);
}

TEST(ExePeCrafted, NoSectionsAtAll) {
    // Nothing maps: the entry point shows no bytes and the whole file is rest.
    const std::vector<std::uint8_t> b = CraftPe({}, 0x300);
    const std::string d = Analyze(b).detailsText;
    EXPECT_NE(d.find("Sections........: 0\r\n"), std::string::npos);
    EXPECT_EQ(LineStarting(d, "     Starts"), "     Starts with: ");
    EXPECT_EQ(LineStarting(d, "  Rest"), "  Rest   : 00000300 00000000 000002FF");
    EXPECT_EQ(LineStarting(d, "    Rest starts"), "    Rest starts with: MZ..............................");
}

TEST(ExePeCrafted, SectionNameClues) {
    std::vector<std::uint8_t> b = CraftPe({{"upx0", 0x1000, 0, 0, 0},
                                           {"_WINZIP_", 0x2000, 0, 0, 0},
                                           {".petite", 0x3000, 0, 0, 0},
                                           {".DATA", 0x4000, 0x200, 0x400, 0}},
                                          0x800);
    ExeAnalysis exe = Analyze(b);
    EXPECT_TRUE(exe.clues.upx);
    EXPECT_TRUE(exe.clues.zipSfx);
    EXPECT_TRUE(exe.clues.petite);
    EXPECT_FALSE(exe.clues.neoLite);
    EXPECT_FALSE(exe.clues.wise);
    // A zero-sized section shows its pointer as both ends.
    EXPECT_NE(exe.detailsText.find("  Section: 00000000 00000000 00000000 upx0 ()\r\n"), std::string::npos);

    // The self-extractor banner sits 0x200 into a section named exactly ".data".
    b.resize(0xA00);
    PutText(b, 0x400 + 0x200 + 64, "SPINNERBAKER self extractor");
    EXPECT_TRUE(Analyze(b).stubClueText.empty());  // ".DATA" is not ".data"
    PutText(b, kCraftSections + 3 * 40, ".data");
    EXPECT_EQ(Analyze(b).stubClueText, "SpinnerBaker SBX 32-bit self extracting archive\r\n");
}

TEST(ExePeCrafted, ResourceCounts) {
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    SetDirectory(b, 2, 0x2000, 0x100);  // resources at file offset 0x400
    const std::size_t root = 0x400;
    PutLE16(b, root + 14, 4);            // root: 4 ID entries
    const std::uint32_t types[][2] = {{3, 0x80000040}, {14, 0x80000050}, {0x80000003, 0x80000060}, {99, 0x80000070}};
    for (std::size_t i = 0; i < 4; ++i) {
        PutLE32(b, root + 16 + 8 * i, types[i][0]);      // Name/Id
        PutLE32(b, root + 16 + 8 * i + 4, types[i][1]);  // OffsetToData: a subdirectory
    }
    PutLE16(b, root + 0x40 + 14, 5);   // icons: 5 ID entries
    PutLE16(b, root + 0x50 + 12, 1);   // icon groups: 1 named
    PutLE16(b, root + 0x50 + 14, 1);   // and 1 ID entry
    PutLE16(b, root + 0x60 + 14, 3);   // a named type (its name at offset 3) with 3 entries
    PutLE16(b, root + 0x70 + 14, 4);   // type 99 with 4 entries
    std::string d = Analyze(b).detailsText;
    EXPECT_NE(d.find(" Resource dir...: 00000100  00000400 - 000004FF\n"
                     "      Icons........: 5\n"
                     "      Icon groups..: 2\n"
                     "      Unknown/named: 7\n"  // the sum over the named and unknown types
                     " Exception"),
              std::string::npos)
        << d;

    // A directory whose RVA no section holds: the range line, no counts.
    SetDirectory(b, 2, 0x9000, 0x100);
    d = Analyze(b).detailsText;
    EXPECT_NE(d.find(" Resource dir...: 00000100  FFFFFFFF - 000000FE\n Exception"), std::string::npos) << d;
}

TEST(ExePeCrafted, ResourceDirectoryThatLoops) {
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    SetDirectory(b, 2, 0x2000, 0x100);  // resources at file offset 0x400
    const std::size_t root = 0x400;
    PutLE16(b, root + 14, 3);              // root: 3 ID entries
    PutLE32(b, root + 16, 3);              // icons...
    PutLE32(b, root + 20, 0x80000040);     // ...in the directory at +0x40
    PutLE32(b, root + 24, 14);             // icon groups...
    PutLE32(b, root + 28, 0x80000040);     // ...in the same directory
    PutLE32(b, root + 32, 5);              // dialogs...
    PutLE32(b, root + 36, 0x80000000);     // ...in the root itself
    PutLE16(b, root + 0x40 + 14, 2);       // the directory at +0x40: 2 ID entries
    std::string d = Analyze(b).detailsText;
    // Each directory is counted once, and the root never as a type.
    EXPECT_NE(d.find(" Resource dir...: 00000100  00000400 - 000004FF\n      Icons........: 2\n Exception"),
              std::string::npos)
        << d;

    // A root that claims the most entries, all of them pointing back at it.
    PutLE16(b, root + 12, 0xFFFF);  // named entries
    PutLE16(b, root + 14, 0xFFFF);  // ID entries; the sum wraps to 65,534
    for (std::size_t at = root + 16; at + 8 <= b.size(); at += 8) {
        PutLE32(b, at, 3);           // icons
        PutLE32(b, at + 4, 0x80000000);  // in the root
    }
    const auto started = std::chrono::steady_clock::now();
    d = Analyze(b).detailsText;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_NE(d.find(" Resource dir...: 00000100  00000400 - 000004FF\n Exception"), std::string::npos) << d;
}

TEST(ExePeCrafted, DebugDirectory) {
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    SetDirectory(b, 6, 0x1100, 56);     // two entries at file offset 0x300
    PutLE32(b, 0x300 + 12, 2);          // entry 1 Type: CodeView
    PutLE32(b, 0x300 + 16, 0x18);       // SizeOfData
    PutLE32(b, 0x300 + 24, 0x380);      // PointerToRawData
    PutText(b, 0x380, "RSDS");          // PDB 7.0 signature
    PutLE32(b, 0x300 + 28 + 12, 4);     // entry 2 Type: misc
    PutLE32(b, 0x300 + 28 + 16, 0x10);  // SizeOfData
    PutLE32(b, 0x300 + 28 + 24, 0x3A0); // PointerToRawData
    PutLE32(b, 0x3A0, 0x12345678);      // its first 4 bytes
    std::string d = Analyze(b).detailsText;
    EXPECT_NE(d.find(" Debug..........: 00000038  00000300 - 00000337 (2 entries)"
                     "\n             Debug type: Codeview      size: 00000018 off: 00000380 sig: RSDS PDB7.0 (external)"
                     "\n             Debug type: misc (.dbg)   size: 00000010 off: 000003A0 sig: 12345678\r\n"
                     " Arch./Copyright"),
              std::string::npos)
        << d;

    PutLE32(b, 0x300 + 28 + 12, 77);    // entry 2: an unknown type with no data
    PutLE32(b, 0x300 + 28 + 16, 0);
    d = Analyze(b).detailsText;
    EXPECT_NE(d.find("\n             Debug type: Unknown (77) size: 0\r\n Arch."), std::string::npos) << d;

    // A size that claims millions of entries: the walk ends with the file's
    // bytes, or at its cap of 64 entries, whichever comes first.
    SetDirectory(b, 6, 0x1000, 0xFFFFFFF0);
    for (std::size_t at = 0x200; at + 28 <= 0x800; at += 28) {
        PutLE32(b, at + 12, 1);      // Type: COFF
        PutLE32(b, at + 16, 1);      // SizeOfData
        PutLE32(b, at + 24, 0x200);  // PointerToRawData
    }
    d = Analyze(b).detailsText;
    EXPECT_NE(d.find(" Debug..........: FFFFFFF0  00000200 - 000001EF (153391688 entries)"), std::string::npos);
    EXPECT_EQ(Count(d, "Debug type: COFF"), 54u);  // all that 0x200..0x7FF holds
    std::vector<std::uint8_t> large = CraftPe({{".text", 0x1000, 0x1000, 0x200, 0}}, 0x1200);
    SetDirectory(large, 6, 0x1000, 0xFFFFFFF0);
    for (std::size_t at = 0x200; at + 28 <= large.size(); at += 28) {
        PutLE32(large, at + 12, 1);      // Type: COFF
        PutLE32(large, at + 16, 1);      // SizeOfData
        PutLE32(large, at + 24, 0x200);  // PointerToRawData
    }
    EXPECT_EQ(Count(Analyze(large).detailsText, "Debug type: COFF"), 64u);
}
