#include "executable/ExeStructs.h"

namespace quiddity {

DosHeader DecodeDosHeader(const CByteReader& mz) {
    DosHeader h;
    h.e_magic = mz.ReadLE16(0x00);
    h.e_cblp = mz.ReadLE16(0x02);
    h.e_cp = mz.ReadLE16(0x04);
    h.e_crlc = mz.ReadLE16(0x06);
    h.e_cparhdr = mz.ReadLE16(0x08);
    h.e_ss = mz.ReadLE16(0x0E);
    h.e_sp = mz.ReadLE16(0x10);
    h.e_ip = mz.ReadLE16(0x14);
    h.e_cs = mz.ReadLE16(0x16);
    h.e_lfarlc = mz.ReadLE16(0x18);
    h.e_lfanew = mz.ReadLE32(kMzLfanewOffset);
    return h;
}

PeFileHeader DecodeFileHeader(const CByteReader& nt) {
    const CByteReader coff = nt.Sub(kPeSignatureBytes, kCoffHeaderBytes);
    PeFileHeader h;
    h.Machine = coff.ReadLE16(0);
    h.NumberOfSections = coff.ReadLE16(2);
    h.TimeDateStamp = coff.ReadLE32(4);
    h.NumberOfSymbols = coff.ReadLE32(12);
    h.SizeOfOptionalHeader = coff.ReadLE16(16);
    h.Characteristics = coff.ReadLE16(18);
    return h;
}

PeOptionalHeader DecodeOptionalHeader(const CByteReader& nt, const PeFileHeader& file) {
    const CByteReader opt = nt.Sub(kOptionalHeaderOffset, kNtHeadersBytes - kOptionalHeaderOffset);
    PeOptionalHeader h;
    h.Magic = opt.ReadLE16(0);
    h.MajorLinkerVersion = opt.Byte(2);
    h.MinorLinkerVersion = opt.Byte(3);
    h.AddressOfEntryPoint = opt.ReadLE32(16);
    h.BaseOfCode = opt.ReadLE32(20);
    h.ImageBase = opt.ReadLE32(28);
    h.FileAlignment = opt.ReadLE32(36);
    h.SizeOfImage = opt.ReadLE32(56);
    h.SizeOfHeaders = opt.ReadLE32(60);
    h.Subsystem = opt.ReadLE16(68);
    h.DllCharacteristics = opt.ReadLE16(70);
    h.NumberOfRvaAndSizes = opt.ReadLE32(92);
    // Only the entries the header declares and holds are directories; past
    // them lie the section headers, which must not be read as directories.
    for (std::size_t i = 0; i < kDataDirectoryCount; ++i) {
        const std::size_t at = kPe32DataDirectoryOffset + i * kDataDirectoryBytes;
        if (i >= h.NumberOfRvaAndSizes || at + kDataDirectoryBytes > file.SizeOfOptionalHeader) break;
        h.DataDirectory[i] = {opt.ReadLE32(at), opt.ReadLE32(at + 4)};
    }
    return h;
}

SectionHeader DecodeSectionHeader(const CByteReader& header) {
    SectionHeader h;
    for (std::size_t i = 0; i < kSectionNameBytes; ++i) h.Name[i] = static_cast<char>(header.Byte(i));
    h.VirtualAddress = header.ReadLE32(12);
    h.SizeOfRawData = header.ReadLE32(16);
    h.PointerToRawData = header.ReadLE32(20);
    h.Characteristics = header.ReadLE32(36);
    return h;
}

ResourceDirectoryHeader DecodeResourceDirectory(const CByteReader& header) {
    return {header.ReadLE16(12), header.ReadLE16(14)};
}

ResourceEntry DecodeResourceEntry(const CByteReader& entry) { return {entry.ReadLE32(0), entry.ReadLE32(4)}; }

DebugDirectoryEntry DecodeDebugEntry(const CByteReader& entry) {
    return {entry.ReadLE32(12), entry.ReadLE32(16), entry.ReadLE32(20), entry.ReadLE32(24)};
}

}  // namespace quiddity
