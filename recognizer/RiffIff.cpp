// Group 5: RIFF/RIFX and FORM (IFF) containers, named by their form type at
// 8; AVI and WAVE files with their codecs, frame size, channels and rate.
#include <span>
#include <string_view>

#include "core/TextFormat.h"
#include "formats/WaveFormat.h"
#include "recognizer/Recognition.h"

namespace quiddity {

namespace {

using FormDetail = void (*)(CRecognition&);

struct FormRow {
    std::string_view form;  // the four characters at 8
    std::string_view text;
    FormDetail detail = nullptr;
};

// The head as text, for the scans.
std::string_view HeadText(const CRecognition& r) {
    return {reinterpret_cast<const char*>(r.m_head.data()), r.m_nHead};
}

// AVI: the video stream's handler code, the main header's frame size, and
// the format tag of the audio stream's format chunk.  RIFX files are read
// little-endian all the same.
void AppendAviDetails(CRecognition& r) {
    const std::string_view head = HeadText(r);
    // A stream header ("strh") names its type, "vids", then its handler.
    if (const std::size_t vids = head.find("vids", 12); vids != std::string_view::npos && vids + 7 < head.size())
        r.AppendHeadText(vids + 4, 4);
    if (r.At(20, "hdrlavih")) AppendFormat(r.m_result, " %d x %d", r.i32le(64), r.i32le(68));
    r.m_result += ' ';
    // The first format chunk behind the audio stream header holds a
    // WAVEFORMATEX, its tag first.  Only headers that lie whole in the head
    // are found; a tag past the head reads as zero.
    const std::size_t auds = head.find("auds");
    const std::size_t strf = auds == std::string_view::npos ? auds : head.find("strf", auds);
    if (strf == std::string_view::npos) {
        r.m_result += "(unknown audio)";
        return;
    }
    r.m_result += DescribeWaveFormat(r.u16le(strf + 8));
}

// WAVE: the format chunk, when it comes first.  RIFX files are read
// little-endian all the same.
void AppendWaveDetails(CRecognition& r) {
    if (!r.AtAnyCase(12, "fmt")) return;
    const std::uint16_t channels = r.u16le(22);
    if (channels == 1) r.m_result += "Mono";
    if (channels == 2) r.m_result += "Stereo";
    AppendFormat(r.m_result, " %d Hz ", r.i32le(24));
    r.m_result += DescribeWaveFormat(r.u16le(20));
}

// The texts are the program's own, odd ones ("MIDI-fil") included.
constexpr FormRow kRiffForms[] = {
    {"ACON", "Animated icon"},
    {"M4FL", "M4FL ?"},
    {"RMID", "MIDI-fil"},
    {"DLS ", "Giga music file"},
    {"sfbk", "SoundFont Bank 2"},
    {"MIDS", "MIDI (?)"},
    {"PAL ", "Color Palette data"},
    {"RDIB", "DIB image"},
    {"RMMP", "Multimedia Movie File Format"},
    {"4XMV", "4XM technologies multimedia"},
    {"DSMF", "DOS Sound interface kit (DSIK) module music"},
    {"CDXA", "Video-CD media file"},
    {"CDR4", "CorelDraw 4"},
    {"CDR5", "CorelDraw 5"},
    {"CDR6", "CorelDraw 6"},
    {"CMX1", "Corel Metafile"},
    {"NIFF", "Song notation data (NIFF)"},
    {"GDSL", "Generic Data Structures Library (GDSL)"},
    {"IDF ", "Microsoft instrument definition file (IDF)"},
    {"AVI ", "AVI video ", AppendAviDetails},
    {"WAVE", "Wave ", AppendWaveDetails},
};

constexpr FormRow kIffForms[] = {
    {"ILBM", "Interleaved Bitmap (Deluxe Paint)"},
    {"AIFF", "Audio (AIFF)"},
    {"8SVX", "Amiga 8-bit sampled audio "},
    {"16SV", "Amiga 16-bit sampled audio "},
    {"AIFC", "Compressed Audio (AIFC)"},
    {"ACBM", "Amiga Contiguous BitMap image"},
    {"ANBM", "ILBM animation format"},
    {"ANIM", "Amiga/Sparta/Aegis animator animation"},
    {"AMFF", "Amiga Metafile"},
    {"daxA", "DAX audio archive"},
    {"DOC ", "Pagestream document"},
    {"DjVu", "DjVu image"},
    {"DR2D", "Provector 2D image"},
    {"EMOD", "QuadraComposer Enhanced Module music"},
    {"FPBM", "Flexible Precision Buffer Map image (Lightwave 3D)"},
    {"FTXT", "Formatted text interchange file"},
    {"FANT", "Fantavision movie"},
    {"FNTR", "Amiga raster font"},
    {"FNTV", "Amiga vector font"},
    {"GSCR", "General music score"},
    {"MODL", "Protracker 3.x Module music"},
    {"SMUS", "Simple Musical Score file"},
    {"RGB8", "TurboSilver 24-bit RGB image"},
    {"RGBN", "TurboSilver 12-bit RGB image"},
    {"MAUD", "MAUD audio sample"},
    {"LWO2", "Lightwave 3D object"},
    {"LWOB", "Lightwave 3D object"},
    {"MC4D", "Maxon Cinema 4D v4.x 3D data"},
    {"SC3D", "Sculpt 3d scene model"},
    {"TDDD", "Imagine 3D object"},
    {"IFRS", "Blorb game resource"},
    {"IFZS", "Quetzal savegame format"},
    {"PDEF", "Deluxe Print page definition"},
    {"PICS", "Macintosh QuickDraw picture"},
    {"PLBM", "PLBM Picture format"},
    {"SHRI", "Shri archive"},
    {"USCR", "Uhuru Sound music score"},
    {"UVOX", "Uhuru Sound voice"},
    {"VDEO", "Deluxe Video Construction Set video"},
    {"YAFA", "YAFA animation"},
};

// Appends the text of the form type at 8, or the type itself.
void AppendFormType(CRecognition& r, std::span<const FormRow> rows) {
    for (const FormRow& row : rows) {
        if (!r.At(8, row.form)) continue;
        r.m_result += row.text;
        if (row.detail) row.detail(r);
        return;
    }
    r.AppendHeadText(8, 4);
}

// A DjVu file puts "AT&T" before its FORM chunk.
bool IsDjvu(const CRecognition& r) {
    return r.At(0, "AT&TFORM") && (r.At(12, "DJVU") || r.At(12, "DJVM") || r.At(12, "DJVI"));
}

}  // namespace

// A RIFF file is delivered by the checkpoint behind the group; an IFF file
// ends the run at once.
ETest RunRiffIff(CRecognition& r) {
    ETest outcome = ETest::NoMatch;
    if (r.At(0, "RIFF") || r.At(0, "RIFX")) {
        outcome = r.Append("RIFF ");
        if (r.byte(3) == 'X') r.m_result += "(big-endian) ";
        AppendFormType(r, kRiffForms);
    }
    if (r.At(0, "FORM")) {
        r.Append("IFF, ");
        AppendFormType(r, kIffForms);
        return ETest::Ends;
    }
    if (IsDjvu(r)) return r.Deliver("IFF, DjVu image");
    return outcome;
}

}  // namespace quiddity
