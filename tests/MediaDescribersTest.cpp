// The codec describers over crafted headers: WAVE tag names, RealMedia
// header objects and ASF stream properties, hostile sizes and counts
// included.  ffmpeg's files are pinned by their golden reports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "formats/AsfStreams.h"
#include "formats/RealMedia.h"
#include "formats/WaveFormat.h"

using namespace quiddity;
using namespace std::string_view_literals;
using quiddity::test::PutBE32;
using quiddity::test::PutLE16;
using quiddity::test::PutLE32;
using quiddity::test::PutText;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& b, std::string_view more) { PutText(b, b.size(), more); }

// ".RMF", its size 18, version, file version, the count of header objects.
Bytes RealMedia(std::uint32_t objects, std::uint16_t version = 0) {
    Bytes b;
    PutText(b, 0, ".RMF\0\0\0\x12"sv);
    test::PutBE16(b, 8, version);
    PutBE32(b, 10, 0);
    PutBE32(b, 14, objects);
    return b;
}

// A header object: identifier, size (its true size when 0), version 0, body.
std::string Object(std::string_view id, std::string_view body, std::uint32_t size = 0) {
    Bytes b;
    PutText(b, 0, id);
    PutBE32(b, 4, size ? size : static_cast<std::uint32_t>(10 + body.size()));
    PutText(b, 8, "\0\0"sv);
    Append(b, body);
    return {b.begin(), b.end()};
}

// The body of a media properties object: stream number, rates, sizes and
// times (30 bytes), an empty stream name, the MIME type, the data.
std::string MediaProperties(std::string_view mime, std::string_view data) {
    std::string body(30, '\0');
    body += '\0';
    body += static_cast<char>(mime.size());
    body += mime;
    body += std::string{0, 0, 0, static_cast<char>(data.size())};
    return body + std::string(data);
}

const std::string kRv20 = MediaProperties("video/x-pn-realvideo", "\0\0\0\x22VIDORV20"sv);
const std::string kRv30 = MediaProperties("video/x-pn-realvideo", "\0\0\0\x22VIDORV30"sv);
// A RealAudio 4 header: ".ra", FD, version 4, ... the interleaver and codec side by side.
std::string RealAudio(std::string_view codec) {
    return MediaProperties("audio/x-pn-realaudio", std::string(".ra\xFD\0\x04\0\0.ra4"sv) + std::string(40, '\0') + std::string(codec));
}

std::string DescribeRm(const Bytes& bytes) {
    std::string out = "stale";
    DescribeRealMedia(CMemoryByteSource(bytes), out);
    return out;
}

constexpr std::string_view kStreamProperties = "\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65"sv;
constexpr std::string_view kAudio = "\x40\x9E\x69\xF8\x4D\x5B\xCF\x11\xA8\xFD\x00\x80\x5F\x5C\x44\x2B"sv;
constexpr std::string_view kVideo = "\xC0\xEF\x19\xBC\x4D\x5B\xCF\x11\xA8\xFD\x00\x80\x5F\x5C\x44\x2B"sv;

// The header object: GUID, 64-bit size, object count, two reserved bytes.
Bytes Asf(std::uint32_t objects) {
    Bytes b;
    PutText(b, 0, kAsfHeaderGuid);
    PutLE32(b, 24, objects);
    PutLE16(b, 28, 0x0201);
    return b;
}

// A stream properties object: GUID, size, stream type at 24, the rest zero
// up to the type-specific data at 78.
void AppendStream(Bytes& b, std::string_view type, const Bytes& typeSpecific) {
    const std::size_t at = b.size();
    PutText(b, at, kStreamProperties);
    PutLE32(b, at + 16, static_cast<std::uint32_t>(78 + typeSpecific.size()));
    PutText(b, at + 24, type);
    b.resize(at + 78, 0);
    b.insert(b.end(), typeSpecific.begin(), typeSpecific.end());
}

Bytes AudioFormat(std::uint16_t tag) { return {static_cast<std::uint8_t>(tag), static_cast<std::uint8_t>(tag >> 8), 1, 0}; }

// Encoded width and height, flags, format size, then a BITMAPINFOHEADER
// whose compression code lies at object offset 105.
Bytes VideoFormat(std::uint32_t width, std::uint32_t height, std::string_view code) {
    Bytes b(51, 0);
    PutLE32(b, 0, width);
    PutLE32(b, 4, height);
    PutText(b, 27, code);
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
    EXPECT_EQ(DescribeWaveFormat(0x0161), "MS Audio V2");
    EXPECT_EQ(DescribeWaveFormat(0x0140), "G.726 ADPCM");
    EXPECT_EQ(DescribeWaveFormat(0xFFFF), "Development");
    EXPECT_EQ(DescribeWaveFormat(0x0054), "(subformat not recognized)");
    EXPECT_EQ(DescribeWaveFormat(0x2001), "(subformat not recognized)");
}

