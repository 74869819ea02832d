// The codec describers over crafted headers: WAVE format tag names, the
// header objects of RealMedia files and the stream properties of ASF files,
// hostile sizes and counts included.  The real files made by ffmpeg are
// pinned in DetailFixturesTest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "formats/AsfStreams.h"
#include "formats/RealMedia.h"
#include "formats/WaveFormat.h"

using namespace quiddity;
using namespace std::string_view_literals;
using quiddity::test::PutBE16;
using quiddity::test::PutBE32;
using quiddity::test::PutLE16;
using quiddity::test::PutLE32;
using quiddity::test::PutText;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

// ---- RealMedia ----

// The file header: ".RMF", its own size, version, file version, the count
// of header objects behind it.
Bytes RealMediaHeader(std::uint32_t objects, std::uint16_t version = 0) {
    Bytes b;
    PutText(b, 0, ".RMF");     // identifier
    PutBE32(b, 4, 18);         // size of this object
    PutBE16(b, 8, version);    // object version
    PutBE32(b, 10, 0);         // file version
    PutBE32(b, 14, objects);   // number of header objects
    return b;
}

// A header object of no interest (PROP, CONT, ...), `size` bytes long.
Bytes OtherObject(std::string_view id, std::uint32_t size) {
    Bytes b(size, 0);
    PutText(b, 0, id);         // identifier
    PutBE32(b, 4, size);       // size, header included
    PutBE16(b, 8, 0);          // version
    return b;
}

// A media properties object with an empty stream name; `size` 0 writes
// the object's true size.
Bytes MediaProperties(std::string_view mime, std::string_view typeSpecific, std::uint32_t size = 0) {
    Bytes b(40, 0);            // stream number, bit rates, packet sizes, times: zero
    PutText(b, 0, "MDPR");     // identifier
    PutBE16(b, 8, 0);          // version
    b.push_back(0);            // stream name length (at 40)
    b.push_back(static_cast<std::uint8_t>(mime.size()));  // MIME type length
    PutText(b, b.size(), mime);
    PutBE32(b, b.size(), static_cast<std::uint32_t>(typeSpecific.size()));  // type-specific length
    PutText(b, b.size(), typeSpecific);
    PutBE32(b, 4, size ? size : static_cast<std::uint32_t>(b.size()));
    return b;
}

// Type-specific data as ffmpeg writes it: a RealVideo header ("VIDO" and
// the codec) and a RealAudio 4 header, whose interleaver and codec names
// (here "genr" "cook" or "sipr") stand side by side.
constexpr std::string_view kRv20 = "\0\0\0\x22VIDORV20"sv;
constexpr std::string_view kRv30 = "\0\0\0\x22VIDORV30"sv;
std::string RealAudioHeader(std::string_view interleaverAndCodec) {
    return std::string(".ra\xFD\0\x04\0\0.ra4"sv) + std::string(40, '\0') + "\x04" + std::string(interleaverAndCodec);
}

std::string DescribeRm(const Bytes& bytes) {
    std::string out = "stale";
    DescribeRealMedia(CMemoryByteSource(bytes), out);
    return out;
}

// ---- ASF ----

constexpr std::string_view kStreamProperties = "\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65"sv;
constexpr std::string_view kAudioMedia = "\x40\x9E\x69\xF8\x4D\x5B\xCF\x11\xA8\xFD\x00\x80\x5F\x5C\x44\x2B"sv;
constexpr std::string_view kVideoMedia = "\xC0\xEF\x19\xBC\x4D\x5B\xCF\x11\xA8\xFD\x00\x80\x5F\x5C\x44\x2B"sv;

Bytes AsfHeader(std::uint32_t objects) {
    Bytes b;
    PutText(b, 0, kAsfHeaderGuid);  // header object GUID
    PutLE32(b, 16, 0);              // size, 64-bit (not read)
    PutLE32(b, 20, 0);
    PutLE32(b, 24, objects);        // number of header objects
    PutLE16(b, 28, 0x0201);         // two reserved bytes
    return b;
}

// A stream properties object; `size` 0 writes its true size.
Bytes AsfStream(std::string_view type, const Bytes& typeSpecific, std::uint32_t size = 0) {
    Bytes b(78, 0);
    PutText(b, 0, kStreamProperties);  // object GUID
    PutText(b, 24, type);              // stream type GUID
    // error correction GUID at 40, time offset at 56: zero
    PutLE32(b, 64, static_cast<std::uint32_t>(typeSpecific.size()));  // type-specific length
    PutLE16(b, 72, 1);                 // flags: stream number 1
    Append(b, typeSpecific);
    PutLE32(b, 16, size ? size : static_cast<std::uint32_t>(b.size()));  // size, low half
    PutLE32(b, 20, 0);                 //       high half
    return b;
}

Bytes WaveFormatEx(std::uint16_t tag) {
    Bytes b;
    PutLE16(b, 0, tag);                // wFormatTag
    PutLE16(b, 2, 1);                  // channels
    PutLE32(b, 4, 8000);               // samples per second
    return b;
}

