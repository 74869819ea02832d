// On-disk layouts of the DOS (MZ) and PE/COFF headers, decoded field by
// field.  Offsets and sizes follow Microsoft's "PE Format" documentation
// (learn.microsoft.com/windows/win32/debug/pe-format).  Every decoder reads
// through a CByteReader, so a field outside the bytes reads as zero; callers
// check the number of bytes read before decoding.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/ByteReader.h"

namespace quiddity {

// DOS (MZ) header: the first 64 bytes of the file.
inline constexpr std::size_t kMzHeaderBytes = 64;
inline constexpr std::uint16_t kMzMagic = 0x5A4D;          // "MZ"
inline constexpr std::uint16_t kMzMagicReversed = 0x4D5A;  // "ZM"
inline constexpr std::size_t kMzPackerMarkOffset = 0x1C;
inline constexpr std::size_t kMzInstallerMarkOffset = 0x30;
inline constexpr std::size_t kMzLfanewOffset = 0x3C;
// A relocation table at or past the end of the classic header marks a
// new-format header of some kind.
inline constexpr std::uint16_t kMzNewFormatRelocations = 0x40;
inline constexpr std::uint32_t kDosPageBytes = 512;

struct DosHeader {
    std::uint16_t e_magic = 0;
    std::uint16_t e_cblp = 0;      // bytes in the last page
    std::uint16_t e_cp = 0;        // 512-byte pages
    std::uint16_t e_crlc = 0;      // relocations
    std::uint16_t e_cparhdr = 0;   // header paragraphs
    std::uint16_t e_ss = 0;
    std::uint16_t e_sp = 0;
    std::uint16_t e_ip = 0;
    std::uint16_t e_cs = 0;
    std::uint16_t e_lfarlc = 0;    // relocation table offset
    std::uint32_t e_lfanew = 0;    // new-format header offset, 0 for none
};
DosHeader DecodeDosHeader(const CByteReader& mz);

// NT headers: the 4-byte signature, the 20-byte COFF file header, then the
// optional header.  The fields read from the optional header sit at the same
// offsets in PE32 and PE32+, so one read of the larger PE32+ size serves as
// both the 248-byte PE32 view and the 264-byte PE32+ view.
inline constexpr std::size_t kNtHeadersBytes = 248;    // PE32, 224-byte optional header
inline constexpr std::size_t kNtHeaders64Bytes = 264;  // PE32+, 240-byte optional header
inline constexpr std::size_t kPeSignatureBytes = 4;
inline constexpr std::size_t kCoffHeaderBytes = 20;
inline constexpr std::size_t kOptionalHeaderOffset = kPeSignatureBytes + kCoffHeaderBytes;
inline constexpr std::uint16_t kMagicPe32 = 0x10B;
inline constexpr std::uint16_t kMagicPe32Plus = 0x20B;
inline constexpr std::uint16_t kMagicRom = 0x107;
inline constexpr std::size_t kDataDirectoryCount = 16;
inline constexpr std::size_t kDataDirectoryBytes = 8;
// The data directories follow the fields that differ in width: at 96 in
// the PE32 optional header, at 112 in the PE32+ one.
inline constexpr std::size_t kPe32DataDirectoryOffset = 96;
inline constexpr std::size_t kPe32PlusDataDirectoryOffset = 112;
inline constexpr std::size_t kExportDirectory = 0;
inline constexpr std::size_t kImportDirectory = 1;
inline constexpr std::size_t kResourceDirectory = 2;
inline constexpr std::size_t kDebugDirectory = 6;

struct PeFileHeader {
    std::uint16_t Machine = 0;
    std::uint16_t NumberOfSections = 0;
    std::uint32_t TimeDateStamp = 0;
    std::uint32_t NumberOfSymbols = 0;
    std::uint16_t SizeOfOptionalHeader = 0;
    std::uint16_t Characteristics = 0;
};

struct ImageDataDirectory {
    std::uint32_t VirtualAddress = 0;
    std::uint32_t Size = 0;
};

// The optional-header fields the analysis uses, decoded with the layout
// that Magic names: PE32+ widens ImageBase to 64 bits over PE32's
// BaseOfData, which the analysis does not use, and moves NumberOfRvaAndSizes
// and the directories 16 bytes on; the other fields sit where PE32 has them.
struct PeOptionalHeader {
    std::uint16_t Magic = 0;
    std::uint8_t MajorLinkerVersion = 0;
    std::uint8_t MinorLinkerVersion = 0;
    std::uint32_t AddressOfEntryPoint = 0;
    std::uint32_t BaseOfCode = 0;
    std::uint64_t ImageBase = 0;
    std::uint32_t FileAlignment = 0;
    std::uint32_t SizeOfImage = 0;
    std::uint32_t SizeOfHeaders = 0;
    std::uint16_t Subsystem = 0;
    std::uint16_t DllCharacteristics = 0;
    std::uint32_t NumberOfRvaAndSizes = 0;
    std::array<ImageDataDirectory, kDataDirectoryCount> DataDirectory{};

