// Group 6: signatures of 2 and 3 bytes, PCX, byte-order marks, PNM,
// compressors, MacBinary type codes, and last the Macintosh volume probes.
#include <array>
#include <span>

#include "recognizer/Recognition.h"
#include "recognizer/SignatureTable.h"

namespace quiddity {

using namespace std::string_view_literals;  // "A\0B"sv keeps its zero bytes

namespace {

bool IsDigit(std::uint8_t b) { return b >= '0' && b <= '9'; }

// Amiga disks: "DOS" and the file-system flags 0 to 7.
bool IsAmigaDisk(const CRecognition& r) { return r.At(0, "DOS") && r.byte(3) < 8; }
// Pascal units: the letters and a version digit.
bool IsVirtualPascalUnit(const CRecognition& r) { return r.At(0, "VPI") && IsDigit(r.byte(3)); }
bool IsDelphiUnit(const CRecognition& r) { return r.At(0, "PKG") && IsDigit(r.byte(3)); }

// Solitaire image recorder: "O:" and the version byte 0x0B or 0x11.
bool IsSolitaireImage(const CRecognition& r) {
    return r.At(0, "O:") && (r.byte(3) == 0x0B || r.byte(3) == 0x11);
}

// Byte-order marks.  A UTF-16 text of Latin letters shows its first
// characters' zero high bytes.
bool IsUtf16LittleEndian(const CRecognition& r) {
    return r.At(0, "\xFF\xFE") && r.byte(2) != 0 && r.byte(3) == 0 && r.byte(5) == 0;
}
bool IsUtf16BigEndian(const CRecognition& r) { return r.At(0, "\xFE\xFF") && r.byte(2) == 0 && r.byte(4) == 0; }

bool IsQuantumArchive(const CRecognition& r) { return r.At(0, "DS") && r.byte(2) < 2; }
bool IsZzipArchive(const CRecognition& r) { return r.At(0, "ZZ") && r.byte(2) < 8; }
bool IsBmfImage(const CRecognition& r) {
    return r.At(0, "\x81\x8A") && r.byte(2) >= '0' && r.byte(2) <= '2';
}
// GEM metafiles: FF FF, then the version at 4.
bool IsGemMetafile(const CRecognition& r) {
    const std::uint16_t version = r.u16le(4);
    return r.At(0, "\xFF\xFF") && (version == 0 || version == 0x65 || version == 0x136 || version == 0x190);
}

// A row whose test is code, with the start of the signature that the test
// compares itself: here the start only names the first byte for the look-up
// below.
constexpr SignatureRow Starting(SignatureBytes start, SignatureTest test, std::string_view text) {
    SignatureRow row = Row(test, text);
    row.first = start;
    return row;
}

// Most files of a batch come this far, and most start with a byte that no
// row of this group starts with.  The rows that compare their first byte at
// offset 0 stand in tables that are tested only when the head's first byte
// starts one of their rows; the rows that look elsewhere stand apart.
struct StartBytes {
    std::array<bool, 256> has{};
    bool complete = true;  // every row compares its first byte at 0, in one case
};
template <std::size_t... N>
constexpr StartBytes StartBytesOf(const SignatureRow (&... tables)[N]) {
    StartBytes start;
    for (const std::span<const SignatureRow> rows : {std::span<const SignatureRow>(tables)...}) {
        for (const SignatureRow& row : rows) {
            if (row.first.offset != 0 || row.first.bytes.empty() || row.first.anyCase || row.join == EJoin::Or)
                start.complete = false;
            else
                start.has[static_cast<std::uint8_t>(row.first.bytes[0])] = true;
        }
    }
    return start;
}

constexpr SignatureRow kThreeByteSignatures[] = {
    Row(At(0, "ID3"), "MP3 with ID3-tag"),
    Row(At(0, "BZh"), "BZIP2 compressed archive"),
    Row(At(0, "BZ0"), "BZIP archive"),
    Row(At(0, ".ra"), "Real Audio"),
    Row(At(0, "MP+"), "MP3Plus Audio"),
    Row(At(0, "BAG"), "BAG Archive Format"),
    Row(At(0, "BWC"), "BWC archive"),
    Row(At(0, "LZX"), "LZX archive"),
    Row(At(0, "UFA"), "UFA Archive"),
    Row(At(0, "CDR"), "CorelDraw file"),
    Row(At(0, "Mod"), "Extended Mod Sound"),
    Row(At(0, "THX"), "AHX module music"),
    Starting(At(0, "DOS"), IsAmigaDisk, "Amiga Floppy Disk image (ADF)"),
    Starting(At(0, "VPI"), IsVirtualPascalUnit, "Virtual Pascal unit file"),
    Starting(At(0, "PKG"), IsDelphiUnit, "Borland Delphi unit file"),
    Row(At(0, "AMV"), "MTV audio/video (AMV)"),
    Row(At(0, "\x02\x0B\x01"), "HP-UX executable"),
    Row(At(0, "FWS"), "Shockwave Flash"),
    Row(At(0, "CWS"), "Shockwave Flash Compressed"),
    Row(At(0, "\x1A\x48\x50"), "HYP compressed archive"),
    Row(At(0, "\x1A\x53\x54"), "HYP compressed archive"),
    Row(At(0, "\xEB\x3C\x90"), "Floppy Image (uncompressed)"),
    Row(At(0, "\xEB\x3E\x90"), "Floppy Image (uncompressed)"),
    Row(At(0, "UHA"), "UHArc archive"),
    Row(At(0, "TPU"), "TPU (Borland Turbo Pascal Unit)"),
    Row(At(0, "DWB"), "Commodore 64 LBR (Library) archive"),
    Row(At(0, "MTM"), "MultiTracker module music"),
    Row(At(0, "GT2"), "Graoumf Tracker module music"),
    Row(At(0, "RRG"), "Windows 3.x cardfile"),
    Row(At(0, "MGC"), "Windows NT 3.51 cardfile"),
    Row(At(0, "HSP"), "OS/2 hypertext document"),
    Row(At(0, "UN0"), "Mikmod module music"),
    Row(At(0, "IFX"), "Shockwave 3D model"),
    Row(At(0, "NSK"), "NaShrink archive"),
};

constexpr SignatureRow kSelfExtractors[] = {
    Row(At(1343, "ESP"), "ESP self-extracting archive (ms-dos)"),
};

// Up to the first Ghost image, whose row appends a title.
constexpr SignatureRow kArchivesAndGhosts[] = {
    Row(At(0, "\x4C\x4D\x1A"), "Limit archive"),
    Row(At(0, "\x93\xB9\x06"), "Splint archive"),
    Row(At(0, "\xFE\xEF\x09"), "Ghost Image (multi) (Symantec/Norton)"),
};

// From PCX to COFF; the FLIC rows follow.
constexpr SignatureRow kImagesMarksAndCompressors[] = {
    Row(At(0, "\x0A\x00\x01"sv), "PCX 2.5 image"),
    Row(At(0, "\x0A\x02\x01"), "PCX 2.8 image"),
    Row(At(0, "\x0A\x03\x01"), "PCX 2.8 image"),
    Row(At(0, "\x0A\x04\x01"), "PCX image (Paintbrush for Windows)"),
    Row(At(0, "\x0A\x05\x01"), "PCX 3.0 image"),
    Row(At(0, "nff"), "Sense8 Worldtoolkit 3D object"),
    Row(At(0, "P7\n"), "PAM - Portable Arbitary Map image"),
    Starting(At(0, "O:"), IsSolitaireImage, "Solitaire image recorder image"),
    Row(At(0, "\0\0\xFE\xFF"sv), "Unicode Text UTF-32 big endian"),
    Row(At(0, "\xFF\xFE\0\0"sv), "Unicode Text UTF-32 little endian"),
    Starting(At(0, "\xFF\xFE"), IsUtf16LittleEndian, "Unicode Text UTF-16 little endian"),
    // A UTF-32 mark begins with the UTF-16 one and is named above.
    Otherwise(At(0, "\xFF\xFE"), AndNot, At(0, "\xFF\xFE\0\0"sv), "Possible Unicode Text UTF-16"),
    Starting(At(0, "\xFE\xFF"), IsUtf16BigEndian, "Unicode Text UTF-16 big endian "),
    Otherwise(At(0, "\xFE\xFF"), "Possible Unicode Text UTF-16"),
    Row(At(0, "\xEF\xBB\xBF"), "Unicode Text UTF-8"),
    Row(At(0, "P1"), "PBM - Portable Bitmap v1 (ascii)"),
    Row(At(0, "P2"), "PBM/PGM - Portable Bitmap/Graymap v2 (ascii)"),
    Row(At(0, "P3"), "PPM - Portable Pixmap image (ascii)"),
    Row(At(0, "P4"), "PBM - Portable Bitmap v4 (binary)"),
    Row(At(0, "P5"), "PBM/PGM - Portable Bitmap/Graymap v5 (binary)"),
    Row(At(0, "P6"), "PBM/PPM - Portable Bitmap/Pixmap v6 image (binary)"),
    Starting(At(0, "DS"), IsQuantumArchive, "Quantum format archive"),
    Row(At(0, "\x4A\xA3"), "Package/archive (?)"),
    Row(At(0, "\x1F\x8B"), "GZip archive (zlib)"),
    Row(At(0, "\x1F\x89"), "Compress archive (zlib)"),
    Row(At(0, "\x83\x5F"), "DBF database file"),
    Row(At(0, "\xE3\x10"), "Amiga INFO file"),
    Row(At(0, "\x1F\x9D"), "Z compressed archive"),
    Row(At(0, "\x1F\x9E"), "Freeze compressed archive (v1.0)"),
    Row(At(0, "\x1F\x9F"), "Freeze compressed archive (v2.0)"),
    Row(At(0, "\x4C\x01"), "COFF executable"),
};

// FLIC animations: the magic behind the file size.
constexpr SignatureRow kFlicAnimations[] = {
    Row(At(4, "\x11\xAF"), "FLI animation"),
    Row(At(4, "\x12\xAF"), "FLC/FLX animation"),
    Row(At(4, "\x44\xAF"), "FLIC animation"),
    Row(At(4, "\x30\xAF"), "FLIC amimation (compressed)"),
};

// From ARJ to the BMF images; the SGI row follows.
constexpr SignatureRow kArchivesAndBitmapFonts[] = {
    Row(At(0, "\x60\xEA"), "ARJ archive"),
    Row(At(0, "7z"), "7-Zip archive"),
    Row(At(0, "Ai"), "Ai archive"),
    Row(At(0, "LG"), "Arhangel archive"),
    Row(At(0, "HA"), "HA archive"),
    Starting(At(0, "ZZ"), IsZzipArchive, "ZZip archive"),
    Row(At(0, "\xAD\x36"), And, At(3, "\0"sv), "AMG archive"),
    Starting(At(0, "\x81\x8A"), IsBmfImage, "BMF image"),
};

// Behind the SGI row.  Atari programs begin with the 68000 branch 0x601A,
// stored big-endian; the swapped order is accepted too.
constexpr SignatureRow kGemAtariAndFontMetrics[] = {
    Starting(At(0, "\xFF\xFF"), IsGemMetafile, "GEMDOS metafile"),
    Row(At(0, "\x60\x1A"), And, At(18, "MiNT"), "Atari Mint executable"),
    Row(At(0, "\x1A\x60"), And, At(18, "MiNT"), "Atari Mint executable"),
    Row(At(0, "\x60\x1A"), And, At(18, "\0\0\0\0"sv), "Atari TOS executable"),
    Row(At(0, "\x1A\x60"), And, At(18, "\0\0\0\0"sv), "Atari TOS executable"),
    Row(At(0, "\0\x01"sv), And, At(199, "postscript", kAnyCase), "Type 1 Font, Printer Font Metrics (PFM)"),
};

constexpr StartBytes kStartBytes = StartBytesOf(kThreeByteSignatures, kArchivesAndGhosts, kImagesMarksAndCompressors,
                                               kArchivesAndBitmapFonts, kGemAtariAndFontMetrics);
static_assert(kStartBytes.complete, "a table behind the first-byte look-up holds a row that looks elsewhere");

// MacBinary: the Finder type and creator codes at 65.
constexpr SignatureRow kMacBinaryTypes[] = {
    Row(At(65, "FFILDMOV"), "Truetype Font (macbinary format)"),
    Row(At(65, "SITDSIT!"), "StuffIt archive (macbinary format)"),
    Row(At(65, "SIT!SIT!"), "StuffIt archive (macbinary format)"),
    Row(At(65, "LWFNL2T2"), "Type 1 Font (macbinary format)"),
    Row(At(65, "PACTCPCT"), "(Compact Pro CPT archive?) (macbinary format)"),
    Row(At(65, "TEXT"), "Text file (macbinary format)"),
    Row(At(65, "APPL"), "Mac Application (macbinary format)"),
    Row(At(65, "JPEG"), "Jpeg image (macbinary format)"),
    Row(At(65, "PDF "), "PDF Document (macbinary format)"),
    Row(At(65, "TIFF"), "TIFF image (macbinary format)"),
    Row(At(65, "PNGf"), "PNG image (macbinary format)"),
    Row(At(65, "PICT"), "PICT image (macbinary format)"),
    Row(At(65, "EPSF"), "EPS image (macbinary format)"),
};

// The volume signature in the second 512-byte block of a Macintosh volume.
constexpr SignatureRow kMacVolumes[] = {
    Row(At(1024, "H+"), "Possible HFS+ disc image "),
    Row(At(1024, "BD"), "Possible HFS disc image "),
    Row(At(1024, "HX"), "Possible HFSX disc image "),
    Row(At(1024, "\xD2\xD7"), "Possible MFS disc image ", kEnds),
};

// Ghost images of the first kind carry a title at 255.
constexpr std::string_view kGhostFirst = "\xFE\xEF\x01";
constexpr std::size_t kGhostTitleAt = 255;
void AppendGhostImage(CRecognition& r) {
    if (!r.At(0, kGhostFirst)) return;
    r.Append("Ghost Image (first) (Symantec/Norton) ");
    r.AppendHeadText(kGhostTitleAt, kHeadSize);
}

// SGI images: the magic 01 DA, the storage byte (1 = RLE) and one byte per
// channel, then the image name at 24.
constexpr std::size_t kSgiNameAt = 24;
constexpr std::size_t kSgiMaxName = 80;
void AppendSgiImage(CRecognition& r) {
    if (!r.At(0, "\x01\xDA")) return;
    const std::uint8_t storage = r.byte(2);
    const std::uint8_t bytesPerChannel = r.byte(3);
    if (bytesPerChannel == 1 && storage == 0) {
        r.Append("SGI image");
    } else if (bytesPerChannel == 1 && storage == 1) {
        r.Append("SGI image, compressed");
    } else {
        r.Append("(possibly SGI image)");
    }
    r.m_result += ", title=\"";
    r.AppendHeadText(kSgiNameAt, kSgiMaxName);
    r.m_result += '"';
}

// A MacBinary header begins with a zero version byte and has a zero byte
// at 64, behind the file name.
bool IsMacBinary(const CRecognition& r) { return r.byte(0) == 0 && r.byte(64) == 0; }

}  // namespace

ETest RunTwoByteSignatures(CRecognition& r) {
    const bool start = kStartBytes.has[r.byte(0)];
    if (start) MatchRows(r, kThreeByteSignatures);
    MatchRows(r, kSelfExtractors);
    if (start) MatchRows(r, kArchivesAndGhosts);
    AppendGhostImage(r);
    if (start) MatchRows(r, kImagesMarksAndCompressors);
    MatchRows(r, kFlicAnimations);
    if (start) MatchRows(r, kArchivesAndBitmapFonts);
    AppendSgiImage(r);
    if (start) MatchRows(r, kGemAtariAndFontMetrics);
    if (IsMacBinary(r)) MatchRows(r, kMacBinaryTypes);
    // Only the last row ends; the others leave the found mark to the checkpoint.
    return MatchRows(r, kMacVolumes);
}

}  // namespace quiddity
