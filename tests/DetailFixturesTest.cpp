// Files made by the real tools (tests/fixtures/details/make-fixtures.sh)
// named by groups 3 to 5 and the describers they call, checked where an
// independent tool reads the same fields: file(1) for WAVE and AVI
// headers, isoinfo for the volume descriptors.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "RecognizerSupport.h"
#include "TestSupport.h"
#include "recognizer/Recognizer.h"

using namespace quiddity;
using quiddity::test::Fixture;
using quiddity::test::RunCommand;
using quiddity::test::TypeOfBytes;

namespace {

std::string TypeOfFixture(const std::string& relative) {
    std::string out;
    EXPECT_TRUE(EstimateFileType(Fixture(relative), out)) << relative;
    return out;
}

std::vector<std::uint8_t> BytesOf(const std::string& relative) {
    std::ifstream in(Fixture(relative), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool HasTool(const std::string& probe) {
    int status = -1;
    RunCommand(probe + " >/dev/null 2>&1", &status);
    return status == 0;
}

}  // namespace

TEST(DetailFixtures, EachFileByItsExactType) {
    const std::pair<const char*, const char*> files[] = {
        {"details/image.gif", "GIF 89a 16x8x256"},
        {"details/image87.gif", "GIF 87a 16x8x2"},  // netpbm writes colour resolution 0
        {"details/image.tga", "Truevision Targa image "},
        {"details/image.ilbm", "IFF, Interleaved Bitmap (Deluxe Paint)"},
        {"details/plot.cgm", "CGM, Computer graphics metafile (binary)"},
        {"details/pcm.wav", "RIFF Wave Mono 8000 Hz PCM"},
        {"details/s24.wav", "RIFF Wave Mono 8000 Hz MS Extensible"},
        {"details/alaw.wav", "RIFF Wave Mono 8000 Hz A-LAW"},
        {"details/ima.wav", "RIFF Wave Mono 8000 Hz DVI/IMA ADPCM"},
        {"details/gsm.wav", "RIFF Wave Mono 8000 Hz GSM 6.10"},
        {"details/g726.wav", "RIFF Wave Mono 8000 Hz (subformat not recognized)"},  // tag 0x45
        {"details/mp3.wav", "RIFF Wave Mono 8000 Hz ISO/MPEG Layer III (MP3)"},
        {"details/ac3.wav", "RIFF Wave Mono 48000 Hz DVM"},  // tag 0x2000
        // sox -B: the big-endian header read little-endian, as the type line always did
        {"details/rifx.wav", "RIFF (big-endian) Wave  1075773440 Hz Rhetorex ADPCM"},
        {"details/sound.aiff", "IFF, Audio (AIFF)"},
        {"details/sound.aifc", "IFF, Compressed Audio (AIFC)"},
        {"details/sound.8svx", "IFF, Amiga 8-bit sampled audio "},
        {"details/piped.avi", "RIFF AVI video FMP4 32 x 16 ISO/MPEG Layer III (MP3)"},
        // to a file, ffmpeg reserves index space: the audio header lies past 4 KB
        {"details/seekable.avi", "RIFF AVI video FMP4 32 x 16 (unknown audio)"},
        {"details/video.wmv", "ASF Video: WMV2 32x16  Audio: MS Audio V2  "},
        {"details/video.rm", "Real Media: RealVideo G2 RealAudio 3.0 "},
        {"details/video.mp4", "ISO multimedia: isom"},
        {"details/video.mov", "ISO multimedia: qt  "},
        {"details/video.3gp", "ISO multimedia: 3gp4"},
        {"details/sound.m4a", "ISO multimedia: M4A "},
        {"details/joliet.iso", "ISO 9660 CD/DVD image, Joliet"},
        {"details/bridge.iso", "ISO 9660 CD/DVD image, Joliet, UDF"},
        {"details/boot.iso", "ISO 9660 CD/DVD image, ElTorito, Joliet"},
        {"details/hybrid.iso", "ISO 9660 CD/DVD image, HFS/HFS+ (Hybrid) "},
        {"details/udf.img", "UDF CD/DVD image ('ISO')"},
        {"details/ms_sans_serif.ttf", "TrueType Font: MS Sans Serif"},  // first table EBDT
        {"fonts/TlwgMono.ttf", "TrueType Font: Tlwg Mono"},             // first table FFTM
    };
    for (const auto& [file, type] : files) EXPECT_EQ(TypeOfFixture(file), type) << file;
}

// Channels and rate as file(1) reads them from the same headers.
TEST(DetailFixtures, WaveAndAviHeadersAsFileReadsThem) {
    if (!HasTool("file --version")) GTEST_SKIP() << "file(1) is not installed";
    for (const char* name : {"pcm", "s24", "alaw", "ima", "gsm", "g726", "mp3", "ac3"}) {
        const std::string relative = std::string("details/") + name + ".wav";
        const std::string ours = TypeOfFixture(relative);
        const std::string theirs = RunCommand("file -b '" + Fixture(relative) + "'");
        // "RIFF Wave Mono 8000 Hz ..." against "..., mono 8000 Hz"
        const std::size_t hz = ours.find(" Hz ");
        ASSERT_NE(hz, std::string::npos) << ours;
        const std::string rate = ours.substr(ours.find("Mono ") + 5, hz - ours.find("Mono ") - 5);
        EXPECT_NE(theirs.find("mono " + rate + " Hz"), std::string::npos) << relative << ": " << theirs;
    }
    for (const char* name : {"piped.avi", "seekable.avi"}) {
        const std::string relative = std::string("details/") + name;
        const std::string theirs = RunCommand("file -b '" + Fixture(relative) + "'");
        EXPECT_NE(theirs.find("AVI, 32 x 16,"), std::string::npos) << theirs;
        EXPECT_NE(TypeOfFixture(relative).find(" 32 x 16 "), std::string::npos);
    }
}

// Joliet and El Torito as isoinfo finds them in the same descriptors.
TEST(DetailFixtures, DiscImagesAsIsoinfoReadsThem) {
    if (!HasTool("isoinfo -version")) GTEST_SKIP() << "isoinfo (genisoimage) is not installed";
    for (const char* name : {"joliet.iso", "bridge.iso", "boot.iso", "hybrid.iso"}) {
        const std::string relative = std::string("details/") + name;
        const std::string ours = TypeOfFixture(relative);
        const std::string theirs = RunCommand("isoinfo -d -i '" + Fixture(relative) + "'");
        ASSERT_NE(theirs.find("CD-ROM is in ISO 9660 format"), std::string::npos) << name << ": " << theirs;
        EXPECT_EQ(ours.find(", Joliet") != std::string::npos, theirs.find("Joliet with UCS level") != std::string::npos)
            << name;
        EXPECT_EQ(ours.find(", ElTorito") != std::string::npos, theirs.find("El Torito VD version") != std::string::npos)
            << name;
    }
}

// A cut file keeps its signature and loses the texts of what was cut off,
// from the end: the describers stop quietly where the bytes end.
TEST(DetailFixtures, CutFilesLoseTextsFromTheEnd) {
    const auto expectPrefix = [](const char* file, const std::vector<std::uint8_t>& bytes, std::size_t cut) {
        const std::string whole = TypeOfBytes(bytes);
        const std::string type = TypeOfBytes(std::span(bytes).first(cut));
        EXPECT_EQ(whole.substr(0, type.size()), type) << file << " cut at " << cut;
    };
    for (const char* file : {"details/video.rm", "details/video.wmv"}) {
        const std::vector<std::uint8_t> bytes = BytesOf(file);
        for (std::size_t cut = 64; cut < bytes.size(); ++cut) expectPrefix(file, bytes, cut);
    }
    // Only whole sectors count: each cut at a sector's end and a byte before.
    for (const char* file : {"details/bridge.iso", "details/hybrid.iso"}) {
        const std::vector<std::uint8_t> bytes = BytesOf(file);
        for (std::size_t end = 17 * 2048; end <= 24 * 2048; end += 2048) {
            if (end > 17 * 2048) expectPrefix(file, bytes, end - 1);  // without sector 16 whole, no descriptor
            expectPrefix(file, bytes, end);
        }
    }
    const std::vector<std::uint8_t> hybrid = BytesOf("details/hybrid.iso");
    EXPECT_EQ(TypeOfBytes(std::span(hybrid).first(17 * 2048 - 1)), "HFS or HFS+ disc image ");
    EXPECT_EQ(TypeOfBytes(std::span(hybrid).first(17 * 2048)), "ISO 9660 CD/DVD image, HFS/HFS+ (Hybrid) ");
}
