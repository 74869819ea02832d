// Crafted heads for the last group: bitmap and Excel headers, MPEG video
// sequence headers at the head's edge, the JPEG marker walk, MPEG audio
// frame headers, the BinHex count and the fall-back behind it.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "RecognizerSupport.h"
#include "TestSupport.h"
#include "core/TextFormat.h"

using namespace quiddity;
using namespace std::string_view_literals;
using quiddity::test::PutLE16;
using quiddity::test::RunCommand;
using quiddity::test::PutLE32;
using quiddity::test::PutText;
using quiddity::test::TypeOfBytes;

TEST(ImagesAndStreams, BitmapHeaders) {
    std::vector<std::uint8_t> b(64, 0);
    PutText(b, 0, "BM");
    PutLE32(b, 14, 40);                                    // header size
    PutLE32(b, 18, 640);                                   // width
    PutLE32(b, 22, static_cast<std::uint32_t>(-480));      // height: negative, top-down
    PutLE16(b, 28, 32);                                    // bits per pixel
    PutLE32(b, 30, 3);                                     // bit fields
    EXPECT_EQ(TypeOfBytes(b), "Bitmap 640x-480 32-bit color uncompressed");
    PutLE16(b, 28, 8);
    PutLE32(b, 30, 1);
    EXPECT_EQ(TypeOfBytes(b), "Bitmap 640x-480x256 RLE8");
    PutLE16(b, 28, 2);  // no such bit count
    PutLE32(b, 30, 5);  // PNG inside: not named
    EXPECT_EQ(TypeOfBytes(b), "Bitmap 640x-480 unknown compression");
}

TEST(ImagesAndStreams, ExcelStreamsBySubstreamType) {
    // BOF record: id 0809, length 8, version 0500, substream type at 6.
    EXPECT_EQ(TypeOfBytes("\x09\x08\x08\0\0\x05\x10\0"sv), "BIFF5/7/8 MS Excel 9x/2000/XP Worksheet");
    EXPECT_EQ(TypeOfBytes("\x09\x08\x08\0\0\x05\0\x01"sv), "BIFF5/7/8 MS Excel 9x/2000/XP Workspace");
    EXPECT_EQ(TypeOfBytes("\x09\x08\x08\0\0\x05\x11\0"sv), "BIFF5/7/8 MS Excel 9x/2000/XP ");
}

TEST(ImagesAndStreams, MpegVideoSequenceHeaders) {
    EXPECT_EQ(TypeOfBytes("\0\0\x01\xE0\x07\xEC\x81\x80"sv), "MPEG Video ");  // a PES packet
    // 00 00 01 B3, 352 x 288 (160 12 0), aspect 1 and rate code 0 or 9, bit rate 0x3FFFF
    EXPECT_EQ(TypeOfBytes("\0\0\x01\xB3\x16\x01\x20\x10\xFF\xFF\xC0"sv), "MPEG Video 352 x 288 asp:1 fps:?? bps:262143");
    EXPECT_EQ(TypeOfBytes("\0\0\x01\xB3\x16\x01\x20\x19\x00\x01\x40"sv), "MPEG Video 352 x 288 asp:1 fps:?? bps:5");
    // A program stream whose sequence header starts 6 bytes before the
    // head's end: the fields behind it read as zero.
    std::vector<std::uint8_t> edge(4096, 0);
    PutText(edge, 0, "\0\0\x01\xBA"sv);
    PutText(edge, 4090, "\0\0\x01\xB3\x02\x01"sv);
    EXPECT_EQ(TypeOfBytes(edge), "MPEG Video 32 x 256 asp:0 fps:?? bps:0");
    // Beyond the head: the header is not found.
    edge.resize(5000);
    PutText(edge, 4090, "\0\0\0\0\0\0"sv);
    PutText(edge, 4500, "\0\0\x01\xB3\x02\x01\x00\x13"sv);
    EXPECT_EQ(TypeOfBytes(edge), "MPEG Video ");
}

