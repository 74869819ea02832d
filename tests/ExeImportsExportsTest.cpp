// Export and import directories built byte by byte: the lists, the clues
// their names give, and directories that claim too much or point nowhere.
#include <gtest/gtest.h>

#include "ExeCraft.h"

using namespace quiddity;
using namespace quiddity::test;

namespace {

// A PE with one data section: RVA 0x2000 at file offset 0x400, 32 KiB.
constexpr std::uint32_t kDataRva = 0x2000;
constexpr std::size_t kDataFile = 0x400;
constexpr std::size_t kDataSize = 0x8000;
constexpr std::size_t FileOf(std::uint32_t rva) { return rva - kDataRva + kDataFile; }

std::vector<std::uint8_t> CraftDataPe() {
    return CraftPe({{".text", 0x1000, 0x200, 0x200, 0x60000020}, {".edata", kDataRva, kDataSize, kDataFile, 0x40000040}},
                   kDataFile + kDataSize);
}

// An export directory at RVA 0x2000, its name pointers at 0x2040, the names
// after them.
constexpr std::uint32_t kNamePointers = 0x2040;

std::vector<std::uint8_t> CraftExports(const std::vector<std::string>& names, std::uint32_t base = 1) {
    std::vector<std::uint8_t> b = CraftDataPe();
    SetDirectory(b, 0, kDataRva, 40);
    const auto count = static_cast<std::uint32_t>(names.size());
    PutLE32(b, FileOf(kDataRva) + 16, base);          // Base
    PutLE32(b, FileOf(kDataRva) + 20, count);         // NumberOfFunctions
    PutLE32(b, FileOf(kDataRva) + 24, count);         // NumberOfNames
    PutLE32(b, FileOf(kDataRva) + 32, kNamePointers); // AddressOfNames
    std::uint32_t name = kNamePointers + 4 * count;
    for (std::uint32_t i = 0; i < count; ++i) {
        PutLE32(b, FileOf(kNamePointers) + 4 * i, name);  // RVA of name i
        PutText(b, FileOf(name), names[i]);                // the name; the section's zeros end it
        name += static_cast<std::uint32_t>(names[i].size()) + 1;
    }
    return b;
}

std::string ExportLines(const std::vector<std::uint8_t>& b) {
    return Between(Analyze(b).detailsText, " Exports:", " Imports:");
}

// Import descriptors at RVA 0x2000, one per DLL name; the names from 0x3000.
constexpr std::uint32_t kImportNames = 0x3000;

std::vector<std::uint8_t> CraftImports(const std::vector<std::string>& dlls) {
    std::vector<std::uint8_t> b = CraftDataPe();
    SetDirectory(b, 1, kDataRva, 20 * static_cast<std::uint32_t>(dlls.size() + 1));
    std::uint32_t name = kImportNames;
    for (std::size_t i = 0; i < dlls.size(); ++i) {
        const std::size_t at = FileOf(kDataRva) + 20 * i;
        PutLE32(b, at + 0, 0x2F00);   // OriginalFirstThunk
        PutLE32(b, at + 12, name);    // Name
        PutLE32(b, at + 16, 0x2F80);  // FirstThunk
        PutText(b, FileOf(name), dlls[i]);
        name += static_cast<std::uint32_t>(dlls[i].size()) + 1;
    }
    return b;
}

std::string ImportLines(const std::vector<std::uint8_t>& b) {
    return Between(Analyze(b).detailsText, " Imports:", " Resource dir");
}

}  // namespace

TEST(ExeExports, NamesNumberedFromTheBaseAndMatchedExactly) {
    // The number is Base + position in 32 bits; names keep their case; an
    // escape byte shows as ".".
    const std::vector<std::uint8_t> b =
        CraftExports({"ENTRYPOINT_7", "xFilterX", "dllregisterserver", "Esc\x1B[31mape"}, 0xFFFFFFFE);
    EXPECT_EQ(ExportLines(b),
              " Exports:\n"
              "  names/functions: 4/4\r\n"
              "    RVA of names: 8256\n"
              "        4294967294: ENTRYPOINT_7\n"
              "        4294967295: xFilterX\n"
              "        0: dllregisterserver\n"
              "        1: Esc.[31mape\n");
    // ENTRYPOINT is a prefix; xFilter and DllRegisterServer must be whole, in their case.
    EXPECT_EQ(Report(b).clueText, "Adobe Photoshop plugin\n");
}

TEST(ExeExports, PluginKindsNeedEnoughOfTheirNames) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"OpenArchive", "CloseArchive"}, ""},
        {{"OpenArchive", "CloseArchive", "ReadHeader"}, "TotalCommander WCX packer plugin\n"},
        {{"ContentGetValue"}, ""},
        {{"ContentGetSupportedField", "ContentGetValue"}, "TotalCommander WDX content plugin\n"},
        {{"ContentGetSupportField", "ContentGetValue"}, "TotalCommander WDX content plugin\n"},
        {{"FsInit"}, ""},
        {{"FsInit", "FsGetFile"}, "TotalCommander WFX file system plugin\n"},
        {{"ListLoad"}, ""},
        {{"ListLoad", "ListCloseWindow"}, "TotalCommander WLX lister plugin\n"},
        {{"ListLoad", "ListLoad"}, "TotalCommander WLX lister plugin\n"},  // counted as met
        {{"GetExtentionVersion"}, ""},
        {{"GetExtensionVersion", "HttpExtentionProc"}, "ISAPI Web Application\n"},  // either spelling
        {{"xFilter", "DoMyJob"}, "Adobe Premiere filter\nPEiD plugin\n"},
    };
    for (const auto& [names, clues] : cases) EXPECT_EQ(Report(CraftExports(names)).clueText, clues) << names[0];
}

