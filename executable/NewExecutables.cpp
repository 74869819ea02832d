// NE (16-bit Windows and OS/2), LE (virtual device drivers) and LX (32-bit
// OS/2) headers, read from the new header already in exe.newHeader.
// Layouts: Microsoft "Executable-File Header Format" (NE), IBM "32-bit OS/2
// Linear Executable Module Format" (LE/LX).
#include <array>
#include <string_view>

#include "executable/ExeSteps.h"

namespace quiddity {

namespace {

constexpr auto kNeFurtherFlags = std::to_array<NamedValue>({
    {0x01, "long filenames, "},
    {0x02, "Win 2.x (Win 3.x protected mode), "},
    {0x04, "Win 2.x (w/proportional fonts), "},
});

constexpr auto kNeSystems = std::to_array<NamedValue>({
    {1, "OS: OS/2\r\n"},
    {2, "OS: Windows\r\n"},
    {3, "OS: MS-DOS 4.x\r\n"},
    {4, "OS: Windows 386\r\n"},
    {5, "OS: BOSS (Borland OS Services)\r\n"},
    {0x81, "OS: PharLap 286 dos-extender, OS/2\r\n"},
    {0x82, "OS: PharLap 286 dos-extender, Windows\r\n"},
});

// Module flags: bits 0, 1 and 15 named, bits 8 to 10 the application type.
constexpr auto kNeModuleFlags = std::to_array<NamedValue>({
    {0x0001, "dll, "},
    {0x0002, "app, "},
    {0x8000, "lib, "},
});
constexpr unsigned kNeAppTypeShift = 8;
constexpr unsigned kNeAppTypeMask = 0x7;
constexpr auto kNeAppTypes = std::to_array<NamedValue>({
    {1, "Full screen app\r\n"},
    {2, "Windows/PM compatible app\r\n"},
    {3, "Windows/PM app\r\n"},
});

// The imported-names table is read this far; one length byte limits each
// name to 255 characters.
constexpr std::size_t kImportedNamesBytes = 1024;

struct ModuleClue {
    std::string_view name;  // compared regardless of ASCII case
    bool ExeClues::*clue;
};

constexpr auto kModuleClues = std::to_array<ModuleClue>({
    {"vbrun100", &ExeClues::vbrun100},
    {"vbrun200", &ExeClues::vbrun200},
    {"vbrun300", &ExeClues::vbrun300},
    {"bwcc", &ExeClues::bwcc},
    {"bc30rtl", &ExeClues::bc30rtl},
    {"bc40rtl", &ExeClues::bc40rtl},
    {"bc450rtl", &ExeClues::bc450rtl},
});

constexpr auto kLinearCpus = std::to_array<NamedValue>({
    {1, "Intel 80286"},
    {2, "Intel 80386"},
    {3, "Intel 80486"},
    {4, "Intel Pentium"},
    {0x20, "Intel i860 (N10)"},
    {0x21, "Intel 'N11'"},
    {0x40, "MIPS Mark I"},
    {0x41, "MIPS Mark II"},
    {0x42, "MIPS Mark III"},
});

constexpr auto kLinearSystems = std::to_array<NamedValue>({
    {0, "(unknown)"},
    {1, "OS/2"},
    {2, "Windows"},
    {3, "DOS 4.x"},
    {4, "Win386 (32-bit)"},
});

CByteReader NewHeader(const ExeAnalysis& exe) { return CByteReader(exe.newHeader.data(), exe.newHeader.size()); }

// The names of the imported-names table, in file order.  The table starts
// with an empty entry; each name is a length byte and that many
// characters.  The walk ends at a zero length, a name running past the
// bytes read or one that does not start with a printable ASCII character
// (the table has no count, so the walk may run on into the next table).
void ListImportedNames(const IByteSource& source, std::uint64_t offset, ExeAnalysis& exe) {
    const std::vector<std::uint8_t> table = ReadBlock(source, offset, kImportedNamesBytes);
    const CByteReader names(table);
    for (std::size_t at = 1; at < names.Size();) {
        const std::size_t length = names.Byte(at);
        if (length == 0 || !names.Has(at + 1, length)) break;
        const std::uint8_t first = names.Byte(at + 1);
        if (first < 0x20 || first > 0x7F) break;
        const std::string_view name(reinterpret_cast<const char*>(names.Data()) + at + 1, length);
        AppendFormat(exe.detailsText, "   %s\r\n", PrintableName(name).c_str());
        for (const ModuleClue& row : kModuleClues)
            if (EqualsAnyCase(name, row.name)) exe.clues.*row.clue = true;
        at += length + 1;
    }
}

}  // namespace

void DescribeNe(const IByteSource& source, ExeAnalysis& exe) {
    const NeHeader ne = DecodeNeHeader(NewHeader(exe));
    std::string& details = exe.detailsText;
    details = "MZ, NE, ";
    for (const NamedValue& flag : kNeFurtherFlags)
        if (ne.ne_flagsothers & flag.value) details += flag.name;
    TrimEnd(details, ", ");
    details += "\r\n";

    if (const char* system = NameOf(kNeSystems, ne.ne_exetyp)) details += system;
    else AppendFormat(details, "OS: Unknown (%02X)\r\n", ne.ne_exetyp);
    AppendFormat(details, "\r\nWindows version: %d.%d\r\n", ne.ne_expverMajor, ne.ne_expverMinor);

    for (const NamedValue& flag : kNeModuleFlags)
        if (ne.ne_flags & flag.value) details += flag.name;
    TrimEnd(details, ", ");
    details += "\r\n";
    if (const char* type = NameOf(kNeAppTypes, (ne.ne_flags >> kNeAppTypeShift) & kNeAppTypeMask)) details += type;

    AppendFormat(details, "\r\nLinker version: %d.%d\r\n", ne.ne_ver, ne.ne_rev);
    AppendFormat(details, "Offset to entry table: %04X\r\n", ne.ne_enttab);
    AppendFormat(details, "Offset to segment table: %04X\r\n", ne.ne_segtab);
    AppendFormat(details, "Offset to resource table: %04X\r\n", ne.ne_rsrctab);
    AppendFormat(details, "Offset to resident name table: %04X\r\n", ne.ne_restab);
    AppendFormat(details, "Offset to module ref. table: %04X\r\n", ne.ne_modtab);
    AppendFormat(details, "Offset to imported name table: %04X\r\n", ne.ne_imptab);
    AppendFormat(details, "Offset to non-resident name table: %04X\r\n", ne.ne_nrestab);
    ListImportedNames(source, std::uint64_t{exe.newHeaderOffset} + ne.ne_imptab, exe);
}

void DescribeLe(const IByteSource&, ExeAnalysis& exe) {
    const LinearHeader le = DecodeLinearHeader(NewHeader(exe));
    std::string& details = exe.detailsText;
    details = "MZ, LE (VXD)\r\nCPU: ";
    if (const char* cpu = NameOf(kLinearCpus, le.e32_cpu)) details += cpu;
    else AppendFormat(details, "%04X", le.e32_cpu);
    details += "\r\nOS: ";
    if (const char* system = NameOf(kLinearSystems, le.e32_os)) details += system;
    else AppendFormat(details, "%04X", le.e32_os);
    AppendFormat(details, "\r\nModule version: %04X\r\n", le.e32_ver);
    AppendFormat(details, "Device ID: %04X\r\n", le.e32_devid);
    AppendFormat(details, "DDK version: %04X\r\n", le.e32_ddkver);
}

void DescribeLx(const IByteSource&, ExeAnalysis& exe) {
    const LinearHeader lx = DecodeLinearHeader(NewHeader(exe));
    std::string& details = exe.detailsText;
    details = "MZ, LX (Linear exe)\r\n";
    AppendFormat(details, "Format version: %08X\r\nCPU: ", lx.e32_level);
    if (const char* cpu = NameOf(kLinearCpus, lx.e32_cpu)) details += cpu;
    else AppendFormat(details, "(%d)", lx.e32_cpu);
    details += "\r\nOS: ";
    if (const char* system = NameOf(kLinearSystems, lx.e32_os)) details += system;
    else AppendFormat(details, "(%d)", lx.e32_os);
    details += "\r\n";
}

}  // namespace quiddity
