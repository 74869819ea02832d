// DOS programs, the new-header dispatch and the DOS-stub marks.
#include <gtest/gtest.h>
#include <unistd.h>

#include "ExeCraft.h"
#include "core/InfoReport.h"
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
    EXPECT_TRUE(exe.stubClueText.empty());
}

TEST(ExeDos, ImageThatFillsTheFileHasNoAppendedData) {
    const ExeAnalysis exact = Analyze(CraftMz(2, 100, 0, 612));  // 512 + 100
    EXPECT_NE(exact.detailsText.find(" No pointer to PE\r\n No appended data\r\n"), std::string::npos);
    // 8 bytes appended: marks are looked for at offsets 0 to 3.
    std::vector<std::uint8_t> arj = CraftMz(2, 100, 0, 620);
    arj[612 + 4] = 0x60;  // ARJ header mark
    arj[612 + 5] = 0xEA;
    EXPECT_FALSE(Analyze(arj).clues.dosArjSfx);
    arj[612 + 3] = 0x60;
    arj[612 + 4] = 0xEA;
    EXPECT_TRUE(Analyze(arj).clues.dosArjSfx);
}

TEST(ExeDos, ReversedMarkAndNonExecutables) {
    std::vector<std::uint8_t> zm(64, 0);
    PutText(zm, 0, "ZM");  // e_magic reversed
    const ExeAnalysis reversed = Analyze(zm);
    EXPECT_EQ(reversed.detailsText, "ZM, executable reversed-endian\r\n");
    EXPECT_TRUE(reversed.stubClueText.empty());

    std::vector<std::uint8_t> shortMz(63, 0);
    PutText(shortMz, 0, "MZ");  // one byte short of a DOS header
    EXPECT_TRUE(Analyze(shortMz).detailsText.empty());
    EXPECT_TRUE(Analyze(std::vector<std::uint8_t>(4096, 'x')).detailsText.empty());
}

TEST(ExeDos, DispatchOnTheNewHeaderSignature) {
    const struct {
        std::string_view signature;
        std::string details;
    } cases[] = {
        {"CE", "MZ, CE (32-bit DOS)\r\n"},
        {"W3", "MZ, W3 (WIN386.EXE-file, collection of LE files)\r\n"},
        {"DL", "MZ, DL (HP100LX/200LX .exm-file)\r\n"},
        {"MP", "MZ, MP (PharLap .exp-file)\r\n"},
        {"P2", "MZ, MP (PharLap 286 .exp-file)\r\n"},
        {"P3", "MZ, MP (PharLap 386 .exp-file)\r\n"},
        {"NE", ""},  // described by the NE analysis, not by DOS details
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> b = CraftMz(1, 0x100, 0x80, 0x80 + 264);
        PutText(b, 0x80, c.signature);
        EXPECT_EQ(Analyze(b).detailsText, c.details) << c.signature;
    }
}

TEST(ExeDos, UnknownSignatureNeedsANewFormatRelocationOffset) {
    std::vector<std::uint8_t> b = CraftMz(1, 0x100, 0x80, 0x80 + 264);
    PutText(b, 0x80, "AB");   // unknown signature
    PutLE16(b, 0x18, 0x40);   // e_lfarlc: new format
    EXPECT_EQ(Analyze(b).detailsText, "MZ (4241)(BA)");

    PutText(b, 0x80, "\x01\xC8");  // characters outside the printable range
    EXPECT_EQ(Analyze(b).detailsText, "MZ (C801)(  )");

    PutLE16(b, 0x18, 0x3F);   // e_lfarlc: an old-style DOS header
    const std::string details = Analyze(b).detailsText;
    EXPECT_EQ(details.rfind("MZ, DOS\r\n File has", 0), 0u) << details;
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
    auto stub = [](std::size_t offset, std::string_view text) {
        std::vector<std::uint8_t> b = CraftMz(1, 0x100, 0, 0x100);
        PutText(b, offset, text);
        return b;
    };
    // Compared regardless of case.
    EXPECT_EQ(Analyze(stub(0x55, "upx!")).stubClueText, "UPX for DOS self-extracting archive\r\n");
    EXPECT_EQ(Analyze(stub(0x82, "Self-Extracting ZIP File")).stubClueText,
              "ZIP self-extracting archive (16-bit)\r\n");
    // LHa's mark at 0x24 is not LH's.
    EXPECT_EQ(Analyze(stub(0x24, "LHa's SFX")).stubClueText, "LHa 2.x self-extracting archive\r\n");

    // PKLITE takes its version from the two bytes before the mark.
    std::vector<std::uint8_t> pklite = stub(0x1E, "PKLITE");
    pklite[0x1C] = 14;    // minor version
    pklite[0x1D] = 0x31;  // flags in the high nibble, major version 1
    EXPECT_EQ(Analyze(pklite).stubClueText, "PKLite 1.14 compressed exe\r\n");
    std::vector<std::uint8_t> pklite2 = stub(0x42, "PKlite");
    pklite2[0x40] = 0;
    pklite2[0x41] = 2;
    EXPECT_EQ(Analyze(pklite2).stubClueText, "PKLite 2.0 compressed exe\r\n");

    // LZ91 is both a stub line and a clue.
    const ExeAnalysis lzexe = Analyze(stub(0x1C, "LZ91"));
    EXPECT_EQ(lzexe.stubClueText, "LZExe 0.91 compressed exe\r\n");
    EXPECT_TRUE(lzexe.clues.lzexe);
    EXPECT_TRUE(Analyze(stub(0x30, "Inno")).clues.innoStub);

    // Numbers rather than text.
    std::vector<std::uint8_t> topspeed = CraftMz(1, 0x100, 0, 0x100);
    PutLE32(topspeed, 0x1C, 0x018A0001);
    PutLE16(topspeed, 0x20, 0x1565);
    EXPECT_EQ(Analyze(topspeed).stubClueText, "Topspeed C 3.0 Crunch compressed exe\r\n");
    std::vector<std::uint8_t> tlink = CraftMz(1, 0x100, 0, 0x100);
    PutLE16(tlink, 0x1C, 1);
    tlink[0x1E] = 0xFB;
    EXPECT_EQ(Analyze(tlink).stubClueText, "Borland TLink app\r\n");

    // Fewer than 256 bytes: no stub checks at all.
    std::vector<std::uint8_t> shortStub = stub(0x55, "UPX!");
    shortStub.resize(0xFF);
    EXPECT_TRUE(Analyze(shortStub).stubClueText.empty());

    // The go32 stub's mark lies at 0x200 and needs 256 bytes there.
    std::vector<std::uint8_t> go32 = CraftMz(1, 0x100, 0, 0x300);
    PutText(go32, 0x200, "GO32STUB, v 2.02");
    EXPECT_EQ(Analyze(go32).stubClueText, "go32stub 32-bit dos app\r\n");
    go32.resize(0x2FF);
    EXPECT_TRUE(Analyze(go32).stubClueText.empty());
}