TEST(ExeExports, DirectoriesThatClaimTooMuchOrPointNowhere) {
    std::vector<std::string> names;
    for (int i = 0; i < 1001; ++i) names.push_back("f" + std::to_string(i));
    // Over 1,000 names: the figure is 0 and nothing is listed.
    EXPECT_EQ(ExportLines(CraftExports(names)), " Exports:\n  names/functions: 0/0\r\n    RVA of names: 8256\n");
    names.pop_back();
    const std::string thousand = ExportLines(CraftExports(names));
    EXPECT_EQ(Count(thousand, "\n        "), 1000u);
    EXPECT_NE(thousand.find("        1000: f999\n"), std::string::npos);

    std::vector<std::uint8_t> b = CraftExports({"one", "two", "three"});
    PutLE32(b, FileOf(kNamePointers) + 4, 0x90000);  // the second name's RVA lies in no section
    PutLE32(b, FileOf(kNamePointers) + 8, kDataRva + kDataSize - 0x100);  // the third one's at a zero byte
    EXPECT_EQ(ExportLines(b), " Exports:\n  names/functions: 3/3\r\n    RVA of names: 8256\n        1: one\n        3: \n");
    PutLE32(b, FileOf(kDataRva) + 32, 0x90000);  // AddressOfNames in no section
    EXPECT_EQ(ExportLines(b), " Exports:\n  names/functions: 3/3\r\n    RVA of names: 589824\n");
    SetDirectory(b, 0, 0x90000, 40);  // the directory itself in no section
    EXPECT_EQ(ExportLines(b), " Exports:\n");
    SetDirectory(b, 0, kDataRva, 0);  // no size: none
    EXPECT_EQ(ExportLines(b), " Exports:\n      (none)\r\n");

    // A name that runs into the end of the file is the bytes there.
    b = CraftExports({"tail"});
    PutLE32(b, FileOf(kNamePointers), kDataRva + kDataSize - 3);
    PutText(b, b.size() - 3, "end");
    EXPECT_NE(ExportLines(b).find("        1: end\n"), std::string::npos);
}

TEST(ExeImports, ListedUntilAnEmptyLookupTable) {
    EXPECT_EQ(ImportLines(CraftImports({"KERNEL32.dll", "Bad\x1B" "Name.dll"})),
              " Imports:\r\n      KERNEL32.dll\r\n      Bad.Name.dll\r\n");

    // A descriptor with FirstThunk but no OriginalFirstThunk ends the list.
    std::vector<std::uint8_t> b = CraftImports({"KERNEL32.dll"});
    PutLE32(b, FileOf(kDataRva), 0);
    EXPECT_EQ(ImportLines(b), " Imports:\r\n      (none)\r\n");

    // Names that lie in no section, or hold one byte before the end of the
    // file, are left out; the others are listed.
    b = CraftImports({"a.dll", "b.dll", "c.dll"});
    PutLE32(b, FileOf(kDataRva) + 12, 0x90000);
    PutLE32(b, FileOf(kDataRva) + 20 + 12, kDataRva + kDataSize - 1);
    b.back() = 'x';
    EXPECT_EQ(ImportLines(b), " Imports:\r\n      c.dll\r\n");
}

TEST(ExeImports, AtMostAHundredDescriptorsAndNonePastTheFile) {
    std::vector<std::string> dlls;
    for (int i = 0; i < 150; ++i) dlls.push_back("dll" + std::to_string(i) + ".dll");
    const std::string hundred = ImportLines(CraftImports(dlls));
    EXPECT_EQ(Count(hundred, "\r\n      dll"), 100u);
    EXPECT_NE(hundred.find("      dll99.dll\r\n"), std::string::npos);

    // Descriptors that run to the end of the file: those read in full count.
    std::vector<std::uint8_t> b = CraftImports({"first.dll"});
    const std::uint32_t last = kDataRva + kDataSize - 50;  // room for two descriptors and a half
    for (std::uint32_t at = last; at + 4 <= kDataRva + kDataSize; at += 20) {
        PutLE32(b, FileOf(at), 0x2F00);                                           // OriginalFirstThunk
        if (at + 16 <= kDataRva + kDataSize) PutLE32(b, FileOf(at) + 12, kImportNames);  // Name
    }
    SetDirectory(b, 1, last, 60);
    EXPECT_EQ(ImportLines(b), " Imports:\r\n      first.dll\r\n      first.dll\r\n");
}

TEST(ExeImports, RuntimeDllsAreKnownWhateverTheirCase) {
    EXPECT_EQ(Report(CraftImports({"MSVCRT40.DLL", "Mfc40.Dll"})).clueText, "MFC 4.0 application\r\n");
    EXPECT_EQ(Report(CraftImports({"msvcrt40.dll"})).clueText, "Visual C++ 4 application\r\n");
    EXPECT_EQ(Report(CraftImports({"msvcr70.dll", "mfc70.dll", "msvbvm50.dll"})).clueText,
              "MFC 7.0 application\r\nVisual Basic 5 application\r\n");
    EXPECT_EQ(Report(CraftImports({"msvcrt.dll.bak", "xmsvcrt.dll"})).clueText, "");  // the whole name counts
}
