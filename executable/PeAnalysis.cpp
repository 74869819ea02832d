// PE and PE32+ files: COFF and optional header, entry-point code, the
// section table, data after the last section, the data directories.
// Layouts: Microsoft "PE Format" (learn.microsoft.com/windows/win32/debug/pe-format).
#include <algorithm>
#include <array>
#include <ctime>
#include <string_view>

#include "executable/ExeSteps.h"

namespace quiddity {

namespace {

using namespace std::string_view_literals;

constexpr std::array<NamedValue, 31> kMachines{{
    {0x014C, "Intel 32-bit (i386)"},
    {0x014D, "Intel 32-bit (486 or better)"},
    {0x014E, "Intel 32-bit (pentium or better)"},
    {0x0160, "MIPS mark I R2000/R3000"},
    {0x0162, "MIPS mark I R2000/R3000"},
    {0x0163, "MIPS mark II R6000"},
    {0x0166, "MIPS mark III R4000"},
    {0x0168, "MIPS R10000"},
    {0x0169, "MIPS WCE v2"},
    {0x0184, "DEC Alpha AXP"},
    {0x01A2, "Hitatchi SH3"},
    {0x01A3, "Hitatchi SH3 DSP"},
    {0x01A4, "Hitatchi SH3E"},
    {0x01A6, "Hitatchi SH4"},
    {0x01A8, "Hitatchi SH5"},
    {0x01C0, "ARM"},
    {0x01C2, "Thumb"},
    {0x01D3, "Matsushita AM33"},
    {0x01F0, "IBM PowerPC"},
    {0x01F1, "IBM PowerPC FP"},
    {0x0200, "Intel 64-bit"},
    {0x0266, "MIPS 16"},
    {0x0284, "Alpha 64-bit"},
    {0x0366, "MIPS FPU"},
    {0x0466, "MIPS FPU16"},
    {0x0520, "Infineon Tricore"},
    {0x0CEF, "CEF"},
    {0x0EBC, "EFI Byte Code"},
    {0x8664, "AMD 64 (K8) 'x64'"},
    {0x9041, "Mistubishi M32R"},
    {0xC0EE, "CEE"},
}};

constexpr std::array<NamedValue, 13> kSubsystems{{
    {1, "Native"},
    {2, "Windows GUI"},
    {3, "Windows Console"},
    {5, "OS/2 Console"},
    {7, "Posix Console"},
    {8, "Windows 9x driver"},
    {9, "Windows CE GUI"},
    {10, "EFI Application"},
    {11, "EFI Boot Service"},
    {12, "EFI Runtime Driver"},
    {13, "EFI ROM"},
    {14, "XBOX"},
    {16, "Windows Boot"},
}};

constexpr std::uint16_t kFileExecutable = 0x0002;
constexpr std::uint16_t kFileSystem = 0x1000;
constexpr std::uint16_t kFileDll = 0x2000;
constexpr std::uint16_t kDllWdmDriver = 0x2000;

constexpr std::array<NamedValue, 9> kSectionFlags{{
    {0x00000020, "code,"},
    {0x20000000, "exe,"},
    {0x02000000, "discard,"},
    {0x40000000, "read,"},
    {0x80000000, "write,"},
    {0x00000200, "info,"},
    {0x00001000, "comdat,"},
    {0x00000040, "initd,"},
    {0x00000080, "uninitd,"},
}};

// Entry-point code: the bytes shown, longer than every pattern.
constexpr std::size_t kEntryCodeBytes = 24;

struct EntryPattern {
    std::string_view bytes;
    const char* line;
};

constexpr std::array<EntryPattern, 3> kEntryPatterns{{
    {"\xE8\x00\x00\x00\x00\x5B\x83"sv, "PE-CRYPT (?)\n"},
    {"\x64\xA1\x00\x00\x00\x00\x55\x8B\xEC\x6A\xFF\x68"sv, "MS Visual C++ 4.2\n"},
    {"\x9A\xFF\xFF\x00\x00\x9A\xFF\xFF\x00\x00\x55\x89\xE5\x31\xC0\x9A\xFF\xFF\x00\x00"sv, "Borland 7\n"},
}};

struct SectionNameClue {
    std::string_view prefix;  // compared regardless of case
    bool ExeClues::*clue;
};

constexpr std::array<SectionNameClue, 6> kSectionNameClues{{
    {"UPX0", &ExeClues::upx},
    {"_winzip_", &ExeClues::zipSfx},
    {".neolit", &ExeClues::neoLite},
    {".petite", &ExeClues::petite},
    {".WWP32", &ExeClues::wwpack32},
    {".WISE", &ExeClues::wise},
}};

// The rest after the last section: bytes scanned and shown.
constexpr std::size_t kRestBytes = 256;

// Labels of the directories that get a plain size-and-range line.
constexpr std::array<const char*, kDataDirectoryCount> kDirectoryLabels{{
    nullptr, nullptr, nullptr,
    " Exception......: %08X", " Security.......: %08X", " BaseReloc......: %08X", nullptr,
    " Arch./Copyright: %08X", " Global Pointers: %08X", " TLS directory..: %08X", " Load config....: %08X",
    " Bound imports..: %08X", " IAT............: %08X", " Delay import...: %08X", " COM Descriptor.: %08X",
    " Unused.........: %08X",
}};
static_assert(std::ranges::all_of(kDirectoryLabels,
                                  [](const char* label) { return label == nullptr || FormatTakes(label, "X"); }));

// A packed self-extractor keeps its banner here in its .data section.
constexpr std::uint64_t kSpinnerBakerOffset = 0x200;
constexpr std::size_t kSpinnerBakerBannerAt = 64;

void AppendMachineLine(const PeFileHeader& file, ExeAnalysis& exe) {
    std::string& details = exe.detailsText;
    details += "MZ, PE00, ";
    if (const char* machine = NameOf(kMachines, file.Machine)) details += machine;
    else AppendFormat(details, "Unknown cpu (%04X)", file.Machine);
    details += ", ";
}

void AppendKindLines(const PeFileHeader& file, const PeOptionalHeader& opt, ExeAnalysis& exe) {
    std::string& details = exe.detailsText;
    const char* subsystem = NameOf(kSubsystems, opt.Subsystem);
    details += subsystem ? subsystem : "Subsystem Unknown";
    details += "\r\n";

    if (file.Characteristics & kFileExecutable) details += "Executable, ";
    if (file.Characteristics & kFileSystem) details += "System file, ";
    if (file.Characteristics & kFileDll) details += "DLL, ";
    if (opt.DllCharacteristics & kDllWdmDriver) details += "WDM driver, ";
    TrimEnd(details, ",\r\n ");
    details += "\r\n";

    // Local time, in the C library's ctime layout; time_t is 64-bit, so
    // every 32-bit stamp converts.
    const std::time_t stamp = file.TimeDateStamp;
    std::tm local{};
    details += "Creation date...: ";
    if (::localtime_r(&stamp, &local)) {
        static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
        static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        AppendFormat(details, "%s %s%3d %02d:%02d:%02d %d", kDays[local.tm_wday], kMonths[local.tm_mon],
                     local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, local.tm_year + 1900);
    }
    details += "\r\n";
    AppendFormat(details, "Entrypoint......: %08X\r\n", opt.AddressOfEntryPoint);
}

void AppendEntryCode(const IByteSource& source, const SectionMap& map, std::uint32_t entryPoint, ExeAnalysis& exe) {
    const std::optional<std::uint32_t> offset = RvaToOffset(map, entryPoint);
    const std::vector<std::uint8_t> code = offset ? ReadBlock(source, *offset, kEntryCodeBytes) : std::vector<std::uint8_t>{};
    const CByteReader reader(code.data(), code.size());
    for (const EntryPattern& pattern : kEntryPatterns)
        if (reader.Matches(0, pattern.bytes)) exe.clueText += pattern.line;
    exe.detailsText += "     Starts with: ";
    for (const std::uint8_t b : code) AppendFormat(exe.detailsText, "%02X", b);
    exe.detailsText += "\n";
}

void AppendSections(const std::vector<SectionHeader>& sections, ExeAnalysis& exe, std::uint64_t& restEnd,
                    std::uint32_t& dataSection) {
    std::string& details = exe.detailsText;
    for (const SectionHeader& s : sections) {
        const CByteReader name(reinterpret_cast<const std::uint8_t*>(s.Name.data()), kSectionNameBytes);
        for (const SectionNameClue& clue : kSectionNameClues)
            if (name.MatchesAnyCase(0, clue.prefix)) exe.clues.*clue.clue = true;
        if (name.Matches(0, ".data")) dataSection = s.PointerToRawData;

        const std::uint32_t last = s.SizeOfRawData ? s.PointerToRawData + s.SizeOfRawData - 1 : s.PointerToRawData;
        AppendFormat(details, "  Section: %08X %08X %08X %s (", s.SizeOfRawData, s.PointerToRawData, last,
                     s.Name.data());
        for (const NamedValue& flag : kSectionFlags)
            if (s.Characteristics & flag.value) details += flag.name;
        TrimEnd(details, ",");
        details += ")\r\n";
        // 64-bit, so a hostile pointer and size cannot wrap to a small end.
        restEnd = std::max(restEnd, std::uint64_t{s.PointerToRawData} + s.SizeOfRawData);
    }
}

void AppendRest(const IByteSource& source, std::uint64_t restEnd, ExeAnalysis& exe) {
    const std::uint64_t size = exe.fileSize;
    if (size == 0) return;
    if (size > 0xFFFFFFFF) {
        AppendFormat(exe.detailsText, "  Rest   : ???????? %08llX\r\n", static_cast<unsigned long long>(restEnd));
        return;
    }
    if (size <= restEnd) return;
    const std::uint64_t length = size - restEnd;
    AppendFormat(exe.detailsText, "  Rest   : %08llX %08llX %08llX\r\n", static_cast<unsigned long long>(length),
                 static_cast<unsigned long long>(restEnd), static_cast<unsigned long long>(size - 1));
    const std::vector<std::uint8_t> rest =
        ReadBlock(source, restEnd, static_cast<std::size_t>(std::min<std::uint64_t>(length, kRestBytes)));
    ScanPeRest(rest, exe.clues);
    AppendFormat(exe.detailsText, "    Rest starts with: %s\r\n", PrintableText(rest).c_str());
}

void AppendDirectories(const IByteSource& source, const SectionMap& map, const PeOptionalHeader& opt,
                       ExeAnalysis& exe) {
    for (std::size_t i = 0; i < kDataDirectoryCount; ++i) {
        const ImageDataDirectory& directory = opt.DataDirectory[i];
        if (i == kExportDirectory) ListExports(source, map, directory, exe);
        else if (i == kImportDirectory) ListImports(source, map, directory, exe);
        else if (i == kResourceDirectory) AppendResourceDirectory(source, map, directory, exe.detailsText);
        else if (i == kDebugDirectory) AppendDebugDirectory(source, map, directory, exe.detailsText);
        else {
            AppendFormat(exe.detailsText, kDirectoryLabels[i], directory.Size);
            if (directory.Size != 0) {
                const std::uint32_t start = ShownOffset(RvaToOffset(map, directory.VirtualAddress));
                AppendFormat(exe.detailsText, "  %08X - %08X", start, start + directory.Size - 1);
            }
            exe.detailsText += "\r\n";
        }
    }
}

void AppendClosingBlock(const PeFileHeader& file, const PeOptionalHeader& opt, std::string& details) {
    AppendFormat(details, "RVA Entry point.: %08X\r\n", opt.AddressOfEntryPoint);
    AppendFormat(details, "RVA Base of code: %08X\r\n", opt.BaseOfCode);
    // The one field wider in PE32+ that the report shows: 16 digits there.
    if (opt.IsPe32Plus())
        AppendFormat(details, "Image base......: %016llX\r\n", static_cast<unsigned long long>(opt.ImageBase));
    else
        AppendFormat(details, "Image base......: %08X\r\n", static_cast<std::uint32_t>(opt.ImageBase));
    AppendFormat(details, "Size of image...: %08X\r\n", opt.SizeOfImage);
    AppendFormat(details, "File allignment.: %08X\r\n", opt.FileAlignment);
    AppendFormat(details, "RVA Entries.....: %u\r\n", opt.NumberOfRvaAndSizes);
    AppendFormat(details, "COFF symbols....: %u\r\n", file.NumberOfSymbols);
}

void CheckDataSection(const IByteSource& source, std::uint32_t dataSection, ExeAnalysis& exe) {
    if (dataSection == 0) return;
    const std::vector<std::uint8_t> block = ReadBlock(source, std::uint64_t{dataSection} + kSpinnerBakerOffset, kRestBytes);
    if (block.size() < kRestBytes) return;
    if (CByteReader(block.data(), block.size()).MatchesAnyCase(kSpinnerBakerBannerAt, "SpinnerBaker self extractor"))
        exe.stubClueText += "SpinnerBaker SBX 32-bit self extracting archive\r\n";
}

}  // namespace

void AnalyzePe(const IByteSource& source, ExeAnalysis& exe) {
    const CByteReader nt(exe.newHeader.data(), exe.newHeader.size());
    const PeFileHeader file = DecodeFileHeader(nt);
    const PeOptionalHeader opt = DecodeOptionalHeader(nt, file);
    AppendMachineLine(file, exe);
    if (opt.Magic == kMagicRom) {
        exe.detailsText += "ROM image\r\n";
        return;
    }
    exe.is64 = opt.IsPe32Plus();
    if (exe.is64) exe.detailsText += "64-bit, ";
    else if (opt.Magic == kMagicPe32) exe.detailsText += "32-bit, ";
    AppendKindLines(file, opt, exe);

    // The section table follows the optional header, whatever its size.
    const std::uint64_t tableOffset = std::uint64_t{exe.newHeaderOffset} + kOptionalHeaderOffset + file.SizeOfOptionalHeader;
    const std::vector<SectionHeader> sections = ReadSectionTable(source, tableOffset, file.NumberOfSections);
    const SectionMap map = BuildSectionMap(sections);
    AppendEntryCode(source, map, opt.AddressOfEntryPoint, exe);

    std::string& details = exe.detailsText;
    AppendFormat(details, "Linker version..: %u.%u\r\n", opt.MajorLinkerVersion, opt.MinorLinkerVersion);
    AppendFormat(details, "Sections........: %u\r\n", file.NumberOfSections);
    details += "           size:    from:    to:\n";
    AppendFormat(details, "  Headers: %08X %08X %08X\r\n", opt.SizeOfHeaders, 0u, opt.SizeOfHeaders - 1);

    std::uint64_t restEnd = 0;
    std::uint32_t dataSection = 0;
    AppendSections(sections, exe, restEnd, dataSection);
    AppendRest(source, restEnd, exe);
    AppendDirectories(source, map, opt, exe);
    AppendClosingBlock(file, opt, details);
    CheckDataSection(source, dataSection, exe);
}

}  // namespace quiddity
