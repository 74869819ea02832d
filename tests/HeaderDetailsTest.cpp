// Crafted heads and tails for groups 3 to 5: header fields, tail
// signatures and their ", " rule, the tests behind the magic tables,
// RIFF/IFF containers, the checkpoints between the groups and the rows
// that end the run.  The real files are pinned by their golden reports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecognizerSupport.h"
#include "TestSupport.h"
#include "recognizer/Recognition.h"

using namespace quiddity;
using namespace std::string_view_literals;
using quiddity::test::HeadOf;
using quiddity::test::Padded;
using quiddity::test::PutBE16;
using quiddity::test::PutLE32;
using quiddity::test::PutText;
using quiddity::test::TypeOfBytes;

namespace {

using Bytes = std::vector<std::uint8_t>;

// `bytes` starting `fromEnd` bytes before the end of `b`.
void PutFromEnd(Bytes& b, std::size_t fromEnd, std::string_view bytes) { PutText(b, b.size() - fromEnd, bytes); }

const std::string_view kTargaFooter = "TRUEVISION-XFILE.\0"sv;

// What a group appends to a head, checking how it returns.
std::string GroupText(const Bytes& head, ETest (*group)(CRecognition&), ETest expected) {
    CRecognition r = HeadOf(head);
    EXPECT_EQ(group(r), expected);
    return r.m_result;
}

// An AVI file of 4096 bytes: "hdrlavih" at 20, frame size at 64 and 68.
Bytes Avi(std::uint32_t width) {
    Bytes b = Padded(4096, 0, "RIFF\xF8\x0F\0\0" "AVI LIST\0\x0F\0\0hdrlavih"sv);
    PutLE32(b, 64, width);
    PutLE32(b, 68, 16);
    return b;
}

}  // namespace

TEST(HeaderDetails, CartridgeInstallerAndPaintShopFields) {
    Bytes gameBoy = Padded(400, 304, "\xBB\xB9\x33\x3E" "SUPER MARIOLAND 2"sv);  // logo end, 15-character title
    EXPECT_EQ(TypeOfBytes(gameBoy), "Gameboy Emulator  >SUPER MARIOLAND");
    // Eight zero bytes: the disc-image test runs too and takes nothing back.
    Bytes install(100, 0);
    PutText(install, 13, "t");
    PutText(install, 56, "SETUP.EXE");
    EXPECT_EQ(TypeOfBytes(install), "PC-install (16-bit) packed file, 'SETUP.'");
    Bytes psp = Padded(400, 0, "Paint Shop Pro Image File\n\x1A");
    EXPECT_EQ(TypeOfBytes(psp), "Paint Shop Pro ");
    PutText(psp, 36, "~BK\0"sv);     // general image attributes block
    PutLE32(psp, 50, 16);            // width
    PutLE32(psp, 54, 0xFFFFFFF8);    // height: "%d" shows it signed
    PutText(psp, 69, "\x18\0"sv);    // bit depth
    EXPECT_EQ(TypeOfBytes(psp), "Paint Shop Pro 16x-8 (24 bits)");
}

TEST(HeaderDetails, TailSignaturesByTheirPlaceFromTheEnd) {
    Bytes b = Padded(300, 0, "");
    PutFromEnd(b, 3, "\0RK"sv);
    EXPECT_EQ(TypeOfBytes(b), "WinRK archive");
    b.push_back('.');
    EXPECT_EQ(TypeOfBytes(b), "Unknown");
    b = Padded(300, 0, "");
    PutFromEnd(b, 18, kTargaFooter);
    EXPECT_EQ(TypeOfBytes(b), "Truevision Targa image ");
    PutFromEnd(b, 17, kTargaFooter.substr(0, 17));
    EXPECT_EQ(TypeOfBytes(b), "Text file");
    b = Padded(300, 0, "");
    PutFromEnd(b, 128, "TAG");
    EXPECT_EQ(TypeOfBytes(b), "MP3 with ID3-tag");
    PutFromEnd(b, 128, ".TAG");
    EXPECT_EQ(TypeOfBytes(b), "Text file");
    // A file shorter than the 256-byte tail has none.
    b = Padded(255, 0, "");
    PutFromEnd(b, 18, kTargaFooter);
    EXPECT_EQ(TypeOfBytes(b), "Unknown");
    b.insert(b.begin(), '.');
    EXPECT_EQ(TypeOfBytes(b), "Truevision Targa image ");
    // Binary CGM: BEGIN METAFILE first, END METAFILE (00 40) last.
    b = Padded(300, 0, "\x00\x22\x08plot"sv);
    PutFromEnd(b, 2, "\x00\x40"sv);
    EXPECT_EQ(TypeOfBytes(b), "CGM, Computer graphics metafile (binary)");
}

