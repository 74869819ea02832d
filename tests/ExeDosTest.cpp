// DOS programs, the new-header dispatch and the DOS-stub marks.
#include <gtest/gtest.h>
#include <unistd.h>

#include "ExeCraft.h"
#include "report/InfoReport.h"
#include "core/ReadOnlyFile.h"

using namespace quiddity;
using namespace quiddity::test;

TEST(ExeDos, NoPointerToPeGivesDosDetails) {
    // e_cp 2 and e_cblp 0: a 512-byte image, so 488 of 1000 bytes are appended.
    std::vector<std::uint8_t> b = CraftMz(2, 0, 0, 1000);
    PutLE16(b, 0x06, 3);        // e_crlc
    PutLE16(b, 0x08, 0x20);     // e_cparhdr
    PutLE16(b, 0x0E, 0x0102);   // e_ss
    PutLE16(b, 0x10, 0xFFFE);   // e_sp
    PutLE16(b, 0x14, 0x0010);   // e_ip
    PutLE16(b, 0x16, 0xFFF0);   // e_cs
    PutLE16(b, 0x18, 0x1E);     // e_lfarlc
    PutText(b, 0x200, "PK\x03\x04 zip\x01\x7F\x81 inside and more text than fits in one line");
    const ExeAnalysis exe = Analyze(b);
    EXPECT_EQ(exe.detailsText,
              "MZ, DOS\r\n"
              " No pointer to PE\r\n"
              " File has 488 bytes of appended data,00000200 - 000003E7.\r\n"
              "    Rest starts with: PK.. zip... inside and more text\r\n"
              "\r\nSize of header: 0x0020 paragraphs\r\n"
              "Relocations: 0x0003\r\n"
              "Relocation table start: 0x001E\r\n"
              "Data after relocation table start: 0x002A\r\n"
              "SS: 0x0102 (relative)\r\n"
              "SP: 0xFFFE\r\n"
              "IP: 0x0010\r\n"
              "CS: 0xFFF0 (relative)\r\n");
    EXPECT_TRUE(exe.clues.dosZipSfx);
    EXPECT_FALSE(exe.clues.dosArjSfx);
}

TEST(ExeDos, ArjMarkAtTheStartOfTheAppendedData) {
    // 8 bytes appended to a 612-byte image: the ARJ mark is looked for at offsets 0 to 3 only.
    std::vector<std::uint8_t> arj = CraftMz(2, 100, 0, 620);
    PutText(arj, 612 + 4, "\x60\xEA");
    EXPECT_FALSE(Analyze(arj).clues.dosArjSfx);
    PutText(arj, 612 + 3, "\x60\xEA");
    EXPECT_TRUE(Analyze(arj).clues.dosArjSfx);
}

TEST(ExeDos, ReversedMarkAndNonExecutables) {
    std::vector<std::uint8_t> zm = CraftMz(0, 0, 0, 64);
    PutText(zm, 0, "ZM");
    EXPECT_EQ(Analyze(zm).detailsText, "ZM, executable reversed-endian\r\n");
    zm.pop_back();  // one byte short of a DOS header
    PutText(zm, 0, "MZ");
    EXPECT_TRUE(Analyze(zm).detailsText.empty());
}

TEST(ExeDos, DispatchOnTheNewHeaderSignature) {
    std::vector<std::uint8_t> b = CraftMz(1, 0x100, 0x80, 0x80 + 264);
    PutText(b, 0x80, "P3");
    EXPECT_EQ(Analyze(b).detailsText, "MZ, MP (PharLap 386 .exp-file)\r\n");  // the P3 file is an MP
    PutText(b, 0x80, "NE");  // described by the NE analysis, not by DOS details
    const std::string ne = Analyze(b).detailsText;
    EXPECT_EQ(ne.rfind("MZ, NE\r\nOS: Unknown (00)\r\n", 0), 0u) << ne;
    EXPECT_EQ(ne.find("appended"), std::string::npos);

    PutText(b, 0x80, "AB");  // unknown signature, with a new-format relocation offset
    PutLE16(b, 0x18, 0x40);  // e_lfarlc
    EXPECT_EQ(Analyze(b).detailsText, "MZ (4241)(BA)");
    PutText(b, 0x80, "\x01\xC8");  // characters outside the printable range
    EXPECT_EQ(Analyze(b).detailsText, "MZ (C801)(  )");
    PutLE16(b, 0x18, 0x3F);  // an old-style DOS header
    EXPECT_EQ(Analyze(b).detailsText.rfind("MZ, DOS\r\n File has", 0), 0u);
}

TEST(ExeDos, TruncatedNewHeaderIsDescribedAsDos) {
    // "PE\0\0" with only 263 of the 264 header bytes in the file.
    std::vector<std::uint8_t> b = CraftMz(1, 0x80, 0x80, 0x80 + 263);
    PutText(b, 0x80, std::string_view("PE\0\0", 4));
    const std::string details = Analyze(b).detailsText;
    EXPECT_EQ(details.rfind("MZ, DOS\r\n File has 263 bytes of appended data,00000080 - 00000186.\r\n", 0), 0u)
        << details;
    EXPECT_EQ(details.find("PE00"), std::string::npos);

    PutLE32(b, 0x3C, 0xFFFFFFF0);  // e_lfanew far past the end
    EXPECT_EQ(Analyze(b).detailsText.rfind("MZ, DOS\r\n", 0), 0u);
}

