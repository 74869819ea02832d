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
    const CByteReader opt = nt.Sub(kOptionalHeaderOffset, kNtHeaders64Bytes - kOptionalHeaderOffset);
    PeOptionalHeader h;
    h.Magic = opt.ReadLE16(0);
    h.MajorLinkerVersion = opt.Byte(2);
    h.MinorLinkerVersion = opt.Byte(3);
    h.AddressOfEntryPoint = opt.ReadLE32(16);
    h.BaseOfCode = opt.ReadLE32(20);
    h.ImageBase = h.IsPe32Plus() ? opt.ReadLE64(24) : opt.ReadLE32(28);
    h.FileAlignment = opt.ReadLE32(36);
    h.SizeOfImage = opt.ReadLE32(56);
    h.SizeOfHeaders = opt.ReadLE32(60);
    h.Subsystem = opt.ReadLE16(68);
    h.DllCharacteristics = opt.ReadLE16(70);
    const std::size_t directories = h.IsPe32Plus() ? kPe32PlusDataDirectoryOffset : kPe32DataDirectoryOffset;
    // The count of directories is the field just before them.
    h.NumberOfRvaAndSizes = opt.ReadLE32(directories - 4);
    // Only the entries the header declares and holds are directories; past
    // them lie the section headers, which must not be read as directories.
    for (std::size_t i = 0; i < kDataDirectoryCount; ++i) {
        const std::size_t at = directories + i * kDataDirectoryBytes;
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

ResourceDataEntry DecodeResourceDataEntry(const CByteReader& entry) { return {entry.ReadLE32(0), entry.ReadLE32(4)}; }

ExportDirectory DecodeExportDirectory(const CByteReader& directory) {
    ExportDirectory d;
    d.Base = directory.ReadLE32(16);
    d.NumberOfFunctions = directory.ReadLE32(20);
    d.NumberOfNames = directory.ReadLE32(24);
    d.AddressOfNames = directory.ReadLE32(32);
    return d;
}

ImportDescriptor DecodeImportDescriptor(const CByteReader& descriptor) {
    return {descriptor.ReadLE32(0), descriptor.ReadLE32(12)};
}

NeHeader DecodeNeHeader(const CByteReader& ne) {
    NeHeader h;
    h.ne_ver = static_cast<std::int8_t>(ne.Byte(0x02));
    h.ne_rev = static_cast<std::int8_t>(ne.Byte(0x03));
    h.ne_enttab = ne.ReadLE16(0x04);
    h.ne_flags = ne.ReadLE16(0x0C);
    h.ne_segtab = ne.ReadLE16(0x22);
    h.ne_rsrctab = ne.ReadLE16(0x24);
    h.ne_restab = ne.ReadLE16(0x26);
    h.ne_modtab = ne.ReadLE16(0x28);
    h.ne_imptab = ne.ReadLE16(0x2A);
    h.ne_nrestab = ne.ReadLE32(0x2C);
    h.ne_exetyp = ne.Byte(0x36);
    h.ne_flagsothers = ne.Byte(0x37);
    h.ne_expverMinor = ne.Byte(0x3E);
    h.ne_expverMajor = ne.Byte(0x3F);
    return h;
}

LinearHeader DecodeLinearHeader(const CByteReader& header) {
    LinearHeader h;
    h.e32_level = header.ReadLE32(0x04);
    h.e32_cpu = header.ReadLE16(0x08);
    h.e32_os = header.ReadLE16(0x0A);
    h.e32_ver = header.ReadLE32(0x0C);
    h.e32_devid = header.ReadLE16(0xC0);
    h.e32_ddkver = header.ReadLE16(0xC2);
    return h;
}

}  // namespace quiddity