TEST(HeaderDetails, CommaOnlyBeforeTargaAndWinRkBehindAnEarlierText) {
    Bytes b = Padded(400, 0, "Paint Shop Pro");
    PutFromEnd(b, 128, "TAG");
    PutFromEnd(b, 18, kTargaFooter);
    PutFromEnd(b, 3, "\0RK"sv);
    EXPECT_EQ(TypeOfBytes(b), "Paint Shop Pro , WinRK archive, Truevision Targa image MP3 with ID3-tag");
    PutText(b, 0, "Faint");  // no earlier text: no comma before the first
    EXPECT_EQ(TypeOfBytes(b), "WinRK archive, Truevision Targa image MP3 with ID3-tag");
}

TEST(HeaderDetails, SierraAndAmr) {
    EXPECT_EQ(TypeOfBytes("\x8D\x0BSOL\0...."sv), "Sierra SOL game audio");
    EXPECT_EQ(TypeOfBytes("\x0D\x0CSOL\x01...."sv), "Unknown");
    EXPECT_EQ(TypeOfBytes("#!AMR\n"), "3GPP AMR");
    EXPECT_EQ(TypeOfBytes("#!AMR-NB\n"), "3GPP AMR-NB");
    EXPECT_EQ(TypeOfBytes("#!AMR_MC1.0\n"), "3GPP AMR multichannel");
    EXPECT_EQ(TypeOfBytes("#!AMR-WB_MC1.0\n"), "3GPP AMR-WB multichannel");
}

TEST(HeaderDetails, DiscImagesAndApplePartitionMaps) {
    Bytes iso(36 * 1024, 0);
    PutText(iso, 32768, "\x01" "CD001\x01");  // primary volume descriptor
    EXPECT_EQ(TypeOfBytes(iso), "ISO 9660 CD/DVD image");
    iso[32769] = 'X';  // no descriptor: the later groups decide
    EXPECT_EQ(TypeOfBytes(iso), "Unknown");
    // Driver descriptor map, the first map entry at 512 and its type at 560.
    Bytes apple = Padded(1024, 0, "ER");
    PutText(apple, 512, "PM");
    PutText(apple, 560, "Apple_partition_map");
    EXPECT_EQ(GroupText(apple, RunHeaderDetails, ETest::Ends), "HFS or HFS+ disc image ");
}

