// Group 7: BMP, BIFF5+, MPEG video and audio streams, JPEG, Borland and
// Amiga files, the BinHex banner, and last the text/unknown fall-back.
// Every family here delivers as soon as its signature matches.
// MPEG audio: ISO/IEC 11172-3 and 13818-3 (frame header), ISO/IEC 13818-7
// (ADTS); MPEG video: ISO/IEC 11172-2 (sequence header); JPEG: ITU-T T.81.
#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string_view>

#include "core/TextFormat.h"
#include "recognizer/Recognition.h"

namespace quiddity {

using namespace std::string_view_literals;  // "A\0B"sv keeps its zero bytes

namespace {

// Windows bitmap: the BITMAPINFOHEADER behind the 14-byte file header.
// Width and height are signed: a top-down bitmap shows its negative height.
ETest DeliverBitmap(CRecognition& r) {
    r.Append(Format("Bitmap %dx%d", static_cast<int>(r.u32le(18)), static_cast<int>(r.u32le(22))));
    switch (r.u16le(28)) {  // bits per pixel
        case 1: r.m_result += " monochrome"; break;
        case 4: r.m_result += "x16"; break;
        case 8: r.m_result += "x256"; break;
        case 16: r.m_result += "x65536"; break;
        case 24: r.m_result += " 24-bit color"; break;
        case 32: r.m_result += " 32-bit color"; break;
        default: break;
    }
    switch (r.u32le(30)) {  // compression
        case 0: r.m_result += " uncompressed"; break;
        case 1: r.m_result += " RLE8"; break;
        case 2: r.m_result += " RLE4"; break;
        case 3: r.m_result += " uncompressed"; break;  // bit fields
        case 4: r.m_result += " JPEG"; break;
        default: r.m_result += " unknown compression"; break;
    }
    return ETest::Ends;
}

// Excel: the BOF record of a BIFF5 to BIFF8 stream, its substream type at 6.
ETest DeliverExcelStream(CRecognition& r) {
    r.Append("BIFF5/7/8 MS Excel 9x/2000/XP ");
    switch (r.byte(6)) {
        case 0x10: r.m_result += "Worksheet"; break;
        case 0x20: r.m_result += "Chart"; break;
        case 0x40: r.m_result += "Macrosheet"; break;
        case 0x06: r.m_result += "Visual Basic module"; break;
        case 0x05: r.m_result += "Workbook Globals"; break;
        case 0x00:
            if (r.byte(7) == 1) r.m_result += "Workspace";
            break;
        default: break;
    }
    return ETest::Ends;
}

// MPEG video: the frame-rate codes 1 to 8 of the sequence header, the
// fractional rates written with decimal commas.
constexpr std::array<std::string_view, 9> kFrameRates = {
    "??", "23,976", "24", "25", "29,97", "30", "50", "59,94", "60",
};
constexpr std::string_view kSequenceHeader = "\0\0\x01\xB3"sv;

// The offset of the first sequence header in the head, or m_nHead.
std::size_t FindSequenceHeader(const CRecognition& r) {
    const void* found = ::memmem(r.m_head.data(), r.m_nHead, kSequenceHeader.data(), kSequenceHeader.size());
    return found ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - r.m_head.data()) : r.m_nHead;
}

// A sequence header at 0, or the first one in the head behind a program
// stream's pack header.  One that starts near the head's end has the fields
// past it read as zero.
ETest DeliverMpegVideo(CRecognition& r) {
    r.Append("MPEG Video ");
    const std::size_t p = FindSequenceHeader(r);
    if (p == r.m_nHead) return ETest::Ends;
    const int width = (r.byte(p + 4) << 4) | (r.byte(p + 5) >> 4);
    const int height = ((r.byte(p + 5) & 0x0F) << 8) | r.byte(p + 6);
    const int aspect = r.byte(p + 7) >> 4;
    const std::size_t rateCode = r.byte(p + 7) & 0x0F;
    // 18 bits in units of 400 bit/s, shown as they stand
    const int bitRate = (r.byte(p + 8) << 10) | (r.byte(p + 9) << 2) | (r.byte(p + 10) >> 6);
    AppendFormat(r.m_result, "%d x %d asp:%d fps:", width, height, aspect);
    r.m_result += kFrameRates[rateCode < kFrameRates.size() ? rateCode : 0];
    AppendFormat(r.m_result, " bps:%d", bitRate);
    return ETest::Ends;
}

// The size of a baseline JPEG from its first SOF0 segment, found by walking
// the marker segments from behind the SOI marker; an FF C0 inside another
// segment (an Exif thumbnail, an ICC profile, a table) is never taken for it.
// Gives the offset of the SOF0 marker's FF, or nothing when the walk meets
// the scan data, the image's end, a broken chain or the head's end first.
std::optional<std::size_t> FindBaselineFrame(const CRecognition& r) {
    std::size_t i = 2;
    while (i + 1 < r.m_nHead) {
        if (r.byte(i) != 0xFF) return std::nullopt;
        while (r.byte(i + 1) == 0xFF && i + 2 < r.m_nHead) ++i;  // fill bytes before a marker
        const std::uint8_t marker = r.byte(i + 1);
        if (marker == 0xC0) return i;
        if (marker == 0xDA || marker == 0xD9) return std::nullopt;  // scan data, end of image
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // TEM, RSTn: no length
            i += 2;
            continue;
        }
        const std::uint16_t length = r.be16(i + 2);  // counts itself, not the marker
        if (length < 2) return std::nullopt;
        i += 2 + length;
    }
    return std::nullopt;
}

