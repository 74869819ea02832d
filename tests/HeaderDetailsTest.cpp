// Crafted heads and tails for groups 3 to 5: header fields with details,
// tail signatures and their ", " rule, the tests behind the magic tables,
// RIFF/IFF containers, the checkpoints between the groups and the rows
// that end the run.
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
using quiddity::test::PutBE32;
using quiddity::test::PutLE16;
using quiddity::test::PutLE32;
using quiddity::test::PutText;
using quiddity::test::TypeOfBytes;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A Paint Shop Pro header of 400 bytes (a text of group 3 to stand before
// the tail signatures).
Bytes PaintShopPro() { return Padded(400, 0, "Paint Shop Pro Image File\n\x1A"); }

// `bytes` placed so that they end `fromEnd` bytes before the end of `b`.
void PutBeforeEnd(Bytes& b, std::size_t fromEnd, std::string_view bytes) { PutText(b, b.size() - fromEnd, bytes); }

// A compound document's header sector and the first bytes of the stream
// that follows it at 512.
Bytes CompoundDocument(std::string_view streamStart) {
    Bytes b = Padded(600, 0, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");  // signature
    PutText(b, 512, streamStart);
    return b;
}

// A RIFF file of `size` bytes: "RIFF", the size behind it, the form type.
Bytes Riff(std::string_view form, std::size_t size = 64) {
    Bytes b = Padded(size, 0, "RIFF");
    PutLE32(b, 4, static_cast<std::uint32_t>(size - 8));  // chunk size
    PutText(b, 8, form);                                  // form type
    return b;
}

// A WAVE file whose format chunk opens the form.
Bytes Wave(std::string_view chunk, std::uint16_t tag, std::uint16_t channels, std::uint32_t rate) {
    Bytes b = Riff("WAVE");
    PutText(b, 12, chunk);     // "fmt "
    PutLE32(b, 16, 16);        // chunk size
    PutLE16(b, 20, tag);       // wFormatTag
    PutLE16(b, 22, channels);  // nChannels
    PutLE32(b, 24, rate);      // nSamplesPerSec
    return b;
}

// An AVI file of 4096 bytes: the main header at 20 (frame size at 64 and
// 68), the rest free for stream headers.
Bytes Avi(std::uint32_t width, std::uint32_t height) {
    Bytes b = Riff("AVI ", 4096);
    PutText(b, 12, "LIST");     // the header list
    PutLE32(b, 16, 4000);       //   its size
    PutText(b, 20, "hdrlavih"); //   "hdrl", then the main header's id
    PutLE32(b, 28, 56);         //   main header size
    PutLE32(b, 64, width);      //   dwWidth
    PutLE32(b, 68, height);     //   dwHeight
    return b;
}

std::string TypeOfRecognition(CRecognition& r, ETest (*group)(CRecognition&), ETest expected) {
    EXPECT_EQ(group(r), expected);
    return r.m_result;
}

}  // namespace

TEST(HeaderDetails, CartridgeInstallerAndPaintShopFields) {
    Bytes gameBoy = Padded(400, 304, "\xBB\xB9\x33\x3E" "TETRIS\0"sv);  // logo end, title
    EXPECT_EQ(TypeOfBytes(gameBoy), "Gameboy Emulator  >TETRIS");
    PutText(gameBoy, 308, "SUPER MARIOLAND 2");  // the title field holds 15 characters
    EXPECT_EQ(TypeOfBytes(gameBoy), "Gameboy Emulator  >SUPER MARIOLAND");

    // Its first eight bytes are zero, so the disc-image test runs as well
    // and, finding nothing, takes nothing back.
    Bytes install(100, 0);
    PutText(install, 13, "t");          // thirteen zero bytes and a 't'
    PutText(install, 56, "SETUP.EXE");  // the name, six characters of it
    EXPECT_EQ(TypeOfBytes(install), "PC-install (16-bit) packed file, 'SETUP.'");

    Bytes psp = PaintShopPro();
    EXPECT_EQ(TypeOfBytes(psp), "Paint Shop Pro ");
    PutText(psp, 36, "~BK\0"sv);  // general image attributes block
    PutLE32(psp, 50, 16);         // width
    PutLE32(psp, 54, 0xFFFFFFF8); // height: "%d" shows it signed
    PutLE16(psp, 69, 24);         // bit depth
    EXPECT_EQ(TypeOfBytes(psp), "Paint Shop Pro 16x-8 (24 bits)");
}

TEST(HeaderDetails, TailSignaturesByTheirPlaceFromTheEnd) {
    Bytes winRk = Padded(300, 0, "");
    PutBeforeEnd(winRk, 3, "\0RK"sv);
    EXPECT_EQ(TypeOfBytes(winRk), "WinRK archive");
    winRk.push_back('.');  // one byte too far from the end
    EXPECT_EQ(TypeOfBytes(winRk), "Unknown");

    Bytes targa = Padded(300, 0, "");
    PutBeforeEnd(targa, 18, "TRUEVISION-XFILE.\0"sv);
    EXPECT_EQ(TypeOfBytes(targa), "Truevision Targa image ");
    PutBeforeEnd(targa, 17, "TRUEVISION-XFILE."sv);  // one byte later, and no zero left
    EXPECT_EQ(TypeOfBytes(targa), "Text file");

    Bytes id3 = Padded(300, 0, "");
    PutBeforeEnd(id3, 128, "TAG");
    EXPECT_EQ(TypeOfBytes(id3), "MP3 with ID3-tag");
    PutBeforeEnd(id3, 128, "...TAG");
    EXPECT_EQ(TypeOfBytes(id3), "Text file");

    // A file shorter than the 256-byte tail has none.
    Bytes shortTarga = Padded(255, 0, "");
    PutBeforeEnd(shortTarga, 18, "TRUEVISION-XFILE.\0"sv);
    EXPECT_EQ(TypeOfBytes(shortTarga), "Unknown");
    shortTarga.insert(shortTarga.begin(), '.');
    EXPECT_EQ(TypeOfBytes(shortTarga), "Truevision Targa image ");

    // Binary CGM: BEGIN METAFILE first, END METAFILE (00 40) last.
    Bytes cgm = Padded(300, 0, "\x00\x22\x08plot"sv);
    PutBeforeEnd(cgm, 2, "\x00\x40"sv);
    EXPECT_EQ(TypeOfBytes(cgm), "CGM, Computer graphics metafile (binary)");
}

TEST(HeaderDetails, CommaOnlyBeforeTargaAndWinRkBehindAnEarlierText) {
    Bytes b = PaintShopPro();
    PutBeforeEnd(b, 128, "TAG");
    PutBeforeEnd(b, 18, "TRUEVISION-XFILE.\0"sv);
    PutBeforeEnd(b, 3, "\0RK"sv);
    EXPECT_EQ(TypeOfBytes(b), "Paint Shop Pro , WinRK archive, Truevision Targa image MP3 with ID3-tag");
    b = Padded(400, 0, "");
    PutBeforeEnd(b, 128, "TAG");
    PutBeforeEnd(b, 18, "TRUEVISION-XFILE.\0"sv);
    EXPECT_EQ(TypeOfBytes(b), "Truevision Targa image MP3 with ID3-tag");
}

TEST(HeaderDetails, SierraAndAmr) {
    EXPECT_EQ(TypeOfBytes("\x8D\x0BSOL\0...."sv), "Sierra SOL game audio");
    EXPECT_EQ(TypeOfBytes("\x0D\x0CSOL\0...."sv), "Sierra SOL game audio");
    EXPECT_NE(TypeOfBytes("\x0D\x0CSOL\x01...."sv), "Sierra SOL game audio");
    EXPECT_EQ(TypeOfBytes("#!AMR\n"), "3GPP AMR");
    EXPECT_EQ(TypeOfBytes("#!AMR-WB\n"), "3GPP AMR-WB");
    EXPECT_EQ(TypeOfBytes("#!AMR-NB\n"), "3GPP AMR-NB");
    EXPECT_EQ(TypeOfBytes("#!AMR_MC1.0\n"), "3GPP AMR multichannel");
    EXPECT_EQ(TypeOfBytes("#!AMR-WB_MC1.0\n"), "3GPP AMR-WB multichannel");
}

TEST(HeaderDetails, DiscImagesAndApplePartitionMaps) {
    Bytes iso(36 * 1024, 0);
    PutText(iso, 32768, "\x01" "CD001\x01");  // primary volume descriptor
    EXPECT_EQ(TypeOfBytes(iso), "ISO 9660 CD/DVD image");
    iso[32768 + 1] = 'X';  // no descriptor: the later groups decide
    EXPECT_EQ(TypeOfBytes(iso), "Unknown");

    Bytes apple(36 * 1024, 0);
    PutText(apple, 0, "ER");                       // driver descriptor map
    PutText(apple, 512, "PM");                     // first partition map entry
    PutText(apple, 560, "Apple_partition_map");    //   its type
    EXPECT_EQ(TypeOfBytes(apple), "HFS or HFS+ disc image ");
    PutText(apple, 32768, "\x01" "CD001\x01");
    EXPECT_EQ(TypeOfBytes(apple), "ISO 9660 CD/DVD image, HFS/HFS+ (Hybrid) ");
    CRecognition r = HeadOf(apple);
    EXPECT_EQ(TypeOfRecognition(r, RunHeaderDetails, ETest::Ends), "HFS or HFS+ disc image ");  // the head holds no sector 16
}

TEST(HeaderDetails, CompoundDocumentByItsFirstStream) {
    EXPECT_EQ(TypeOfBytes(CompoundDocument("")), "OLE2 ");
    EXPECT_EQ(TypeOfBytes(CompoundDocument("\xEC\xA5")), "OLE2 MS Word 97/2K");
    EXPECT_EQ(TypeOfBytes(CompoundDocument("\xDC\xA5")), "OLE2 MS Word 6.0/95");
    // BIFF8 BOF: record 0809, length, version, then the sub-type at 518.
    const std::pair<std::string_view, std::string_view> biff[] = {
        {"\x09\x08\x10\x00\x00\x06\x05\x00"sv, "Workbook Globals"},
        {"\x09\x08\x10\x00\x00\x06\x10\x00"sv, "Worksheet"},
        {"\x09\x08\x10\x00\x00\x06\x06\x00"sv, "Visual Basic module"},
        {"\x09\x08\x10\x00\x00\x06\x00\x01"sv, "Workspace"},
        {"\x09\x08\x10\x00\x00\x06\x00\x02"sv, ""},
        {"\x09\x08\x10\x00\x00\x06\x99\x00"sv, ""},
    };
    for (const auto& [stream, subType] : biff)
        EXPECT_EQ(TypeOfBytes(CompoundDocument(stream)), "OLE2 BIFF5/7/8 MS Excel " + std::string(subType));
}

TEST(HeaderDetails, OldExcelWorkbooks) {
    // BOF record number and length, version, sub-type at 6.
    EXPECT_EQ(TypeOfBytes("\x09\x00\x04\x00\x02\x00\x10\x00...."sv), "BIFF2 MS Excel 2.1 Worksheet");
    EXPECT_EQ(TypeOfBytes("\x09\x00\x04\x00\x02\x00\x06\x00...."sv), "BIFF2 MS Excel 2.1 Visual Basic module");
    EXPECT_EQ(TypeOfBytes("\x09\x02\x06\x00\x00\x00\x06\x00...."sv), "BIFF3 MS Excel 3.0 VB module");
    EXPECT_EQ(TypeOfBytes("\x09\x04\x06\x00\x00\x00\x00\x01...."sv), "BIFF4 MS Excel 4.0 Workspace");
    EXPECT_EQ(TypeOfBytes("\x09\x04\x06\x00\x00\x00\x20\x00...."sv), "BIFF4 MS Excel 4.0 Chart");
    EXPECT_EQ(TypeOfBytes("\x09\x04\x06\x00\x00\x00\x40\x00...."sv), "BIFF4 MS Excel 4.0 Macrosheet");
}

TEST(HeaderDetails, MediaAtomsTrackersAndJet) {
    EXPECT_EQ(TypeOfBytes("\0\0\0\x08moov\0\0\0\x08mvhd"sv), "Apple QuickTime ");
    EXPECT_EQ(TypeOfBytes("\0\0\0\x08wide\0\0\0\x08mdat"sv), "Apple QuickTime ");
    EXPECT_EQ(TypeOfBytes("\0\0\0\x14" "ftypqt\0\0\0\0\0\0qt  "sv), "ISO multimedia: qt");
    Bytes module = Padded(1200, 0, "song");
    for (const auto& [tag, text] : {std::pair{".M.K", "Amiga SoundTracker/ProTracker module music"},
                                    std::pair{"M&K!", "Amiga SoundTracker/ProTracker module music"},
                                    std::pair{"N.T.", "Amiga NoiseTracker module music"},
                                    std::pair{"FLT8", "Amiga StarTrekker module 8-channel music"},
                                    std::pair{"6CHN", "Amiga FastTracker module 6-channel music"}}) {
        PutText(module, 1080, tag);
        EXPECT_EQ(TypeOfBytes(module), text) << tag;
    }
    PutText(module, 1079, "M.K.");
    EXPECT_EQ(TypeOfBytes(module), "Text file");
    EXPECT_EQ(TypeOfBytes("\0\x01\0\0Standard Jet DB\0"sv), "Standard Jet Database (MS access)");
    EXPECT_EQ(TypeOfBytes("\0\x01\0\0Jet System DB\0"sv), "Jet System Database (MS access)");
}

TEST(HeaderDetails, TrueTypeByFirstTagOrByAConsistentDirectory) {
    // The offset table: version 1.0, table count, search range, entry
    // selector, range shift; the first table record's tag at 12.
    Bytes font = Padded(64, 0, "\0\x01\0\0"sv);
    PutBE16(font, 4, 17);   // numTables
    PutBE16(font, 6, 256);  // searchRange: 16 * 2^4
    PutBE16(font, 8, 4);    // entrySelector: log2 16
    PutBE16(font, 10, 16);  // rangeShift: 16 * 17 - 256
    PutText(font, 12, "FFTM");
    EXPECT_EQ(TypeOfBytes(font), "TrueType Font: ");
    PutBE16(font, 10, 15);
    EXPECT_EQ(TypeOfBytes(font), "Unknown");
    PutText(font, 12, "GDEF");  // one of the nine tags: the directory is not looked at
    EXPECT_EQ(TypeOfBytes(font), "TrueType Font: ");
    PutText(font, 12, "DEFB");  // a tag that straddles two of the nine
    EXPECT_EQ(TypeOfBytes(font), "Unknown");
    PutText(font, 12, "FFTM");
    PutBE32(font, 4, 0x00010010);  // one table: range 16, selector 0, shift 0
    PutBE32(font, 8, 0);
    EXPECT_EQ(TypeOfBytes(font), "TrueType Font: ");
    PutBE32(font, 4, 0x00000010);  // no tables at all
    EXPECT_EQ(TypeOfBytes(font), "Unknown");
}

TEST(HeaderDetails, GifColoursFromTheColourResolutionAndEnds) {
    Bytes gif = Padded(40, 0, "GIF89a");
    PutLE16(gif, 6, 320);  // logical screen width
    PutLE16(gif, 8, 200);  //                height
    gif[10] = 0x70;        // packed: colour resolution 7, no global table
    EXPECT_EQ(TypeOfBytes(gif), "GIF 89a 320x200x256");
    gif[10] = 0x87;        // a global table of 256 entries, colour resolution 0
    EXPECT_EQ(TypeOfBytes(gif), "GIF 89a 320x200x2");
    CRecognition r = HeadOf(gif);
    EXPECT_EQ(TypeOfRecognition(r, RunHeaderDetailsAfterMagic, ETest::Ends), "GIF 89a 320x200x2");
}

TEST(HeaderDetails, GroupOrderAndCheckpoints) {
    // Group 3 is delivered before group 4 looks.
    Bytes gameBoyGif = Padded(400, 0, "GIF89a");
    PutText(gameBoyGif, 304, "\xBB\xB9\x33\x3E" "ZELDA\0"sv);
    EXPECT_EQ(TypeOfBytes(gameBoyGif), "Gameboy Emulator  >ZELDA");
    // The tests behind the magic tables run whatever the tables found.
    Bytes midi = Padded(1200, 0, "MThd");
    PutText(midi, 1080, "M.K.");
    EXPECT_EQ(TypeOfBytes(midi), "MIDI fileAmiga SoundTracker/ProTracker module music");
    // Group 4 is delivered before group 5 looks.
    Bytes riff = Riff("WAVE", 1200);
    PutText(riff, 1080, "FLT4");
    EXPECT_EQ(TypeOfBytes(riff), "Amiga StarTrekker module 4-channel music");
}

TEST(RiffIff, FormTypes) {
    EXPECT_EQ(TypeOfBytes(Riff("RMID")), "RIFF MIDI-fil");
    EXPECT_EQ(TypeOfBytes(Riff("IDF ")), "RIFF Microsoft instrument definition file (IDF)");
    EXPECT_EQ(TypeOfBytes(Riff("WEBP")), "RIFF WEBP");
    EXPECT_EQ(TypeOfBytes(Riff("AB\0\0"sv)), "RIFF AB");
    Bytes rifx = Riff("ACON");
    rifx[3] = 'X';
    EXPECT_EQ(TypeOfBytes(rifx), "RIFF (big-endian) Animated icon");
    // A RIFF file sets the mark and is delivered by the checkpoint.
    CRecognition r = HeadOf(Riff("WEBP"));
    EXPECT_EQ(TypeOfRecognition(r, RunRiffIff, ETest::Matched), "RIFF WEBP");
    EXPECT_TRUE(r.m_found);
}

TEST(RiffIff, WaveFormatChunk) {
    EXPECT_EQ(TypeOfBytes(Wave("fmt ", 0x0001, 1, 8000)), "RIFF Wave Mono 8000 Hz PCM");
    EXPECT_EQ(TypeOfBytes(Wave("FMT ", 0x0055, 2, 96000)), "RIFF Wave Stereo 96000 Hz ISO/MPEG Layer III (MP3)");
    EXPECT_EQ(TypeOfBytes(Wave("fmt ", 0x0161, 6, 0x80000000)), "RIFF Wave  -2147483648 Hz MS Audio V2");
    EXPECT_EQ(TypeOfBytes(Wave("LIST", 0x0001, 1, 8000)), "RIFF Wave ");
    // RIFX fields are read little-endian all the same.
    Bytes rifx = Wave("fmt ", 0x0100, 0x0100, 0x401F0000);  // 1, 1 and 8000, big-endian
    rifx[3] = 'X';
    EXPECT_EQ(TypeOfBytes(rifx), "RIFF (big-endian) Wave  1075773440 Hz Rhetorex ADPCM");
}

TEST(RiffIff, AviCodecsAndFrameSize) {
    Bytes avi = Avi(32, 16);
    PutText(avi, 100, "strh\x38\0\0\0vidsDIVX"sv);         // video stream header, its handler
    PutText(avi, 300, "strh\x38\0\0\0auds\0\0\0\0"sv);     // audio stream header
    PutText(avi, 400, "strf\x12\0\0\0\x55\0"sv);           // its format chunk: MP3
    EXPECT_EQ(TypeOfBytes(avi), "RIFF AVI video DIVX 32 x 16 ISO/MPEG Layer III (MP3)");
    PutText(avi, 300, "strh\x38\0\0\0txts"sv);            // no audio stream
    EXPECT_EQ(TypeOfBytes(avi), "RIFF AVI video DIVX 32 x 16 (unknown audio)");
    PutText(avi, 20, "hdrlAVIH");                          // no main header: no size
    PutLE32(avi, 64, 0xFFFFFFFF);
    EXPECT_EQ(TypeOfBytes(avi), "RIFF AVI video DIVX (unknown audio)");
    PutText(avi, 20, "hdrlavih");
    EXPECT_EQ(TypeOfBytes(avi), "RIFF AVI video DIVX -1 x 16 (unknown audio)");
}

TEST(RiffIff, AviScansStayInsideTheHead) {
    // The handler code must lie whole in the head: "vids" at 4088 has its
    // four characters up to 4095, at 4089 it has not.
    Bytes avi = Avi(32, 16);
    PutText(avi, 4088, "vidsMP42");
    EXPECT_EQ(TypeOfBytes(avi), "RIFF AVI video MP42 32 x 16 (unknown audio)");
    avi = Avi(32, 16);
    PutText(avi, 4089, "vidsMP4");
    EXPECT_EQ(TypeOfBytes(avi), "RIFF AVI video  32 x 16 (unknown audio)");
    // A format chunk at the end of the head: its tag is read where it lies
    // in the head and as zero past it.
    avi = Avi(32, 16);
    PutText(avi, 4070, "auds");
    PutText(avi, 4086, "strf\x12\0\0\0\x01\0"sv);  // tag at 4094
    EXPECT_EQ(TypeOfBytes(avi), "RIFF AVI video  32 x 16 PCM");
    avi = Avi(32, 16);
    PutText(avi, 4070, "auds");
    PutText(avi, 4092, "strf");  // tag past the head
    avi.resize(8192, 0x55);
    EXPECT_EQ(TypeOfBytes(avi), "RIFF AVI video  32 x 16 (unknown subformat)");
    // "strf" only counts behind "auds".
    avi = Avi(32, 16);
    PutText(avi, 300, "strf\x12\0\0\0\x01\0auds"sv);
    EXPECT_EQ(TypeOfBytes(avi), "RIFF AVI video  32 x 16 (unknown audio)");
}

TEST(RiffIff, IffFormsAlwaysEnd) {
    Bytes form = Padded(64, 0, "FORM\0\0\0\x38ILBM"sv);
    EXPECT_EQ(TypeOfBytes(form), "IFF, Interleaved Bitmap (Deluxe Paint)");
    PutText(form, 8, "LWOB");
    EXPECT_EQ(TypeOfBytes(form), "IFF, Lightwave 3D object");
    PutText(form, 8, "LWO2");
    EXPECT_EQ(TypeOfBytes(form), "IFF, Lightwave 3D object");
    PutText(form, 8, "XYZW");
    CRecognition r = HeadOf(form);
    EXPECT_EQ(TypeOfRecognition(r, RunRiffIff, ETest::Ends), "IFF, XYZW");
    // DjVu files put "AT&T" before the FORM chunk; the type follows at 12.
    EXPECT_EQ(TypeOfBytes(Padded(64, 0, "AT&TFORM\0\0\0\x38" "DJVUINFO"sv)), "IFF, DjVu image");
    EXPECT_EQ(TypeOfBytes(Padded(64, 0, "AT&TFORM\0\0\0\x38" "DJVMDIRM"sv)), "IFF, DjVu image");
    r = HeadOf(Padded(64, 0, "AT&TFORM\0\0\0\x38" "DJVI"sv));
    EXPECT_EQ(TypeOfRecognition(r, RunRiffIff, ETest::Ends), "IFF, DjVu image");
    EXPECT_EQ(TypeOfBytes(Padded(64, 0, "AT&TFORM\0\0\0\x38" "DJVX"sv)), "Unknown");
}