TEST(ExeDos, StubMarks) {
    auto stub = [](std::size_t offset, std::string_view text, std::size_t size = 0x100) {
        std::vector<std::uint8_t> b = CraftMz(1, 0x100, 0, size);
        PutText(b, offset, text);
        return b;
    };
    EXPECT_EQ(Analyze(stub(0x55, "upx!")).stubClueText, "UPX for DOS self-extracting archive\r\n");  // any case

    // PKLITE takes its version from the two bytes before the mark; the
    // high nibble of the major byte holds flags.
    EXPECT_EQ(Analyze(stub(0x1C, "\x0E\x31PKLITE")).stubClueText, "PKLite 1.14 compressed exe\r\n");
    // The numeric marks need both their word and their byte.
    EXPECT_EQ(Analyze(stub(0x1C, std::string_view("\x0F\x00\xA7", 3))).stubClueText, "BSA (Soviet archiver) self-extracting archive\r\n");
    EXPECT_EQ(Analyze(stub(0x1C, std::string_view("\x0F\x00\xA6", 3))).stubClueText, "");

    const ExeAnalysis lzexe = Analyze(stub(0x1C, "LZ91"));  // both a stub line and a clue
    EXPECT_EQ(lzexe.stubClueText, "LZExe 0.91 compressed exe\r\n");
    EXPECT_TRUE(lzexe.clues.lzexe);

    // Fewer than 256 bytes: no stub checks at all.
    EXPECT_TRUE(Analyze(stub(0x55, "UPX!", 0xFF)).stubClueText.empty());
    // The go32 stub's mark lies at 0x200 and needs 256 bytes there.
    EXPECT_EQ(Analyze(stub(0x200, "GO32STUB, v 2.02", 0x300)).stubClueText, "go32stub 32-bit dos app\r\n");
    EXPECT_TRUE(Analyze(stub(0x200, "GO32STUB, v 2.02", 0x2FF)).stubClueText.empty());
}

TEST(ExeDos, ExecutableSectionInTheReport) {
    CTempDir dir;
    std::vector<std::uint8_t> b = CraftMz(1, 0x100, 0, 0x100);
    PutText(b, 0x1C, "DIET");  // packer mark
    dir.Write("diet.exe", b);
    CRecordingPane pane, quiet;
    CReportSwitches contentOnly;
    contentOnly.ShowEstimated = contentOnly.ShowExe = false;
    const CMemoryByteSource source(b);
    const CReportResult result =
        CFileInspector("diet.exe", dir.Folder(), pane, InitTextStyles(), contentOnly).BuildContentReport(source);
    ASSERT_EQ(pane.runs.size(), 6u);  // after the checksum: heading, stub clue, details
    EXPECT_EQ(pane.runs[3].text + pane.runs[4].text, "Executable\nDiet compressed exe\r\n\n");
    EXPECT_EQ(pane.runs[5].text.rfind("MZ, DOS\r\n No pointer to PE\r\n No appended data\r\n", 0), 0u);
    EXPECT_EQ(std::vector({pane.runs[3].style, pane.runs[4].style, pane.runs[5].style}),
              std::vector({EStyle::Heading, EStyle::Normal, EStyle::Fixed}));
    EXPECT_EQ(result.strExeDetails, pane.runs[5].text);

    CReportSwitches noSpecial = contentOnly;
    noSpecial.ShowSpecial = false;
    CFileInspector("diet.exe", dir.Folder(), quiet, InitTextStyles(), noSpecial).BuildContentReport(source);
    EXPECT_EQ(quiet.Text().find("Executable"), std::string::npos);
    EXPECT_NE(quiet.Text().find("Checksum"), std::string::npos);
}

TEST(ExeDos, FilesOfFourGibibytesAndMore) {
    // Sparse files: the analysis reads only the few blocks it needs.
    CTempDir dir;
    auto analyzeSparse = [&](const std::string& name, const std::vector<std::uint8_t>& start,
                             off_t size = 0x100000010) {
        CReadOnlyFile file;
        ExeAnalysis exe;
        if (::truncate(dir.Write(name, start).c_str(), size) == 0 && file.Open(dir.Path(name))) {
            AnalyzeExecutable(CFileByteSource(file), exe);
        }
        return exe.detailsText;
    };
    const std::string dos = analyzeSparse("big-dos.exe", CraftMz(2, 0, 0, 0x400));
    EXPECT_NE(dos.find(" No pointer to PE\r\n Too big file for DOS!\r\n"
                       " File has 4294966800 bytes of appended data,00000200 - 10000000F.\r\n"),
              std::string::npos) << dos;
    // A PE file that large shows where its rest starts, not how long it is.
    const std::string pe = analyzeSparse("big-pe.exe", CraftTwoSectionPe());
    EXPECT_NE(pe.find("  Rest   : ???????? 00000800\r\n Exports:"), std::string::npos) << pe;
    // One byte less than 4 GiB still has a length.
    const std::string below = analyzeSparse("below-4g.exe", CraftTwoSectionPe(), 0xFFFFFFFF);
    EXPECT_NE(below.find("  Rest   : FFFFF7FF 00000800 FFFFFFFE\r\n"), std::string::npos) << below;
}