ETest DeliverJpeg(CRecognition& r) {
    r.Append("JPEG ");
    r.AppendHeadText(6, 4);  // the APP0/APP1 identifier: JFIF, Exif
    const std::optional<std::size_t> frame = FindBaselineFrame(r);
    if (!frame) return ETest::Ends;
    // a frame header cut by the head's end reads as zero past it
    const std::size_t q = *frame;
    AppendFormat(r.m_result, " %dx%d", r.be16(q + 7), r.be16(q + 5));
    switch (r.byte(q + 9)) {  // components
        case 1: r.m_result += " greyscale"; break;
        case 3:
            r.m_result += " color ";
            // the identifier of the second component
            if (r.byte(q + 13) == 2) r.m_result += "(YCrCb/YUV)";
            if (r.byte(q + 13) == 4) r.m_result += "(YIQ)";
            break;
        case 4: r.m_result += " color (CMYK)"; break;
        default: break;
    }
    return ETest::Ends;
}

// MPEG audio bit rates in kbit/s by the 4-bit index; 0 is the free format
// and 15 is invalid.
constexpr int kBitRates[5][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},  // MPEG-1 Layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},     // MPEG-1 Layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},      // MPEG-1 Layer III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},     // MPEG-2 Layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},          // MPEG-2 Layers II, III
};
// Sample rates by the MPEG-1 flag, then the 2-bit index (3 is reserved).
constexpr std::string_view kSampleRates[2][4] = {
    {"22.05kHz ", "24kHz ", "16kHz ", ""},  // MPEG-2
    {"44.1kHz ", "48kHz ", "32kHz ", ""},   // MPEG-1
};
constexpr std::string_view kChannelModes[4] = {"Stereo", "Joint Stereo", "Dual Channel", "Mono"};
// ADTS (AAC): the 4-bit sampling-frequency index; 13 to 15 are reserved.
constexpr std::string_view kAdtsSampleRates[16] = {
    "96kHz ", "88.2kHz ", "64kHz ", "48kHz ", "44.1kHz ", "32kHz ", "24kHz ", "22.05kHz ",
    "16kHz ", "12kHz ",   "11.025kHz ", "8kHz ", "7.35kHz ", "", "", "",
};

constexpr std::uint8_t kMpeg1Flag = 0x08;  // in the second header byte; for ADTS: set means MPEG-2
constexpr std::uint8_t kLayerBits = 0x06;

// An ADTS frame (layer bits 0): MPEG-2 or MPEG-4 AAC, the sampling rate and
// the channel configuration, of which only mono and stereo are named.
void AppendAdtsFrame(CRecognition& r) {
    r.Append((r.byte(1) & kMpeg1Flag) ? "MPEG-2 Audio AAC " : "MPEG-4 Audio AAC ");
    r.m_result += kAdtsSampleRates[(r.byte(2) >> 2) & 0x0F];
    const int channels = ((r.byte(2) & 0x01) << 2) | (r.byte(3) >> 6);
    if (channels == 1) r.m_result += "Mono";
    if (channels == 2) r.m_result += "Stereo";
}