TEST(ExeDos, ExecutableSectionInTheReport) {
    CTempDir dir;
    std::vector<std::uint8_t> b = CraftMz(1, 0x100, 0, 0x100);
    PutText(b, 0x1C, "DIET");  // packer mark
    dir.Write("diet.exe", b);
    CRecordingPane pane;
    CFileInspector inspector("diet.exe", dir.Folder(), pane, InitTextStyles(), {});
    inspector.ReportExecutable();
    ASSERT_EQ(pane.runs.size(), 6u);
    EXPECT_EQ(pane.runs[3].text, "Executable\n");
    EXPECT_EQ(pane.runs[3].style, EStyle::Heading);
    EXPECT_EQ(pane.runs[4].text, "Diet compressed exe\r\n\n");
    EXPECT_EQ(pane.runs[4].style, EStyle::Normal);
    EXPECT_EQ(pane.runs[5].style, EStyle::Fixed);
    EXPECT_EQ(pane.runs[5].text.rfind("MZ, DOS\r\n No pointer to PE\r\n No appended data\r\n", 0), 0u);
    EXPECT_EQ(inspector.m_strExeDetails, pane.runs[5].text);

    CReportSwitches noSpecial;
    noSpecial.ShowSpecial = false;
    CRecordingPane quiet;
    CFileInspector(std::string("diet.exe"), dir.Folder(), quiet, InitTextStyles(), noSpecial).ReportExecutable();
    EXPECT_EQ(quiet.Text().find("Executable"), std::string::npos);
    EXPECT_NE(quiet.Text().find("Checksum"), std::string::npos);
}

TEST(ExeDos, FilesOfFourGibibytesAndMore) {
    // Sparse files: the analysis reads only the few blocks it needs.
    CTempDir dir;
    const std::uint64_t size = 0x100000010;
    const std::string dos = dir.Write("big-dos.exe", CraftMz(2, 0, 0, 0x400));
    ASSERT_EQ(::truncate(dos.c_str(), static_cast<off_t>(size)), 0);
    CReadOnlyFile file;
    ASSERT_TRUE(file.Open(dos));
    ExeAnalysis exe;
    AnalyzeExecutable(CFileByteSource(file), exe);
    EXPECT_NE(exe.detailsText.find(" No pointer to PE\r\n Too big file for DOS!\r\n"
                                   " File has 4294966800 bytes of appended data,00000200 - 10000000F.\r\n"),
              std::string::npos)
        << exe.detailsText;

    // A PE file that large shows where its rest starts, not how long it is.
    const std::string pe = dir.Write("big-pe.exe", CraftTwoSectionPe());
    ASSERT_EQ(::truncate(pe.c_str(), static_cast<off_t>(size)), 0);
    ASSERT_TRUE(file.Open(pe));
    exe = {};
    AnalyzeExecutable(CFileByteSource(file), exe);
    EXPECT_NE(exe.detailsText.find("  Rest   : ???????? 00000800\r\n Resource dir"), std::string::npos)
        << exe.detailsText;
}
