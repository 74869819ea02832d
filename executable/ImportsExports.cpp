// Exported names and imported DLLs of a PE file, and the clues they give:
// runtime libraries among the imports, plug-in kinds among the exports.
// Layouts: Microsoft "PE Format", sections ".edata" and ".idata".
#include <array>
#include <string_view>

#include "executable/ExeSteps.h"

namespace quiddity {

namespace {

// An export directory that claims more names or functions than this is
// taken to claim none: no plug-in has that many, and it bounds the name
// pointers to one read of 4,000 bytes.
constexpr std::uint32_t kMaxExportCount = 1000;
// Exported and imported names are read up to this length.
constexpr std::size_t kNameBytes = 255;
// Import descriptors read; beyond them the list would show nothing more.
constexpr std::size_t kMaxImportDescriptors = 100;
constexpr std::size_t kNamePointerBytes = 4;

enum class EMatch : bool { Whole, Prefix };

struct ExportClue {
    std::string_view name;  // compared exactly, case and all
    EMatch match;
    bool ExeClues::*clue;
};

constexpr auto kExportClues = std::to_array<ExportClue>({
    {"xCompileEntry", EMatch::Whole, &ExeClues::premiereCompiler},
    {"xFilter", EMatch::Whole, &ExeClues::premiereFilter},
    {"xImportEntry", EMatch::Whole, &ExeClues::premiereImport},
    {"xPlayEntry", EMatch::Whole, &ExeClues::premierePlay},
    {"RecEntry", EMatch::Whole, &ExeClues::premiereRecord},
    {"xEffect", EMatch::Whole, &ExeClues::premiereTransition},
    {"ENTRYPOINT", EMatch::Prefix, &ExeClues::photoshop},
    {"PluginMain", EMatch::Whole, &ExeClues::genericPlugin},
    {"ACD2_Initialize", EMatch::Whole, &ExeClues::acd2},
    {"ACDPlugin_Initialize", EMatch::Whole, &ExeClues::acd},
    {"WinampGetInModule2", EMatch::Whole, &ExeClues::winamp},
    {"DllRegisterServer", EMatch::Whole, &ExeClues::comServer},
    {"CPlApplet", EMatch::Whole, &ExeClues::controlPanel},
    {"DriverProc", EMatch::Whole, &ExeClues::acmCodec},
    // ISAPI extensions export the "Extension" names; the "Extention" ones
    // are the program's old spelling, still matched.
    {"GetExtensionVersion", EMatch::Whole, &ExeClues::isapiVersion},
    {"GetExtentionVersion", EMatch::Whole, &ExeClues::isapiVersion},
    {"HttpExtensionProc", EMatch::Whole, &ExeClues::isapiProc},
    {"HttpExtentionProc", EMatch::Whole, &ExeClues::isapiProc},
    {"VirtualdubFilterModule", EMatch::Prefix, &ExeClues::virtualDub},
    {"DoMyJob", EMatch::Whole, &ExeClues::peid},
});

// Total Commander plug-ins: each name met raises its kind's counter.
struct ExportCounter {
    std::string_view name;
    unsigned ExeClues::*counter;
};

constexpr auto kExportCounters = std::to_array<ExportCounter>({
    {"OpenArchive", &ExeClues::wcx},
    {"CloseArchive", &ExeClues::wcx},
    {"ProcessFile", &ExeClues::wcx},
    {"ReadHeader", &ExeClues::wcx},
    {"ContentGetDetectString", &ExeClues::wdx},
    // Content plug-ins export ContentGetSupportedField; the shorter name
    // is the program's old spelling, still counted.
    {"ContentGetSupportedField", &ExeClues::wdx},
    {"ContentGetSupportField", &ExeClues::wdx},
    {"ContentGetValue", &ExeClues::wdx},
    {"FsInit", &ExeClues::wfx},
    {"FsGetFile", &ExeClues::wfx},
    {"ListLoad", &ExeClues::wlx},
    {"ListCloseWindow", &ExeClues::wlx},
});

struct ImportClue {
    std::string_view dll;  // the whole name, compared regardless of ASCII case
    bool ExeClues::*clue;
};

constexpr auto kImportClues = std::to_array<ImportClue>({
    {"mfc40.dll", &ExeClues::mfc40},
    {"mfc42.dll", &ExeClues::mfc42},
    {"mfc70.dll", &ExeClues::mfc70},
    {"mfc71.dll", &ExeClues::mfc71},
    {"mfc80.dll", &ExeClues::mfc80},
    {"msvcrt.dll", &ExeClues::msvcrt},
    {"msvcrt40.dll", &ExeClues::msvcrt40},
    {"msvcr71.dll", &ExeClues::msvcr71},
    {"msvcr70.dll", &ExeClues::msvcr70},
    {"crtdll.dll", &ExeClues::crtdll},
    {"lz32.dll", &ExeClues::lz32},
    {"msvbvm50.dll", &ExeClues::msvbvm50},
    {"msvbvm60.dll", &ExeClues::msvbvm60},
    {"mscoree.dll", &ExeClues::mscoree},
});

void MatchExportName(std::string_view name, ExeClues& clues) {
    for (const ExportClue& row : kExportClues) {
        const bool hit = row.match == EMatch::Prefix ? name.starts_with(row.name) : name == row.name;
        if (hit) clues.*row.clue = true;
    }
    for (const ExportCounter& row : kExportCounters)
        if (name == row.name) ++(clues.*row.counter);
}

void MatchImportName(std::string_view name, ExeClues& clues) {
    for (const ImportClue& row : kImportClues)
        if (EqualsAnyCase(name, row.dll)) clues.*row.clue = true;
}

// The name at the file offset of `rva`, up to its zero; none when no
// section holds it or nothing could be read there.
std::optional<std::string> ReadName(const IByteSource& source, const SectionMap& map, std::uint32_t rva,
                                    std::size_t fewestBytes) {
    const std::optional<std::uint32_t> offset = RvaToOffset(map, rva);
    if (!offset) return std::nullopt;
    const std::vector<std::uint8_t> bytes = ReadBlock(source, *offset, kNameBytes);
    if (bytes.size() < fewestBytes) return std::nullopt;
    return std::string(TextUpToZero(bytes));
}

}  // namespace

void ListExports(const IByteSource& source, const SectionMap& map, const ImageDataDirectory& directory,
                 ExeAnalysis& exe) {
    std::string& details = exe.detailsText;
    details += " Exports:\n";
    if (directory.Size == 0 || directory.VirtualAddress == 0) {
        details += "      (none)\r\n";
        return;
    }
    const std::optional<std::uint32_t> offset = RvaToOffset(map, directory.VirtualAddress);
    if (!offset) return;
    const std::vector<std::uint8_t> bytes = ReadBlock(source, *offset, kExportDirectoryBytes);
    if (bytes.size() < kExportDirectoryBytes) return;
    const ExportDirectory exports = DecodeExportDirectory(CByteReader(bytes));
    const std::uint32_t names = exports.NumberOfNames > kMaxExportCount ? 0 : exports.NumberOfNames;
    const std::uint32_t functions = exports.NumberOfFunctions > kMaxExportCount ? 0 : exports.NumberOfFunctions;
    AppendFormat(details, "  names/functions: %u/%u\r\n", names, functions);
    AppendFormat(details, "    RVA of names: %u\n", exports.AddressOfNames);

    const std::optional<std::uint32_t> table = RvaToOffset(map, exports.AddressOfNames);
    if (!table || names == 0) return;
    const std::vector<std::uint8_t> pointerBytes = ReadBlock(source, *table, names * kNamePointerBytes);
    const CByteReader pointers(pointerBytes);
    for (std::uint32_t i = 0; i < names && pointers.Has(i * kNamePointerBytes, kNamePointerBytes); ++i) {
        const std::optional<std::string> name = ReadName(source, map, pointers.ReadLE32(i * kNamePointerBytes), 1);
        if (!name) continue;
        MatchExportName(*name, exe.clues);
        // The number is the ordinal base plus the position in the name
        // table (not the name's ordinal), in 32 bits as the fields are.
        AppendFormat(details, "        %u: %s\n", exports.Base + i, PrintableName(*name).c_str());
    }
}

void ListImports(const IByteSource& source, const SectionMap& map, const ImageDataDirectory& directory,
                 ExeAnalysis& exe) {
    std::string& details = exe.detailsText;
    details += " Imports:\r\n";
    const std::optional<std::uint32_t> offset = RvaToOffset(map, directory.VirtualAddress);
    if (!offset) return;
    const std::vector<std::uint8_t> block =
        ReadBlock(source, *offset, kMaxImportDescriptors * kImportDescriptorBytes);
    const CByteReader descriptors(block);
    // The list ends at a descriptor whose OriginalFirstThunk is 0, also
    // where a linker leaves that field empty in every descriptor.
    std::vector<std::uint32_t> nameRvas;
    for (std::size_t at = 0; descriptors.Has(at, kImportDescriptorBytes); at += kImportDescriptorBytes) {
        const ImportDescriptor descriptor = DecodeImportDescriptor(descriptors.Sub(at, kImportDescriptorBytes));
        if (descriptor.OriginalFirstThunk == 0) break;
        nameRvas.push_back(descriptor.Name);
    }
    if (nameRvas.empty()) {
        details += "      (none)\r\n";
        return;
    }
    for (const std::uint32_t rva : nameRvas) {
        // A DLL name needs more than one byte: a name and its zero.
        const std::optional<std::string> name = ReadName(source, map, rva, 2);
        if (!name) continue;
        AppendFormat(details, "      %s\r\n", PrintableName(*name).c_str());
        MatchImportName(*name, exe.clues);
    }
}

}  // namespace quiddity
