// PE files built byte by byte: header lines, sections, the rest, the
// directories, and hostile values that must neither crash nor hang.
#include <gtest/gtest.h>

#include <algorithm>

#include "ExeCraft.h"

using namespace quiddity;
using namespace quiddity::test;
using namespace std::string_view_literals;

// The directory lines after the imports when every directory is empty.
constexpr std::string_view kEmptyDirectoryLines =
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
    " Unused.........: 00000000\r\n";

TEST(ExePeCrafted, HeaderSectionsAndClosingBlock) {
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    PutLE32(b, kCraftCoff + 12, 7);  // NumberOfSymbols
    // The link time 0x80000000 is past the signed 32-bit range (TZ=UTC).
    const ExeAnalysis exe = Analyze(b);
    EXPECT_EQ(exe.detailsText,
              "MZ, PE00, Intel 32-bit (i386), 32-bit, Windows Console\r\n"
              "Executable\r\n"
              "Creation date...: Tue Jan 19 03:14:08 2038\r\n"
              "Entrypoint......: 00001000\r\n"
              "     Starts with: 000000000000000000000000000000000000000000000000\n"
              "Linker version..: 6.1\r\n"
              "Sections........: 2\r\n"
              "           size:    from:    to:\n"
              "  Headers: 00000200 00000000 000001FF\r\n"
              "  Section: 00000200 00000200 000003FF .text (code,exe,read)\r\n"
              "  Section: 00000400 00000400 000007FF .rsrc (read,initd)\r\n"
              " Exports:\n"
              "      (none)\r\n"
              " Imports:\r\n"  // RVA 0 lies in no section: the heading only
              + std::string(kEmptyDirectoryLines) +
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
    PutLE16(b, kCraftCoff + 0, 0x1234);   // Machine: unknown
    PutLE16(b, kCraftOpt + 68, 4);        // Subsystem 4 has no name
    PutLE16(b, kCraftCoff + 18, 0x3002);  // executable, system file, DLL
    PutLE16(b, kCraftOpt + 70, 0x2000);   // DllCharacteristics: WDM driver
    PutLE16(b, kCraftOpt + 0, 0x999);     // unknown optional-header kind: read as PE32, without a bitness
    const std::string d = Analyze(b).detailsText;
    EXPECT_EQ(d.rfind("MZ, PE00, Unknown cpu (1234), Subsystem Unknown\r\n"
                      "Executable, System file, DLL, WDM driver\r\nCreation date", 0), 0u) << d;
    EXPECT_EQ(Count(d, "  Section: "), 2u);

    PutLE16(b, kCraftOpt + 0, 0x107);  // ROM image: one line and nothing more
    EXPECT_EQ(Analyze(b).detailsText, "MZ, PE00, Unknown cpu (1234), ROM image\r\n");
}

namespace {

// The crafted program as PE32+ for x64: the optional header grows by the 16
// bytes of its wider stack and heap sizes, which moves the directory count,
// the directories and the section table on; the bytes after them stay put.
constexpr std::size_t kPlusGrowth = 16;
constexpr std::size_t kCraftDirs64 = kCraftDirs + kPlusGrowth;

std::vector<std::uint8_t> AsPe32Plus(std::vector<std::uint8_t> b) {
    const std::size_t sections = b[kCraftCoff + 2];
    const auto from = b.begin() + kCraftOpt + 72, to = b.begin() + kCraftSections + 40 * sections;
    std::copy_backward(from, to, to + kPlusGrowth);
    std::fill(from, from + kPlusGrowth, 0);
    PutLE16(b, kCraftCoff + 0, 0x8664);    // Machine: x64
    PutLE16(b, kCraftCoff + 16, 240);      // SizeOfOptionalHeader of PE32+
    PutLE16(b, kCraftOpt + 0, 0x20B);      // Magic: PE32+
    PutLE32(b, kCraftOpt + 24, 0x40000);   // ImageBase, low half (BaseOfData in PE32)
    PutLE32(b, kCraftOpt + 28, 0x1);       // ImageBase, high half (PE32's ImageBase)
    return b;
}

}  // namespace

TEST(ExePeCrafted, Pe32PlusGoesThroughEveryStep) {
    std::vector<std::uint8_t> b = AsPe32Plus(CraftTwoSectionPe());
    b[0x200] = 0xC3;  // ret, at the entry point
    // Imports at RVA 0x2000 (file 0x400) in .rsrc: two descriptors, then the end.
    PutLE32(b, kCraftDirs64 + 8, 0x2000);  // import directory RVA
    PutLE32(b, kCraftDirs64 + 12, 60);     // its size
    PutLE32(b, 0x400 + 0, 0x2100);         // OriginalFirstThunk: the lookup table below
    PutLE32(b, 0x400 + 12, 0x2200);        // Name: "KERNEL32.dll"
    PutLE32(b, 0x414 + 0, 0x23FC);         // OriginalFirstThunk: 4 bytes before the file's end
    PutLE32(b, 0x414 + 12, 0x2210);        // Name: "exports64.dll"
    // A 64-bit lookup entry: bit 63 marks an import by ordinal, with an
    // ordinal no DLL has, then the table's end.
    PutLE32(b, 0x500, 0xFFFFFFFF);
    PutLE32(b, 0x504, 0x80000000);
    PutText(b, 0x600, "KERNEL32.dll");
    PutText(b, 0x610, "exports64.dll");
    PutLE32(b, 0x7FC, 0x80000000);         // a lookup table cut by the end of the file
    b.push_back('R');                      // a rest after the last section
    const ExeAnalysis exe = Analyze(b);
    EXPECT_TRUE(exe.is64);
    // The PE32 lines, with the ImageBase in 16 digits and nothing of BaseOfData.
    EXPECT_EQ(exe.detailsText,
              "MZ, PE00, AMD 64 (K8) 'x64', 64-bit, Windows Console\r\n"
              "Executable\r\n"
              "Creation date...: Tue Jan 19 03:14:08 2038\r\n"
              "Entrypoint......: 00001000\r\n"
              "     Starts with: C30000000000000000000000000000000000000000000000\n"
              "Linker version..: 6.1\r\n"
              "Sections........: 2\r\n"
              "           size:    from:    to:\n"
              "  Headers: 00000200 00000000 000001FF\r\n"
              "  Section: 00000200 00000200 000003FF .text (code,exe,read)\r\n"
              "  Section: 00000400 00000400 000007FF .rsrc (read,initd)\r\n"
              "  Rest   : 00000001 00000800 00000800\r\n"
              "    Rest starts with: R\r\n"
              " Exports:\n"
              "      (none)\r\n"
              " Imports:\r\n"
              "      KERNEL32.dll\r\n"
              "      exports64.dll\r\n"
              + std::string(kEmptyDirectoryLines) +
              "RVA Entry point.: 00001000\r\n"
              "RVA Base of code: 00001000\r\n"
              "Image base......: 0000000100040000\r\n"
              "Size of image...: 00004000\r\n"
              "File allignment.: 00000200\r\n"
              "RVA Entries.....: 16\r\n"
              "COFF symbols....: 0\r\n");
}

TEST(ExePeCrafted, Pe32PlusHeaderTooSmallForItsDirectories) {
    std::vector<std::uint8_t> b = AsPe32Plus(CraftPe({}, 0x800));
    // Room for directories 0 to 3 only; the count still says 16.
    constexpr std::size_t kTable = kCraftOpt + 112 + 4 * 8;
    PutLE16(b, kCraftCoff + 2, 1);             // NumberOfSections
    PutLE16(b, kCraftCoff + 16, 112 + 4 * 8);  // SizeOfOptionalHeader
    PutLE32(b, kTable - 4, 0x10);              // directory 3 (Exception), the last that fits: its size
    PutText(b, kTable, ".text");               // where directory 4 (Security) would be read from
    PutLE32(b, kTable + 12, 0x1000);           // VirtualAddress
    PutLE32(b, kTable + 16, 0x600);            // SizeOfRawData
    PutLE32(b, kTable + 20, 0x200);            // PointerToRawData
    const std::string d = Analyze(b).detailsText;
    EXPECT_EQ(LineStarting(d, "  Section"), "  Section: 00000600 00000200 000007FF .text ()");
    EXPECT_EQ(LineStarting(d, " Exception").substr(0, 26), " Exception......: 00000010");
    EXPECT_EQ(LineStarting(d, " Security"), " Security.......: 00000000");
    EXPECT_EQ(LineStarting(d, "RVA Entries"), "RVA Entries.....: 16");
}

TEST(ExePeCrafted, SectionTableFollowsTheOptionalHeaderWhateverItsSize) {
    std::vector<std::uint8_t> b = CraftPe({}, 0x800);
    const std::size_t table = kCraftSections + 0x20;
    PutLE16(b, kCraftCoff + 2, 1);             // NumberOfSections
    PutLE16(b, kCraftCoff + 16, 224 + 0x20);   // SizeOfOptionalHeader: 0x20 more than usual
    PutText(b, kCraftSections, "GARBAGE!");    // where a fixed offset would look
    PutText(b, table, ".text");
    PutLE32(b, table + 12, 0x1000);            // VirtualAddress
    PutLE32(b, table + 16, 0x600);             // SizeOfRawData
    PutLE32(b, table + 20, 0x200);             // PointerToRawData
    const std::string d = Analyze(b).detailsText;
    EXPECT_EQ(LineStarting(d, "  Section"), "  Section: 00000600 00000200 000007FF .text ()");
    EXPECT_EQ(d.find("GARBAGE"), std::string::npos);
}

TEST(ExePeCrafted, SectionTableRunningPastTheEndOrAbsent) {
    // Claims 40 sections; the file ends inside the second header.
    std::vector<std::uint8_t> b = CraftPe({{".one", 0x1000, 0x10, 0x100, 0}, {".two", 0x2000, 0x10, 0x110, 0}},
                                          kCraftSections + 40 + 20);
    PutLE16(b, kCraftCoff + 2, 40);
    std::string d = Analyze(b).detailsText;
    EXPECT_NE(d.find("Sections........: 40\r\n"), std::string::npos);
    EXPECT_EQ(Count(d, "  Section: "), 1u);
    EXPECT_NE(d.find(".one"), std::string::npos);

    // No sections: the entry point shows no bytes and the whole file is rest.
    d = Analyze(CraftPe({}, 0x300)).detailsText;
    EXPECT_EQ(LineStarting(d, "     Starts"), "     Starts with: ");
    EXPECT_EQ(LineStarting(d, "  Rest"), "  Rest   : 00000300 00000000 000002FF");
    EXPECT_EQ(LineStarting(d, "    Rest starts"), "    Rest starts with: MZ..............................");
}

TEST(ExePeCrafted, DirectoriesPastTheDeclaredCountAreEmpty) {
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    SetDirectory(b, 5, 0x1010, 0x30);  // BaseReloc inside .text
    SetDirectory(b, 9, 0x1100, 0x18);  // TLS, beyond the declared count below
    EXPECT_EQ(LineStarting(Analyze(b).detailsText, " TLS"), " TLS directory..: 00000018  00000300 - 00000317");

    PutLE32(b, kCraftOpt + 92, 6);  // NumberOfRvaAndSizes
    std::string d = Analyze(b).detailsText;
    EXPECT_EQ(LineStarting(d, " BaseReloc"), " BaseReloc......: 00000030  00000210 - 0000023F");
    EXPECT_EQ(LineStarting(d, " TLS"), " TLS directory..: 00000000");
    EXPECT_NE(d.find("RVA Entries.....: 6\r\n"), std::string::npos);

    SetDirectory(b, 5, 0x9000, 0x30);  // an RVA that no section holds
    EXPECT_EQ(LineStarting(Analyze(b).detailsText, " BaseReloc"), " BaseReloc......: 00000030  FFFFFFFF - 0000002E");
}

TEST(ExePeCrafted, EntryPointCodeIsOnlyWhatWasRead) {
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    PutText(b, 0x200, "\xE8\x00\x00\x00\x00\x5B\x83\xEB"sv);  // call $+5; pop ebx; sub ebx, ...
    ExeAnalysis exe = Analyze(b);
    EXPECT_EQ(exe.clueText, "PE-CRYPT (?)\n");
    EXPECT_EQ(LineStarting(exe.detailsText, "     Starts"), "     Starts with: E8000000005B83EB00000000000000000000000000000000");

    // Five bytes before the end: only those show, and a longer pattern does not match.
    PutLE32(b, kCraftOpt + 16, 0x23FB);           // AddressOfEntryPoint
    PutText(b, 0x7FB, "\x64\xA1\x00\x00\x00"sv);  // the first 5 bytes of the VC++ 4.2 start
    exe = Analyze(b);
    EXPECT_EQ(LineStarting(exe.detailsText, "     Starts"), "     Starts with: 64A1000000");
    EXPECT_TRUE(exe.clueText.empty());

    PutLE32(b, kCraftOpt + 16, 0x8000);  // no section holds it: nothing read
    EXPECT_NE(Analyze(b).detailsText.find("Entrypoint......: 00008000\r\n     Starts with: \nLinker"), std::string::npos);
}

TEST(ExePeCrafted, RestAfterTheLastSection) {
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    EXPECT_EQ(Analyze(b).detailsText.find("  Rest"), std::string::npos);

    b.push_back('R');
    PutText(b, 0x800, "Rar!");  // four bytes are too few for any mark
    ExeAnalysis exe = Analyze(b);
    EXPECT_NE(exe.detailsText.find("\n  Rest   : 00000004 00000800 00000803\r\n    Rest starts with: Rar!\r\n"),
              std::string::npos);
    EXPECT_FALSE(exe.clues.rarSfx);

    PutText(b, 0x800, "Rar!\x1A\x07\x00 and 7z, NullsoftInst; Wise, zlb"sv);
    exe = Analyze(b);
    EXPECT_TRUE(exe.clues.rarSfx && exe.clues.sevenZip && exe.clues.nsis && exe.clues.wise);
    EXPECT_FALSE(exe.clues.zlb);  // within the last eight bytes: not looked for
    EXPECT_EQ(LineStarting(exe.detailsText, "    Rest starts"), "    Rest starts with: Rar!... and 7z, NullsoftInst; Wi");

    // A section that claims to reach past 4 GiB cannot make a rest appear.
    EXPECT_EQ(Analyze(CraftPe({{".huge", 0x1000, 0xFFFFFF00, 0x400, 0}}, 0x800)).detailsText.find("  Rest"),
              std::string::npos);
}

TEST(ExePeCrafted, SectionNameClues) {
    std::vector<std::uint8_t> b = CraftPe({{"upx0", 0x1000, 0, 0, 0}, {".DATA", 0x4000, 0x200, 0x400, 0}}, 0xA00);
    const ExeAnalysis exe = Analyze(b);
    EXPECT_TRUE(exe.clues.upx);
    // A zero-sized section shows its pointer as both ends.
    EXPECT_NE(exe.detailsText.find("  Section: 00000000 00000000 00000000 upx0 ()\r\n"), std::string::npos);

    // The self-extractor banner sits 0x200 into a section named exactly ".data".
    PutText(b, 0x400 + 0x200 + 64, "SPINNERBAKER self extractor");
    EXPECT_TRUE(Analyze(b).stubClueText.empty());
    PutText(b, kCraftSections + 40, ".data");
    EXPECT_EQ(Analyze(b).stubClueText, "SpinnerBaker SBX 32-bit self extracting archive\r\n");
}

TEST(ExePeCrafted, ResourceCountsAndTreesThatLoop) {
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    SetDirectory(b, 2, 0x2000, 0x100);  // resources at file offset 0x400
    const std::size_t root = 0x400;
    auto directory = [&](std::size_t at, std::uint16_t named, std::uint16_t ids) {
        PutLE16(b, root + at + 12, named);  // NumberOfNamedEntries
        PutLE16(b, root + at + 14, ids);    // NumberOfIdEntries
    };
    auto entry = [&](std::size_t at, std::uint32_t nameOrId, std::uint32_t subdirectory) {
        PutLE32(b, root + at, nameOrId);
        PutLE32(b, root + at + 4, 0x80000000 | subdirectory);  // OffsetToData
    };
    directory(0, 0, 4);
    entry(16, 3, 0x40);           // icons
    entry(24, 14, 0x50);          // icon groups
    entry(32, 0x80000003, 0x60);  // a named type (its name at offset 3)
    entry(40, 99, 0x70);          // an unknown type
    directory(0x40, 0, 5);
    directory(0x50, 1, 1);
    directory(0x60, 0, 3);
    directory(0x70, 0, 4);
    std::string d = Analyze(b).detailsText;
    EXPECT_NE(d.find(" Resource dir...: 00000100  00000400 - 000004FF\n"
                     "      Icons........: 5\n"
                     "      Icon groups..: 2\n"
                     "      Unknown/named: 7\n"  // the sum over the named and unknown types
                     " Exception"),
              std::string::npos) << d;

    // Each directory is counted once, and the root never as a type.
    directory(0, 0, 3);
    entry(24, 14, 0x40);  // icon groups in the icons' directory
    entry(32, 5, 0);      // dialogs in the root itself
    directory(0x40, 0, 2);
    d = Analyze(b).detailsText;
    EXPECT_NE(d.find(" Resource dir...: 00000100  00000400 - 000004FF\n      Icons........: 2\n Exception"),
              std::string::npos) << d;

    // A root that claims the most entries, all of them icons in the root: the walk ends.
    directory(0, 0xFFFF, 0xFFFF);
    for (std::size_t at = 16; root + at + 8 <= b.size(); at += 8) entry(at, 3, 0);
    d = Analyze(b).detailsText;
    EXPECT_NE(d.find(" Resource dir...: 00000100  00000400 - 000004FF\n Exception"), std::string::npos) << d;
}

TEST(ExePeCrafted, DebugDirectory) {
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    SetDirectory(b, 6, 0x1100, 56);  // two entries at file offset 0x300
    auto entry = [](std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t type, std::uint32_t size,
                    std::uint32_t pointer) {
        PutLE32(bytes, at + 12, type);     // Type
        PutLE32(bytes, at + 16, size);     // SizeOfData
        PutLE32(bytes, at + 24, pointer);  // PointerToRawData
    };
    entry(b, 0x300, 2, 0x18, 0x380);  // CodeView
    PutText(b, 0x380, "RSDS");
    entry(b, 0x300 + 28, 4, 0x10, 0x3A0);  // misc
    PutLE32(b, 0x3A0, 0x12345678);
    std::string d = Analyze(b).detailsText;
    EXPECT_NE(d.find(" Debug..........: 00000038  00000300 - 00000337 (2 entries)"
                     "\n             Debug type: Codeview      size: 00000018 off: 00000380 sig: RSDS PDB7.0 (external)"
                     "\n             Debug type: misc (.dbg)   size: 00000010 off: 000003A0 sig: 12345678\r\n"
                     " Arch./Copyright"),
              std::string::npos) << d;

    entry(b, 0x300 + 28, 77, 0, 0);  // an unknown type with no data
    d = Analyze(b).detailsText;
    EXPECT_NE(d.find("\n             Debug type: Unknown (77) size: 0\r\n Arch."), std::string::npos) << d;

    // A size that claims millions of entries: the walk ends with the file's
    // bytes, or at its cap of 64 entries, whichever comes first.
    auto flood = [&](std::vector<std::uint8_t> bytes) {
        SetDirectory(bytes, 6, 0x1000, 0xFFFFFFF0);
        for (std::size_t at = 0x200; at + 28 <= bytes.size(); at += 28) entry(bytes, at, 1, 1, 0x200);  // COFF
        return Analyze(bytes).detailsText;
    };
    d = flood(b);
    EXPECT_NE(d.find(" Debug..........: FFFFFFF0  00000200 - 000001EF (153391688 entries)"), std::string::npos);
    EXPECT_EQ(Count(d, "Debug type: COFF"), 54u);  // all that 0x200..0x7FF holds
    EXPECT_EQ(Count(flood(CraftPe({{".text", 0x1000, 0x1000, 0x200, 0}}, 0x1200)), "Debug type: COFF"), 64u);
}
