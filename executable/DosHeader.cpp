// The DOS (MZ) header: the dispatch on the new-format header, and the
// details of plain DOS programs with the data appended to their image.
#include <algorithm>
#include <array>
#include <string_view>

#include "executable/ExeSteps.h"

namespace quiddity {

namespace {

using namespace std::string_view_literals;

// The bytes of appended data that are scanned and shown.
constexpr std::size_t kAppendedDataBytes = 256;

struct NewHeaderKind {
    std::string_view signature;
    void (*describe)(const IByteSource& source, ExeAnalysis& exe);  // or null
    const char* line;                                                // when describe is null
};

constexpr std::array<NewHeaderKind, 10> kNewHeaderKinds{{
    {"PE\0\0"sv, AnalyzePe, nullptr},
    {"NE", DescribeNe, nullptr},
    {"LE", DescribeLe, nullptr},
    {"LX", DescribeLx, nullptr},
    {"CE", nullptr, "MZ, CE (32-bit DOS)\r\n"},
    {"W3", nullptr, "MZ, W3 (WIN386.EXE-file, collection of LE files)\r\n"},
    {"DL", nullptr, "MZ, DL (HP100LX/200LX .exm-file)\r\n"},
    {"MP", nullptr, "MZ, MP (PharLap .exp-file)\r\n"},
    {"P2", nullptr, "MZ, MP (PharLap 286 .exp-file)\r\n"},
    {"P3", nullptr, "MZ, MP (PharLap 386 .exp-file)\r\n"},
}};

char SignatureCharacter(std::uint8_t b) { return b < 0x20 || b >= 0x80 ? ' ' : static_cast<char>(b); }

// True when the new header was recognised (or marked as an unknown kind);
// false leaves the file to be described as a DOS program.
bool DispatchNewHeader(const IByteSource& source, const DosHeader& dos, ExeAnalysis& exe) {
    const std::vector<std::uint8_t> header = ReadBlock(source, dos.e_lfanew, kNtHeaders64Bytes);
    // Both header views must be complete, so a new header needs the PE32+
    // size of file behind e_lfanew.
    if (header.size() < kNtHeaders64Bytes) return false;
    std::copy(header.begin(), header.end(), exe.newHeader.begin());
    exe.newHeaderOffset = dos.e_lfanew;
    const CByteReader signature(header.data(), header.size());
    for (const NewHeaderKind& kind : kNewHeaderKinds) {
        if (!signature.Matches(0, kind.signature)) continue;
        if (kind.describe) kind.describe(source, exe);
        else exe.detailsText += kind.line;
        return true;
    }
    if (dos.e_lfarlc < kMzNewFormatRelocations) return false;
    const std::uint8_t low = header[0];
    const std::uint8_t high = header[1];
    AppendFormat(exe.detailsText, "MZ (%04X)(%c%c)", (high << 8) | low, SignatureCharacter(high),
                 SignatureCharacter(low));
    return true;
}

void AppendDosDetails(const IByteSource& source, const DosHeader& dos, ExeAnalysis& exe) {
    std::string& details = exe.detailsText;
    const std::uint64_t size = exe.fileSize;
    if (size > 0xFFFFFFFF) details += " Too big file for DOS!\r\n";
    // An e_cblp of 0 adds nothing (not a full page); e_cp 0 wraps, so
    // nothing counts as appended.
    const std::uint32_t image = (std::uint32_t{dos.e_cp} - 1) * kDosPageBytes + dos.e_cblp;
    if (size > image) {
        const std::uint64_t count = size - image;
        AppendFormat(details, " File has %llu bytes of appended data,%08X - %08llX.\r\n",
                     static_cast<unsigned long long>(count), image, static_cast<unsigned long long>(size - 1));
        const std::vector<std::uint8_t> rest =
            ReadBlock(source, image, static_cast<std::size_t>(std::min<std::uint64_t>(count, kAppendedDataBytes)));
        ScanDosAppendedData(rest, exe.clues);
        AppendFormat(details, "    Rest starts with: %s\r\n", PrintableText(rest).c_str());
    } else {
        details += " No appended data\r\n";
    }
    AppendFormat(details, "\r\nSize of header: 0x%04X paragraphs\r\n", dos.e_cparhdr);
    AppendFormat(details, "Relocations: 0x%04X\r\n", dos.e_crlc);
    AppendFormat(details, "Relocation table start: 0x%04X\r\n", dos.e_lfarlc);
    AppendFormat(details, "Data after relocation table start: 0x%04X\r\n", dos.e_lfarlc + 4u * dos.e_crlc);
    AppendFormat(details, "SS: 0x%04X (relative)\r\n", dos.e_ss);
    AppendFormat(details, "SP: 0x%04X\r\n", dos.e_sp);
    AppendFormat(details, "IP: 0x%04X\r\n", dos.e_ip);
    AppendFormat(details, "CS: 0x%04X (relative)\r\n", dos.e_cs);
}

}  // namespace

void AnalyzeExecutable(const IByteSource& source, ExeAnalysis& exe) {
    exe.fileSize = source.Size();
    const std::vector<std::uint8_t> head = ReadBlock(source, 0, kMzHeaderBytes);
    if (head.size() < kMzHeaderBytes) return;
    std::copy(head.begin(), head.end(), exe.mzHeader.begin());
    const CByteReader mz(head.data(), head.size());
    const DosHeader dos = DecodeDosHeader(mz);
    if (dos.e_magic != kMzMagic) {
        if (dos.e_magic == kMzMagicReversed) exe.detailsText += "ZM, executable reversed-endian\r\n";
        return;
    }
    if (mz.Matches(kMzInstallerMarkOffset, "Inno")) exe.clues.innoStub = true;
    if (mz.Matches(kMzPackerMarkOffset, "LZ91")) exe.clues.lzexe = true;

    bool newFormat = false;
    if (dos.e_lfanew == 0) {
        exe.detailsText += "MZ, DOS\r\n No pointer to PE\r\n";
    } else {
        newFormat = DispatchNewHeader(source, dos, exe);
        if (!newFormat) exe.detailsText += "MZ, DOS\r\n";
    }
    if (!newFormat) AppendDosDetails(source, dos, exe);
    CheckDosStub(source, exe);
}

}  // namespace quiddity
