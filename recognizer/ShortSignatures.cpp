// Group 2: signatures of 3 to 8 bytes at fixed offsets, longest first, then
// a few byte patterns with value ranges.
#include "recognizer/Recognition.h"
#include "recognizer/SignatureTable.h"

namespace quiddity {

using namespace std::string_view_literals;  // "A\0B"sv keeps its zero bytes

namespace {

// IRCAM sound files: the magic 0x000NA364, N the machine format 1 to 4,
// stored in either byte order.
bool IsIrcamBigEndian(const CRecognition& r) {
    return r.byte(0) == 0 && r.byte(2) == 0xA3 && r.byte(3) == 0x64 && r.byte(1) >= 1 && r.byte(1) <= 4;
}
bool IsIrcamLittleEndian(const CRecognition& r) {
    return r.byte(3) == 0 && r.byte(1) == 0xA3 && r.byte(0) == 0x64 && r.byte(2) >= 1 && r.byte(2) <= 4;
}

// PC Paint pictures: magic 1234 (little-endian), then a marker byte of FF
// behind the bits-per-pixel byte, which is 2, 8 or 0x31.
bool IsPictorImage(const CRecognition& r) {
    const std::uint8_t bits = r.byte(10);
    return r.byte(0) == 0x34 && r.byte(1) == 0x12 && r.byte(11) == 0xFF && (bits == 2 || bits == 8 || bits == 0x31);
}

constexpr SignatureRow kShortSignatures[] = {
    Row(At(0, "SIT!"), And, At(10, "rLau"), "Stuffit archive"),
    Row(At(0, "LIST"), And, At(8, "FTXT"), "Formatted text interchange file"),
    Row(At(0, "C64 tape"), "Commodore 64 tape"),
    Row(At(0, "LBLSIZE="), "Vicar image"),
    Row(At(0, "MLEDMODL"), "Musicline module music"),
    Row(At(0, "OKTASONG"), "Oktalyzer module music"),
    Row(At(0, "\xB6\xB9\xAC\xAE\xFE\xFF\xFF\xFF"sv), "CryptFF"),
    Row(At(0, "Creative"), "Creative Voice Audio (VOC)"),
    Row(At(0, "JASC-PAL"), "Jasc Paint Shop Pro palette"),
    Row(At(0, "ITOLITLS"), "MS Reader Document"),
    Row(At(0, "SUNWCpch"), "Sun C++ precompiled header"),
    Row(At(0, "SUNWcpch"), "Sun C precompiled header"),
    Row(At(0, "\x57\x4D\x50\x48\x4F\x54\x4F\x00"sv), "HD Photo"),
    Row(At(0, "\x43\x36\x34\x46\x69\x6C\x65\x00"sv), "C64 Emulator Image (PC64)"),
    Row(At(0, "GCR-1541"), "C64 Emulator disk image"),
    Row(At(0, "package0"), Or, At(0, "package1"), "Newton package file"),
    Row(At(0, "xcr File"), "XCR archive file"),
    Row(At(13, "DrawFile"), "IslandDraw document"),
    Row(At(0, "\x50\x4B\x30\x30\x50\x4B\x03\x04"sv), "ZIP archive"),
    Row(At(65, "SIT5"), "StuffIt 5 archive (mac) "),
    Otherwise(At(0, "StuffIt "), Or, At(128, "StuffIt "), "StuffIt archive (mac)"),
    Otherwise(At(0, "StuffIt!"), Or, At(128, "StuffIt!"), "StuffIt extended archive (sitx, mac)"),
    Row(At(0, "\x00\x44\x00\x01\x00\x00\x00\x1A"sv), "Intellifont Scalable Typeface Format (PCL5)"),
    Row(At(0, "\x89\x50\x4E\x47\x0D\x0A\x1A\x0A"sv), "Portable Network Graphics"),
    Row(At(0, "\x8A\x4D\x4E\x47\x0D\x0A\x1A\x0A"sv), "Multiple Image Network Graphics"),
    Row(At(0, "\x8B\x4A\x4E\x47\x0D\x0A\x1A\x0A"sv), "JPEG Network Graphics"),
    Row(At(0, "\x11\x00\x00\x00\x53\x43\x43\x41"sv), "Windows Prefetch File"),
    Row(At(0, "\x53\x80\xF6\x34"sv), AndNot, At(88, "PICT"), "Softimage 3D image"),
    Row(At(0, "\xCC\xDD\x59\x13\x61\x35\x84\x95"sv), "Watcom Help File"),
    Row(At(0, "\x1A\x00\x00\x03\x00\x00\x11\x00"sv), "Notes database file"),
    Row(At(0, "\x00\x00\x00\x40\x00\x00\x00\x06"sv), Or, At(0, "\x40\x00\x00\x00\x06\x00\x00\x00"sv), "X10 X-windows dump image"),
    Row(At(0, "\x05\x00\x00\x00\x03\x00\x00\x00"sv), "Exchange MAPI shortcut"),
    Row(At(0, "\xB5\xA2\xB0\xB3\xB3\xB0\xA2\xB5"sv), "Microsoft Calendar file"),
    Row(At(0, "\x1B\x29\x73\x36\x34\x57\x00\x40"sv), "Deluxepaint mono-color font"),
    Row(At(0, "\x56\x43\x50\x43\x48\x30\x00\x00"sv), "Microsoft Precompiled Header"),
    Row(At(0, "conectix"), "Virtual PC hard drive image"),
    Row(At(0, "-rom1fs-"), "Simple ROM filesystem"),
    Row(At(0, "quick3Do"), "Quick3D object"),
    Row(At(0, "quick3Ds"), "Quick3D scene"),
    Row(At(0, "\x5B\x45\x53\x50\x5D\xB5\x78"sv), "624 executable compressed file (MS-DOS)"),
    Row(At(0, "ZXTape!"), "ZX Spectrum emulator tape"),
    Row(At(0, "VBDFILE"), "Sound settings (VBD Channel file)"),
    Row(At(0, "DSIGDCC"), "CrossePAC archive"),
    Row(At(7, "**ACE**"), "ACE archive"),
    Row(At(0, "X400LOG"), "X.400 log"),
    Row(At(0, "\x41\x4D\x53\x68\x64\x72\x1A"sv), "Velvet Studio module music"),
    Row(At(0, "NIST_1A"), "NIST audio file"),
    Row(At(0, "REGEDIT"), "Registry file"),
    Row(At(21, "Scream!"), "STMIK module music"),
    Row(At(0, "JRchive"), "JRchive archive"),
    Row(At(0, "<WORLD>", kAnyCase), "XGL 3D model"),
    Row(At(8, "CIMG"), And, At(0, "FOR"), "Maya image"),
    Row(At(2, "\x00\x00\x00\x00\x00\x99"sv), Or, At(2, "\x00\x00\x00\x00\x01\x99"sv), "Autodesk animator polygon file"),
    Row(At(2, "\x2E\x30\x0D\x0A\x00\x00"sv), "Bitstream Speedo font file"),
    Row(At(0, "\x4E\xF5\x46\xE9\x6C\xE5"sv), "Shrinkit/Nulib archive"),
    Row(At(0, "FIASCO"), "Fractal Image And Sequence Codec image (wfa)"),
    Row(At(0, "\x1A\x29\x2B\x2E\x01\x00"sv), "Telix phone book"),
    Row(At(0, "{\\rtf1"), "Rich Text Format (RTF)"),
    Row(At(0, "NuFile"), "NuFile archive (Apple II)"),
    Row(At(0, "vorbis"), "Vorbis Lossy Audio Codec raw audio"),
    Row(At(0, "<HTML>", kAnyCase), "HTML (text)"),
    Row(At(0, "<SMIL>", kAnyCase), "SMIL (text)"),
    Row(At(2, "ADLIB-"), "Adlib FM instrument bank"),
    Row(At(3, "OctSqu"), "Squash archive"),
    Row(At(0, "xbtoa5"), "Btoa encoded file (.boo)"),
    Row(At(0, "(DWF V"), "Autocad DWF graphics"),
    Row(At(0, "AC1015"), "Autocad DWG graphics"),
    Row(At(24, "SunGKS"), "SunGKS "),
    Row(At(0, "<HTML ", kAnyCase), "HTML (text)"),
    Row(At(0, "<?XML ", kAnyCase), "XML (text)"),
    Row(At(0, "\x43\x42\x4D\x64\x00\x00"sv), "Power64 RAM snapshot (Commodore 64 emulator)"),
    Row(At(0, "\x4D\x4D\x53\x14\x00\x00"sv), "CKIT (Compression Kit) compressed file (Commodore 64)"),
    Row(At(0, "\xE9\x2C\x01\x4A\x41\x4D"sv), "JAM Archive"),
    Row(At(14, "\x1A\x4A\x61\x72\x1B\x00"sv), "Jar-archive"),
    Row(At(0, "!Type:"), "Quicken interchange file"),
    Row(At(0, "\x41\x53\x44\x30\x31\x1A"sv), "ASD archive"),
    Row(At(0, "\x50\x41\x51\x33\x0D\x0A"sv), "PAQ3 archive"),
    Row(At(0, "\x50\x41\x51\x31\x0D\x0A"sv), "PAQ1 archive"),
    Row(At(0, "SQWEZ "), "Sqwez archive"),
    Row(At(0, "P7 332"), "XV thumbnail image"),
    Row(At(0, "//Maya"), "Maya 3D model (ascii)"),
    // A tar header: the end of the link name, then the magic; GNU tar and
    // POSIX tar tell themselves apart by the bytes behind "ustar".
    Row(At(256, "\0ustar"sv), "TAR archive "),
    Row(At(256, "\0ustar  \0"sv), "(GNU)"),
    Row(At(256, "\0ustar\0" "00"sv), "(opengroup/posix)"),
    Row(At(0, "\x50\x53\x41\x01\x03"sv), "Pretty simple archiver archive"),
    Row(At(0, "\xFF\x46\x4F\x4E\x54"sv), "MS-DOS code page raster font"),
    Row(At(0, "\x01\xDF\x00\x04\x3A"sv), "IBM AIX executable"),
    Row(At(0, "{\\pwi"), "Pocket Word"),
    Row(At(0, "\x13\x5D\x65\x8C\x3A"sv), "Stirling/Installshield compressed (1)"),
    Row(At(0, "\x2A\xAB\x79\xD8\x00"sv), "Stirling/Installshield compressed (2)"),
    Row(At(0, "\x61\x4C\x75\x5A\x00"sv), "Stirling/Installshield 'aLuZ'"),
    Row(At(0, "btpc "), "BTPC compressed image"),
    Row(At(0, "SOUND"), "SOX/SampleVision audio file"),
    Row(At(0, "Speex"), "Speex Lossy Audio Codec raw audio"),
    Row(At(0, "PG ML"), "PGML "),
    Row(At(0, "VCPCH"), "Visual C++ Precompiled header"),
    Row(At(0, "#VRML"), "Virtual Reality modeling language"),
    Row(At(0, "HLSQZ"), "Squeeze compressed archive/file"),
    Row(At(0, "CRUSH"), "Crush Archive file"),
    Row(At(0, "BEGMF"), "CGM, Computer graphics metafile (ascii)"),
    Row(At(0, "vcard"), "Vcard file (vcf)"),
    Row(At(0, "<XML ", kAnyCase), "XML (text)"),
    Row(At(2, "-lh0-"), "LHA archive, uncompressed"),
    Row(At(2, "-lh1-"), "LHA archive, LZSS 1"),
    Row(At(3721, "-lh1-"), "C64 self-extracting LHA archive"),
    Row(At(2, "-lh2-"), "LHA archive, LZSS 2"),
    Row(At(2, "-lh3-"), "LHA archive, LZSS 3"),
    Row(At(2, "-lh4-"), "LHA archive, LZSS 4"),
    Row(At(2, "-lh5-"), "LHA archive, LZSS 5"),
    Row(At(2, "-lh6-"), "LHA archive, LZSS 6"),
    Row(At(2, "-lh7-"), "LHA archive, LZSS 7"),
    Row(At(2, "-lh -"), "LHA archive, v2.x"),
    Row(At(2, "-lhd-"), "LHA archive, uncompressed"),
    Row(At(2, "-lzs-"), "LArc archive, LZSS compressed"),
    Row(At(2, "-lz4-"), "LArc archive, uncompressed"),
    Row(At(2, "-lz5-"), "LArc archive, LZSS compressed"),
    Row(At(0, "\x4C\x45\x41\x44\x00"sv), "LEAD Technologies packed file"),
    Row(At(0, "Ghido"), "QLFC archive"),
    Row(At(0, "\x53\x49\x54\x21\x00"sv), "StuffIt archive (mac) "),
    Row(At(0, "\x4E\x45\x53\x4D\x1A"sv), "NES ripped audio"),
    Row(At(0, "\x41\x50\x55\x4E\x01"sv), "APlayer module music"),
    Row(At(0, "\x50\x55\x4C\x50\x83"sv), "624 executable compressed file (ms-dos)"),
    Row(At(0, "CMESH"), "Geomview polygon"),
    Row(At(0, "HRCH:"), "Softimage 4d model (ascii)"),
    Row(At(522, "\x00\x11\x02\xFF"sv), "Mac QuickDraw metafile PICT"),
    Row(At(0, "\x4E\xF5\x46\xD8"sv), "Shrinkit/Nulib archive"),
    Row(At(40, " EMF"), "Enhanced Metafile (EMF)"),
    Row(At(38, "\x4B\x52\x01\x00"sv), "Anivga sprite image"),
    Row(At(128, "DICM"), "Dicom medical image"),
    Row(At(6, "\x00\x00\x4C\x5A"sv), "Compressed RTF"),
    Row(At(0, "\xC3\xAB\xCD\xAB"sv), "Microsoft Office Assistant (Hjelper)"),
    Row(At(20, "\xFD\xC4\xA7\xDC"sv), Or, At(20, "\xDC\xA7\xC4\xFD"sv), "Zoo compressed archive"),
    Row(At(0, "\xFF\x57\x50\x43"sv), "Word Perfect Doc/Graphics"),
    Row(At(16, "\x00\x00\x6A\x1A"sv), "ESPS audio"),
    Row(At(16, "\x1A\x6A\x00\x00"sv), "ESPS audio"),
    Row(At(0, "\xC5\xD0\xD3\xC6"sv), "Encapsulated Postscript (binary)"),
    Row(At(44, "PTMF"), "PolyTracker module music"),
    Row(At(44, "SCRM"), "ScreamTracker module music"),
    Row(At(60, "SONG"), "SoundFX Tracker module music"),
    Row(At(28, "LZ91"), " LZexe compressed"),
    Row(At(60, "IM10"), "Imago morpheus 32 channel music"),
    Row(At(76, "SCRS"), "Screamtracker audio sample"),
    Row(At(252, "\x40\xC3\xFC\x0E"sv), "Sppack audio sample"),
    Row(IsIrcamBigEndian, "IRCAM audio sample"),
    Row(IsIrcamLittleEndian, "IRCAM audio sample"),
    Row(At(0, "\x00\x01"sv), And, At(4, "db"), "Openflight scene description 3d model"),
    Row(IsPictorImage, "Pictor PC Paint image"),
    Row(At(0, "\x19\x91"sv), And, At(10, "\x08\x00"sv), "Autodesk animator image"),
    Row(At(54, "\x39\x30"sv), And, At(16, "\x00\x00"sv), "Bio-rad confocal microscope image", kEnds),
};

}  // namespace

ETest RunShortSignatures(CRecognition& r) { return MatchRows(r, kShortSignatures); }

std::span<const SignatureRow> ShortSignatureRows() { return kShortSignatures; }

}  // namespace quiddity