namespace {

// A JPEG whose APP1 thumbnail holds a frame header of its own before the
// real one, 16x8; with `scanFirst` the scan data start before the real one.
std::vector<std::uint8_t> Jpeg(std::uint8_t components, std::uint8_t second, bool scanFirst = false) {
    std::vector<std::uint8_t> b = {
        0xFF, 0xD8,                                        // SOI
        0xFF, 0xE1, 0x00, 0x14, 'E', 'x', 'i', 'f', 0, 0,  // APP1, length 20, identifier
        0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08,          // thumbnail: SOI, SOF0, length 17, precision
        0x00, 0x04, 0x00, 0x04, 0x03,                      // height 4, width 4, 3 components
        0xFF, 0xFF, 0xD0,                                  // a fill byte, then RST0, which has no length
        0xFF, 0xC2, 0x00, 0x02,                            // a progressive frame is not looked at
    };
    if (scanFirst) b.insert(b.end(), {0xFF, 0xDA, 0x00, 0x02});  // SOS, length 2
    b.insert(b.end(), {0xFF, 0xC0, 0x00, 0x11, 0x08,  // SOF0, length 17, precision
                       0x00, 0x08, 0x00, 0x10,        // height 8, width 16
                       components, 0x01, 0x22, 0x00,  // component 1: sampling, table
                       second, 0x11, 0x01});          // the second component's identifier
    return b;
}

}  // namespace

TEST(ImagesAndStreams, JpegSizeFromTheFirstFrameOfTheSegmentChain) {
    EXPECT_EQ(TypeOfBytes(Jpeg(3, 2)), "JPEG Exif 16x8 color (YCrCb/YUV)");
    EXPECT_EQ(TypeOfBytes(Jpeg(3, 4)), "JPEG Exif 16x8 color (YIQ)");
    EXPECT_EQ(TypeOfBytes(Jpeg(4, 2)), "JPEG Exif 16x8 color (CMYK)");
    EXPECT_EQ(TypeOfBytes(Jpeg(3, 2, true)), "JPEG Exif");
    // An XMP segment's identifier has no zero byte behind its fourth letter.
    EXPECT_EQ(TypeOfBytes("\xFF\xD8\xFF\xE1\x00\x1Ehttp://ns.adobe.com/xap/1.0/"sv), "JPEG http");
    std::vector<std::uint8_t> broken = Jpeg(3, 2);
    broken[5] += 2;  // an APP1 length two too long: the next "marker" is the D0 of RST0
    EXPECT_EQ(TypeOfBytes(broken), "JPEG Exif");
    std::vector<std::uint8_t> cut = Jpeg(3, 2);
    cut.resize(cut.size() - 14);  // the file ends with the FF C0 marker: the fields read as zero
    EXPECT_EQ(TypeOfBytes(cut), "JPEG Exif 0x0");
}

namespace {

// file(1)'s reading of an MPEG audio frame header ("MPEG ADTS, layer III,
// v1, 128 kbps, 44.1 kHz, JntStereo") in our words.
std::string InOurWords(const std::string& fileSays) {
    const std::map<std::string, std::string> layers = {{"I", "Layer I "}, {"II", "Layer II "}, {"III", "Layer III (MP3) "}};
    const std::map<std::string, std::string> modes = {
        {"Stereo", "Stereo"}, {"JntStereo", "Joint Stereo"}, {"2x Monaural", "Dual Channel"}, {"Monaural", "Mono"}};
    std::vector<std::string> f;
    std::istringstream parts(fileSays);
    for (std::string field; std::getline(parts, field, ',');) f.push_back(field.erase(0, field.find_first_not_of(' ')));
    if (f.size() != 6 || !layers.contains(f[1].substr(6)) || !modes.contains(f[5])) return "(not read: " + fileSays + ")";
    const auto number = [](const std::string& text) { return text.substr(0, text.find(' ')); };
    return "MPEG-" + f[2].substr(1) + " Audio " + layers.at(f[1].substr(6)) + " " + number(f[3]) + "kbps " +
           number(f[4]) + "kHz " + modes.at(f[5]);
}

}  // namespace