    bool IsPe32Plus() const { return Magic == kMagicPe32Plus; }
};

// `nt` starts at the signature and holds the PE32+ size of NT headers.
PeFileHeader DecodeFileHeader(const CByteReader& nt);
PeOptionalHeader DecodeOptionalHeader(const CByteReader& nt, const PeFileHeader& file);

// Section header: 40 bytes each, right after the optional header.
inline constexpr std::size_t kSectionHeaderBytes = 40;
inline constexpr std::size_t kSectionNameBytes = 8;

struct SectionHeader {
    std::array<char, kSectionNameBytes + 1> Name{};  // terminated
    std::uint32_t VirtualAddress = 0;
    std::uint32_t SizeOfRawData = 0;
    std::uint32_t PointerToRawData = 0;
    std::uint32_t Characteristics = 0;
};
SectionHeader DecodeSectionHeader(const CByteReader& header);

// Resource directory: a 16-byte header followed by 8-byte entries.
inline constexpr std::size_t kResourceDirectoryBytes = 16;
inline constexpr std::size_t kResourceEntryBytes = 8;
inline constexpr std::uint32_t kResourceSubdirectoryMask = 0x7FFFFFFF;
inline constexpr std::uint32_t kResourceSubdirectoryBit = 0x80000000;  // in OffsetToData
inline constexpr std::uint32_t kResourceNameBit = 0x80000000;          // in NameOrId: named by a string

struct ResourceDirectoryHeader {
    std::uint16_t NumberOfNamedEntries = 0;
    std::uint16_t NumberOfIdEntries = 0;
};
ResourceDirectoryHeader DecodeResourceDirectory(const CByteReader& header);

struct ResourceEntry {
    std::uint32_t NameOrId = 0;
    std::uint32_t OffsetToData = 0;
};
ResourceEntry DecodeResourceEntry(const CByteReader& entry);

// A leaf of the resource tree: where the resource's bytes lie (an RVA).
inline constexpr std::size_t kResourceDataEntryBytes = 16;

struct ResourceDataEntry {
    std::uint32_t OffsetToData = 0;
    std::uint32_t Size = 0;
};
ResourceDataEntry DecodeResourceDataEntry(const CByteReader& entry);

// Export directory: 40 bytes.
inline constexpr std::size_t kExportDirectoryBytes = 40;

struct ExportDirectory {
    std::uint32_t Base = 0;
    std::uint32_t NumberOfFunctions = 0;
    std::uint32_t NumberOfNames = 0;
    std::uint32_t AddressOfNames = 0;
};
ExportDirectory DecodeExportDirectory(const CByteReader& directory);

// Import descriptor: 20 bytes each, the list ends with one whose
// OriginalFirstThunk is 0.
inline constexpr std::size_t kImportDescriptorBytes = 20;

struct ImportDescriptor {
    std::uint32_t OriginalFirstThunk = 0;
    std::uint32_t Name = 0;
};
ImportDescriptor DecodeImportDescriptor(const CByteReader& descriptor);

// Debug directory entry: 28 bytes.
inline constexpr std::size_t kDebugEntryBytes = 28;
inline constexpr std::uint32_t kDebugTypeCodeView = 2;
inline constexpr std::uint32_t kDebugTypeMisc = 4;

struct DebugDirectoryEntry {
    std::uint32_t Type = 0;
    std::uint32_t SizeOfData = 0;
    std::uint32_t AddressOfRawData = 0;
    std::uint32_t PointerToRawData = 0;
};
DebugDirectoryEntry DecodeDebugEntry(const CByteReader& entry);

// NE header (16-bit Windows and OS/2), at e_lfanew; its table offsets are
// relative to it.  Field names of Microsoft's "Executable-File Header
// Format" (NE), as in the Windows 3.x SDK's newexe.h.
inline constexpr std::size_t kNeHeaderBytes = 64;

struct NeHeader {
    std::int8_t ne_ver = 0;            // linker major version (signed, as linkers wrote it)
    std::int8_t ne_rev = 0;            // linker minor version
    std::uint16_t ne_enttab = 0;       // entry table
    std::uint16_t ne_flags = 0;        // module flags
    std::uint16_t ne_segtab = 0;       // segment table
    std::uint16_t ne_rsrctab = 0;      // resource table
    std::uint16_t ne_restab = 0;       // resident name table
    std::uint16_t ne_modtab = 0;       // module reference table
    std::uint16_t ne_imptab = 0;       // imported-names table
    std::uint32_t ne_nrestab = 0;      // non-resident name table, from the start of the file
    std::uint8_t ne_exetyp = 0;        // target operating system
    std::uint8_t ne_flagsothers = 0;   // further flags
    std::uint8_t ne_expverMinor = 0;   // expected Windows version
    std::uint8_t ne_expverMajor = 0;
};
NeHeader DecodeNeHeader(const CByteReader& ne);

// NE resource table: an alignment shift, then type records (type ID, count,
// 4 reserved bytes), each followed by its resources (offset and length in
// alignment units, flags, ID, 2 more words).  A type ID of 0 ends it.
inline constexpr std::size_t kNeResourceTypeBytes = 8;
inline constexpr std::size_t kNeResourceBytes = 12;

// LE and LX headers (virtual device drivers, 32-bit OS/2), at e_lfanew.
// Field names of IBM's "32-bit OS/2 Linear Executable Module Format" and
// the VxD header of winnt.h.
inline constexpr std::size_t kLinearHeaderBytes = 196;

struct LinearHeader {
    std::uint32_t e32_level = 0;   // format level
    std::uint16_t e32_cpu = 0;
    std::uint16_t e32_os = 0;
    std::uint32_t e32_ver = 0;     // module version
    std::uint16_t e32_devid = 0;   // VxD device ID
    std::uint16_t e32_ddkver = 0;  // VxD DDK version
};
LinearHeader DecodeLinearHeader(const CByteReader& header);

}  // namespace quiddity
