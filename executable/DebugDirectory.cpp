// The debug directory: one line per entry, with the signature of CodeView
// and .dbg data.
#include <algorithm>
#include <array>

#include "executable/ExeSteps.h"

namespace quiddity {

namespace {

// Real images carry a handful of debug entries; the directory's size is
// taken from the file, so the walk stops here whatever it claims.
constexpr std::size_t kMaxDebugEntries = 64;
constexpr std::size_t kSignatureBytes = 4;

constexpr std::array<const char*, 12> kDebugTypes{{
    nullptr, "COFF         ", "Codeview     ", "FPO          ", "misc (.dbg)  ", "Exception    ",
    "Fixup        ", "OMap to src  ", "OMap from src", "Borland      ", "Reserved(10) ", "CLSID        ",
}};

struct CodeViewSignature {
    std::string_view mark;
    const char* text;
};

constexpr std::array<CodeViewSignature, 4> kCodeViewSignatures{{
    {"NB09", "NB09 CodeView 4.10 (internal)"},
    {"NB10", "NB10 PDB2.0 (external)"},
    {"NB11", "NB11 CodeView 5.0 (internal)"},
    {"RSDS", "RSDS PDB7.0 (external)"},
}};

// Appends the entry's line; false when the list ends with it.
bool AppendDebugEntry(const IByteSource& source, const DebugDirectoryEntry& entry, std::string& details) {
    details += "\n             Debug type: ";
    if (entry.Type != 0 && entry.Type < kDebugTypes.size()) details += kDebugTypes[entry.Type];
    else AppendFormat(details, "Unknown (%u)", entry.Type);
    if (entry.SizeOfData == 0) {
        details += " size: 0";
        return false;
    }
    AppendFormat(details, " size: %08X off: %08X ", entry.SizeOfData, entry.PointerToRawData);
    if (entry.PointerToRawData == 0) return false;
    const std::vector<std::uint8_t> bytes = ReadBlock(source, entry.PointerToRawData, kSignatureBytes);
    if (bytes.size() < kSignatureBytes) return false;
    const CByteReader signature(bytes.data(), bytes.size());
    if (entry.Type == kDebugTypeCodeView) {
        details += "sig: ";
        const auto* known = std::find_if(kCodeViewSignatures.begin(), kCodeViewSignatures.end(),
                                         [&](const CodeViewSignature& s) { return signature.Matches(0, s.mark); });
        if (known != kCodeViewSignatures.end()) details += known->text;
        else AppendFormat(details, "Unknown (%08X)", signature.ReadLE32(0));
    } else if (entry.Type == kDebugTypeMisc) {
        AppendFormat(details, "sig: %08X", signature.ReadLE32(0));
    }
    return true;
}

}  // namespace

void AppendDebugDirectory(const IByteSource& source, const SectionMap& map, const ImageDataDirectory& directory,
                          std::string& details) {
    AppendFormat(details, " Debug..........: %08X", directory.Size);
    if (directory.Size != 0) {
        const std::uint32_t entries = directory.Size / kDebugEntryBytes;
        const std::optional<std::uint32_t> offset = RvaToOffset(map, directory.VirtualAddress);
        const std::uint32_t start = ShownOffset(offset);
        AppendFormat(details, "  %08X - %08X (%u entries)", start, start + directory.Size - 1, entries);
        const std::size_t walked = std::min<std::size_t>(entries, kMaxDebugEntries);
        const std::vector<std::uint8_t> table =
            offset ? ReadBlock(source, *offset, walked * kDebugEntryBytes) : std::vector<std::uint8_t>{};
        const CByteReader reader(table.data(), table.size());
        for (std::size_t at = 0; reader.Has(at, kDebugEntryBytes); at += kDebugEntryBytes)
            if (!AppendDebugEntry(source, DecodeDebugEntry(reader.Sub(at, kDebugEntryBytes)), details)) break;
    }
    // Every directory line ends here, an empty debug directory's too.
    details += "\r\n";
}

}  // namespace quiddity