// Every bit-rate index of the MPEG-1 and MPEG-2 layers, the sample rates and
// channel modes in turn, as file(1) reads them too.  (file(1) does not name
// MPEG-1 Layer I, whose table goes in steps of 32 kbit/s.)
TEST(ImagesAndStreams, MpegAudioFramesAgreeWithFile) {
    for (int index = 1; index < 15; ++index) {
        const std::uint8_t frame[] = {0xFF, 0xFF, static_cast<std::uint8_t>(index << 4), 0, 'U', 'U'};
        EXPECT_EQ(TypeOfBytes(frame), Format("MPEG-1 Audio Layer I  %dkbps 44.1kHz Stereo", 32 * index));
    }
    test::CTempDir dir;
    std::string paths;
    std::vector<std::string> ours;
    for (const std::uint8_t second : {0xFC, 0xFA, 0xF6, 0xF4, 0xF2}) {  // version and layer bits, a checksum
        for (int index = 1; index < 15; ++index) {
            std::vector<std::uint8_t> frame = {0xFF, second, static_cast<std::uint8_t>(index << 4 | (index % 3) << 2),
                                               static_cast<std::uint8_t>((index % 4) << 6)};
            frame.resize(64, 'U');
            paths += " " + dir.Write(std::to_string(ours.size()), frame);
            ours.push_back(TypeOfBytes(frame));
        }
    }
    int status = -1;
    std::istringstream lines(RunCommand("file -b" + paths, &status));
    if (status != 0) GTEST_SKIP() << "file(1) is not installed";
    for (const std::string& type : ours) {
        std::string line;
        std::getline(lines, line);
        EXPECT_EQ(type, InOurWords(line));
    }
}

TEST(ImagesAndStreams, MpegAudioEdgesAndAac) {
    const std::pair<std::string_view, std::string_view> frames[] = {
        {"\xFF\xFB\xFC\xC0"sv, "MPEG-1 Audio Layer III (MP3)  0kbps Mono"},           // index 15, rate 3
        {"\xFF\xF3\x08\xC0"sv, "MPEG-2 Audio Layer III (MP3)  0kbps 16kHz Mono"},     // free format
        // ADTS: layer bits 0; the ID bit set is MPEG-2; 4-bit rate index, channels
        {"\xFF\xF9\x70\x40"sv, "MPEG-2 Audio AAC 7.35kHz Mono"},
        {"\xFF\xF1\x69\x80"sv, "MPEG-4 Audio AAC 11.025kHz "},  // six channels are not named
        {"\xFF\xF1\x74\x80"sv, "MPEG-4 Audio AAC Stereo"},      // rate index 13 is reserved
        {"\xFF\xE3\x18\xC4"sv, "MPEG 2.5 Audio  Layer III"},
        {"\xFF\xE0\x18\xC4"sv, "MPEG 2.5 Audio "},
        {"\x7F\xF1\x18\xC4"sv, "MPEG Audio extention unknown"},
    };
    // four bytes more: a file of four bytes is named by its size
    for (const auto& [frame, type] : frames) EXPECT_EQ(TypeOfBytes(std::string(frame) + "UUUU"), type) << type;
}

TEST(ImagesAndStreams, LastSignatures) {
    EXPECT_EQ(TypeOfBytes("pK\x08\x08" "Delphi form\x01" "rest"), "Borland Delphi form");
    EXPECT_EQ(TypeOfBytes("Pk\x08\x08" + std::string(70, 'x')), "Borland " + std::string(63, 'x'));
    EXPECT_EQ(TypeOfBytes("\x03\xF3\0\0\0\0"sv), "Amiga classic executable (680x0)");
}

TEST(ImagesAndStreams, BinHexBannersBeforeTheFallBack) {
    constexpr std::string_view kBanner = "(This file must be converted with BinHex 4.0)\n";
    std::string text(1535, '(');  // every start is tried
    text += kBanner;
    EXPECT_EQ(TypeOfBytes(text), "BinHex coded file, Text file");
    EXPECT_EQ(TypeOfBytes("(" + text), "Text file");  // starting at 1536: too late
    EXPECT_EQ(TypeOfBytes(std::string(kBanner) + std::string(kBanner) + "\x01"), "BinHex coded file, BinHex coded file, Unknown");
    EXPECT_EQ(TypeOfBytes("x" + std::string(kBanner) + "\xFF"), "BinHex coded file, Possible UDIF disc image (dmg)");
}