TEST(RealMedia, VideoBeforeAudioAndWhereTheScansLook) {
    Bytes file = RealMedia(3);
    Append(file, Object("PROP", std::string(40, '\0')));
    Append(file, Object("MDPR", RealAudio("genrcook")));
    Append(file, Object("MDPR", kRv30));
    EXPECT_EQ(DescribeRm(file), "RealVideo 8.0 RealAudio G2 ");
    PutBE32(file, 14, 2);  // the count ends the walk
    EXPECT_EQ(DescribeRm(file), "RealAudio G2 ");
    file = RealMedia(3);
    // The audio scan starts at the ninth byte; a mark must lie within the data.
    Append(file, Object("MDPR", MediaProperties("audio/x-pn-realaudio", "Int0sipr")));
    Append(file, Object("MDPR", MediaProperties("video/x-pn-realvideo", "\0\0\0\x22VIDORV2"sv) + "0"));
    Append(file, Object("MDPR", MediaProperties("audio/x-pn-realaudio", "12345678sipr")));
    EXPECT_EQ(DescribeRm(file), "RealAudio 4.0/5.0 ");
    EXPECT_EQ(DescribeRm(RealMedia(0, 2)), "(unknown type)");
    EXPECT_EQ(DescribeRm({'.', 'R', 'M', 'F', 0, 0, 0, 18}), "");
}

TEST(RealMedia, ObjectsThatCannotAdvanceOrWrapEndTheWalk) {
    // Size 0 would stay on one object for each of 2^32 - 1; a size that
    // wraps a 32-bit offset would go back to the start.  Each text comes once.
    for (const std::uint32_t size : {0u, 0xFFFFFFFFu - 17}) {
        Bytes file = RealMedia(0xFFFFFFFF);
        Append(file, Object("MDPR", kRv20, size));
        PutBE32(file, 22, size);
        EXPECT_EQ(DescribeRm(file), "RealVideo G2 ") << size;
    }
}

TEST(RealMedia, OnlyTheFirst2048BytesAreRead) {
    // The MDPR's data (66 bytes behind its start) may start at 2030 at most.
    const auto mdprAt = [](std::size_t start) {
        Bytes file = RealMedia(2);
        Append(file, Object("PROP", std::string(start - 28, '\0')));
        Append(file, Object("MDPR", kRv20));
        return DescribeRm(file);
    };
    EXPECT_EQ(mdprAt(2030 - 66), "RealVideo G2 ");
    EXPECT_EQ(mdprAt(2031 - 66), "");
    // Fields past the 2048 bytes end the walk; what was found stands.
    Bytes file = RealMedia(3);
    Append(file, Object("MDPR", kRv20));
    Append(file, Object("PROP", std::string(2030 - 10 - file.size(), '\0')));
    Append(file, Object("MDPR", RealAudio("genrcook")));
    EXPECT_EQ(DescribeRm(file), "RealVideo G2 ");
}

TEST(AsfStreams, StreamsInFileOrderAsTheFormatPrintsThem) {
    Bytes file = Asf(3);
    AppendStream(file, kAudio, AudioFormat(0x0161));
    AppendStream(file, kVideo, VideoFormat(0xFFFFFFFF, 16, "M\0\0\0"sv));  // "%d", and the code ends at a zero
    AppendStream(file, std::string(16, '\0'), AudioFormat(1));             // a stream of another type
    EXPECT_EQ(DescribeAsf(file), "Audio: MS Audio V2  Video: M -1x16  ");
    file[3] ^= 1;
    EXPECT_EQ(DescribeAsf(file), "");
}

TEST(AsfStreams, ObjectsThatCannotAdvanceOrWrapEndTheWalk) {
    for (const std::uint32_t size : {0u, 0xFFFFFFFFu - 29}) {
        Bytes file = Asf(0xFFFFFFFF);
        AppendStream(file, kAudio, AudioFormat(0x0055));
        PutLE32(file, 30 + 16, size);
        EXPECT_EQ(DescribeAsf(file), "Audio: ISO/MPEG Layer III (MP3)  ") << size;
    }
}

TEST(AsfStreams, FieldsPastTheBytesReadEndTheWalk) {
    // An audio stream, then a video stream at `start`, whose compression
    // code (at +105) is the last field read.
    const auto videoAt = [](std::size_t start) {
        Bytes file = Asf(3);
        AppendStream(file, kAudio, AudioFormat(0x0161));
        PutLE32(file, file.size() + 16, static_cast<std::uint32_t>(start - file.size()));  // an object of another kind
        file.resize(start, 0);
        AppendStream(file, kVideo, VideoFormat(32, 16, "WMV2"));
        return DescribeAsf(file);
    };
    EXPECT_EQ(videoAt(2048 - 109), "Audio: MS Audio V2  Video: WMV2 32x16  ");
    EXPECT_EQ(videoAt(2048 - 108), "Audio: MS Audio V2  ");
    EXPECT_EQ(videoAt(2030), "Audio: MS Audio V2  ");  // still walked to, but every field is past
}
