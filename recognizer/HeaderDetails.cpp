// Group 3 (header fields with details, tail signatures, SOL, AMR, disc
// images) and the second half of group 4 (OLE2, ASF, QuickTime, ISO media,
// tracker modules, Jet, TrueType, BIFF2-4, GIF), which runs after the magic
// tables whatever they found.
#include <bit>
#include <span>
#include <string>
#include <string_view>

#include "core/TextFormat.h"
#include "formats/AsfStreams.h"
#include "formats/CompoundDocument.h"
#include "formats/DiscImage.h"
#include "formats/IsoMedia.h"
#include "formats/TrueTypeNames.h"
#include "recognizer/MagicTable.h"
#include "recognizer/SignatureTable.h"

namespace quiddity {

namespace {

using namespace std::string_view_literals;

using RecognizerStep = ETest (*)(CRecognition&);

// Runs every step in order, each appending what it found; an ending step
// delivers at once.
ETest RunSteps(CRecognition& r, std::span<const RecognizerStep> steps) {
    ETest outcome = ETest::NoMatch;
    for (const RecognizerStep step : steps) {
        const ETest result = step(r);
        if (result == ETest::Ends) return result;
        if (result == ETest::Matched) outcome = result;
    }
    return outcome;
}

// Game Boy: the last bytes of the Nintendo logo at 0x130, the title at 0x134.
ETest AppendGameBoyTitle(CRecognition& r) {
    if (!r.At(304, "\xBB\xB9\x33\x3E")) return ETest::NoMatch;
    r.Append("Gameboy Emulator  >");
    r.AppendHeadText(308, 15);
    return ETest::Matched;
}

// A packed 16-bit installer: thirteen zero bytes and a 't', a name at 56.
ETest AppendPcInstallName(CRecognition& r) {
    if (!r.At(0, "\0\0\0\0\0\0\0\0\0\0\0\0\0t"sv)) return ETest::NoMatch;
    r.Append("PC-install (16-bit) packed file, '");
    r.AppendHeadText(56, 6);
    r.m_result += '\'';
    return ETest::Matched;
}

// Paint Shop Pro: the size and depth follow the "~BK" block header at 36.
ETest AppendPaintShopProSize(CRecognition& r) {
    if (!r.At(0, "Paint Shop Pro")) return ETest::NoMatch;
    r.Append("Paint Shop Pro ");
    if (r.At(36, "~BK\0"sv)) AppendFormat(r.m_result, "%dx%d (%d bits)", r.i32le(50), r.i32le(54), r.u16le(69));
    return ETest::Matched;
}

// Binary CGM: BEGIN METAFILE (class 0, element 1) first, END METAFILE
// (class 0, element 2: 00 40) last.
bool IsBinaryCgm(const CRecognition& r) {
    return r.byte(0) == 0 && (r.byte(1) & 0x20) != 0 && r.TailFromEnd(2) == 0 && (r.TailFromEnd(1) & 0x40) != 0;
}

// Signatures at the end of the file.  A row needs more tail bytes than it
// reaches back (`reach`); its bytes are compared from tail[tn - reach] on.
struct TailRow {
    std::size_t reach;
    std::string_view bytes;
    SignatureTest test;  // when set, replaces the comparison
    bool comma;          // ", " before the text when the result is not empty
    std::string_view text;
};
constexpr TailRow kTailRows[] = {
    {3, "\0RK"sv, nullptr, true, "WinRK archive"},
    {3, {}, IsBinaryCgm, false, "CGM, Computer graphics metafile (binary)"},
    {18, "TRU", nullptr, true, "Truevision Targa image "},  // the "TRUEVISION-XFILE." footer
    {128, "TAG", nullptr, false, "MP3 with ID3-tag"},        // an ID3 version 1 tag
};

ETest AppendTailSignatures(CRecognition& r) {
    ETest outcome = ETest::NoMatch;
    for (const TailRow& row : kTailRows) {
        if (r.m_nTail <= row.reach) continue;
        if (row.test ? !row.test(r) : !r.TailAt(row.reach, row.bytes)) continue;
        if (row.comma && !r.m_result.empty()) r.m_result += ", ";
        outcome = r.Append(row.text);
    }
    return outcome;
}

bool IsSierraSol(const CRecognition& r) {
    return r.At(2, "SOL") && (r.byte(0) == 0x8D || r.byte(0) == 0x0D) && (r.byte(1) == 0x0B || r.byte(1) == 0x0C) &&
           r.byte(5) == 0;
}

// AMR: the magic line names the variant; each test runs on its own.
constexpr SignatureRow kAmrVariants[] = {
    Row(At(5, "-WB\n"), "-WB"),
    Row(At(5, "-NB\n"), "-NB"),
    Row(At(5, "_MC1.0\n"), " multichannel"),
    Row(At(5, "-WB_MC1.0\n"), "-WB multichannel"),
};

ETest AppendSolAndAmr(CRecognition& r) {
    ETest outcome = ETest::NoMatch;
    if (IsSierraSol(r)) outcome = r.Append("Sierra SOL game audio");
    if (r.At(0, "#!AMR")) {
        outcome = r.Append("3GPP AMR");
        MatchRows(r, kAmrVariants);
    }
    return outcome;
}

// Disc images, tried when the first eight bytes are zero as a plain
// image's system area is; the volume descriptors from sector 16 on tell.
// No disc image adds nothing, and a mark set earlier in the group stays.
ETest AppendDiscImage(CRecognition& r) {
    if (!r.At(0, "\0\0\0\0\0\0\0\0"sv)) return ETest::NoMatch;
    std::string text;
    if (!DescribeDiscImage(*r.m_pSource, text)) return ETest::NoMatch;
    return r.Append(text);
}

// An Apple partition map: driver descriptor "ER", the first map entry "PM"
// at 512 with its type ("Apple_partition_map") at 560.  Ends.
ETest AppendApplePartitionMap(CRecognition& r) {
    if (!r.At(0, "ER") || !r.At(512, "PM") || !r.At(560, "Apple")) return ETest::NoMatch;
    std::string text;
    if (DescribeDiscImage(*r.m_pSource, text)) {
        r.Append(text);
        r.m_result += ", HFS/HFS+ (Hybrid) ";
    } else {
        r.Append("HFS or HFS+ disc image ");
    }
    return ETest::Ends;
}

// Group 3, in the order its tests run.
constexpr RecognizerStep kGroup3[] = {
    AppendGameBoyTitle, AppendPcInstallName, AppendPaintShopProSize, AppendTailSignatures,
    AppendSolAndAmr,    AppendDiscImage,     AppendApplePartitionMap,
};

// The sub-type word of a BIFF beginning-of-file record; `vbModule` names
// type 6, which the versions call differently.
void AppendBiffSubType(CRecognition& r, std::size_t at, std::string_view vbModule) {
    switch (r.byte(at)) {
        case 0x10: r.m_result += "Worksheet"; break;
        case 0x20: r.m_result += "Chart"; break;
        case 0x40: r.m_result += "Macrosheet"; break;
        case 0x06: r.m_result += vbModule; break;
        case 0x05: r.m_result += "Workbook Globals"; break;
        case 0x00:
            if (r.byte(at + 1) == 1) r.m_result += "Workspace";  // type 0x0100
            break;
        default: break;
    }
}

// OLE2: the Outlook text, then what the first stream shows when it starts
// right after the header sector (the BIFF5+ or Word file information block).
ETest AppendCompoundDocument(CRecognition& r) {
    if (!r.At(0, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) return ETest::NoMatch;
    std::string message;
    DescribeOutlookMessage(*r.m_pSource, message);  // a document it cannot read leaves the text empty
    r.Append("OLE2 ");
    r.m_result += message;
    if (r.At(512, "\x09\x08")) {
        r.m_result += "BIFF5/7/8 MS Excel ";
        AppendBiffSubType(r, 518, "Visual Basic module");
    } else if (r.At(512, "\xDC\xA5")) {
        r.m_result += "MS Word 6.0/95";
    } else if (r.At(512, "\xEC\xA5")) {
        r.m_result += "MS Word 97/2K";
    }
    return ETest::Matched;
}

ETest AppendAsfStreams(CRecognition& r) {
    if (!r.At(0, kAsfHeaderGuid)) return ETest::NoMatch;
    std::string streams;
    DescribeAsfStreams(*r.m_pSource, streams);
    r.Append("ASF ");
    r.m_result += streams;
    return ETest::Matched;
}

// QuickTime files without a file-type atom start with one of these.
constexpr std::string_view kQuickTimeAtoms[] = {"moov", "mdat", "skip", "wide"};

ETest AppendQuickTime(CRecognition& r) {
    bool quickTime = false;
    for (const std::string_view atom : kQuickTimeAtoms) quickTime |= r.At(4, atom);
    if (!quickTime) return ETest::NoMatch;
    std::string media;
    ReportIsoMedia(*r.m_pSource, EDetail::Short, media);
    r.Append("Apple QuickTime ");
    r.m_result += media;
    return ETest::Matched;
}

// ISO base media: the major brand of the file-type atom.
ETest AppendMajorBrand(CRecognition& r) {
    if (!r.At(4, "ftyp")) return ETest::NoMatch;
    r.Append("ISO multimedia: ");
    r.AppendHeadText(8, 4);
    return ETest::Matched;
}

// The tag of a module's format: after the 31 sample headers and the
// pattern table, at 1080.  Read once, compared as a number.
constexpr std::size_t kModuleTagAt = 1080;
constexpr MagicRow kModuleTags[] = {
    Text(".M.K", "Amiga SoundTracker/ProTracker module music"),
    Text("M.K.", "Amiga SoundTracker/ProTracker module music"),
    Text("M!K!", "Amiga SoundTracker/ProTracker module music"),
    Text("M&K!", "Amiga SoundTracker/ProTracker module music"),
    Text("N.T.", "Amiga NoiseTracker module music"),
    Text("FLT4", "Amiga StarTrekker module 4-channel music"),
    Text("FLT8", "Amiga StarTrekker module 8-channel music"),
    Text("6CHN", "Amiga FastTracker module 6-channel music"),
    Text("8CHN", "Amiga FastTracker module 8-channel music"),
};

ETest AppendTrackerModule(CRecognition& r) {
    const std::uint32_t tag = r.u32le(kModuleTagAt);
    for (const MagicRow& row : kModuleTags)
        if (row.magic == tag) return r.Append(row.text);
    return ETest::NoMatch;
}

// Tags that commonly stand first in a font's table directory, end to end.
constexpr std::string_view kFirstTableTags = "OS/2LTSHcmapDSIGGSUBEBDTBASEnameGDEF";
constexpr std::size_t kTagBytes = 4;

bool HasKnownFirstTable(const CRecognition& r) {
    for (std::size_t at = 0; at < kFirstTableTags.size(); at += kTagBytes)
        if (r.At(12, kFirstTableTags.substr(at, kTagBytes))) return true;
    return false;
}

// Any other first table (FontForge writes "FFTM") counts when the search
// fields of the offset table agree with the table count, as every font
// writer makes them.
bool HasConsistentTableDirectory(const CRecognition& r) {
    const std::uint32_t tables = r.be16(4);
    if (tables == 0) return false;
    const std::uint32_t entrySelector = static_cast<std::uint32_t>(std::bit_width(tables)) - 1;  // floor(log2 n)
    const std::uint32_t searchRange = 16u << entrySelector;
    return r.be16(6) == searchRange && r.be16(8) == entrySelector && r.be16(10) == 16 * tables - searchRange;
}

// Version 1.0 at 0: an Access database or a TrueType font.
ETest AppendJetOrTrueType(CRecognition& r) {
    if (!r.At(0, "\0\x01\0\0"sv)) return ETest::NoMatch;
    if (r.At(4, "Standard Jet DB")) return r.Append("Standard Jet Database (MS access)");
    if (r.At(4, "Jet System DB")) return r.Append("Jet System Database (MS access)");
    if (!HasKnownFirstTable(r) && !HasConsistentTableDirectory(r)) return ETest::NoMatch;
    std::string name;
    ReadTrueTypeNames(*r.m_pSource, EDetail::Short, name);
    r.Append("TrueType Font: ");
    r.m_result += name;
    return ETest::Matched;
}

// Excel 2.1 to 4.0: a bare BIFF stream, its BOF record first.
struct OldExcelRow {
    std::string_view bof;  // record number and length
    std::string_view text;
    std::string_view vbModule;
};
constexpr OldExcelRow kOldExcelRows[] = {
    {"\x09\x00\x04\x00"sv, "BIFF2 MS Excel 2.1 ", "Visual Basic module"},
    {"\x09\x02\x06\x00"sv, "BIFF3 MS Excel 3.0 ", "VB module"},
    {"\x09\x04\x06\x00"sv, "BIFF4 MS Excel 4.0 ", "VB module"},
};

ETest AppendOldExcel(CRecognition& r) {
    for (const OldExcelRow& row : kOldExcelRows) {
        if (!r.At(0, row.bof)) continue;
        r.Append(row.text);
        AppendBiffSubType(r, 6, row.vbModule);
        return ETest::Matched;
    }
    return ETest::NoMatch;
}

// GIF: the version, the logical screen size and the colours of its colour
// resolution field (bits 4-6 of the packed byte).  Ends.
ETest AppendGif(CRecognition& r) {
    if (!r.At(0, "GIF8")) return ETest::NoMatch;
    r.Append("GIF ");
    r.AppendHeadText(3, 3);
    AppendFormat(r.m_result, " %dx%dx%d", r.u16le(6), r.u16le(8), 1 << (((r.byte(10) >> 4) & 7) + 1));
    return ETest::Ends;
}

// The rest of group 4, in the order its tests run.
constexpr RecognizerStep kGroup4AfterMagic[] = {
    AppendCompoundDocument, AppendAsfStreams,    AppendQuickTime, AppendMajorBrand,
    AppendTrackerModule,    AppendJetOrTrueType, AppendOldExcel,  AppendGif,
};

}  // namespace

ETest RunHeaderDetails(CRecognition& r) { return RunSteps(r, kGroup3); }

ETest RunHeaderDetailsAfterMagic(CRecognition& r) { return RunSteps(r, kGroup4AfterMagic); }

}  // namespace quiddity
