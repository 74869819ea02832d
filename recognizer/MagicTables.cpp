// Group 4: the two magic tables, then OLE2, ASF, QuickTime, ISO media, tracker modules, Jet, TrueType, BIFF2-4, GIF.
#include <algorithm>
#include <string>

#include "formats/RealMedia.h"
#include "recognizer/Ebml.h"
#include "recognizer/MagicTable.h"

namespace quiddity {

namespace {

// Nullsoft video: a "TITLE=" tag at 28 whose value is quoted by whatever
// byte follows the '='.  A title that is never closed ends at the first
// zero byte, at the latest where the head ends.
void AppendNsvTitle(CRecognition& r) {
    if (!r.At(28, "TITLE=")) return;
    r.m_result += ": \"";
    r.AppendHeadText(35, kHeadSize, r.byte(34));
    r.m_result += '"';
}

// TwinVQ: the name chunk, when it follows the common chunk at 40.
constexpr std::uint32_t kVqfMaxName = 255;  // a name is one short line, whatever its chunk claims
void AppendVqfName(CRecognition& r) {
    if (!r.At(40, "NAME")) return;
    r.AppendHeadText(48, std::min(r.be32(44), kVqfMaxName));
}

// Matroska, WebM: the DocType, when it is the first element of a header whose
// size takes one byte.
constexpr std::size_t kEbmlHeaderSizeAt = 4;
constexpr std::size_t kEbmlDocTypeSizeAt = 7;      // behind a one-byte header size and the 42 82 identifier
constexpr std::uint32_t kEbmlMaxDocType = 255;     // doc types are short names; an invalid size gives this too
void AppendEbmlDocType(CRecognition& r) {
    const std::uint32_t headerSize = ReadEbmlVint(r.Head(), kEbmlHeaderSizeAt);
    if (EbmlVintLength(r.byte(kEbmlHeaderSizeAt)) != 1 || headerSize == kEbmlInvalid || headerSize == 0) return;
    if (!r.At(kEbmlHeaderSizeAt + 1, "\x42\x82")) return;
    const std::uint32_t docTypeSize = ReadEbmlVint(r.Head(), kEbmlDocTypeSizeAt);
    // The text follows its size field, which is taken as one byte when it is invalid.
    const std::size_t sizeLength = docTypeSize == kEbmlInvalid ? 1 : EbmlVintLength(r.byte(kEbmlDocTypeSizeAt));
    r.m_result += ", ";
    r.AppendHeadText(kEbmlDocTypeSizeAt + sizeLength, std::min(docTypeSize, kEbmlMaxDocType));
    r.m_result += ' ';
}

// TIFF: the byte-order mark is II or MM.
void AppendTiffByteOrder(CRecognition& r) {
    if (r.byte(0) == 'I') r.m_result += "(little endian)";
    if (r.byte(0) == 'M') r.m_result += "(big endian)";
}

// RealMedia: the codecs come from the header objects, read from the file.
void AppendRealMediaCodecs(CRecognition& r) {
    std::string codecs;
    DescribeRealMedia(*r.m_pSource, codecs);
    r.m_result += codecs;
}

// Magics that are four characters; looked up first.
constexpr MagicRow kTextMagics[] = {
    Text("Rar!", "Rar archive"),
    Text("MSCF", "Microsoft Compressed Format (cab, cabinet file)"),
    Text("MSFT", "MS Type Library"),
    Text("SZDD", "Microsoft Compress LZSS Compressed 5 (Dos 6.x)"),
    Text("KWAJ", "Microsoft Compressed 6 (Dos <6)"),
    Text("ISc(", "InstallShield Compressed"),
    Text(".mp4", "ASS MPEG-4 ?"),
    Text("ADIF", "ADIF Audio"),
    Text("%PDF", "Adobe Acrobat PDF"),
    Text("MThd", "MIDI file"),
    Text("MHWK", "Broderbund Mohawk archive"),
    Text("2BIT", "AVR (Audiovisual research) sound sample"),
    Text("CREG", "Microsoft Registry data"),
    Text("MARC", "Microsoft Archive Compressed Format"),
    Text("!BDN", "PST Outlook Archive"),
    Text("ITSF", "Compiled HTML (help file)"),
    Text(".snd", "Sun/Next (Unix) audio"),
    Text("%!PS", "Postscript "),
    Text("CLF4", "Filemaker Pro Font"),
    Text("THES", "Thesaurus file"),
    Text("regf", "Windows Registry (policy, profil e.l.)"),
    Text("TWIN", "VQF Audio: ", AppendVqfName),
    Text("OggS", "Ogg/Vorbis Audio or Video"),
    Text("SAdT", "Surprise Productions Adlib tracker music"),
    Text("DISC", "Medline Disc index (?)"),
    Text("CCV1", "MS Cuecard"),
    Text("8BPS", "Photoshop Document (image)"),
    Text("8BGR", "Photoshop Gradient file"),
    Text("ALP ", "ALP Sound file (?)"),
    Text("SMK2", "Animation (?)"),
    Text("ARCV", "Salesas(?) Compressed Installer Archive"),
    Text("INF2", "Salesas(?) Installer Information"),
    Text("TWRX", "TZF compressed archive (?)"),
    Text("DDMF", "DelusionTracker module music"),
    Text("CGJP", "Microsoft Uninstall Data"),
    Text("EPFS", "EPFS ??"),
    Text("CTMF", "Creative Labs music file (CTMF)"),
    Text("UCEX", "Unicode Extentions file"),
    Text("fLaC", "fLaC Multimedia"),
    Text("msid", "MrSID Multiresolution Seamless Image Database"),
    Text("cmid", "Compact Multimedia Format"),
    Text(".SEQ", "MSEQ multimedia file"),
    Text("TZif", "Zoneinfo Timezone information database (Unix)"),
    Text("OTTO", "Opentype CFF font"),
    Text("true", "TrueType/OpenType font "),
    Text("typ1", "Type1/OpenType font "),
    Text("ttcf", "TrueType Collection Font (multiple opentype fonts)"),
    Text("Joy!", "Mac OS Fat Binary"),
    Text("AMX1", "Microsoft Manifest (?)"),
    Text("LCDT", "Microsoft Language Data (?)"),
    Text("NSVf", "Nullsoft Video", AppendNsvTitle),
    Text("NSVs", "Nullsoft Video", AppendNsvTitle),
    Text("XARA", "Xara document"),
    Text("IsZ!", "Compressed ISO image (CD/DVD-image)"),
    Text("SDPX", "SMPTE DPX, Digital Picture Exchange (big-endian)"),
    Text("XPDS", "SMPTE DPX, Digital Picture Exchange (little-endian)"),
    Text("BDST", "Dx-ball game board set"),
    Text("IMST", "Dx-ball game image set"),
    Text("ZOO ", "ZOO archive"),
    Text("#@~^", "Screnc compressed file"),
    Text("MOVI", "SGI Movie"),
    Text("SQSH", "Squid archive"),
    Text("HPAK", "HPack archive"),
    Text("XPKF", "Amiga XPK archive"),
    Text("DMS!", "Amiga DiskMasher archive"),
    Text("PX20", "PowerPacker archive (AmigaOS)"),
    Text("PMCC", "Microsoft Windows group file"),
    Text("DIST", "Digitrakker instrument"),
    Text("IMPI", "Impulse tracker instrument"),
    Text("MI21", "Madtracker instrument"),
    Text("Funk", "FunkTracker Gold music"),
    Text("YBS3", "YBS archiver archive"),
    Text("RZIP", "Rzip archive"),
    Text("rdqx", "Reduq archive"),
    Text("ULEB", "Romanian archiver expert (RAX) archive"),
    Text("PAQ6", "PAQ6 archive"),
    Text("PP20", "Powerpacker archive"),
    Text("IMPM", "ImpulseTracker module music"),
    Text("BeEp", "Jamcracker tracker module music"),
    Text("DMDL", "Digitrakker module music"),
    Text("MMD0", "Octamed tracker module music"),
    Text("MMD1", "Octamed Pro Tracker module music"),
    Text("MMD2", "Octamed Pro Tracker module music"),
    Text("MMD3", "Octamed Sound Studio module music"),
    Text("MT20", "Madtracker module music"),
    Text("MTP2", "Madtracker pattern file"),
    Text("NESA", "A/NES ripped audio"),
    Text("PACG", "SBStudio module music"),
    Text("MC50", "Maxon Cinema 4D version 5 3D"),
    Text("3DMF", "Apple Quickdraw 3D metafile"),
    Text("AC3D", "Ac3d 3d model"),
    Text("PSID", "PlaySID music file"),
    Text("MAC ", "MonkeyAudio compressed audio"),
    Text("SND ", "SBStudio sampled audio"),
    Text(".MDA", "Microdesign area image"),
    Text(".MDP", "Microdesign page image"),
    Text("MRF1", "Netpbm Monochrome Recursive format"),
    Text("RIX3", "ColoRIX VGA Paint file"),
    Text("THNL", "Graphics workshop thumbnail"),
    Text("GOUR", "Videoscape 3D model w/colored vertices"),
    Text("3DG1", "Videoscape 3D model w/colored faces"),
    Text("3DG2", "Videoscape 3D model light source"),
    Text("3DG3", "Videoscape 3D model w/goraud curves"),
    Text("LIST", "Geomview list of 3D models and objects"),
    Text("LWSC", "Lightwave 3D scene"),
    Text("MESH", "Geomview polygon"),
    Text("xof ", "Microsoft direct3d 3D model (.xie)"),
    Text("xsi ", "Softimage 3d model (.xsi)"),
    Text("BIX0", "BIX archive"),
    Text("DSTb", "Disintegrator archive"),
    Text("Ench", "Enhanced compressor archive"),
    Text("ESP>", "ESP archive"),
    Text("SEMh", "Semone archive"),
    Text("LPAC", "LPAC Audio archive"),
    Text("PPZ2", "PPMZ2 archive (High Compression Markov Predictive Coder)"),
    Text("S403", "Stonecracker archive"),
    Text("S404", "Stonecracker archive"),
    Text("PPU0", "Freepascal unit file"),
    Text("HDOC", "Atari ST hypertext document"),
    Text("flf2", "Figlet font"),
    Text("RAD ", "Reality Adlib tracker music"),
    Text("BIGF", "BIG game archive"),
    Text("LZF0", "Portable Archive Interchange (PAX) archive"),
    Text("S401", "Stonecracker archive"),
    Text("MDmd", "Mike Davenport compressor archive"),
    Text("DanM", "Microsoft Paint 1.0 image"),
    Text("LinS", "Microsoft Paint 2.0 image"),
    Text("#FIG", "Facility for Interactive Generation file"),
};

// Magics given as four bytes in file order; looked up when no text magic matched.
constexpr MagicRow kNumberMagics[] = {
    Bytes(0x00, 0x64, 0x73, 0x2E, "DEC audio"),
    Bytes(0xED, 0xAB, 0xEE, 0xDB, "RedHat Package Manager (Linux)"),
    Bytes(0xFB, 0x53, 0x51, 0x52, "Adlib sound file"),
    Bytes(0x2E, 0x52, 0x4D, 0x46, "Real Media: ", AppendRealMediaCodecs),  // ".RMF"
    Bytes(0x00, 0x00, 0x01, 0x00, "Icon file (?)"),
    Bytes(0x00, 0x00, 0x02, 0x00, "Cursor (?)"),
    Bytes(0x1F, 0x8B, 0x08, 0x00, "GZip archive or MJPEG (Motion JPEG)"),
    Bytes(0x4C, 0x00, 0x00, 0x00, "Shortcut (link)"),
    Bytes(0x3F, 0x5F, 0x03, 0x00, "Windows Help File"),
    Bytes(0x7F, 0x45, 0x4C, 0x46, "ELF executable (unix/linux)"),
    Bytes(0x83, 0x01, 0x13, 0x00, "Alpha OSF1 executable"),
    Bytes(0x83, 0x01, 0x12, 0x00, "Alpha OSF1 executable"),
    Bytes(0x81, 0x03, 0x01, 0x0B, "Auspex 1.1 executable"),
    Bytes(0xFE, 0xED, 0xFA, 0xCE, "Mac OS X executable"),
    Bytes(0xCA, 0xFE, 0xBA, 0xBE, "Java Class"),
    Bytes(0xD7, 0xCD, 0xC6, 0x9A, "Windows Meta File"),
    Bytes(0x31, 0xBE, 0x00, 0x00, "MS Write or MS Word for DOS"),
    Bytes(0xFE, 0x37, 0x00, 0x00, "MS Word 5.0"),
    Bytes(0xDB, 0xA5, 0x2D, 0x00, "MS Word 2.0"),
    Bytes(0x49, 0x49, 0x2A, 0x00, "TIFF ", AppendTiffByteOrder),
    Bytes(0x4D, 0x4D, 0x00, 0x2A, "TIFF ", AppendTiffByteOrder),
    Bytes(0x43, 0x4D, 0x00, 0x00, "MPEG Chunk format"),
    Bytes(0x59, 0xA6, 0x6A, 0x95, "SUN raster graphics"),
    Bytes(0x50, 0x4B, 0x03, 0x04, "Zip archive "),
    Bytes(0x43, 0x15, 0x41, 0x64, "Commodore 64 emulator disk image"),
    Bytes(0xB8, 0xC9, 0x0C, 0x00, "Stirling/Installshield file"),
    Bytes(0x71, 0xA8, 0x00, 0x00, "Stirling/Installshield uninstall file"),
    Bytes(0x65, 0x5D, 0x13, 0x8C, "Old Stirling/Installshield compressed"),
    Bytes(0x0F, 0x00, 0xF5, 0x1D, "Old Stirling/Installshield archive information"),
    Bytes(0x44, 0x53, 0x00, 0x5A, "Package/archive (?)"),
    Bytes(0x8A, 0x01, 0x09, 0x00, "Microsoft AW-file"),
    Bytes(0x58, 0x54, 0x01, 0x00, "Microsoft Art Border"),
    Bytes(0xC2, 0xE8, 0x7A, 0x4E, "BMF map file (?)"),
    Bytes(0x4E, 0x45, 0x53, 0x1A, "NES Emulator ROM file"),
    Bytes(0x1F, 0x07, 0x00, 0xBF, "DV stream (Digital Video)"),
    Bytes(0x53, 0x42, 0x31, 0x00, "SpinnerBaker SBX compressed archive"),
    Bytes(0x1A, 0x45, 0xDF, 0xA3, "EBML", AppendEbmlDocType),
    Bytes(0xFF, 0x4F, 0xFF, 0x51, "JPEG2000 datastream"),
    Bytes(0x78, 0x9F, 0x3E, 0x22, "Outlook TNEF"),
    Bytes(0x46, 0x4C, 0x56, 0x01, "Flash Video File"),
    Bytes(0x1E, 0xF1, 0xB5, 0xB0, "Microsoft Private Key File, PVK"),
    Bytes(0x76, 0x2F, 0x31, 0x01, "OpenEXR image"),
    Bytes(0x45, 0x50, 0x2A, 0x00, "Microsoft Documet Imaging format"),
    Bytes(0xEF, 0xBB, 0xBF, 0x3C, "XML (or Composite font?)"),
    Bytes(0x01, 0x03, 0x19, 0x94, "Khoros KDF image"),
    Bytes(0xAB, 0x01, 0x01, 0x03, "Khoros VIFF XV image"),
    Bytes(0x13, 0x57, 0x9A, 0xCE, "GDBM, GNU DataBase Manager"),
    Bytes(0x44, 0x41, 0x41, 0x00, "Direct Access Archive (PowerISO) CD/DVD-image"),
    Bytes(0x41, 0x46, 0x50, 0x00, "MacBinary File Signature"),
    Bytes(0x00, 0x05, 0x16, 0x00, "Apple Single encoded file"),
    Bytes(0x00, 0x05, 0x16, 0x07, "Apple Double encoded file"),
    Bytes(0xFF, 0x42, 0x4C, 0xFF, "Wraptor (WRA) compressed file (Commodore 64)"),
    Bytes(0x43, 0x36, 0x34, 0x01, "64NET image file (Commodore 64)"),
    Bytes(0x7E, 0x42, 0x4B, 0x00, "Paint Shop Pro"),
    Bytes(0x91, 0x33, 0x48, 0x46, "HAP archive"),
    Bytes(0xCE, 0xCA, 0xEF, 0xBE, ".NET Resource file"),
    Bytes(0x19, 0x04, 0x00, 0x10, "SIS archive"),
    Bytes(0x00, 0x00, 0x03, 0xF3, "Amiga OS Executable  "),
    Bytes(0xDF, 0x00, 0x00, 0x0F, "Borland Delphi code unit file"),
    Bytes(0x49, 0x42, 0x4B, 0x1A, "Creative Labs FM instrument bank"),
    Bytes(0x53, 0x42, 0x49, 0x1A, "Creative Labs FM instrument data"),
    Bytes(0x00, 0x06, 0xFE, 0xFD, "Edlib FM tracker music"),
    Bytes(0x46, 0x41, 0x52, 0xFE, "Farandole composer module music"),
    Bytes(0x47, 0x44, 0x4D, 0xFE, "General DigiMusic module music"),
    Bytes(0x2E, 0x6D, 0x6F, 0x52, "eCos ROM filesystem image (ROMFS)"),  // ".moR"
    Bytes(0x00, 0xFA, 0xCA, 0xDE, "Javacard API smartcard export file"),
    Bytes(0xFE, 0xDB, 0x00, 0x00, "Cyberpaint animation"),
    Bytes(0x46, 0x42, 0x48, 0x46, "Borland Turbo Vision help file"),  // "FBHF"
    Bytes(0x43, 0x46, 0x01, 0x00, "Deluxepaint multi-colour font"),
    Bytes(0x01, 0x66, 0x63, 0x70, "Portable compiled format (PCF) font"),
    Bytes(0x42, 0x4F, 0x41, 0x00, "Boa constrictor archive"),
    Bytes(0x41, 0x4B, 0x54, 0x0A, "AKT archive"),
    Bytes(0x43, 0x58, 0x46, 0x1A, "CTX archive"),
    Bytes(0x00, 0x00, 0x04, 0x00, "Adlib music file"),
    Bytes(0x53, 0x4E, 0x44, 0x1A, "Nintendo NES audio file"),
    Bytes(0x46, 0x53, 0x4D, 0xFE, "Farandole composer audio sample"),
    Bytes(0x40, 0xFE, 0x00, 0x00, "AAX archive"),
    Bytes(0x03, 0x41, 0x42, 0x32, "ABComp archive"),
    Bytes(0x60, 0x1A, 0x00, 0x00, "Atari ST executable"),
    Bytes(0x55, 0x43, 0x32, 0x1A, "Ultra Compressor archive"),
    Bytes(0x53, 0x5A, 0x0A, 0x04, "SZip archive"),
    Bytes(0x50, 0x4B, 0x03, 0x06, "SOF archive"),
    Bytes(0x53, 0x42, 0x43, 0x1E, "SBC archive"),
    Bytes(0x49, 0x4D, 0x50, 0x0A, "Winimp archive"),
    Bytes(0x0C, 0x00, 0x00, 0x00, "Context tree weighing (CTW) archive"),
    Bytes(0xA8, 0x4D, 0x50, 0xA8, "Kboom archive"),
    Bytes(0x00, 0x01, 0x00, 0x08, "Gem Bit image"),
    Bytes(0x4A, 0x47, 0x04, 0x0E, "AOL/Johnson-Grace image file, version 2.0"),
    Bytes(0x80, 0x37, 0x12, 0x40, "Nintendo 64 emulator game"),
    Bytes(0x37, 0x80, 0x40, 0x12, "Nintendo 64 emulator game"),
    Bytes(0x01, 0x00, 0x09, 0x00, "Windows metafile"),
};

// A repeated magic would be dead: the first equal row wins.
static_assert(MagicsAreUnique(kTextMagics, kNumberMagics));

}  // namespace

ETest LookUpMagic(CRecognition& r, std::span<const MagicRow> first, std::span<const MagicRow> second) {
    const std::uint32_t magic = r.u32le(0);
    for (const std::span<const MagicRow> table : {first, second}) {
        for (const MagicRow& row : table) {
            if (row.magic != magic) continue;
            r.Append(row.text);
            if (row.detail) row.detail(r);
            return ETest::Matched;
        }
    }
    return ETest::NoMatch;
}

ETest RunMagicTables(CRecognition& r) {
    const ETest magic = LookUpMagic(r, kTextMagics, kNumberMagics);
    const ETest details = RunHeaderDetailsAfterMagic(r);
    return details == ETest::NoMatch ? magic : details;
}

std::span<const MagicRow> TextMagicRows() { return kTextMagics; }
std::span<const MagicRow> NumberMagicRows() { return kNumberMagics; }

}  // namespace quiddity
