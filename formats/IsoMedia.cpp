// ISO base media files (ISO/IEC 14496-12; Apple's QuickTime File Format;
// ISO/IEC 15444-1 for the JPEG 2000 boxes): atoms are a 32-bit big-endian
// size counting the 8-byte header, then a four-character type.
#include "formats/IsoMedia.h"

#include <algorithm>
#include <vector>

#include "core/TextFormat.h"
#include "formats/WaveFormat.h"

namespace quiddity {

namespace {

constexpr std::size_t kHeadBytes = 2048;                    // read at each top-level atom
constexpr std::uint64_t kMaxMovieBytes = 64ull << 20;        // a movie atom is read up to this
constexpr int kMaxDepth = 20;                               // deeper atoms are not listed
constexpr std::size_t kMaxListedAtoms = 10000;              // per report: atoms and sample entries
constexpr std::size_t kAtomHeaderBytes = 8;
constexpr std::uint32_t kSmallestWalkedAtom = 16;           // a smaller one ends its level
constexpr std::uint32_t kSmallestTopAtom = 4;               // sizes 0 and 1 (to end, 64-bit) are not read

// The types a file of this family starts with.
constexpr std::string_view kFirstAtoms[] = {"moov", "mdat", "idsc", "ftyp", "skip", "wide", "jP  "};

// In the file-type atom: the major brand, the minor version, then the compatible brands.
constexpr std::size_t kMajorBrandAt = 8;
constexpr std::size_t kCompatibleBrandsAt = 16;
// In the movie and media headers: the version, then (version 0) 32-bit
// times or (version 1) 64-bit times before the time scale and duration.
constexpr std::size_t kHeaderVersionAt = 8;
constexpr std::size_t kTimeScaleAt = 20;
constexpr std::size_t kDurationAt = 24;
constexpr std::size_t kTimeScaleAtV1 = 28;
constexpr std::size_t kDurationAtV1 = 32;
constexpr std::size_t kHandlerAt = 16;
constexpr std::size_t kEntryCountAt = 12;
constexpr std::size_t kFirstEntryAt = 16;
constexpr std::size_t kCompressionAt = 8;  // in "dcom"

constexpr std::string_view kEntryLead = "                             ------> ";

struct NamedCode {
    std::string_view code;
    std::string_view name;
};

constexpr NamedCode kBrands[] = {
    {"3G2A", "3GPP2 Media"}, {"3GP4", "3GPP Release 4"}, {"3GP5", "3GPP Release 5"},
    {"3GG6", "3GPP Release 6 General Profile"}, {"3GP6", "3GPP Release 6 Basic Profile"},
    {"3GR6", "3GPP Release 6 Progressive-download Profile"}, {"3GE6", "3GPP Release 6 Extended Presentation Profile"},
    {"3GS6", "3GPP Release 6 Streaming-server Profile"}, {"3GE7", "3GPP Release 7 MBMS Extended"},
    {"3GS7", "3GPP Release 7 Streaming"}, {"AVC1", "MP4 Base w/ AVC Extension"}, {"ISO2", "ISO MP4 Base Media v2"},
    {"ISOM", "ISO MP4 Base Media v1"}, {"QT  ", "Apple Quicktime"}, {"MSNV", "MPEG-4 MP4 for SonyPSP"},
    {"MP21", "MPEG-21"}, {"MP42", "MP4 v2"}, {"MP41", "MP4 v1"}, {"MP71", "MP4 w/ MPEG-7 Metadata"},
    {"M4V ", "Apple iTunes Video, AES protected"}, {"M4P ", "Apple iTunes AAC-LC Audio, AES protected"},
    {"M4A ", "Apple iTunes AAC-LC Audio"}, {"M4B ", "Apple iTunes AAC-LC Audio Book"}, {"JP2 ", "JPEG2000 Image"},
    {"MJP2", "Motion JPEG2000 general profile"}, {"MJ2S", "Motion JPEG2000 simple profile"},
    {"JPX ", "JPEG2000 with extensions"}, {"JPBX", "JPEG2000?"}, {"JPM ", "JPEG2000 compound image"},
    {"ODCF", "OMA DCF, DRM content format"}, {"MPPI", "Photo Player MAF, Multimedia Application Format"},
    {"KDDI", "3GPP2 EZmovie for KDDI 3G Cellphones"}, {"SDV ", "SD Video"}, {"MMP4", "MPEG-4/3GPP Mobile Profile"},
    {"MQT ", "Sony Mobile Quicktime"}, {"NDAS", "MP4 v2 Nero Digital AAC Audio"},
    {"NDSC", "MPEG-4 Nero Cinema Profile"}, {"NDSH", "MPEG-4 Nero HDTV Profile"},
    {"NDSM", "MPEG-4 Nero Mobile Profile"}, {"NDSP", "MPEG-4 Nero Portable Profile"},
    {"NDSS", "MPEG-4 Nero Standard Profile"}, {"NDXC", "H.264/MPEG-4 AVC Nero Cinema Profile"},
    {"NDXH", "H.264/MPEG-4 AVC Nero HDTV Profile"}, {"NDXM", "H.264/MPEG-4 AVC Nero Mobile Profile"},
    {"NDXP", "H.264/MPEG-4 AVC Nero Portable Profile"}, {"NDXS", "H.264/MPEG-4 AVC Nero Standard Profile"},
};

// QuickTime's sample description codes; "raw " is both a video and a sound
// code, and has both names.
constexpr NamedCode kCodecs[] = {
    {"cvid", "V: Cinepak"}, {"jpeg", "V: Photo-JPEG"}, {"raw ", "V: Uncompressed RGB "},
    {"Yuv2", "V: Uncompressed YUV 4:2:2"}, {"smc ", "V: Graphics"}, {"rle ", "V: Animation"},
    {"rpza", "V: Apple video"}, {"kpcd", "V: Kodak Photo CD"}, {"mpeg", "V: MPEG"}, {"mp4v", "V: MPEG-4 v"},
    {"mp4s", "V: MPEG-4 s"}, {"mp4a", "V: MPEG-4 a"}, {"mjpa", "V: Motion-JPEG, format A"},
    {"mjpb", "V: Motion-JPEG, format B"}, {"svqi", "V: Sorenson video"}, {"SVQ1", "V: Sorenson video 1"},
    {"SVQ2", "V: Sorenson video 2"}, {"SVQ3", "V: Sorenson video 3"}, {"avr ", "V: AVR JPEG"},
    {"base", "V: Base codec"}, {"WRLE", "V: BMP codec"}, {"clou", "V: Cloud codec"}, {"cmyk", "V: CMYK codec"},
    {"yuvu", "V: Component video signed"}, {"yuvs", "V: Component video unsigned"}, {"dvc ", "V: DVC NTSC"},
    {"dvcp", "V: DVC PAL"}, {"dvpn", "V: DVC pro NTSC"}, {"dvpp", "V: DVC pro PAL"}, {"fire", "V: Fire codec"},
    {"flic", "V: FLC codec"}, {"b48r", "V: 48RGB codec"}, {"gif ", "V: GIF codec"}, {"h261", "V: H.261"},
    {"h263", "V: H.263"}, {"IV41", "V: Indeo 4"}, {"PNTG", "V: MacPaint"}, {"msvc", "V: Microsoft Video 1"},
    {"myuv", "V: MPEG YUV 4:2:0"}, {"dmb1", "V: OpenDML JPEG"}, {"8BPS", "V: Planar RGB"}, {"png ", "V: PNG codec"},
    {"qdrw", "V: QuickDraw"}, {"qdgx", "V: QuickDraw GX"}, {".SGI", "V: SGI"}, {"b16g", "V: 16-gray codec"},
    {"b64a", "V: 64-ARGB codec"}, {"syv9", "V: Sorenson YUV9"}, {"tga ", "V: Targa"},
    {"b32a", "V: 32-alpha-gray codec"}, {"tiff", "V: TIFF codec"}, {"path", "V: Vector codec"},
    {"ripl", "V: Water ripple codec"}, {"WRAW", "V: Windows Raw codec"}, {"y420", "V: YUV 4:2:0"},
    {"NONE", "A: Uncompressed sound"}, {"raw ", "A: 8-bit offset binary"},
    {"twos", "A: Uncompressed two's complement"}, {"sowt", "A: Uncompressed two's complement little endian"},
    {"MAC3", "A: MACE 3:1"}, {"MAC6", "A: MACE 6:1"}, {"ima4", "A: IMA 4:1"}, {"fl32", "A: 32-bit floating point"},
    {"fl64", "A: 64-bit floating point"}, {"in24", "A: 24-bit integer"}, {"in32", "A: 32-bit integer"},
    {"ulaw", "A: muLaw 2:1"}, {"alaw", "A: aLaw 2:1"}, {"dvca", "A: DV Audio"}, {"QDMC", "A: QDesign music"},
    {"QDM2", "A: QDesign music version 2"}, {"Qclp", "A: QUALCOMM PureVoice"},
    {".mp3", "A: MPEG layer III (mp3) CBR & VBR"},
};

// QuickTime names a sound stored with a Windows (ACM) codec "ms" followed
// by the codec's 16-bit WAVE format tag, high byte first.
constexpr std::string_view kAcmPrefix = "ms";

// The four bytes at k, or empty where they are not all inside the bytes.
std::string_view CodeAt(const CByteReader& bytes, std::size_t k) {
    if (!bytes.Has(k, 4)) return {};
    return {reinterpret_cast<const char*>(bytes.Data()) + k, 4};
}

// A four-character code as text: a zero byte ends it, and a byte the
// report cannot show stands as ".".
std::string ShownCode(std::string_view code) {
    std::string shown;
    for (const char c : code) {
        if (c == '\0') break;
        shown += IsPrintableByte(static_cast<unsigned char>(c)) ? c : '.';
    }
    return shown;
}

bool IsLetter(std::uint8_t byte) { return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'); }

// The duration of a movie or media header as minutes and seconds; false
// when the header is cut short or has no time scale.  Unsigned 64-bit
// division: no value of the file can trap or divide by zero.
bool ReadDuration(const CByteReader& atom, std::uint64_t& minutes, unsigned& seconds) {
    const bool longTimes = atom.Byte(kHeaderVersionAt) == 1;
    const std::uint32_t scale = atom.ReadBE32(longTimes ? kTimeScaleAtV1 : kTimeScaleAt);
    const std::uint64_t duration = longTimes
                                       ? (std::uint64_t{atom.ReadBE32(kDurationAtV1)} << 32) | atom.ReadBE32(kDurationAtV1 + 4)
                                       : atom.ReadBE32(kDurationAt);
    if (!atom.Ok() || scale == 0) return false;
    const std::uint64_t total = duration / scale;
    minutes = total / 60;
    seconds = static_cast<unsigned>(total % 60);
    return true;
}

// The entries of a sample description atom: each a 32-bit size, then its
// codec code.  An entry smaller than its own header ends the list.
void ListSampleEntries(const CByteReader& atom, std::string& out, EDetail detail, MediaWalk& walk) {
    const auto count = static_cast<std::int32_t>(atom.ReadBE32(kEntryCountAt));
    const bool verbose = detail == EDetail::Full;
    if (!atom.Ok()) {
        if (verbose) out += "\r\n";  // the atom's line ends all the same
        return;
    }
    if (verbose) AppendFormat(out, "\r\n%sCount: %d \r\n", kEntryLead.data(), count);
    std::size_t entry = kFirstEntryAt;
    for (std::int32_t i = 0; i < count && atom.Has(entry, kAtomHeaderBytes); ++i) {
        if (++walk.nListed > kMaxListedAtoms) return;
        const std::uint32_t size = atom.ReadBE32(entry);
        const std::string code = ShownCode(CodeAt(atom, entry + 4));
        if (verbose) {
            out += kEntryLead;
            out += code + " (";
            DescribeSampleCodec(CodeAt(atom, entry + 4), out);
            out += ")\r\n";
        } else {
            out += code;
        }
        if (size < kAtomHeaderBytes) return;
        entry += size;  // size_t: no 32-bit size can wrap it
    }
}

// The text of one child atom's own fields, before its children.
void DescribeAtom(std::string_view type, const CByteReader& atom, std::string& out, EDetail detail, MediaWalk& walk) {
    const bool verbose = detail == EDetail::Full;
    std::uint64_t minutes = 0;
    unsigned seconds = 0;
    if (type == "cmov") {
        if (verbose) out += "\r\n" + std::string(kEntryLead) + "Compressed movie data";
    } else if (type == "dcom") {
        const std::string_view code = CodeAt(atom, kCompressionAt);
        if (verbose && !code.empty()) out += "\r\n" + std::string(kEntryLead) + "Compression: " + ShownCode(code);
    } else if (type == "mvhd") {
        if (ReadDuration(atom, minutes, seconds))
            AppendFormat(out, verbose ? "Total duration: %llu:%02u" : "%llu:%02u",
                         static_cast<unsigned long long>(minutes), seconds);
    } else if (type == "mdhd") {
        if (verbose && ReadDuration(atom, minutes, seconds))
            AppendFormat(out, "(%llu:%02u) ", static_cast<unsigned long long>(minutes), seconds);
    } else if (type == "hdlr") {
        const std::string_view handler = CodeAt(atom, kHandlerAt);
        if (handler == "vide") out += " Video ";
        else if (handler == "soun") out += " Audio ";
        else if (verbose && !handler.empty()) out += "Type......: " + ShownCode(handler) + " ";
    } else if (type == "stsd") {
        ListSampleEntries(atom, out, detail, walk);
    }
}

}  // namespace

std::string_view DescribeMediaBrand(std::string_view brand) {
    for (const NamedCode& row : kBrands) {
        if (brand.size() == row.code.size() &&
            std::equal(brand.begin(), brand.end(), row.code.begin(), [](char a, char b) { return LowerAscii(a) == LowerAscii(b); }))
            return row.name;
    }
    return {};
}

void DescribeSampleCodec(std::string_view code, std::string& out) {
    bool named = false;
    for (const NamedCode& row : kCodecs) {
        if (code != row.code) continue;
        out += row.name;
        named = true;
    }
    // "msvc" is Microsoft Video 1, not a sound code.
    if (!named && code.size() == 4 && code.starts_with(kAcmPrefix)) {
        const auto tag = static_cast<std::uint16_t>(static_cast<std::uint8_t>(code[2]) << 8 | static_cast<std::uint8_t>(code[3]));
        out += "A: Microsoft ACM ";
        out += DescribeWaveFormat(tag);
    }
}

void WalkMediaAtoms(CByteReader level, int depth, std::string& out, EDetail detail, MediaWalk& walk) {
    out.clear();
    if (level.Size() < kSmallestWalkedAtom || depth > kMaxDepth) return;
    const bool verbose = detail == EDetail::Full;
    for (std::size_t offset = kAtomHeaderBytes; level.Has(offset, kAtomHeaderBytes);) {
        if (!IsLetter(level.Byte(offset + 4))) return;
        if (++walk.nListed > kMaxListedAtoms) return;
        const std::uint32_t size = level.ReadBE32(offset);
        const std::string_view type = CodeAt(level, offset + 4);
        if (type == "trak") ++walk.nTracks;
        if (verbose) {
            out.append(4 * static_cast<std::size_t>(depth), ' ');
            AppendFormat(out, "%s 0x%08X  ", ShownCode(type).c_str(), size);
        }
        if (type == "free") {
            if (verbose) out += "\r\n";
            return;
        }
        // The atom's own fields are read inside it: one that lies past its
        // size (or past the bytes read) drops its text.
        const CByteReader atom = level.Sub(offset, size);
        DescribeAtom(type, atom, out, detail, walk);
        if (verbose && type != "stsd") out += "\r\n";
        // Every atom is tried as a container; one that runs past its parent is not.
        if (size <= level.Size() - offset && size < level.Size()) {
            std::string children;
            WalkMediaAtoms(atom, depth + 1, children, detail, walk);
            out += children;
        }
        if (size < kSmallestWalkedAtom) return;
        offset += size;
    }
}

void ReportIsoMedia(const IByteSource& source, EDetail detail, std::string& out) {
    out.clear();
    const bool verbose = detail == EDetail::Full;
    std::vector<std::uint8_t> head = ReadBlock(source, 0, kHeadBytes);
    const std::string_view first = CodeAt(CByteReader(head), 4);
    if (std::find(std::begin(kFirstAtoms), std::end(kFirstAtoms), first) == std::end(kFirstAtoms)) return;

    MediaWalk walk;
    std::string atoms;
    // A 64-bit offset: 32-bit sizes add up past 4 GiB without wrapping.
    for (std::uint64_t offset = 0; head.size() > kAtomHeaderBytes; head = ReadBlock(source, offset, kHeadBytes)) {
        if (++walk.nListed > kMaxListedAtoms) break;
        const CByteReader atom(head);
        const std::uint32_t size = atom.ReadBE32(0);
        const std::string_view type = CodeAt(atom, 4);
        if (verbose) AppendFormat(atoms, "%s 0x%08X \r\n", ShownCode(type).c_str(), size);
        if (type == "moov") {
            // Read up to the cap and walked over what arrived: a stated
            // size is no promise that the bytes exist.
            const std::vector<std::uint8_t> movie = ReadBlock(source, offset, std::min<std::uint64_t>(size, kMaxMovieBytes));
            std::string tree;
            WalkMediaAtoms(CByteReader(movie), 1, tree, detail, walk);
            atoms += tree;
        } else if (type == "ftyp" && verbose && size <= head.size()) {
            const CByteReader fileType = atom.Sub(0, size);
            const std::string_view major = CodeAt(fileType, kMajorBrandAt);
            if (!major.empty()) {
                atoms += "              ---> Main format: " + ShownCode(major);
                if (const std::string_view name = DescribeMediaBrand(major); !name.empty())
                    AppendFormat(atoms, " (%.*s)", static_cast<int>(name.size()), name.data());
                atoms += "\r\n";
                if (fileType.Has(kCompatibleBrandsAt, 4)) {
                    atoms += "              ---> Compatible formats: ";
                    for (std::size_t at = kCompatibleBrandsAt; fileType.Has(at, 4); at += 4)
                        atoms += ShownCode(CodeAt(fileType, at)) + " ";
                }
                atoms += "\r\n";
            }
        }
        if (size < kSmallestTopAtom) break;
        offset += size;
    }
    if (verbose) out = Format("Tracks: %d\r\n", walk.nTracks) + atoms;
    else out = (walk.nTracks == 0 ? Format("Tracks: %d", walk.nTracks) : std::string()) + atoms;
}

}  // namespace quiddity