// The video type-specific data: encoded size, then a BITMAPINFOHEADER.
Bytes VideoFormat(std::uint32_t width, std::uint32_t height, std::string_view compression) {
    Bytes b;
    PutLE32(b, 0, width);              // encoded width        (object offset 78)
    PutLE32(b, 4, height);             // encoded height       (82)
    b.push_back(2);                    // reserved flags       (86)
    PutLE16(b, 9, 40);                 // format data size     (87)
    PutLE32(b, 11, 40);                // biSize               (89)
    PutLE32(b, 15, width);             // biWidth              (93)
    PutLE32(b, 19, height);            // biHeight             (97)
    PutLE16(b, 23, 1);                 // biPlanes             (101)
    PutLE16(b, 25, 24);                // biBitCount           (103)
    PutText(b, 27, compression);       // biCompression        (105)
    b.resize(51, 0);                   // the rest of the bitmap header
    return b;
}

std::string DescribeAsf(const Bytes& bytes) {
    std::string out = "stale";
    DescribeAsfStreams(CMemoryByteSource(bytes), out);
    return out;
}

}  // namespace

TEST(WaveFormat, NamesAndTheTwoMissingTexts) {
    EXPECT_EQ(DescribeWaveFormat(0x0000), "(unknown subformat)");
    EXPECT_EQ(DescribeWaveFormat(0x0001), "PCM");  // the first row after tag 0
    EXPECT_EQ(DescribeWaveFormat(0x0055), "ISO/MPEG Layer III (MP3)");
    EXPECT_EQ(DescribeWaveFormat(0x0161), "MS Audio V2");
    EXPECT_EQ(DescribeWaveFormat(0x0064), "G.726 ADPCM");
    EXPECT_EQ(DescribeWaveFormat(0x0140), "G.726 ADPCM");
    EXPECT_EQ(DescribeWaveFormat(0xFFFE), "MS Extensible");
    EXPECT_EQ(DescribeWaveFormat(0xFFFF), "Development");  // the last row
    // Gaps between rows, and past the last tag below 0xFFFE.
    EXPECT_EQ(DescribeWaveFormat(0x0054), "(subformat not recognized)");
    EXPECT_EQ(DescribeWaveFormat(0x0045), "(subformat not recognized)");
    EXPECT_EQ(DescribeWaveFormat(0x2001), "(subformat not recognized)");
}

TEST(RealMedia, VideoBeforeAudioWhateverTheirOrder) {
    Bytes file = RealMediaHeader(3);
    Append(file, OtherObject("PROP", 50));
    Append(file, MediaProperties("audio/x-pn-realaudio", RealAudioHeader("genrcook")));
    Append(file, MediaProperties("video/x-pn-realvideo", kRv30));
    EXPECT_EQ(DescribeRm(file), "RealVideo 8.0 RealAudio G2 ");
}

TEST(RealMedia, AudioCodecsAndWhereTheScanLooks) {
    Bytes sipr = RealMediaHeader(1);
    Append(sipr, MediaProperties("audio/x-pn-realaudio", RealAudioHeader("siprsipr")));
    EXPECT_EQ(DescribeRm(sipr), "RealAudio 4.0/5.0 ");
    // The audio scan starts at the ninth byte of the data; a mark in the
    // first eight is not seen, nor one in a stream of another MIME type.
    Bytes early = RealMediaHeader(1);
    Append(early, MediaProperties("audio/x-pn-realaudio", "Int0\0\0\0\0"sv));
    EXPECT_EQ(DescribeRm(early), "");
    Bytes other = RealMediaHeader(1);
    Append(other, MediaProperties("logical-fileinfo", kRv20));
    EXPECT_EQ(DescribeRm(other), "");
    // A mark that runs past the stated data length does not count.
    Bytes cut = RealMediaHeader(1);
    Append(cut, MediaProperties("video/x-pn-realvideo", "\0\0\0\x22VIDORV2"sv));
    cut.push_back('0');
    EXPECT_EQ(DescribeRm(cut), "");
}

TEST(RealMedia, HeaderVersionAndForeignFiles) {
    EXPECT_EQ(DescribeRm(RealMediaHeader(0, 2)), "(unknown type)");
    EXPECT_EQ(DescribeRm(RealMediaHeader(0, 1)), "");
    EXPECT_EQ(DescribeRm({'.', 'R', 'M', 'F'}), "");
    EXPECT_EQ(DescribeRm({'.', 'R', 'M', 'X', 0, 0, 0, 18, 0, 2}), "");
}

TEST(RealMedia, TheObjectCountEndsTheWalk) {
    Bytes file = RealMediaHeader(1);
    Append(file, OtherObject("PROP", 50));
    Append(file, MediaProperties("video/x-pn-realvideo", kRv20));
    EXPECT_EQ(DescribeRm(file), "");
    PutBE32(file, 14, 2);
    EXPECT_EQ(DescribeRm(file), "RealVideo G2 ");
}