// An MPEG-1 or MPEG-2 audio frame header at 0 (FF Fx).
ETest DeliverMpegAudio(CRecognition& r) {
    const bool mpeg1 = (r.byte(1) & kMpeg1Flag) != 0;
    const int layerBits = r.byte(1) & kLayerBits;
    if (layerBits == 0) {
        AppendAdtsFrame(r);
        return ETest::Ends;
    }
    r.Append(mpeg1 ? "MPEG-1 Audio " : "MPEG-2 Audio ");
    int table = 0;
    switch (layerBits) {
        case 0x06: r.m_result += "Layer I "; table = mpeg1 ? 0 : 3; break;
        case 0x04: r.m_result += "Layer II "; table = mpeg1 ? 1 : 4; break;
        default: r.m_result += "Layer III (MP3) "; table = mpeg1 ? 2 : 4; break;
    }
    AppendFormat(r.m_result, " %dkbps ", kBitRates[table][r.byte(2) >> 4]);
    r.m_result += kSampleRates[mpeg1 ? 1 : 0][(r.byte(2) >> 2) & 3];
    r.m_result += kChannelModes[r.byte(3) >> 6];
    return ETest::Ends;
}

// MPEG 2.5 (the unofficial low-rate extension): the layer only.
ETest DeliverMpeg25Audio(CRecognition& r) {
    r.Append("MPEG 2.5 Audio ");
    switch (r.byte(1) & kLayerBits) {
        case 0x02: r.m_result += " Layer III"; break;
        case 0x04: r.m_result += " Layer II"; break;
        case 0x06: r.m_result += " Layer I"; break;
        default: break;
    }
    return ETest::Ends;
}

// Borland: the name behind "pk\b\b", up to the first byte outside 0x20..0x7F.
constexpr std::size_t kBorlandNameAt = 4;
constexpr std::size_t kBorlandMaxName = 63;
ETest DeliverBorland(CRecognition& r) {
    r.Append("Borland ");
    for (std::size_t k = kBorlandNameAt; k < kBorlandNameAt + kBorlandMaxName; ++k) {
        const std::uint8_t b = r.byte(k);
        if (b < 0x20 || b >= 0x80) break;
        r.m_result.push_back(static_cast<char>(b));
    }
    return ETest::Ends;
}

// The first line of a BinHex file.  It is counted wherever it starts in the
// first 1536 bytes; it cannot overlap itself.  Most files of a batch come
// this far, so the search skips to each "(" with memchr.
constexpr std::string_view kBinHexBanner = "(This file must be converted with BinHex";
static_assert(kBinHexBanner.size() == 40);
constexpr std::size_t kBinHexLastStart = 1535;
void AppendBinHexBanners(CRecognition& r) {
    const std::size_t end = std::min(r.m_nHead, kBinHexLastStart + kBinHexBanner.size());
    const std::uint8_t* const head = r.m_head.data();
    std::size_t i = 0;
    while (i + kBinHexBanner.size() <= end) {
        const void* open = std::memchr(head + i, '(', end - kBinHexBanner.size() + 1 - i);
        if (!open) return;
        i = static_cast<std::size_t>(static_cast<const std::uint8_t*>(open) - head);
        if (std::memcmp(head + i, kBinHexBanner.data(), kBinHexBanner.size()) == 0) {
            r.Append("BinHex coded file, ");
            i += kBinHexBanner.size();
        } else {
            ++i;
        }
    }
}

// The families of signatures, in test order; the first that matches decides.
ETest RunStreamFamilies(CRecognition& r) {
    if (r.At(0, "BM")) return DeliverBitmap(r);
    if (r.At(0, "\x09\x08")) return DeliverExcelStream(r);
    if (r.At(0, "\0\0\x01\xE0"sv)) return r.Deliver("MPEG Video ");
    if (r.At(0, kSequenceHeader) || r.At(0, "\0\0\x01\xBA"sv)) return DeliverMpegVideo(r);
    if (r.At(0, "\xFF\xD8\xFF")) return DeliverJpeg(r);
    if (r.byte(0) == 0xFF && (r.byte(1) & 0xF8) == 0xE0) return DeliverMpeg25Audio(r);
    if (r.byte(0) == 0xFF && (r.byte(1) & 0xF0) == 0xF0) return DeliverMpegAudio(r);
    if (r.byte(0) == 0x7F && (r.byte(1) & 0xF0) == 0xF0) return r.Deliver("MPEG Audio extention unknown");
    if (r.AtAnyCase(0, "pk\x08\x08")) return DeliverBorland(r);
    if (r.At(0, "\x03\xF3")) return r.Deliver("Amiga classic executable (680x0)");
    return ETest::NoMatch;
}

}  // namespace

ETest RunImagesAndStreams(CRecognition& r) {
    if (RunStreamFamilies(r) == ETest::Ends) return ETest::Ends;
    AppendBinHexBanners(r);
    return DeliverFallBack(r);
}

}  // namespace quiddity