TEST(HeaderDetails, CompoundDocumentByItsFirstStream) {
    Bytes b = Padded(600, 0, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    EXPECT_EQ(TypeOfBytes(b), "OLE2 ");
    PutText(b, 512, "\xDC\xA5");
    EXPECT_EQ(TypeOfBytes(b), "OLE2 MS Word 6.0/95");
    // BIFF8 BOF: record 0809, length, version, then the sub-type at 518.
    PutText(b, 512, "\x09\x08\x10\x00\x00\x06\x06\x00"sv);
    EXPECT_EQ(TypeOfBytes(b), "OLE2 BIFF5/7/8 MS Excel Visual Basic module");
    PutText(b, 518, "\x00\x01"sv);
    EXPECT_EQ(TypeOfBytes(b), "OLE2 BIFF5/7/8 MS Excel Workspace");
    PutText(b, 518, "\x99\x00"sv);
    EXPECT_EQ(TypeOfBytes(b), "OLE2 BIFF5/7/8 MS Excel ");
    // Excel 2.1 to 4.0: the BOF record first, the sub-type at 6.
    EXPECT_EQ(TypeOfBytes("\x09\x00\x04\x00\x02\x00\x06\x00...."sv), "BIFF2 MS Excel 2.1 Visual Basic module");
    EXPECT_EQ(TypeOfBytes("\x09\x02\x06\x00\x00\x00\x06\x00...."sv), "BIFF3 MS Excel 3.0 VB module");
    EXPECT_EQ(TypeOfBytes("\x09\x04\x06\x00\x00\x00\x40\x00...."sv), "BIFF4 MS Excel 4.0 Macrosheet");
}

TEST(HeaderDetails, MediaAtomsTrackersAndJet) {
    // A movie without a movie atom has no tracks, and says so.
    EXPECT_EQ(TypeOfBytes("\0\0\0\x08wide\0\0\0\x08mdat"sv), "Apple QuickTime Tracks: 0");
    EXPECT_EQ(TypeOfBytes("\0\0\0\x14" "ftypqt\0\0\0\0\0\0qt  "sv), "ISO multimedia: qt");
    Bytes module = Padded(1200, 1080, ".M.K");
    EXPECT_EQ(TypeOfBytes(module), "Amiga SoundTracker/ProTracker module music");
    PutText(module, 1080, "8CHN");
    EXPECT_EQ(TypeOfBytes(module), "Amiga FastTracker module 8-channel music");
    PutText(module, 1079, "N.T.");
    EXPECT_EQ(TypeOfBytes(module), "Text file");
    EXPECT_EQ(TypeOfBytes("\0\x01\0\0Jet System DB\0"sv), "Jet System Database (MS access)");
}

TEST(HeaderDetails, TrueTypeByFirstTagOrByAConsistentDirectory) {
    // Version 1.0; 17 tables: search range 16 * 2^4, selector 4, shift 16 * 17 - 256.
    Bytes font = Padded(64, 0, "\0\x01\0\0\0\x11\x01\0\0\x04\0\x10" "FFTM"sv);
    EXPECT_EQ(TypeOfBytes(font), "TrueType Font: ");
    PutBE16(font, 10, 15);
    EXPECT_EQ(TypeOfBytes(font), "Unknown");
    PutText(font, 12, "GDEF");  // one of the nine tags: the directory is not looked at
    EXPECT_EQ(TypeOfBytes(font), "TrueType Font: ");
    PutText(font, 12, "DEFB");  // straddles two of the nine
    EXPECT_EQ(TypeOfBytes(font), "Unknown");
    PutText(font, 4, "\0\x01\0\x10\0\0\0\0FFTM"sv);  // one table: range 16, selector 0, shift 0
    EXPECT_EQ(TypeOfBytes(font), "TrueType Font: ");
    PutText(font, 4, "\0\0"sv);  // none
    EXPECT_EQ(TypeOfBytes(font), "Unknown");
}

TEST(HeaderDetails, GifColoursFromTheColourResolutionAndEnds) {
    // Width 320, height 200, packed byte: global table of 256, resolution 0.
    const Bytes gif = Padded(40, 0, "GIF89a\x40\x01\xC8\x00\x87"sv);
    EXPECT_EQ(GroupText(gif, RunHeaderDetailsAfterMagic, ETest::Ends), "GIF 89a 320x200x2");
}

TEST(HeaderDetails, GroupOrderAndCheckpoints) {
    Bytes b = Padded(1200, 0, "GIF89a");
    PutText(b, 304, "\xBB\xB9\x33\x3E" "ZELDA\0"sv);
    EXPECT_EQ(TypeOfBytes(b), "Gameboy Emulator  >ZELDA");  // group 3 delivered before group 4
    b = Padded(1200, 1080, "M.K.");
    PutText(b, 0, "MThd");  // the tests behind the magic tables run whatever these found
    EXPECT_EQ(TypeOfBytes(b), "MIDI fileAmiga SoundTracker/ProTracker module music");
    PutText(b, 0, "RIFF\0\0\0\0WAVE"sv);  // group 4 delivered before group 5
    EXPECT_EQ(TypeOfBytes(b), "Amiga SoundTracker/ProTracker module music");
}

TEST(RiffIff, FormTypesAndWaveFormat) {
    EXPECT_EQ(TypeOfBytes(Padded(64, 0, "RIFF\x38\0\0\0RMID"sv)), "RIFF MIDI-fil");
    EXPECT_EQ(GroupText(Padded(64, 0, "RIFX\x38\0\0\0WEBP"sv), RunRiffIff, ETest::Matched), "RIFF (big-endian) WEBP");
    EXPECT_EQ(TypeOfBytes(Padded(64, 0, "RIFF\x38\0\0\0AB\0\0"sv)), "RIFF AB");
    // The format chunk: tag, channels, rate; "fmt" in any case.
    Bytes wave = Padded(64, 0, "RIFF\x38\0\0\0WAVEFMT \x10\0\0\0\x55\0\x02\0\x00\x77\x01\0"sv);
    EXPECT_EQ(TypeOfBytes(wave), "RIFF Wave Stereo 96000 Hz ISO/MPEG Layer III (MP3)");
    PutText(wave, 22, "\x06\0\0\0\0\x80"sv);  // 6 channels, rate 2^31 printed signed
    EXPECT_EQ(TypeOfBytes(wave), "RIFF Wave  -2147483648 Hz ISO/MPEG Layer III (MP3)");
    PutText(wave, 12, "LIST");
    EXPECT_EQ(TypeOfBytes(wave), "RIFF Wave ");
}

TEST(RiffIff, AviCodecsFrameSizeAndScansInsideTheHead) {
    Bytes avi = Avi(0xFFFFFFFF);
    PutText(avi, 100, "strh\x38\0\0\0vidsDIVX"sv);          // video stream header and handler
    PutText(avi, 300, "strf\x12\0\0\0\x01\0auds\0strf\x12\0\0\0\x55\0"sv);  // strf counts behind auds only
    EXPECT_EQ(TypeOfBytes(avi), "RIFF AVI video DIVX -1 x 16 ISO/MPEG Layer III (MP3)");
    PutText(avi, 20, "hdrlAVIH");  // no main header: no size
    PutText(avi, 310, "txts");
    EXPECT_EQ(TypeOfBytes(avi), "RIFF AVI video DIVX (unknown audio)");
    // The handler must lie whole in the head: at 4092 it does, at 4093 not.
    avi = Avi(32);
    PutText(avi, 4088, "vidsMP42");
    EXPECT_EQ(TypeOfBytes(avi), "RIFF AVI video MP42 32 x 16 (unknown audio)");
    avi = Avi(32);
    PutText(avi, 4089, "vidsMP4");
    EXPECT_EQ(TypeOfBytes(avi), "RIFF AVI video  32 x 16 (unknown audio)");
    // A format chunk at the end of the head: its tag is read where it lies
    // in the head, and as zero past it.
    avi = Avi(32);
    PutText(avi, 4070, "auds");
    PutText(avi, 4086, "strf\x12\0\0\0\x01\0"sv);
    EXPECT_EQ(TypeOfBytes(avi), "RIFF AVI video  32 x 16 PCM");
    PutText(avi, 4092, "strf\x12\0\0\0\x55\0"sv);
    PutText(avi, 4086, "......");
    EXPECT_EQ(TypeOfBytes(avi), "RIFF AVI video  32 x 16 (unknown subformat)");
}

TEST(RiffIff, IffFormsAlwaysEnd) {
    Bytes form = Padded(64, 0, "FORM\0\0\0\x38LWO2"sv);
    EXPECT_EQ(TypeOfBytes(form), "IFF, Lightwave 3D object");
    PutText(form, 8, "XYZW");
    EXPECT_EQ(GroupText(form, RunRiffIff, ETest::Ends), "IFF, XYZW");
    // DjVu files put "AT&T" before the FORM chunk; the type follows at 12.
    EXPECT_EQ(GroupText(Padded(64, 0, "AT&TFORM\0\0\0\x38" "DJVM"sv), RunRiffIff, ETest::Ends), "IFF, DjVu image");
    EXPECT_EQ(TypeOfBytes(Padded(64, 0, "AT&TFORM\0\0\0\x38" "DJVX"sv)), "Unknown");
}