TEST(RealMedia, ObjectsThatCannotAdvanceOrWrapEndTheWalk) {
    // A size of 0 would leave the walk on the same object for every one of
    // the 2^32 - 1 objects the header claims: its text comes once.
    Bytes zero = RealMediaHeader(0xFFFFFFFF);
    Append(zero, MediaProperties("video/x-pn-realvideo", kRv20, 0));
    PutBE32(zero, 18 + 4, 0);
    EXPECT_EQ(DescribeRm(zero), "RealVideo G2 ");
    // A size that takes a 32-bit offset round to the start of the file.
    Bytes wrap = RealMediaHeader(0xFFFFFFFF);
    Append(wrap, MediaProperties("video/x-pn-realvideo", kRv20, 0xFFFFFFFF - 17));
    EXPECT_EQ(DescribeRm(wrap), "RealVideo G2 ");
}

TEST(RealMedia, OnlyTheFirst2048BytesAreRead) {
    // An object may start at 2030 at the latest, and its data must start
    // there too: an MDPR whose data lies beyond gives nothing, and one whose
    // fields leave the 2048 bytes ends the walk quietly.
    const auto at = [](std::uint32_t start, std::string_view mime) {
        Bytes file = RealMediaHeader(3);
        Append(file, OtherObject("PROP", start - 18));
        Append(file, MediaProperties(mime, kRv20));
        return file;
    };
    // The MIME type is 20 characters: the data follows the object's start by 66.
    EXPECT_EQ(DescribeRm(at(2030 - 66, "video/x-pn-realvideo")), "RealVideo G2 ");
    EXPECT_EQ(DescribeRm(at(2031 - 66, "video/x-pn-realvideo")), "");
    EXPECT_EQ(DescribeRm(at(2030, "video/x-pn-realvideo")), "");
    Bytes kept = RealMediaHeader(3);
    Append(kept, MediaProperties("video/x-pn-realvideo", kRv20));
    Append(kept, OtherObject("PROP", static_cast<std::uint32_t>(2030 - kept.size())));
    Append(kept, MediaProperties("audio/x-pn-realaudio", RealAudioHeader("genrcook")));
    EXPECT_EQ(DescribeRm(kept), "RealVideo G2 ");  // the second MDPR's fields lie past 2048
}

TEST(AsfStreams, StreamsInFileOrder) {
    Bytes file = AsfHeader(3);
    Append(file, AsfStream(kAudioMedia, WaveFormatEx(0x0161)));
    Append(file, Bytes(24, 0));  // an object of another kind: GUID zero, size 24
    PutLE32(file, file.size() - 8, 24);
    Append(file, AsfStream(kVideoMedia, VideoFormat(320, 240, "WMV2")));
    EXPECT_EQ(DescribeAsf(file), "Audio: MS Audio V2  Video: WMV2 320x240  ");
}

TEST(AsfStreams, FieldsAsTheFormatPrintsThem) {
    Bytes file = AsfHeader(1);
    Append(file, AsfStream(kVideoMedia, VideoFormat(0xFFFFFFFF, 16, "M\0\0\0"sv)));  // "%d" and "%s"
    EXPECT_EQ(DescribeAsf(file), "Video: M -1x16  ");
    file = AsfHeader(1);
    Append(file, AsfStream(std::string_view("\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16), WaveFormatEx(1)));
    EXPECT_EQ(DescribeAsf(file), "");  // a stream of another type
    file = AsfHeader(1);
    file[3] ^= 1;
    EXPECT_EQ(DescribeAsf(file), "");
}

TEST(AsfStreams, ObjectsThatCannotAdvanceOrWrapEndTheWalk) {
    Bytes zero = AsfHeader(0xFFFFFFFF);
    Append(zero, AsfStream(kAudioMedia, WaveFormatEx(0x0055)));
    PutLE32(zero, 30 + 16, 0);
    EXPECT_EQ(DescribeAsf(zero), "Audio: ISO/MPEG Layer III (MP3)  ");
    Bytes wrap = AsfHeader(0xFFFFFFFF);
    Append(wrap, AsfStream(kAudioMedia, WaveFormatEx(0x0055), 0xFFFFFFFF - 29));
    EXPECT_EQ(DescribeAsf(wrap), "Audio: ISO/MPEG Layer III (MP3)  ");
}

TEST(AsfStreams, FieldsPastTheBytesReadEndTheWalk) {
    // An audio stream, then a video stream at `start`; the video stream's
    // compression code (at +105) is the last field read.
    const auto videoAt = [](std::size_t start) {
        Bytes file = AsfHeader(3);
        Append(file, AsfStream(kAudioMedia, WaveFormatEx(0x0161)));
        Bytes filler(start - file.size(), 0);
        PutLE32(filler, 16, static_cast<std::uint32_t>(filler.size()));  // an object of another kind
        Append(file, filler);
        Append(file, AsfStream(kVideoMedia, VideoFormat(32, 16, "WMV2")));
        return DescribeAsf(file);
    };
    EXPECT_EQ(videoAt(2048 - 109), "Audio: MS Audio V2  Video: WMV2 32x16  ");
    EXPECT_EQ(videoAt(2048 - 108), "Audio: MS Audio V2  ");  // the code's last byte lies past 2048
    EXPECT_EQ(videoAt(2030), "Audio: MS Audio V2  ");        // still walked to, but every field is past
}
